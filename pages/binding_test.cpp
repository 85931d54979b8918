// The bindings that reach the record directly: radio groups and combos
// through a table, track bars, numbers typed in one unit and stored in
// another, the commit after the whole list, and a tab host's child pages.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>

#include <cstdint>

#include "core/ScriptedDialogs.h"
#include "pages/Page.h"
#include "pages/DialogUnits.h"
#include "pages/PageForm.h"
#include "pages/test_parent.h"

namespace tavrik {
namespace {

// A record of its own, standing in for the settings record.
struct Record {
  std::uint8_t mode = 0;       // radio through a table
  std::uint8_t level = 0;      // radio, identity
  std::uint8_t poll = 1;       // combo, offset 1
  std::uint16_t delay = 0;     // combo, scale 10
  std::uint8_t page = 0;       // combo through a list of values
  std::uint8_t volume = 0;     // track bar 0..8
  std::uint8_t timeout = 1;    // ms typed, 50 ms stored
  std::uint8_t joined = 1;     // ms typed, 500 ms stored
  std::uint16_t pin = 0;       // clamped plain number
  bool flag = false;
};

constexpr int kModeTable[] = {2, 1, 0, 3};
constexpr int kPageValues[] = {0, 1, 2};

class CConvertingPage : public CPageImpl<CConvertingPage> {
 public:
  explicit CConvertingPage(bool after_all) : CPageImpl(998, QStringLiteral("Пересчёт")), after_all_(after_all) {}
  Record r;

  void Bindings(CBindings& b) {
    if (after_all_) b.CommitAfterAll();
    b.BindRadio(100, r.mode, kModeTable);
    b.BindRadio(110, r.level);
    b.BindCombo(120, r.poll, {.offset = 1});
    b.BindCombo(121, r.delay, {.scale = 10});
    b.BindCombo(122, r.page, {.values = kPageValues});
    b.BindTrackBar(130, r.volume);
    b.BindCheck(140, r.flag);
    b.BindInt(150, r.timeout, {50, 12750, 50});
    b.BindInt(151, r.joined, {500, 127500, 500});
    b.BindInt(152, r.pin, {0, 9999});
  }

 protected:
  void CreateControls(CPageForm& f) override {
    f.BeginGroup(QStringLiteral("Режим"));
    f.RadioGroup(100, QStringLiteral("Два"));
    f.Radio(101, QStringLiteral("Один"));
    f.Radio(102, QStringLiteral("Ноль"));
    f.Radio(103, QStringLiteral("Три"));
    f.EndGroup();
    f.RadioGroup(110, QStringLiteral("Уровень 0"));
    f.Radio(111, QStringLiteral("Уровень 1"));
    f.NumberCombo(120, QStringLiteral("Опрос:"), 1, 16);
    f.NumberCombo(121, QStringLiteral("Задержка:"), 0, 500, 10);
    f.Combo(122, QStringLiteral("Кодовая страница:"),
            {QStringLiteral("Windows 1251"), QStringLiteral("MS-DOS 866 (CP866)"), QStringLiteral("UTF-8")});
    f.BeginGroup(QStringLiteral("Громкость"));
    f.TrackBar(130, 0, 8);
    f.EndGroup();
    f.Check(140, QStringLiteral("Флажок"));
    f.NumberEdit(150, QStringLiteral("Таймаут (мс):"));
    f.NumberEdit(151, QStringLiteral("Соединение (мс):"));
    f.NumberEdit(152, QStringLiteral("PIN-код"));
  }

 private:
  bool after_all_;
};

class ConvertingPageTest : public ::testing::Test {
 protected:
  void Place(CPageT& page) {
    parent.page = &page;
    page.SetParentDlg(&parent);
    page.Create(nullptr, QRect(0, 0, 411, 600));
  }
  QRadioButton* Radio(CPageT& p, int id) { return p.ControlAs<QRadioButton>(id); }
  QComboBox* Combo(CPageT& p, int id) { return p.ControlAs<QComboBox>(id); }
  QLineEdit* Edit(CPageT& p, int id) { return p.ControlAs<QLineEdit>(id); }

