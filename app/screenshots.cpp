// Writes one PNG of the main window per page: the page selected in the tree
// and shown, drawn off screen. Usage: tavrik-screenshots DIRECTORY

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTreeWidget>

#include <cstdio>

#include "app/MainDlg.h"
#include "app/QtDialogs.h"
#include "core/ScriptedDialogs.h"
#include "pages/Page.h"
#include "pages/PortDoctorDialog.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(dir.path())) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  tavrik::InstallQtTranslation(app);
  // Nothing may wait for an answer here: the start-up notice is only recorded.
  tavrik::ScriptedDialogs dialogs;
  tavrik::CMainDlg dialog;
  // The pictures show whole pages: the window at the template's size, even
  // where the off-screen screen is smaller than it.
  dialog.setMinimumSize(dialog.NaturalSize());
  dialog.resize(dialog.NaturalSize());
  dialog.show();
  QApplication::processEvents();
  int failures = 0;
  for (std::size_t row = 0; row < tavrik::kPageCount; ++row) {
    dialog.Tree()->setCurrentItem(dialog.ItemAt(row));
    QApplication::processEvents();
    const tavrik::CPageT& page = dialog.PageAt(row);
    const QString name = dir.filePath(
        QStringLiteral("page-%1-%2.png").arg(row + 1, 2, 10, QChar(u'0')).arg(page.TemplateId()));
    if (&dialog.GetActivePage() != &page || !dialog.grab().save(name)) {
      std::fprintf(stderr, "page %zu: %s not written\n", row + 1, qPrintable(name));
      ++failures;
    }
    // A page with tabs gets one more picture for each further tab in front.
    for (QWidget* control : page.Controls()) {
      auto* tabs = qobject_cast<QTabWidget*>(control);
      if (!tabs) continue;
      for (int tab = 1; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QApplication::processEvents();
        QString tab_name = name;
        tab_name.replace(QStringLiteral(".png"), QStringLiteral("-tab%1.png").arg(tab + 1));
        if (!dialog.grab().save(tab_name)) {
          std::fprintf(stderr, "page %zu: %s not written\n", row + 1, qPrintable(tab_name));
          ++failures;
        }
      }
      tabs->setCurrentIndex(0);
    }
  }
  // The port diagnosis of the connection page's port (TAVRIK_SCREENSHOT_PORT
  // names another, such as an emulator's).
  {
    const QString port = qEnvironmentVariableIsEmpty("TAVRIK_SCREENSHOT_PORT")
                             ? QStringLiteral("/dev/ttyACM0")
                             : qEnvironmentVariable("TAVRIK_SCREENSHOT_PORT");
    tavrik::CPortDoctorDialog doctor(port.toStdString(), 9600, 300, &dialog);
    doctor.Check();
    doctor.show();
    QApplication::processEvents();
    const QString name = dir.filePath(QStringLiteral("port-doctor.png"));
    if (!doctor.grab().save(name)) {
      std::fprintf(stderr, "%s not written\n", qPrintable(name));
      ++failures;
    }
  }
  std::printf("%zu screenshots in %s\n", tavrik::kPageCount - failures, qPrintable(dir.path()));
  return failures == 0 ? 0 : 1;
}
