// The program's entry: the application object, the Qt texts in Russian, the
// message boxes of the desktop, the main window and the one event loop.

#include <QApplication>

#include "app/MainDlg.h"
#include "app/QtDialogs.h"
#include "core/Dialogs.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The program ends when its main window is closed, with exit status 1.
  QApplication::setQuitOnLastWindowClosed(false);
  tavrik::InstallQtTranslation(app);
  tavrik::CQtDialogs dialogs;
  tavrik::SetCurrentDialogs(&dialogs);
  int exit_code = 1;
  {
    tavrik::CMainDlg dialog;
    QObject::connect(&dialog, &tavrik::CMainDlg::closed, &app, [] { QApplication::exit(1); });
    dialog.show();
    exit_code = QApplication::exec();
  }
  tavrik::SetCurrentDialogs(nullptr);
  return exit_code;
}