  ScriptedDialogs dialogs;
  NoParent parent;
};

TEST_F(ConvertingPageTest, RadioGroupThroughATableBothWays) {
  CConvertingPage page(false);
  Place(page);
  struct Case {
    int stored;   // the record's mode before the load
    int checked;  // the control id checked after the load; 0: none
    int click;    // the button the user then checks; 0: none
    int after;    // the record's mode after the store
  };
  const Case cases[] = {
      /* 1 */ {2, 100, 0, 2},
      /* 2 */ {0, 102, 0, 0},
      /* 3 */ {3, 103, 0, 3},
      /* 4 */ {0, 102, 100, 2},  // "Два" stands for 2
      /* 5 */ {7, 0, 0, 7},      // outside the table: nothing checked, the record keeps 7
      /* 6 */ {7, 0, 101, 1},    // until the user chooses
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    page.r.mode = static_cast<std::uint8_t>(c.stored);
    page.Load();
    for (int id = 100; id <= 103; ++id) EXPECT_EQ(Radio(page, id)->isChecked(), id == c.checked) << id;
    if (c.click) Radio(page, c.click)->setChecked(true);
    EXPECT_TRUE(page.Store());
    EXPECT_EQ(page.r.mode, c.after);
  }
  // The identity group: position is the value; a value beyond the group checks none.
  page.r.level = 1;
  page.Load();
  EXPECT_TRUE(Radio(page, 111)->isChecked());
  page.r.level = 5;
  page.Load();
  EXPECT_FALSE(Radio(page, 110)->isChecked());
  EXPECT_FALSE(Radio(page, 111)->isChecked());
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(page.r.level, 5);
}

TEST_F(ConvertingPageTest, CombosThroughAnOffsetAScaleOrAList) {
  CConvertingPage page(false);
  Place(page);
  EXPECT_EQ(Combo(page, 120)->count(), 16);
  EXPECT_EQ(Combo(page, 121)->count(), 51);
  EXPECT_EQ(Combo(page, 121)->itemText(50), QStringLiteral("500"));
  struct Case {
    int id;
    int stored;
    int shown;   // the selected position; -1 none
    int choose;  // the position the user then selects; -1 none
    int after;
  };
  const Case cases[] = {
      /* 1 */ {120, 3, 2, -1, 3},     // poll interval 3 shows "3"
      /* 2 */ {120, 3, 2, 15, 16},    // choosing "16" stores 16
      /* 3 */ {120, 0, -1, -1, 0},    // below the list: nothing selected, kept
      /* 4 */ {120, 17, -1, -1, 17},  // above it: the same
      /* 5 */ {121, 120, 12, -1, 120},
      /* 6 */ {121, 15, -1, -1, 15},  // not a multiple of 10: kept
      /* 7 */ {121, 510, -1, 3, 30},
      /* 8 */ {122, 2, 2, 0, 0},
      /* 9 */ {122, 9, -1, -1, 9},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    page.r.poll = 1;
    page.r.delay = 0;
    page.r.page = 0;
    if (c.id == 120) page.r.poll = static_cast<std::uint8_t>(c.stored);
    if (c.id == 121) page.r.delay = static_cast<std::uint16_t>(c.stored);
    if (c.id == 122) page.r.page = static_cast<std::uint8_t>(c.stored);
    page.Load();
    EXPECT_EQ(Combo(page, c.id)->currentIndex(), c.shown);
    if (c.choose >= 0) Combo(page, c.id)->setCurrentIndex(c.choose);
    EXPECT_TRUE(page.Store());
    const int after = c.id == 120 ? page.r.poll : c.id == 121 ? page.r.delay : page.r.page;
    EXPECT_EQ(after, c.after);
  }
}

TEST_F(ConvertingPageTest, TrackBarClampsToItsRange) {
  CConvertingPage page(false);
  Place(page);
  auto* bar = page.ControlAs<QSlider>(130);
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 8);
  EXPECT_EQ(bar->tickInterval(), 1);
  EXPECT_EQ(bar->accessibleName(), QStringLiteral("Громкость"));
  page.r.volume = 5;
  page.Load();
  EXPECT_EQ(bar->value(), 5);
  page.r.volume = 12;
  page.Load();
  EXPECT_EQ(bar->value(), 8);
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(page.r.volume, 8);
}

TEST_F(ConvertingPageTest, NumbersInAnotherUnitAreCheckedAsTypedAndRoundedHalvesUp) {
  CConvertingPage page(false);
  Place(page);
  // Loading clamps the record into what the page can show, and writes the clamp back.
  struct Load {
    int timeout, joined, pin;                    // stored
    const char16_t *t_shown, *j_shown, *p_shown;
    int timeout_after, joined_after, pin_after;  // the record after the load
  };
  const Load loads[] = {
      /* 1 */ {0, 0, 12000, u"50", u"500", u"9999", 1, 1, 9999},
      /* 2 */ {255, 255, 9999, u"12750", u"127500", u"9999", 255, 255, 9999},
      /* 3 */ {4, 2, 0, u"200", u"1000", u"0", 4, 2, 0},
  };
  int row = 0;
  for (const Load& c : loads) {
    SCOPED_TRACE(::testing::Message() << "load row " << ++row);
    page.r.timeout = static_cast<std::uint8_t>(c.timeout);
    page.r.joined = static_cast<std::uint8_t>(c.joined);
    page.r.pin = static_cast<std::uint16_t>(c.pin);
    page.Load();
    EXPECT_EQ(Edit(page, 150)->text(), QString::fromUtf16(c.t_shown));
    EXPECT_EQ(Edit(page, 151)->text(), QString::fromUtf16(c.j_shown));
    EXPECT_EQ(Edit(page, 152)->text(), QString::fromUtf16(c.p_shown));
    EXPECT_EQ(page.r.timeout, c.timeout_after);
    EXPECT_EQ(page.r.joined, c.joined_after);
    EXPECT_EQ(page.r.pin, c.pin_after);
  }
  struct Store {
    int id;
    const char16_t* typed;
    bool ok;
    int stored;  // -1: the record keeps its value
  };
  const Store stores[] = {
      /* 1 */ {150, u"49", false, -1},
      /* 2 */ {150, u"50", true, 1},
      /* 3 */ {150, u"12750", true, 255},
      /* 4 */ {150, u"12751", false, -1},
      /* 5 */ {150, u"74", true, 1},
      /* 6 */ {150, u"75", true, 2},  // halves up
      /* 7 */ {151, u"499", false, -1},
      /* 8 */ {151, u"500", true, 1},
      /* 9 */ {151, u"749", true, 1},
      /* 10 */ {151, u"750", true, 2},
      /* 11 */ {151, u"127500", true, 255},
      /* 12 */ {152, u"10000", false, -1},
      /* 13 */ {152, u"", false, -1},
  };
  row = 0;
  for (const Store& c : stores) {
    SCOPED_TRACE(::testing::Message() << "store row " << ++row);
    page.r.timeout = 4;
    page.r.joined = 4;
    page.r.pin = 1234;
    page.Load();
    Edit(page, c.id)->setText(QString::fromUtf16(c.typed));
    dialogs.beeps = 0;
    EXPECT_EQ(page.Store(), c.ok);
    EXPECT_EQ(dialogs.beeps, c.ok ? 0 : 1);
    const int after = c.id == 150 ? page.r.timeout : c.id == 151 ? page.r.joined : page.r.pin;
    const int before = c.id == 152 ? 1234 : 4;
    EXPECT_EQ(after, c.stored < 0 ? before : c.stored);
  }
}

TEST_F(ConvertingPageTest, CommitAfterAllStoresConversionsOnlyWhenEveryBindingSucceeded) {
  for (bool after_all : {false, true}) {
    SCOPED_TRACE(after_all ? "after all" : "as they go");
    CConvertingPage page(after_all);
    Place(page);
    page.Load();
    Radio(page, 103)->setChecked(true);  // mode 3
    Combo(page, 120)->setCurrentIndex(4);
    page.ControlAs<QCheckBox>(140)->setChecked(true);
    Edit(page, 151)->setText(QStringLiteral("1"));  // fails
    EXPECT_FALSE(page.Store());
    // A check box stores as it goes either way.
    EXPECT_TRUE(page.r.flag);
    EXPECT_EQ(page.r.mode, after_all ? 0 : 3);
    EXPECT_EQ(page.r.poll, after_all ? 1 : 5);
    Edit(page, 151)->setText(QStringLiteral("500"));
    EXPECT_TRUE(page.Store());
    EXPECT_EQ(page.r.mode, 3);
    EXPECT_EQ(page.r.poll, 5);
  }
}

// A child page with ids that the host page uses too.
class CChildPage : public CPageImpl<CChildPage> {
 public:
  CChildPage() : CPageImpl(997, QStringLiteral("Вкладка")) {}
  bool flag = false;
  std::uint16_t number = 5;
  void Bindings(CBindings& b) {
    b.BindCheck(100, flag);
    b.BindInt(101, number, 0, 9999);
  }

