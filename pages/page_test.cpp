// The binding kinds and DataExchange on a page of every kind of control.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <cstdint>
#include <string>
#include <vector>

#include "core/ScriptedDialogs.h"
#include "pages/DialogUnits.h"
#include "pages/Page.h"
#include "pages/test_parent.h"
#include "pages/PageForm.h"

namespace tavrik {
namespace {


// Controls of every binding kind, bound to members.
class CProbePage : public CPageImpl<CProbePage> {
 public:
  CProbePage() : CPageImpl(999, QStringLiteral("Проба")) {}

  std::uint8_t u8 = 7;
  std::int16_t i16 = 7;
  std::uint16_t u16 = 7;
  std::uint32_t u32 = 7;
  std::int32_t i32 = 7;
  bool flag = false;
  int tristate = 0;
  int first_group = 0;
  int second_group = 0;
  std::string text;
  QString qtext;
  int combo = 0;
  QSlider* slider = nullptr;

  std::vector<int> exchange_errors, validate_errors;

  void Bindings(CBindings& b) {
    b.BindInt(1, u8, 0, 255);
    b.BindInt(2, i16);
    b.BindInt(3, u16, 1, 60000);
    b.BindInt(4, u32);
    b.BindInt(5, i32, -100, 100);
    b.BindCheck(10, flag);
    b.BindCheck(11, tristate);
    b.BindRadio(20, first_group);
    b.BindRadio(30, second_group);
    b.BindText(40, text);
    b.BindText(41, qtext);
    b.BindComboIndex(50, combo);
    b.BindControl(60, slider);
  }

  void OnExchangeError(int id) override {
    exchange_errors.push_back(id);
    CPageT::OnExchangeError(id);
  }
  void OnValidateError(int id) override {
    validate_errors.push_back(id);
    CPageT::OnValidateError(id);
  }

  QLineEdit* Edit(int id) const { return ControlAs<QLineEdit>(id); }
  QRadioButton* RadioAt(int id) const { return ControlAs<QRadioButton>(id); }

 protected:
  void CreateControls(CPageForm& f) override {
    for (int id = 1; id <= 5; ++id) f.NumberEdit(id, QStringLiteral("Число %1:").arg(id));
    // The validator of a number edit takes digits only; a signed field takes its sign too.
    Edit(2)->setValidator(nullptr);
    Edit(5)->setValidator(nullptr);
    f.Check(10, QStringLiteral("Флажок"));
    f.Check(11, QStringLiteral("Три состояния"));
    f.BeginGroup(QStringLiteral("Длинные подписи"));
    f.Check(12, QStringLiteral("Подключаться к ранее подключённому устройству с выключенным "
                               "обнаружением в режиме Bluetooth Classic HID"));
    f.EndGroup();
    f.BeginGroup(QStringLiteral("Первая группа"));
    f.RadioGroup(20, QStringLiteral("Ноль"));
    f.Radio(21, QStringLiteral("Один"));
    f.EndGroup();
    // A label between the buttons of one group is passed over, as is a group box.
    f.Label(QStringLiteral("Пояснение"));
    f.Radio(22, QStringLiteral("Два"));
    f.RadioGroup(30, QStringLiteral("Другая группа, ноль"));
    f.Radio(31, QStringLiteral("Другая группа, один"));
    f.TextEdit(40, QStringLiteral("Текст:"));
    f.TextEdit(41);
    auto* combo = f.Combo(50, QStringLiteral("Список:"));
    combo->addItems({QStringLiteral("а"), QStringLiteral("б"), QStringLiteral("в")});
    f.TrackBar(60);
    f.At(new QPushButton(QStringLiteral("Загрузить из файла")), 70, 7, 66, 100, 14);
  }
};

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent.page = &page;
    page.SetParentDlg(&parent);
    page.Create(nullptr, QRect(0, 0, 400, 600));
    page.Load();
  }

  ScriptedDialogs dialogs;
  NoParent parent;
  CProbePage page;
};

