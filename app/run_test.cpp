// The whole run with the desktop's own message boxes: the start-up warning
// appears as a real box once the window is up, and closing the window ends
// the run with status 1.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "app/MainDlg.h"
#include "app/Tavrik.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

TEST(RunTavrikTest, WarnsOnceInARealBoxAndEndsWithStatusOneWhenClosed) {
  ResetProcessState();
  struct Seen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool window_visible = false;
    bool owned_by_window = false;
  };
  std::vector<Seen> boxes;
  bool closed = false;
  int ticks = 0;
  QTimer timer;
  timer.setInterval(10);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    CMainDlg* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* d = qobject_cast<CMainDlg*>(w)) window = d;
    }
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      Seen seen{box->windowTitle(), box->text(), box->icon(), {}, window && window->isVisible(),
                window && box->parentWidget() == window};
      for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
      boxes.push_back(seen);
      box->button(QMessageBox::Ok)->click();
      return;
    }
    // Give the idle step a few turns to show a second warning, if it would.
    if (window && ++ticks > 10 && !closed) {
      closed = true;
      window->close();
    }
  });
  timer.start();
  EXPECT_EQ(RunTavrik(*qApp), 1);
  timer.stop();
  EXPECT_TRUE(closed);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, QStringLiteral("Предупреждение!"));
  EXPECT_EQ(boxes[0].text, QStringLiteral("Внимание: необходимо сначала загрузить данные из сканера!"));
  EXPECT_EQ(boxes[0].icon, QMessageBox::Warning);
  EXPECT_EQ(boxes[0].buttons, QStringList{QStringLiteral("OK")});
  EXPECT_TRUE(boxes[0].window_visible) << "the warning comes once the window is up";
  EXPECT_TRUE(boxes[0].owned_by_window) << "the main window owns the warning";
  ResetProcessState();
}

}  // namespace
}  // namespace tavrik