 protected:
  void CreateControls(CPageForm& f) override {
    f.Check(100, QStringLiteral("Флажок вкладки"));
    f.NumberEdit(101, QStringLiteral("Число:"));
  }
};

class CHostPage : public CPageImpl<CHostPage> {
 public:
  CHostPage() : CPageImpl(996, QStringLiteral("Вкладки")) {}
  bool flag = false;
  CChildPage first, second;
  void Bindings(CBindings& b) { b.BindCheck(100, flag); }

 protected:
  void CreateControls(CPageForm& f) override {
    f.Check(100, QStringLiteral("Флажок страницы"));
    f.TabHost(1150);
    f.Tab(first, QStringLiteral("Первая"));
    f.Tab(second, QStringLiteral("Вторая"));
  }
};

TEST_F(ConvertingPageTest, TabHostLoadsAndStoresItsChildPages) {
  CHostPage page;
  Place(page);
  auto* tabs = page.ControlAs<QTabWidget>(1150);
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(1), QStringLiteral("Вторая"));
  EXPECT_EQ(tabs->widget(0), &page.first);
  ASSERT_EQ(page.ChildPages().size(), 2u);
  // Each page has its own ids.
  EXPECT_NE(page.ControlAs<QCheckBox>(100), page.first.ControlAs<QCheckBox>(100));
  EXPECT_EQ(&page.first.ParentDlg(), &parent);