// 1..n: how the text of a number edit is read.
TEST(ParseDecimalTest, ReadsDecimalNumbersOfThe32BitRanges) {
  struct Case {
    const char16_t* text;
    bool is_signed;
    bool ok;
    std::int64_t value;
  };
  const Case cases[] = {
      /* 1 */ {u"", false, false, 0},                // empty
      /* 2 */ {u"   ", false, false, 0},             // blanks only
      /* 3 */ {u"abc", false, false, 0},             // letters
      /* 4 */ {u"12abc", false, false, 0},           // letters behind digits
      /* 5 */ {u"   42", false, true, 42},           // leading blanks are skipped
      /* 6 */ {u"42 ", false, true, 42},             // a trailing blank is harmless
      /* 7 */ {u"4 2", false, false, 0},             // two numbers
      /* 8 */ {u"-5", true, true, -5},               // minus for a signed field
      /* 9 */ {u"-5", false, false, 0},              // minus for an unsigned one
      /* 10 */ {u"+5", true, false, 0},              // no plus sign
      /* 11 */ {u"- 5", true, false, 0},             // the sign belongs to the digits
      /* 12 */ {u"4294967295", false, true, 4294967295},
      /* 13 */ {u"4294967296", false, false, 0},     // 2^32
      /* 14 */ {u"99999999999999999999999", false, false, 0},
      /* 15 */ {u"2147483647", true, true, 2147483647},
      /* 16 */ {u"2147483648", true, false, 0},
      /* 17 */ {u"-2147483648", true, true, -2147483648LL},
      /* 18 */ {u"-2147483649", true, false, 0},
      /* 19 */ {u"0x10", false, false, 0},           // decimal only
      /* 20 */ {u"\u0663", false, false, 0},         // a digit of another script
      /* 21 */ {u"007", false, true, 7},             // leading zeros are decimal, not octal
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    std::int64_t value = -12345;
    EXPECT_EQ(ParseDecimal(QString::fromUtf16(c.text), c.is_signed, value), c.ok);
    EXPECT_EQ(value, c.ok ? c.value : -12345) << "a failed parse leaves the number alone";
  }
}

TEST_F(PageTest, BindIntChecksTheRangeBeforeNarrowing) {
  enum Hook { none, exchange, validate };
  struct Case {
    int id;
    const char* text;
    Hook hook;
    std::int64_t stored;  // the value after Store; 7 is the value before
  };
  const Case cases[] = {
      /* 1 */ {1, "", exchange, 7},
      /* 2 */ {1, "два", exchange, 7},
      /* 3 */ {1, "300", validate, 7},          // 8-bit 0..255
      /* 4 */ {1, "256", validate, 7},          // would narrow to 0
      /* 5 */ {1, "255", none, 255},
      /* 6 */ {1, "0", none, 0},
      /* 7 */ {3, "65536", validate, 7},        // 16-bit 1..60000, would narrow to 0
      /* 8 */ {3, "0", validate, 7},
      /* 9 */ {3, "60001", validate, 7},
      /* 10 */ {3, "60000", none, 60000},
      /* 11 */ {3, "  1", none, 1},
      /* 12 */ {2, "40000", validate, 7},       // no range: the 16-bit value's own
      /* 13 */ {2, "-32768", none, -32768},
      /* 14 */ {4, "4294967295", none, 4294967295},
      /* 15 */ {4, "4294967296", exchange, 7},
      /* 16 */ {4, "-1", exchange, 7},
      /* 17 */ {5, "-101", validate, 7},
      /* 18 */ {5, "-100", none, -100},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row << " id " << c.id << " '" << c.text << "'");
    page.u8 = 7, page.i16 = 7, page.u16 = 7, page.u32 = 7, page.i32 = 7;
    page.Load();
    page.exchange_errors.clear();
    page.validate_errors.clear();
    dialogs.beeps = 0;
    page.Edit(c.id)->setText(QString::fromUtf8(c.text));
    const bool ok = page.DataExchange(Direction::save, c.id);
    EXPECT_EQ(ok, c.hook == none);
    EXPECT_EQ(page.exchange_errors, (c.hook == exchange ? std::vector<int>{c.id} : std::vector<int>{}));
    EXPECT_EQ(page.validate_errors, (c.hook == validate ? std::vector<int>{c.id} : std::vector<int>{}));
    EXPECT_EQ(dialogs.beeps, c.hook == none ? 0 : 1);
    EXPECT_TRUE(dialogs.shown.empty()) << "a page shows no message of its own";
    const std::int64_t stored[] = {0, page.u8, page.i16, page.u16, page.u32, page.i32};
    EXPECT_EQ(stored[c.id], c.stored);
  }
}

