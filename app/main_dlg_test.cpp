// The main window on real widgets: start state, page switches and their
// refusal, keys that must do nothing, closing.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QLabel>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTime>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Version.h"
#include "app/DifferencesDlg.h"
#include "app/HeaderWnd.h"
#include "app/PageTree.h"
#include "app/MainDlg.h"
#include "app/QtDialogs.h"
#include "core/Dialogs.h"
#include "pages/DialogUnits.h"
#include "pages/SettingsPage.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

// Records the boxes; `on_show` stands for what the platform does while one is open.
class RecordingDialogs final : public Dialogs {
 public:
  RecordingDialogs() : previous_(SetCurrentDialogs(this)) {}
  ~RecordingDialogs() override { SetCurrentDialogs(previous_); }
  Answer Show(const MessageBox& box) override {
    shown.push_back(box);
    if (on_show) on_show();
    return box.buttons == Buttons::yes_no ? yes_no_answer : Answer::ok;
  }
  std::optional<std::string> OpenFileName(const FileDialog&) override { return file; }
  std::optional<std::string> SaveFileName(const FileDialog&) override { return file; }
  void Beep() override { ++beeps; }

  std::vector<MessageBox> shown;
  int beeps = 0;
  std::function<void()> on_show;
  Answer yes_no_answer = Answer::no;
  // What both file dialogs answer; nothing cancels them.
  std::optional<std::string> file;

 private:
  Dialogs* previous_;
};

constexpr std::size_t kPowerRow = 23;
constexpr std::size_t kCode128Row = 9;

struct TreeRow {
  const char16_t* label;
  int depth;
};
const TreeRow kExpectedTree[kPageCount] = {
    {u"Подключение", 0},
    {u"Настройки", 0},
    {u"Интерфейс с ПК", 1},
    {u"Декодеры штрих-кодов", 1},
    {u"UPC/EAN", 2},
    {u"Interleaved 2 of 5", 2},
    {u"Codabar", 2},
    {u"Code 39", 2},
    {u"Code 93", 2},
    {u"Code 128", 2},
    {u"GS1 DataBar", 2},
    {u"Pharmacode", 2},
    {u"PDF417", 2},
    {u"Aztec Code", 2},
    {u"Data Matrix", 2},
    {u"QR Code", 2},
    {u"OCR", 1},
    {u"Детектор валюты", 1},
    {u"Префиксы/Суффиксы", 1},
    {u"Сообщение от верхней кнопки", 1},
    {u"Запуск сканирования", 1},
    {u"Подсветка", 1},
    {u"Прицельные светодиоды", 1},
    {u"Управление питанием", 1},
    {u"Управление звуком", 1},
    {u"Управление настройкой", 1},
};

class MainDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    // Whatever the record held, the window starts from the defaults.
    CurrentSettings().sleep_timeout = 211;
    CurrentSettings().code128_enabled = false;
    dlg = std::make_unique<CMainDlg>();
    dlg->show();
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    QApplication::processEvents();
  }
  void TearDown() override {
    dlg.reset();
    ResetProcessState();
  }

  QTreeWidget* Tree() const { return dlg->Tree(); }
  QTreeWidgetItem* Item(std::size_t row) const { return dlg->ItemAt(row); }
  void Click(std::size_t row) {
    Tree()->scrollToItem(Item(row));
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(Item(row)).center());
    QApplication::processEvents();
  }
  QLineEdit* Edit(std::size_t row, int id) const { return dlg->PageAt(row).ControlAs<QLineEdit>(id); }
  void Type(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromLatin1(text));
  }
  std::vector<std::size_t> VisiblePages() const {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < kPageCount; ++row) {
      if (dlg->PageAt(row).isVisible()) rows.push_back(row);
    }
    return rows;
  }
  // The page shown, selected and active, with its header.
  void ExpectShown(std::size_t row) {
    EXPECT_EQ(&dlg->GetActivePage(), &dlg->PageAt(row));
    EXPECT_EQ(VisiblePages(), std::vector<std::size_t>{row});
    EXPECT_EQ(Tree()->currentItem(), Item(row));
    EXPECT_EQ(Tree()->selectedItems(), QList<QTreeWidgetItem*>{Item(row)});
    EXPECT_EQ(dlg->Header()->text(), dlg->PageAt(row).Caption());
  }

  RecordingDialogs dialogs;  // outlives the window
  std::unique_ptr<CMainDlg> dlg;
};

