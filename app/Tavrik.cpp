#include "app/Tavrik.h"

#include <QApplication>

#include "app/MainDlg.h"
#include "app/QtDialogs.h"
#include "core/Dialogs.h"

namespace tavrik {

int RunTavrik(QApplication& app) {
  // The program ends when its main window is closed, with exit status 1.
  const bool quit_on_last = QApplication::quitOnLastWindowClosed();
  QApplication::setQuitOnLastWindowClosed(false);
  InstallQtTranslation(app);
  CQtDialogs dialogs;
  Dialogs* previous = SetCurrentDialogs(&dialogs);
  int exit_code = 1;
  {
    CMainDlg dialog;
    dialogs.SetMainWindow(&dialog);
    QObject::connect(&dialog, &CMainDlg::closed, &app, [] { QApplication::exit(1); });
    dialog.show();
    exit_code = QApplication::exec();
  }
  SetCurrentDialogs(previous);
  QApplication::setQuitOnLastWindowClosed(quit_on_last);
  return exit_code;
}

}  // namespace tavrik
