// A child process for the start-up benchmark: starts as the program does and
// writes one line to standard output when its first window has been drawn.
// Usage: tavrik-startup-probe main|bare|text
// ("bare": an empty dialog; "text": a dialog with one line of text, which
// also pays for loading the fonts)

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTimer>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/MainDlg.h"
#include "app/QtDialogs.h"
#include "core/Dialogs.h"

namespace {

class FirstPaint final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      // After this paint has reached the screen.
      QTimer::singleShot(0, [] {
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        _exit(0);
      });
    }
    return false;
  }

 private:
  bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  const bool bare = argc == 2 && std::strcmp(argv[1], "bare") == 0;
  const bool text = argc == 2 && std::strcmp(argv[1], "text") == 0;
  if (argc != 2 || (!bare && !text && std::strcmp(argv[1], "main") != 0)) {
    std::fprintf(stderr, "usage: %s main|bare|text\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  FirstPaint first_paint;
  std::unique_ptr<QWidget> window;
  tavrik::CQtDialogs dialogs;
  if (bare || text) {
    window = std::make_unique<QDialog>();
    window->setWindowTitle(QStringLiteral("Zeyd Tavrik"));
    if (text) new QLabel(QStringLiteral("Подключение"), window.get());
  } else {
    QApplication::setQuitOnLastWindowClosed(false);
    tavrik::InstallQtTranslation(app);
    tavrik::SetCurrentDialogs(&dialogs);
    window = std::make_unique<tavrik::CMainDlg>();
  }
  window->installEventFilter(&first_paint);
  window->show();
  return QApplication::exec();
}