TEST_F(MainDlgTest, StartsOnTheConnectionPageWithTheWholeTree) {
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Zeyd Tavrik %1.%2.%3")
                                    .arg(TAVRIK_VERSION_MAJOR)
                                    .arg(TAVRIK_VERSION_MINOR)
                                    .arg(TAVRIK_VERSION_PATCH));
  EXPECT_EQ(dlg->windowTitle(), dlg->BaseTitle());

  // Tree order, nesting and expansion.
  std::vector<QTreeWidgetItem*> order;
  std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* parent) {
    for (int i = 0; i < parent->childCount(); ++i) {
      order.push_back(parent->child(i));
      walk(parent->child(i));
    }
  };
  walk(Tree()->invisibleRootItem());
  ASSERT_EQ(order.size(), kPageCount);
  for (std::size_t row = 0; row < kPageCount; ++row) {
    SCOPED_TRACE(row + 1);
    EXPECT_EQ(order[row], Item(row));
    EXPECT_EQ(order[row]->text(0), QString::fromUtf16(kExpectedTree[row].label));
    int depth = 0;
    for (auto* p = order[row]->parent(); p; p = p->parent()) ++depth;
    EXPECT_EQ(depth, kExpectedTree[row].depth);
    EXPECT_EQ(order[row]->isExpanded(), row == 1 || row == 3);
    EXPECT_FALSE(order[row]->icon(0).isNull());
    EXPECT_TRUE(Tree()->visualItemRect(order[row]).isValid()) << "every item is on view";
  }
  ExpectShown(0);
  EXPECT_EQ(QApplication::focusWidget(), Tree()) << "the first control has the focus";

  // The start-up warning, once.
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Внимание: необходимо сначала загрузить данные из сканера!");
  EXPECT_EQ(dialogs.shown[0].caption, "Предупреждение!");
  EXPECT_EQ(dialogs.shown[0].icon, Icon::exclamation);
  EXPECT_EQ(dialogs.shown[0].buttons, Buttons::ok);
  dlg->showMinimized();
  QApplication::processEvents();
  dlg->showNormal();
  Click(kCode128Row);
  QApplication::processEvents();
  EXPECT_EQ(dialogs.shown.size(), 1u);

  // The defaults of model 0, whatever the record held before.
  Settings defaults{};
  LoadDefaults(defaults);
  EXPECT_EQ(CurrentSettings(), defaults);
}

TEST_F(MainDlgTest, TreeImagesAre21PixelsWithTransparency) {
  for (const char* name : {":/tavrik/tree_page.png", ":/tavrik/tree_page_selected.png",
                           ":/tavrik/tree_folder.png", ":/tavrik/tree_folder_open.png"}) {
    SCOPED_TRACE(name);
    const QImage image(QString::fromLatin1(name));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(21, 21));
    EXPECT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    // The drawing beside it, for screens of two pixels a point and more.
    QString drawing = QString::fromLatin1(name);
    drawing.replace(QStringLiteral(".png"), QStringLiteral(".svg"));
    const QImage sharp = QIcon(drawing).pixmap(QSize(42, 42)).toImage();
    ASSERT_EQ(sharp.size(), QSize(42, 42)) << "the drawing engine of the toolkit draws it";
    EXPECT_EQ(qAlpha(sharp.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(sharp.pixel(21, 21)), 255) << "drawn in the middle";
  }
  // Pages and folders, each with its own picture when selected.
  const QIcon page = Item(0)->icon(0);
  const QIcon folder = Item(1)->icon(0);
  EXPECT_NE(page.pixmap(21, QIcon::Normal).toImage(), folder.pixmap(21, QIcon::Normal).toImage());
  EXPECT_NE(page.pixmap(21, QIcon::Normal).toImage(), page.pixmap(21, QIcon::Selected).toImage());
  EXPECT_NE(folder.pixmap(21, QIcon::Normal).toImage(), folder.pixmap(21, QIcon::Selected).toImage());
  EXPECT_EQ(Item(kPowerRow)->icon(0).cacheKey(), page.cacheKey());
  EXPECT_EQ(Item(3)->icon(0).cacheKey(), folder.cacheKey());
}

TEST_F(MainDlgTest, LaysOutDialog129InDialogUnitsOfItsFont) {
  const DialogUnits du(dlg->font());
  EXPECT_EQ(dlg->font().pointSize(), 8);
  // The template, and the status line below it: the size the window opens at
  // where the screen has room.
  dlg->resize(du.Size(431, 375 + 14));
  QApplication::processEvents();
  struct Case {
    int id;
    QRect units;
    const char16_t* text;
  };
  const Case cases[] = {
      {1000, {3, 18, 143, 353}, nullptr},
      {1038, {156, 11, 100, 16}, u"Загрузить из устройства"},
      {1037, {317, 11, 100, 16}, u"Сохранить в устройство"},
      {1001, {149, 33, 273, 24}, nullptr},
      {1002, {149, 65, 274, 306}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    auto* w = dlg->findChild<QWidget*>(QStringLiteral("control%1").arg(c.id));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->property("controlId").toInt(), c.id);
    EXPECT_EQ(w->geometry(), du.Rect(c.units.x(), c.units.y(), c.units.width(), c.units.height()));
    if (c.text) {
      EXPECT_EQ(qobject_cast<QPushButton*>(w)->text(), QString::fromUtf16(c.text));
    }
  }
  const QRect page(dlg->PageAt(0).mapTo(dlg.get(), QPoint()), dlg->PageAt(0).size());
  EXPECT_EQ(page, du.Rect(149, 65, 274, 306));
  auto* area = dlg->findChild<QScrollArea*>(QStringLiteral("control1002"));
  EXPECT_FALSE(area->verticalScrollBar()->isVisible()) << "at the template's size every page fits";
  EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
  EXPECT_EQ(dlg->Header()->alignment(), Qt::AlignCenter);
  EXPECT_EQ(dlg->Header()->palette().color(QPalette::Window), dlg->palette().color(QPalette::Base));
}