TEST_F(PageTest, BindIntLoadsDecimalText) {
  page.i16 = -12;
  page.u32 = 4000000000u;
  page.Load();
  EXPECT_EQ(page.Edit(2)->text(), QStringLiteral("-12"));
  EXPECT_EQ(page.Edit(4)->text(), QStringLiteral("4000000000"));
}

TEST_F(PageTest, StoreStopsAtTheFirstFailingBinding) {
  page.Edit(1)->setText(QStringLiteral("12"));
  page.Edit(3)->setText(QStringLiteral("0"));  // fails
  page.Edit(4)->setText(QStringLiteral("99"));
  page.ControlAs<QCheckBox>(10)->setChecked(true);
  EXPECT_FALSE(page.Store());
  EXPECT_EQ(page.u8, 12) << "bindings before the failing one are stored";
  EXPECT_EQ(page.u16, 7) << "the failing one keeps its value";
  EXPECT_EQ(page.u32, 7u) << "later bindings do not run";
  EXPECT_FALSE(page.flag);
  EXPECT_EQ(page.validate_errors, std::vector<int>{3});
}

TEST_F(PageTest, DataExchangeForOneIdLeavesTheOthersAlone) {
  page.Edit(1)->setText(QStringLiteral("abc"));
  page.ControlAs<QCheckBox>(10)->setChecked(true);
  page.Edit(4)->setText(QStringLiteral("99"));
  EXPECT_TRUE(page.DataExchange(Direction::save, 10));
  EXPECT_TRUE(page.flag);
  EXPECT_EQ(page.u8, 7);
  EXPECT_EQ(page.u32, 7u);
  EXPECT_TRUE(page.exchange_errors.empty());

  page.u32 = 1234;
  page.flag = false;
  EXPECT_TRUE(page.DataExchange(Direction::load, 4));
  EXPECT_EQ(page.Edit(4)->text(), QStringLiteral("1234"));
  EXPECT_TRUE(page.ControlAs<QCheckBox>(10)->isChecked()) << "other controls keep what they show";
  EXPECT_EQ(page.Edit(1)->text(), QStringLiteral("abc"));
}

TEST_F(PageTest, BindCheckWithBoolAndTristateInt) {
  auto* box = page.ControlAs<QCheckBox>(10);
  auto* tri = page.ControlAs<QCheckBox>(11);
  page.flag = true;
  page.Load();
  EXPECT_EQ(box->checkState(), Qt::Checked);

  // An indeterminate box stores false.
  box->setTristate(true);
  box->setCheckState(Qt::PartiallyChecked);
  page.flag = true;
  EXPECT_TRUE(page.Store());
  EXPECT_FALSE(page.flag);

  struct Case {
    int loaded;
    Qt::CheckState shown;
    int stored;
  };
  const Case cases[] = {{0, Qt::Unchecked, 0},
                        {1, Qt::Checked, 1},
                        {2, Qt::PartiallyChecked, 2},
                        {3, Qt::Unchecked, 0},
                        {-1, Qt::Unchecked, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.loaded);
    page.tristate = c.loaded;
    page.DataExchange(Direction::load, 11);
    EXPECT_EQ(tri->checkState(), c.shown);
    page.tristate = 99;
    page.DataExchange(Direction::save, 11);
    EXPECT_EQ(page.tristate, c.stored);
  }
}