  page.flag = true;
  page.first.flag = false;
  page.second.flag = true;
  page.second.number = 42;
  page.Load();
  EXPECT_TRUE(page.ControlAs<QCheckBox>(100)->isChecked());
  EXPECT_FALSE(page.first.ControlAs<QCheckBox>(100)->isChecked());
  EXPECT_TRUE(page.second.ControlAs<QCheckBox>(100)->isChecked());
  EXPECT_EQ(page.second.ControlAs<QLineEdit>(101)->text(), QStringLiteral("42"));

  page.first.ControlAs<QCheckBox>(100)->setChecked(true);
  page.second.ControlAs<QLineEdit>(101)->setText(QStringLiteral("10000"));
  EXPECT_FALSE(page.Store()) << "an invalid field on a tab keeps the user on the page";
  EXPECT_TRUE(page.first.flag);
  EXPECT_EQ(page.second.number, 42);
  page.second.ControlAs<QLineEdit>(101)->setText(QStringLiteral("7"));
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(page.second.number, 7);
}

TEST_F(ConvertingPageTest, LabelledControlsAreNamedByTheirLabels) {
  CConvertingPage page(false);
  Place(page);
  EXPECT_EQ(Combo(page, 120)->accessibleName(), QStringLiteral("Опрос:"));
  EXPECT_EQ(Edit(page, 152)->accessibleName(), QStringLiteral("PIN-код"));
  EXPECT_EQ(Radio(page, 100)->accessibleName(), QStringLiteral("Два"));
}

// Placements in dialog units, as the settings and connection pages are laid out.
constexpr Placement kPlacements[] = {
    {1142, PlacementKind::label, 9, 22, 65, 8, u"Для устройства:"},
    {1143, PlacementKind::combo, 127, 21, 136, 100, u"", 1142},
    {1034, PlacementKind::button, 163, 39, 100, 14, u"Установить по умолчанию"},
    {0, PlacementKind::separator, 7, 59, 256, 1},
};

class CPlacedPage : public CPageImpl<CPlacedPage> {
 public:
  CPlacedPage() : CPageImpl(995, QStringLiteral("Места")) {}
  void Bindings(CBindings&) {}

 protected:
  void CreateControls(CPageForm& f) override { f.Place(kPlacements); }
};

TEST_F(ConvertingPageTest, PlacementsStandInDialogUnits) {
  CPlacedPage page;
  Place(page);
  const DialogUnits du(page.font());
  QWidget* button = page.Control(1034);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->geometry(), du.Rect(163, 39, 100, 14));
  EXPECT_EQ(page.Control(1143)->accessibleName(), QStringLiteral("Для устройства:"));
  EXPECT_EQ(page.Controls().size(), 4u);
  EXPECT_EQ(page.Control(1143)->x(), du.X(127));
}

}  // namespace
}  // namespace tavrik