TEST_F(MainDlgTest, RefusesToLeaveAPageWithAnInvalidNumber) {
  struct Case {
    const char* what;
    const char* sleep;  // 1033
    bool toggle_dim;    // 1032
    const char* off;    // 1200
    int failing_id;
    int sleep_stored;   // -1: the default stays
    bool dim_toggled;
  };
  const Case cases[] = {
      {"300 in the 8-bit 0..255 field", "300", true, "10", 1033, -1, false},
      {"0 in 1..60000, earlier fields stored", "17", true, "0", 1200, 17, true},
      {"empty", "", false, "10", 1033, -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetProcessState();
    const Settings before = CurrentSettings();
    Click(kPowerRow);
    ExpectShown(kPowerRow);
    dialogs.shown.clear();
    dialogs.beeps = 0;
    Type(Edit(kPowerRow, 1033), c.sleep);
    if (c.toggle_dim) dlg->PageAt(kPowerRow).ControlAs<QCheckBox>(1032)->toggle();
    Type(Edit(kPowerRow, 1200), c.off);
    // The platform gives the focus back to the tree when the box closes.
    dialogs.on_show = [this] { Tree()->setFocus(); };

    Click(kCode128Row);
    ExpectShown(kPowerRow);
    EXPECT_FALSE(dlg->PageAt(kCode128Row).isVisible());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Некорректное значение поля!");
    EXPECT_EQ(dialogs.shown[0].caption, "");
    EXPECT_EQ(dialogs.shown[0].icon, Icon::error);
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(CurrentSettings().sleep_timeout, c.sleep_stored < 0 ? before.sleep_timeout : c.sleep_stored);
    EXPECT_EQ(CurrentSettings().sleep_dim_illumination,
              c.dim_toggled ? !before.sleep_dim_illumination : before.sleep_dim_illumination);
    EXPECT_EQ(CurrentSettings().bt_power_off_minutes, before.bt_power_off_minutes);
    // After the idle step the invalid field has the focus again.
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), Edit(kPowerRow, c.failing_id));

    // The keyboard cannot leave either.
    dialogs.on_show = nullptr;
    Tree()->setFocus();
    QTest::keyClick(Tree(), Qt::Key_Down);
    ExpectShown(kPowerRow);
    EXPECT_EQ(dialogs.shown.size(), 2u);

    // Corrected, the page lets go.
    Type(Edit(kPowerRow, 1033), "30");
    Type(Edit(kPowerRow, 1200), "45");
    Click(kCode128Row);
    ExpectShown(kCode128Row);
    EXPECT_EQ(CurrentSettings().sleep_timeout, 30);
    EXPECT_EQ(CurrentSettings().bt_power_off_minutes, 45);
    EXPECT_EQ(dialogs.shown.size(), 2u);
  }
}

TEST_F(MainDlgTest, WithARealBoxTheInvalidFieldHasTheFocusAfterward) {
  Click(kPowerRow);
  Type(Edit(kPowerRow, 1200), "0");
  CQtDialogs qt_dialogs;
  Dialogs* previous = SetCurrentDialogs(&qt_dialogs);
  QString seen;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      seen = box->text();
      box->button(QMessageBox::Ok)->click();
    }
  });
  closer.start(10);
  Click(kCode128Row);
  closer.stop();
  SetCurrentDialogs(previous);
  // The window manager activates the window again when the box is gone.
  if (!dlg->isActiveWindow()) {
    dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  }
  QApplication::processEvents();
  EXPECT_EQ(seen, QStringLiteral("Некорректное значение поля!"));
  ExpectShown(kPowerRow);
  EXPECT_EQ(QApplication::focusWidget(), Edit(kPowerRow, 1200));
}

TEST_F(MainDlgTest, ReselectingTheSelectedItemNeitherStoresNorLoads) {
  Click(kPowerRow);
  dialogs.shown.clear();
  Type(Edit(kPowerRow, 1033), "300");  // Store would refuse it, Load would replace it
  Click(kPowerRow);
  Tree()->setCurrentItem(Item(kPowerRow));
  QApplication::processEvents();
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.beeps, 0);
  EXPECT_EQ(Edit(kPowerRow, 1033)->text(), QStringLiteral("300"));
  ExpectShown(kPowerRow);
}

TEST_F(MainDlgTest, EachPageIsLoadedWhenShownAndStoredWhenLeft) {
  CurrentSettings().sleep_timeout = 99;
  Click(kPowerRow);
  EXPECT_EQ(Edit(kPowerRow, 1033)->text(), QStringLiteral("99"));

  Click(kCode128Row);
  auto* box = dlg->PageAt(kCode128Row).ControlAs<QCheckBox>(1027);
  ASSERT_TRUE(box->isChecked());
  QStyleOptionButton option;
  option.initFrom(box);
  const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
  QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
  EXPECT_FALSE(box->isChecked());
  EXPECT_TRUE(CurrentSettings().code128_enabled) << "the record changes when the page is left";
  Click(0);
  ExpectShown(0);
  EXPECT_FALSE(CurrentSettings().code128_enabled);
}

// Calls `on_event` for every event of the watched object.
class EventWatch final : public QObject {
 public:
  EventWatch(QObject* watched, std::function<void(QEvent::Type)> on_event)
      : watched_(watched), on_event_(std::move(on_event)) {
    watched_->installEventFilter(this);
  }
  ~EventWatch() override { watched_->removeEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    on_event_(event->type());
    return false;
  }

 private:
  QObject* watched_;
  std::function<void(QEvent::Type)> on_event_;
};