TEST_F(PageTest, BindRadioCountsRadioButtonsUpToTheNextGroup) {
  struct Case {
    int index;
    std::vector<int> checked;
  };
  const Case cases[] = {
      {0, {20}},
      {1, {21}},
      {2, {22}},  // after the group box and the label
      {-1, {}},   // unchecks all
      {3, {}},    // no such position
  };
  const int ids[] = {20, 21, 22, 30, 31};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    page.second_group = 1;
    page.first_group = c.index;
    page.Load();
    std::vector<int> checked;
    for (int id : ids) {
      if (id < 30 && page.RadioAt(id)->isChecked()) checked.push_back(id);
    }
    EXPECT_EQ(checked, c.checked);
    EXPECT_TRUE(page.RadioAt(31)->isChecked()) << "the next group is its own";
    page.first_group = 42;
    page.Store();
    EXPECT_EQ(page.first_group, c.checked.empty() ? -1 : c.index);
  }
  // The buttons of a group stay exclusive for the user after a load.
  page.first_group = 0;
  page.Load();
  page.RadioAt(22)->click();
  EXPECT_FALSE(page.RadioAt(20)->isChecked());
  EXPECT_TRUE(page.RadioAt(31)->isChecked());
  page.Store();
  EXPECT_EQ(page.first_group, 2);
  EXPECT_EQ(page.second_group, 1);
}

// Two radio groups, the second begun by giving a button the group style after
// it was added.
class CMarkedGroupPage : public CPageImpl<CMarkedGroupPage> {
 public:
  CMarkedGroupPage() : CPageImpl(997, QStringLiteral("Группы")) {}
  int first = 0, second = 0;
  void Bindings(CBindings& b) {
    b.BindRadio(80, first);
    b.BindRadio(82, second);
  }

 protected:
  void CreateControls(CPageForm& f) override {
    f.RadioGroup(80, QStringLiteral("а"));
    f.Radio(81, QStringLiteral("б"));
    f.Radio(82, QStringLiteral("в"));
    f.MarkGroupStart();
    f.Radio(83, QStringLiteral("г"));
  }
};

TEST(PageGroupTest, AButtonMarkedAsGroupStartBeginsAnExclusiveGroupOfItsOwn) {
  CMarkedGroupPage page;
  page.Create(nullptr, QRect(0, 0, 300, 200));
  page.Load();
  auto radio = [&](int id) { return page.ControlAs<QRadioButton>(id); };
  EXPECT_TRUE(radio(80)->isChecked());
  EXPECT_TRUE(radio(82)->isChecked());
  radio(83)->click();
  radio(81)->click();
  std::vector<int> checked;
  for (int id = 80; id <= 83; ++id) {
    if (radio(id)->isChecked()) checked.push_back(id);
  }
  EXPECT_EQ(checked, (std::vector<int>{81, 83})) << "a click changes its own group only";
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(page.first, 1);
  EXPECT_EQ(page.second, 1);
}

TEST_F(PageTest, BindTextComboIndexAndControl) {
  page.text = "Префикс";
  page.qtext = QStringLiteral("ещё");
  page.combo = 2;
  page.Load();
  EXPECT_EQ(page.Edit(40)->text(), QStringLiteral("Префикс"));
  EXPECT_EQ(page.ControlAs<QComboBox>(50)->currentIndex(), 2);
  ASSERT_NE(page.slider, nullptr);
  EXPECT_EQ(page.slider, page.Control(60));

  page.Edit(40)->setText(QStringLiteral("Суффикс"));
  page.Edit(41)->setText(QStringLiteral("другое"));
  page.ControlAs<QComboBox>(50)->setCurrentIndex(-1);
  EXPECT_TRUE(page.Store());
  EXPECT_EQ(page.text, "Суффикс");
  EXPECT_EQ(page.qtext, QStringLiteral("другое"));
  EXPECT_EQ(page.combo, -1);

  for (int beyond : {3, -1, -7}) {
    page.combo = beyond;
    page.Load();
    EXPECT_EQ(page.ControlAs<QComboBox>(50)->currentIndex(), -1) << beyond;
  }
}