TEST_F(MainDlgTest, APageSwitchStoresHidesClearsLoadsShowsAndNamesInThatOrder) {
  Click(kCode128Row);
  auto* box = dlg->PageAt(kCode128Row).ControlAs<QCheckBox>(1027);
  const bool before = CurrentSettings().code128_enabled;
  box->setChecked(!before);
  CurrentSettings().sleep_timeout = 77;

  std::vector<std::string> steps;
  auto header = [this] { return dlg->Header()->text().toStdString(); };
  EventWatch old_page(&dlg->PageAt(kCode128Row), [&](QEvent::Type type) {
    if (type != QEvent::Hide) return;
    steps.push_back("hide old: stored " +
                    std::to_string(CurrentSettings().code128_enabled != before) + ", header " +
                    header());
  });
  EventWatch new_page(&dlg->PageAt(kPowerRow), [&](QEvent::Type type) {
    if (type != QEvent::Show) return;
    steps.push_back("show new: active " +
                    std::to_string(&dlg->GetActivePage() == &dlg->PageAt(kPowerRow)) +
                    ", loaded " + Edit(kPowerRow, 1033)->text().toStdString() + ", header '" +
                    header() + "'");
  });
  Click(kPowerRow);
  EXPECT_EQ(steps, (std::vector<std::string>{"hide old: stored 1, header Code 128",
                                             "show new: active 1, loaded 77, header ''"}));
  EXPECT_EQ(header(), "Управление питанием");
}

TEST_F(MainDlgTest, AnItemWithoutAPageForwardsToItsFirstChild) {
  // No row of the page table is such an item: one is added here, whose child
  // stands for the Code 128 page.
  auto* folder = new QTreeWidgetItem(Tree()->invisibleRootItem(), QStringList{QStringLiteral("Папка")});
  auto* child = new QTreeWidgetItem(folder, QStringList{QStringLiteral("Code 128")});
  child->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(&dlg->PageAt(kCode128Row))));
  folder->setExpanded(true);
  Click(kPowerRow);
  CurrentSettings().code128_enabled = false;
  const std::size_t boxes = dialogs.shown.size();

  Tree()->setCurrentItem(folder);
  EXPECT_EQ(VisiblePages(), std::vector<std::size_t>{}) << "the page left is hidden";
  EXPECT_EQ(dlg->Header()->text(), QString());
  EXPECT_EQ(&dlg->GetActivePage(), &dlg->PageAt(kPowerRow)) << "no page of its own";
  QApplication::processEvents();  // the posted request
  EXPECT_EQ(Tree()->currentItem(), child);
  EXPECT_EQ(&dlg->GetActivePage(), &dlg->PageAt(kCode128Row));
  EXPECT_EQ(VisiblePages(), std::vector<std::size_t>{kCode128Row});
  EXPECT_FALSE(dlg->PageAt(kCode128Row).ControlAs<QCheckBox>(1027)->isChecked()) << "loaded";
  EXPECT_EQ(dlg->Header()->text(), QStringLiteral("Code 128"));
  EXPECT_EQ(dialogs.shown.size(), boxes);
}

TEST_F(MainDlgTest, TabGoesFromTheTreeThroughTheButtonsIntoTheShownPage) {
  Click(kPowerRow);
  Tree()->setFocus();
  std::vector<QWidget*> visited;
  for (int i = 0; i < 6; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited.push_back(QApplication::focusWidget());
  }
  ASSERT_GE(visited.size(), 3u);
  EXPECT_EQ(visited[0]->property("controlId").toInt(), 1038);
  EXPECT_EQ(visited[1]->property("controlId").toInt(), 1037);
  EXPECT_EQ(visited[2], Edit(kPowerRow, 1033));
  for (QWidget* w : visited) {
    EXPECT_TRUE(w->isVisible()) << "hidden pages are passed over";
  }
}

TEST_F(MainDlgTest, TheShownPageStaysSelected) {
  Click(kCode128Row);
  const QPoint on_item = Tree()->visualItemRect(Item(kCode128Row)).center();
  const QPoint on_other = Tree()->visualItemRect(Item(kPowerRow)).center();
  const QRect last = Tree()->visualItemRect(Item(kPageCount - 1));
  const QPoint beside = QPoint(last.center().x(), last.bottom() + 12);
  struct Case {
    const char* what;
    std::function<void()> act;
  };
  const Case cases[] = {
      {"a click beside the items",
       [&] { QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, beside); }},
      {"Ctrl and a click on the selected item",
       [&] { QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, Qt::ControlModifier, on_item); }},
      {"a right click on another item",
       [&] { QTest::mouseClick(Tree()->viewport(), Qt::RightButton, {}, on_other); }},
      {"a middle click on another item",
       [&] { QTest::mouseClick(Tree()->viewport(), Qt::MiddleButton, {}, on_other); }},
      {"a right double click on another item",
       [&] { QTest::mouseDClick(Tree()->viewport(), Qt::RightButton, {}, on_other); }},
      {"Ctrl and Space on the selected item",
       [&] {
         Tree()->setFocus();
         QTest::keyClick(Tree(), Qt::Key_Space, Qt::ControlModifier);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.act();
    QApplication::processEvents();
    ExpectShown(kCode128Row);
  }
}

TEST_F(MainDlgTest, ADragAcrossTheItemsLeavesTheShownPageSelected) {
  Click(kCode128Row);
  QWidget* viewport = Tree()->viewport();
  const QPoint from = Tree()->visualItemRect(Item(kCode128Row + 1)).center();
  const QPoint to = Tree()->visualItemRect(Item(kCode128Row + 3)).center();
  QTest::mousePress(viewport, Qt::LeftButton, {}, from);
  QTest::mouseMove(viewport, to);  // with the button held
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
  QApplication::processEvents();
  ExpectShown(kCode128Row + 3);
}

TEST_F(MainDlgTest, TheTreeStaysExpanded) {
  Tree()->setFocus();
  Tree()->setCurrentItem(Item(1));
  for (auto key : {Qt::Key_Minus, Qt::Key_Left}) QTest::keyClick(Tree(), key);
  QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(Item(3)).center());
  QApplication::processEvents();
  EXPECT_TRUE(Item(1)->isExpanded());
  EXPECT_TRUE(Item(3)->isExpanded());
  ExpectShown(3);
}

TEST_F(MainDlgTest, EnterAndEscapeDoNothing) {
  QSignalSpy closed(dlg.get(), &CMainDlg::closed);
  Click(kPowerRow);
  for (QWidget* target : {static_cast<QWidget*>(Edit(kPowerRow, 1033)),
                          static_cast<QWidget*>(Tree()), static_cast<QWidget*>(dlg.get())}) {
    target->setFocus();
    for (auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(target, key);
  }
  QApplication::processEvents();
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(closed.count(), 0);
  ExpectShown(kPowerRow);
}

TEST_F(MainDlgTest, IsATopLevelWindowWithAMinimiseBox) {
  EXPECT_TRUE(dlg->isWindow());
  EXPECT_EQ(dlg->parentWidget(), nullptr) << "its own task-bar entry";
  const Qt::WindowFlags flags = dlg->windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Window);
  EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));

  const QPoint place = dlg->pos();
  dlg->showMinimized();
  QApplication::processEvents();
  EXPECT_TRUE(dlg->isMinimized());
  dlg->showNormal();
  QApplication::processEvents();
  EXPECT_FALSE(dlg->isMinimized());
  EXPECT_EQ(dlg->pos(), place) << "restored at the same place";
  ExpectShown(0);
}

TEST_F(MainDlgTest, OpensCentredInTheWorkAreaAndNoLargerThanIt) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(dlg->pos(), CMainDlg::CentredIn(dlg->size(), area));
  EXPECT_TRUE(area.contains(dlg->frameGeometry())) << "area " << area.width() << "x" << area.height()
                                                   << ", window " << dlg->width() << "x" << dlg->height();
  EXPECT_GE(dlg->width(), dlg->minimumWidth());
  EXPECT_GE(dlg->height(), dlg->minimumHeight());
}

// Made larger, the tree and the page area take the room; made smaller, a page
// that no longer fits scrolls, and the keyboard brings its fields into view.
TEST_F(MainDlgTest, ResizesAndAPageThatDoesNotFitScrolls) {
  EXPECT_LT(dlg->minimumWidth(), dlg->maximumWidth());
  EXPECT_LT(dlg->minimumHeight(), dlg->maximumHeight());
  auto* area = dlg->findChild<QScrollArea*>(QStringLiteral("control1002"));
  ASSERT_NE(area, nullptr);
  auto* load = dlg->findChild<QPushButton*>(QStringLiteral("control1038"));
  auto* save = dlg->findChild<QPushButton*>(QStringLiteral("control1037"));
  auto* status = dlg->findChild<QLabel*>(QStringLiteral("statusLine"));
  ASSERT_NE(status, nullptr);
  const QRect tree = Tree()->geometry();
  const QRect page_area = area->geometry();
  const QRect load_place = load->geometry();

  dlg->resize(dlg->size() + QSize(120, 90));
  QApplication::processEvents();
  EXPECT_EQ(Tree()->geometry(), tree.adjusted(0, 0, 0, 90));
  EXPECT_EQ(area->geometry(), page_area.adjusted(0, 0, 120, 90));
  EXPECT_EQ(load->geometry(), load_place);
  EXPECT_FALSE(save->geometry().intersects(load->geometry()));
  EXPECT_EQ(status->geometry().bottom() < dlg->height(), true);
  EXPECT_GT(status->geometry().top(), area->geometry().bottom());

  // The settings page is the tallest: at the smallest size it scrolls.
  Click(1);
  dlg->resize(dlg->minimumSize());
  QApplication::processEvents();
  EXPECT_FALSE(save->geometry().intersects(load->geometry()));
  EXPECT_LE(save->geometry().right(), dlg->width());
  ASSERT_GT(area->verticalScrollBar()->maximum(), 0);
  EXPECT_TRUE(area->verticalScrollBar()->isVisible());
  area->verticalScrollBar()->setValue(0);
  QWidget* last = dlg->SettingsPage().Control(1098);
  ASSERT_NE(last, nullptr);
  const auto in_view = [&] {
    const QRect shown(last->mapTo(area->viewport(), QPoint()), last->size());
    return area->viewport()->rect().contains(shown);
  };
  EXPECT_FALSE(in_view());
  dlg->SettingsPage().Control(1143)->setFocus();
  for (int i = 0; i < 20 && QApplication::focusWidget() != last; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  ASSERT_EQ(QApplication::focusWidget(), last);
  EXPECT_TRUE(in_view());
}

TEST(CentredInTest, CentresInTheAreaAndKeepsTheTopLeftCornerInside) {
  struct Case {
    QSize size;
    QRect area;
    QPoint expected;
  };
  const Case cases[] = {
      /* 1 */ {{600, 400}, {0, 0, 800, 600}, {100, 100}},
      /* 2 */ {{600, 400}, {200, 30, 800, 600}, {300, 130}},   // an area not at the origin
      /* 3 */ {{754, 640}, {0, 0, 800, 600}, {23, 0}},         // taller than the area
      /* 4 */ {{900, 640}, {50, 40, 800, 600}, {50, 40}},      // larger both ways
      /* 5 */ {{800, 600}, {0, 0, 800, 600}, {0, 0}},          // exactly as large
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(++row);
    const QPoint placed = CMainDlg::CentredIn(c.size, c.area);
    EXPECT_EQ(placed.x(), c.expected.x());
    EXPECT_EQ(placed.y(), c.expected.y());
  }
}

TEST_F(MainDlgTest, ClosingEndsTheProgram) {
  QSignalSpy closed(dlg.get(), &CMainDlg::closed);
  dialogs.shown.clear();
  EXPECT_TRUE(dlg->close());
  EXPECT_EQ(closed.count(), 1);
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_TRUE(dialogs.shown.empty()) << "nothing changed, nothing asked";
}

// An edit still in the page's fields counts: the page is stored first.
TEST_F(MainDlgTest, ClosingWithUnsavedEditsAsksAndNoKeepsWindowAndSettings) {
  QSignalSpy closed(dlg.get(), &CMainDlg::closed);
  Click(kPowerRow);
  Type(Edit(kPowerRow, 1033), "77");
  dialogs.shown.clear();

  EXPECT_FALSE(dlg->close());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  const MessageBox& box = dialogs.shown[0];
  EXPECT_EQ(box.caption, "Внимание");
  EXPECT_EQ(box.icon, Icon::exclamation);
  EXPECT_EQ(box.buttons, Buttons::yes_no);
  EXPECT_EQ(box.default_answer, Answer::no);
  EXPECT_NE(box.text.find("потеряны"), std::string::npos) << box.text;
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(closed.count(), 0);
  EXPECT_EQ(CurrentSettings().sleep_timeout, 77);
  ExpectShown(kPowerRow);
  EXPECT_EQ(Edit(kPowerRow, 1033)->text(), QStringLiteral("77"));

  dialogs.yes_no_answer = Answer::yes;
  EXPECT_TRUE(dlg->close());
  EXPECT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(closed.count(), 1);
}

TEST_F(MainDlgTest, ClosingWithAnInvalidFieldStaysThere) {
  QSignalSpy closed(dlg.get(), &CMainDlg::closed);
  Click(kPowerRow);
  Type(Edit(kPowerRow, 1200), "0");
  dialogs.shown.clear();
  dialogs.yes_no_answer = Answer::yes;
  dialogs.on_show = [this] { Tree()->setFocus(); };
  EXPECT_FALSE(dlg->close());
  ASSERT_EQ(dialogs.shown.size(), 1u) << "no question before the field is right";
  EXPECT_EQ(dialogs.shown[0].text, "Некорректное значение поля!");
  EXPECT_EQ(closed.count(), 0);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), Edit(kPowerRow, 1200));
  ExpectShown(kPowerRow);
}