TEST_F(PageTest, LongCaptionsWrapToThePageAndFixedPlacesUseDialogUnits) {
  auto* box = page.ControlAs<QCheckBox>(12);
  EXPECT_TRUE(box->text().contains(u'\n'));
  EXPECT_EQ(QString(box->text()).replace(u'\n', u' '),
            QStringLiteral("Подключаться к ранее подключённому устройству с выключенным "
                           "обнаружением в режиме Bluetooth Classic HID"));
  EXPECT_LE(box->sizeHint().width(), page.width() - 16 - 20);
  EXPECT_EQ(page.ControlAs<QCheckBox>(10)->text(), QStringLiteral("Флажок"));

  EXPECT_EQ(page.Control(70)->geometry(), DialogUnits(page.font()).Rect(7, 66, 100, 14));
  EXPECT_EQ(page.Control(70)->parentWidget(), &page);
}

// Check boxes and radio buttons whose captions have double blanks, a blank
// before a line break of their own, or a word wider than the page.
class CCaptionPage : public CPageImpl<CCaptionPage> {
 public:
  CCaptionPage() : CPageImpl(998, QStringLiteral("Подписи")) {}
  void Bindings(CBindings&) {}

  static const QStringList& Captions() {
    static const QStringList captions = {
        QStringLiteral("Звуковой сигнал при установке / снятии сканера на подставку  *"),
        QStringLiteral("Использовать преобразование управляющих символов таблицы ASCII в "
                       "последовательность нажатий Ctrl + X  *"),
        QStringLiteral("Количество нажатий клавиш без задержки \n(только для Bluetooth HID)"),
        QStringLiteral("Непрерывно при установке на подставку "),
        QStringLiteral("Оченьдлинноесловобезпробеловкотороеширестраницы и ещё слова"),
    };
    return captions;
  }

 protected:
  void CreateControls(CPageForm& f) override {
    for (int i = 0; i < Captions().size(); ++i) {
      if (i % 2 == 0) f.Check(100 + i, Captions()[i]);
      else f.Radio(100 + i, Captions()[i]);
    }
  }
};

TEST(PageFormTest, WrappedCaptionsKeepEveryCharacterOfTheText) {
  for (int width = 90; width <= 420; width += 11) {
    SCOPED_TRACE(::testing::Message() << "page width " << width);
    CCaptionPage page;
    page.Create(nullptr, QRect(0, 0, width, 600));
    for (int i = 0; i < CCaptionPage::Captions().size(); ++i) {
      const QString& caption = CCaptionPage::Captions()[i];
      auto* button = page.ControlAs<QAbstractButton>(100 + i);
      ASSERT_NE(button, nullptr);
      EXPECT_EQ(button->property(kCaptionProperty).toString().toStdString(), caption.toStdString());
      const QString shown = button->text();
      // A break stands in for exactly one blank: nothing is lost or added.
      EXPECT_EQ(shown.size(), caption.size()) << qPrintable(shown);
      EXPECT_EQ(QString(shown).replace(u'\n', u' ').toStdString(),
                QString(caption).replace(u'\n', u' ').toStdString());
      for (const QString& line : shown.split(u'\n')) {
        EXPECT_FALSE(line.trimmed().isEmpty()) << "no line of blanks only: " << qPrintable(shown);
      }
    }
  }
}

TEST_F(PageTest, TypedCyrillicTextIsStoredAsUtf8) {
  QLineEdit* edit = page.Edit(40);
  edit->clear();
  for (QChar c : QStringLiteral("Ёж и щи")) {
    QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
  EXPECT_EQ(edit->text(), QStringLiteral("Ёж и щи"));
  EXPECT_TRUE(page.DataExchange(Direction::save, 40));
  EXPECT_EQ(page.text, "Ёж и щи");
}

TEST_F(PageTest, ControlsCarryTheirIds) {
  for (int id : {1, 2, 3, 4, 5, 10, 11, 12, 70, 20, 21, 22, 30, 31, 40, 41, 50, 60}) {
    QWidget* control = page.Control(id);
    ASSERT_NE(control, nullptr) << id;
    EXPECT_EQ(control->property(kControlIdProperty).toInt(), id);
    EXPECT_EQ(page.findChild<QWidget*>(QStringLiteral("control%1").arg(id)), control);
  }
  EXPECT_EQ(page.Control(12345), nullptr);
  EXPECT_EQ(&page.ParentDlg(), &parent);
  EXPECT_EQ(page.Caption(), QStringLiteral("Проба"));
}

}  // namespace
}  // namespace tavrik