// What the settings last equalled: a file saved or loaded, or the scanner.
TEST_F(MainDlgTest, AFileSavedOrLoadedIsTheNewReferenceForClosing) {
  const std::string path =
      (QDir::tempPath() + QStringLiteral("/tavrik-close-%1.qdx").arg(QCoreApplication::applicationPid()))
          .toStdString();
  struct Case {
    const char* what;
    void (CSettingsPage::*action)();
    std::string file;
    const char16_t* status;
    bool kept;  // the settings equal the file now
  };
  const Case cases[] = {
      {"saved to a file", &CSettingsPage::OnSaveToFile, path, u"Настройки сохранены в файл в ", true},
      {"loaded from that file", &CSettingsPage::OnLoadFromFile, path, u"Настройки загружены из файла в ", true},
      {"a file that is not there", &CSettingsPage::OnLoadFromFile, path + ".none",
       u"Настройки из файла не загружены в ", false},
  };
  Click(kPowerRow);
  Type(Edit(kPowerRow, 1033), "91");
  Click(1);
  auto* status = dlg->findChild<QLabel*>(QStringLiteral("statusLine"));
  ASSERT_NE(status, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs.file = c.file;
    (dlg->SettingsPage().*c.action)();
    EXPECT_EQ(dlg->HasUnsavedChanges(), !c.kept);
    const QString line = dlg->StatusText();
    const QString text = QString::fromUtf16(c.status);
    EXPECT_TRUE(line.startsWith(text)) << line.toStdString();
    EXPECT_TRUE(QTime::fromString(line.mid(text.size()), QStringLiteral("HH:mm")).isValid()) << line.toStdString();
    // A screen reader finds it by its name and reads the news.
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(status);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->text(QAccessible::Name), QStringLiteral("Строка состояния"));
    EXPECT_EQ(read->text(QAccessible::Description), line);
    if (c.kept) {
      EXPECT_EQ(CurrentSettings().sleep_timeout, 91);
      CurrentSettings().sleep_timeout = 92;
      EXPECT_TRUE(dlg->HasUnsavedChanges());
    }
  }
  EXPECT_TRUE(status->focusPolicy() & Qt::TabFocus) << "reachable with the keyboard";
  std::remove(path.c_str());
  dialogs.shown.clear();
  EXPECT_FALSE(dlg->close());
  EXPECT_EQ(dialogs.shown.size(), 1u);
}

}  // namespace
}  // namespace tavrik

namespace tavrik {
namespace {

// ---- finding a setting, the marks of changed pages, the list of differences ----

class FindAndMarksTest : public MainDlgTest {
 protected:
  std::vector<std::size_t> ShownRows() const {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < kPageCount; ++row) {
      if (!Item(row)->isHidden()) rows.push_back(row);
    }
    return rows;
  }
  void Search(const QString& text) {
    QLineEdit* field = dlg->SearchField();
    field->setFocus();
    // The test keyboard types Latin letters only; the field takes any text.
    field->setText(text);
  }
  std::vector<std::size_t> MarkedRows() const {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < kPageCount; ++row) {
      const bool marked = Item(row)->data(0, kChangedRole).toBool();
      EXPECT_EQ(Item(row)->data(0, Qt::AccessibleDescriptionRole).toString(),
                marked ? QStringLiteral("изменено") : QString());
      if (marked) rows.push_back(row);
    }
    return rows;
  }
  QWidget* Control(std::size_t row, int id) const { return dlg->PageAt(row).Control(id); }
  // The page stays in view while the search hides its item.
  void ExpectInView(std::size_t row) {
    EXPECT_EQ(&dlg->GetActivePage(), &dlg->PageAt(row));
    EXPECT_EQ(VisiblePages(), std::vector<std::size_t>{row});
    EXPECT_EQ(Tree()->currentItem(), Item(row));
  }
};

TEST_F(FindAndMarksTest, SearchShowsTheMatchingPagesAndEnterOpensTheMatch) {
  EXPECT_EQ(dlg->SearchField()->accessibleName(), QStringLiteral("Поиск настройки"));
  EXPECT_EQ(dlg->SearchField()->placeholderText(), QStringLiteral("Поиск настройки"));
  struct Case {
    const char16_t* text;
    std::vector<std::size_t> rows;  // shown, folders kept
    std::size_t opened;
    int focused;
  };
  const Case cases[] = {
      /*0*/ {u"таймаут ПОВТОРНОГО", {1, 3}, 3, 1084},         // part of a label, any case
      /*1*/ {u"redecode_timeout", {1, 3}, 3, 1084},           // a field's name
      /*2*/ {u"Распознавать Code 128", {1, 3, 9}, 9, 1027},   // a check box's caption
      /*3*/ {u"макс. 12750", {1, 3, 4}, 3, 1084},             // a note: the field it stands beside
      /*4*/ {u"скорость", {0, 1, 2}, 0, 1041},                // labels of three pages: the first opens
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    Search(QString::fromUtf16(c.text));
    EXPECT_EQ(ShownRows(), c.rows);
    EXPECT_FALSE(dlg->findChild<QLabel*>(QStringLiteral("noMatch"))->isVisible());
    QTest::keyClick(dlg->SearchField(), Qt::Key_Return);
    QApplication::processEvents();
    ExpectShown(c.opened);
    EXPECT_EQ(QApplication::focusWidget(), Control(c.opened, c.focused));
  }

  // Nothing found: an empty tree that says so; the page in view stays.
  Search(QStringLiteral("zzqqxx"));
  EXPECT_TRUE(ShownRows().empty());
  EXPECT_TRUE(dlg->findChild<QLabel*>(QStringLiteral("noMatch"))->isVisible());
  QTest::keyClick(dlg->SearchField(), Qt::Key_Return);
  ExpectInView(0);

  // Escape shows the whole tree again.
  QTest::keyClick(dlg->SearchField(), Qt::Key_Escape);
  EXPECT_TRUE(dlg->SearchField()->text().isEmpty());
  EXPECT_EQ(ShownRows().size(), kPageCount);
  EXPECT_FALSE(dlg->findChild<QLabel*>(QStringLiteral("noMatch"))->isVisible());
}

TEST_F(FindAndMarksTest, ChoosingAFoundPageOpensItAtTheMatchAndARefusedSwitchStays) {
  Search(QStringLiteral("Распознавать Code 128"));
  Click(kCode128Row);
  QApplication::processEvents();
  ExpectShown(kCode128Row);
  EXPECT_EQ(QApplication::focusWidget(), Control(kCode128Row, 1027));

  // The page contract holds: an invalid field keeps the user where it is.
  QTest::keyClick(dlg->SearchField(), Qt::Key_Escape);
  Click(kPowerRow);
  Type(Edit(kPowerRow, 1200), "0");
  dialogs.shown.clear();
  Search(QStringLiteral("redecode"));
  QTest::keyClick(dlg->SearchField(), Qt::Key_Return);
  QApplication::processEvents();
  ExpectInView(kPowerRow);
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.shown.back().text, "Некорректное значение поля!");
}

TEST_F(FindAndMarksTest, MarksFollowEditsAndTheListPutsThemBack) {
  EXPECT_TRUE(MarkedRows().empty()) << "the start's defaults";
  Click(kCode128Row);
  dlg->PageAt(kCode128Row).ControlAs<QCheckBox>(1027)->click();
  EXPECT_TRUE(MarkedRows().empty()) << "not before the page is stored";
  Click(kPowerRow);
  EXPECT_EQ(MarkedRows(), std::vector<std::size_t>{kCode128Row});
  Type(Edit(kPowerRow, 1033), "77");

  // The list stores the page in view first and shows both differences.
  ASSERT_NE(dlg->DifferencesButton(), nullptr);
  QTest::mouseClick(dlg->DifferencesButton(), Qt::LeftButton);
  auto* list = dlg->findChild<CDifferencesDlg*>();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(MarkedRows(), (std::vector<std::size_t>{kCode128Row, kPowerRow}));
  ASSERT_EQ(list->List()->topLevelItemCount(), 2);
  const QTreeWidgetItem* code128 = list->List()->topLevelItem(0);
  EXPECT_EQ(code128->text(0), QStringLiteral("Code 128"));
  EXPECT_EQ(code128->text(1), QStringLiteral("Распознавать Code 128"));
  EXPECT_EQ(code128->text(2), QStringLiteral("да"));
  EXPECT_EQ(code128->text(3), QStringLiteral("нет"));
  EXPECT_EQ(list->List()->topLevelItem(1)->text(0), QStringLiteral("Управление питанием"));
  EXPECT_EQ(list->List()->topLevelItem(1)->text(3), QStringLiteral("77 с"));

  // A row opens its page at its control.
  list->List()->setCurrentItem(list->List()->topLevelItem(0));
  list->OpenChosen();
  EXPECT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  ExpectShown(kCode128Row);
  EXPECT_EQ(QApplication::focusWidget(), Control(kCode128Row, 1027));

  // One page back to the defaults, after a question; No changes nothing.
  dialogs.yes_no_answer = Answer::no;
  EXPECT_FALSE(dlg->ResetPage(&dlg->PageAt(kPowerRow)));
  EXPECT_EQ(CurrentSettings().sleep_timeout, 77);
  dialogs.yes_no_answer = Answer::yes;
  EXPECT_TRUE(dlg->ResetPage(&dlg->PageAt(kPowerRow)));
  EXPECT_EQ(MarkedRows(), std::vector<std::size_t>{kCode128Row});
  EXPECT_NE(dialogs.shown.back().text.find("Управление питанием"), std::string::npos);
  EXPECT_EQ(dialogs.shown.back().caption, "Внимание");

  // Everything back: the page in view shows it at once.
  EXPECT_TRUE(dlg->ResetAll());
  EXPECT_TRUE(MarkedRows().empty());
  EXPECT_TRUE(dlg->PageAt(kCode128Row).ControlAs<QCheckBox>(1027)->isChecked());
  Settings defaults{};
  LoadDefaults(defaults);
  EXPECT_EQ(CurrentSettings(), defaults);
}

// Every field that a page of the tree or one of its tabs shows has its page,
// its control and its caption.
TEST_F(FindAndMarksTest, TheIndexPlacesEveryShownFieldAtItsControl) {
  const auto& places = dlg->Index().Places();
  for (const SettingRow& row : SettingsCatalog()) {
    if (!row.Shown() || row.page == page_id::connect || row.page == page_id::settings) continue;
    SCOPED_TRACE(row.name);
    const auto place = std::find_if(places.begin(), places.end(), [&](const SettingPlace& p) { return p.field == &row; });
    ASSERT_NE(place, places.end());
    EXPECT_FALSE(place->caption.isEmpty());
    if (row.control_id != 0 && row.control != ControlKind::hidden_check) {
      ASSERT_NE(place->control, nullptr);
      EXPECT_EQ(place->control->property(kControlIdProperty).toInt(), row.control_id);
      EXPECT_TRUE(place->page->isAncestorOf(place->control));
    }
  }
  const auto redecode = std::find_if(places.begin(), places.end(),
                                     [](const SettingPlace& p) { return std::string(p.field->name) == "redecode_timeout"; });
  ASSERT_NE(redecode, places.end());
  EXPECT_EQ(redecode->page, &dlg->PageAt(3));
  EXPECT_EQ(redecode->control, Control(3, 1084));
  EXPECT_EQ(redecode->caption, QStringLiteral("Таймаут повторного декодирования (мс)"));
}

// The list shows each value as its page does: a choice by its caption, a time
// in the unit the user types, and the tab a field stands on.
TEST_F(FindAndMarksTest, TheListShowsValuesAsThePagesDo) {
  CurrentSettings().symbology_id_mode = 2;
  CurrentSettings().redecode_timeout = 20;
  CurrentSettings().uart_parity = 1;
  QTest::mouseClick(dlg->DifferencesButton(), Qt::LeftButton);
  auto* list = dlg->findChild<CDifferencesDlg*>();
  ASSERT_NE(list, nullptr);
  struct Row {
    const char16_t* page;
    const char16_t* caption;
    const char16_t* was;
    const char16_t* now;
  };
  const Row expected[] = {
      {u"Интерфейс с ПК / UART (RS232)", u"Четность", u"None", u"Odd"},
      {u"Декодеры штрих-кодов", u"Идентификатор символики", u"Не передавать",
       u"Передавать при наличии в ШК спец. символов"},
      {u"Декодеры штрих-кодов", u"Таймаут повторного декодирования (мс)", u"600 мс", u"1000 мс"},
  };
  ASSERT_EQ(list->List()->topLevelItemCount(), static_cast<int>(std::size(expected)));
  for (int i = 0; i < list->List()->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = list->List()->topLevelItem(i);
    const Row& want = expected[i];
    SCOPED_TRACE(item->text(1).toStdString());
    EXPECT_EQ(item->text(0), QString::fromUtf16(want.page));
    EXPECT_EQ(item->text(1), QString::fromUtf16(want.caption));
    EXPECT_EQ(item->text(2), QString::fromUtf16(want.was));
    EXPECT_EQ(item->text(3), QString::fromUtf16(want.now));
  }
  // A field of a tab opens its page at the tab and the control.
  list->List()->setCurrentItem(list->List()->topLevelItem(0));
  list->OpenChosen();
  const auto& places = dlg->Index().Places();
  const auto parity = std::find_if(places.begin(), places.end(),
                                   [](const SettingPlace& p) { return std::string(p.field->name) == "uart_parity"; });
  ASSERT_NE(parity, places.end());
  EXPECT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
  EXPECT_EQ(&dlg->GetActivePage(), parity->page);
  EXPECT_EQ(QApplication::focusWidget(), parity->control);
  EXPECT_TRUE(parity->control->isVisible());
}

}  // namespace
}  // namespace tavrik
