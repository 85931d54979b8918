// The device behaviour pages (trigger, illumination, aiming, sound,
// configuration barcodes, currency detector) and the two byte-sequence pages
// (prefixes and suffixes, the up-button message) against the settings record.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/ScriptedDialogs.h"
#include "pages/AimLedsPage.h"
#include "pages/ConfigurationManagementPage.h"
#include "pages/IlluminationPage.h"
#include "pages/InterfacesPage.h"
#include "pages/PrefixesSuffixesPage.h"
#include "pages/SoundManagementPage.h"
#include "pages/TriggerPage.h"
#include "pages/UpButtonMessagePage.h"
#include "pages/ValidationPage.h"
#include "pages/test_parent.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

using Field = std::uint8_t Settings::*;

class BehaviourPagesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }
  void TearDown() override { ResetProcessState(); }

  // The page of a template, created and placed on first use.
  CPageT& Page(int template_id) {
    for (auto& p : pages_) {
      if (p->TemplateId() == template_id) return *p;
    }
    std::unique_ptr<CPageT> page;
    switch (template_id) {
      case CTriggerPage::kTemplateId: page = std::make_unique<CTriggerPage>(); break;
      case CIlluminationPage::kTemplateId: page = std::make_unique<CIlluminationPage>(); break;
      case CAimLedsPage::kTemplateId: page = std::make_unique<CAimLedsPage>(); break;
      case CSoundManagementPage::kTemplateId: page = std::make_unique<CSoundManagementPage>(); break;
      case CConfigurationManagementPage::kTemplateId:
        page = std::make_unique<CConfigurationManagementPage>();
        break;
      case CValidationPage::kTemplateId: page = std::make_unique<CValidationPage>(); break;
      case CPrefixesSuffixesPage::kTemplateId: page = std::make_unique<CPrefixesSuffixesPage>(); break;
      case CUpButtonMessagePage::kTemplateId: page = std::make_unique<CUpButtonMessagePage>(); break;
    }
    EXPECT_NE(page, nullptr) << template_id;
    parent.page = page.get();
    page->SetParentDlg(&parent);
    page->Create(nullptr, QRect(0, 0, 411, 460));
    page->show();
    pages_.push_back(std::move(page));
    return *pages_.back();
  }
  template <class W>
  W* Control(int template_id, int id) {
    W* control = Page(template_id).ControlAs<W>(id);
    EXPECT_NE(control, nullptr) << "control " << id << " of page " << template_id;
    return control;
  }
  QLineEdit* Edit(int template_id, int id) { return Control<QLineEdit>(template_id, id); }
  QString Text(int template_id, int id) { return Edit(template_id, id)->text(); }

  static void ClickIndicator(QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    const auto element = qobject_cast<QRadioButton*>(button) ? QStyle::SE_RadioButtonIndicator
                                                             : QStyle::SE_CheckBoxIndicator;
    const QRect indicator = button->style()->subElementRect(element, &option, button);
    QTest::mouseClick(button, Qt::LeftButton, {}, indicator.center());
  }

  ScriptedDialogs dialogs;
  NoParent parent;

 private:
  std::vector<std::unique_ptr<CPageT>> pages_;
};

// ---------------------------------------------------------------- radio groups

constexpr int kTrigger = CTriggerPage::kTemplateId;
constexpr int kIllumination = CIlluminationPage::kTemplateId;
constexpr int kAim = CAimLedsPage::kTemplateId;
constexpr int kSound = CSoundManagementPage::kTemplateId;
constexpr int kConfig = CConfigurationManagementPage::kTemplateId;
constexpr int kCurrency = CValidationPage::kTemplateId;
constexpr int kPrefixes = CPrefixesSuffixesPage::kTemplateId;
constexpr int kUpButton = CUpButtonMessagePage::kTemplateId;

struct RadioCase {
  int page;
  int first;  // the group's first button
  Field field;
  int stored;
  int button;  // the button that stands for `stored`; 0: none
  const char* why;
};

const RadioCase kRadioCases[] = {
    /* 1 */ {kTrigger, 1173, &Settings::trigger_mode, 0, 1173, ""},
    /* 2 */ {kTrigger, 1173, &Settings::trigger_mode, 1, 1174, ""},
    /* 3 */ {kTrigger, 1173, &Settings::trigger_mode, 2, 1175, ""},
    /* 4 */ {kTrigger, 1173, &Settings::trigger_mode, 3, 1189, "past the group box"},
    /* 5 */ {kTrigger, 1173, &Settings::trigger_mode, 4, 1191, ""},
    /* 6 */ {kIllumination, 1102, &Settings::illumination_mode, 2, 1102, "\"Всегда выключена\" is 2"},
    /* 7 */ {kIllumination, 1102, &Settings::illumination_mode, 1, 1101, ""},
    /* 8 */ {kIllumination, 1102, &Settings::illumination_mode, 0, 1100, "mode 0 is position 2"},
    /* 9 */ {kIllumination, 1102, &Settings::illumination_mode, 3, 1104, ""},
    /* 10 */ {kIllumination, 1102, &Settings::illumination_mode, 7, 0, "outside the table"},
    /* 11 */ {kIllumination, 1102, &Settings::illumination_mode, 4, 0, "one past the table"},
    /* 12 */ {kAim, 1104, &Settings::aim_mode, 0, 1104, ""},
    /* 13 */ {kAim, 1104, &Settings::aim_mode, 1, 1105, ""},
    /* 14 */ {kAim, 1104, &Settings::aim_mode, 2, 1106, ""},
    /* 15 */ {kSound, 2000, &Settings::good_read_sound, 0, 2000, ""},
    /* 16 */ {kSound, 2000, &Settings::good_read_sound, 1, 2001, ""},
    /* 17 */ {kSound, 2000, &Settings::good_read_sound, 2, 2002, ""},
    /* 18 */ {kSound, 2000, &Settings::good_read_sound, 3, 2003, ""},
    /* 19 */ {kSound, 2000, &Settings::good_read_sound, 4, 2004, ""},
    /* 20 */ {kConfig, 1108, &Settings::config_barcodes_mode, 0, 1108, ""},
    /* 21 */ {kConfig, 1108, &Settings::config_barcodes_mode, 1, 1109, ""},
    /* 22 */ {kConfig, 1108, &Settings::config_barcodes_mode, 2, 1110, ""},
    /* 23 */ {kCurrency, 1180, &Settings::currency_start_mode, 0, 1180, ""},
    /* 24 */ {kCurrency, 1180, &Settings::currency_start_mode, 1, 1181, ""},
    /* 25 */ {kCurrency, 1180, &Settings::currency_start_mode, 2, 1192, "past the exit time"},
    /* 26 */ {kCurrency, 1180, &Settings::currency_start_mode, 3, 1193, ""},
    /* 27 */ {kCurrency, 1186, &Settings::currency_denominations, 0, 1186, ""},
    /* 28 */ {kCurrency, 1186, &Settings::currency_denominations, 1, 1185, ""},
    /* 29 */ {kCurrency, 1186, &Settings::currency_denominations, 2, 1187, ""},
    /* 30 */ {kCurrency, 1190, &Settings::currency_serials, 0, 1190, ""},
    /* 31 */ {kCurrency, 1190, &Settings::currency_serials, 1, 1189, ""},
    /* 32 */ {kCurrency, 1190, &Settings::currency_serials, 2, 1191, ""},
    /* 33 */ {kTrigger, 1173, &Settings::trigger_mode, 5, 0, "beyond the group"},
};

TEST_F(BehaviourPagesTest, EveryRadioPositionBothWays) {
  int row = 0;
  for (const RadioCase& c : kRadioCases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row << " " << c.why);
    CPageT& page = Page(c.page);
    Settings& s = CurrentSettings();
    QButtonGroup* group = page.RadioGroupOf(page.Control(c.first));
    ASSERT_NE(group, nullptr);

    // The record to the buttons.
    s.*c.field = static_cast<std::uint8_t>(c.stored);
    page.Load();
    for (QAbstractButton* b : group->buttons()) {
      EXPECT_EQ(b->isChecked(), b->property("controlId").toInt() == c.button)
          << b->property("controlId").toInt();
    }
    // Nothing chosen: the record keeps its value, whatever it is.
    EXPECT_TRUE(page.Store());
    EXPECT_EQ(s.*c.field, c.stored);
    if (!c.button) continue;

    // The button to the record, from a record that checked none.
    s.*c.field = 99;
    page.Load();
    auto* button = page.ControlAs<QRadioButton>(c.button);
    ClickIndicator(button);
    ASSERT_TRUE(button->isChecked());
    EXPECT_TRUE(page.Store());
    EXPECT_EQ(s.*c.field, c.stored);
  }
}

TEST_F(BehaviourPagesTest, ChoosingAnotherButtonMovesTheCheck) {
  // From "Всегда выключена" (2) to the automatic mode with light (3), by the mouse.
  CurrentSettings().illumination_mode = 2;
  Page(kIllumination).Load();
  ClickIndicator(Control<QRadioButton>(kIllumination, 1104));
  EXPECT_FALSE(Control<QRadioButton>(kIllumination, 1102)->isChecked());
  EXPECT_TRUE(Page(kIllumination).Store());
  EXPECT_EQ(CurrentSettings().illumination_mode, 3);
}

// ------------------------------------------------------------------ track bars

TEST_F(BehaviourPagesTest, TrackBarsRunFromZeroToEightAndClampTheRecord) {
  struct Bar {
    int page, id;
    Field field;
    const char16_t* group;
  };
  const Bar bars[] = {
      {kSound, 1057, &Settings::volume, u"Громкость"},
      {kIllumination, 1103, &Settings::illumination_brightness, u"Яркость подсветки"},
      {kAim, 1107, &Settings::aim_brightness, u"Яркость прицельных светодиодов"},
  };
  struct Case {
    int stored, shown;
  };
  const Case cases[] = {
      /* 1 */ {0, 0},
      /* 2 */ {5, 5},
      /* 3 */ {8, 8},
      /* 4 */ {9, 8},  // above the bar: shown and stored as 8
      /* 5 */ {255, 8},
  };
  for (const Bar& bar : bars) {
    SCOPED_TRACE(::testing::Message() << "track bar " << bar.id);
    auto* slider = Control<QSlider>(bar.page, bar.id);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 8);
    EXPECT_EQ(slider->tickInterval(), 1);
    EXPECT_EQ(slider->accessibleName(), QString::fromUtf16(bar.group));
    QStringList ends;
    for (auto* label : slider->parentWidget()->findChildren<QLabel*>()) ends << label->text();
    EXPECT_TRUE(ends.contains(QStringLiteral("Ниже")) && ends.contains(QStringLiteral("Выше")));
    int row = 0;
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << "row " << ++row);
      Settings& s = CurrentSettings();
      s.*bar.field = static_cast<std::uint8_t>(c.stored);
      Page(bar.page).Load();
      EXPECT_EQ(slider->value(), c.shown);
      EXPECT_TRUE(Page(bar.page).Store());
      EXPECT_EQ(s.*bar.field, c.shown);
    }
    // The user's move is what the page stores.
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Left);
    EXPECT_TRUE(Page(bar.page).Store());
    EXPECT_EQ(CurrentSettings().*bar.field, 7);
  }
}

TEST_F(BehaviourPagesTest, SoundPageStoresTheStandBeep) {
  auto* box = Control<QCheckBox>(kSound, 1194);
  for (bool value : {false, true}) {
    CurrentSettings().stand_beep = value;
    Page(kSound).Load();
    EXPECT_EQ(box->isChecked(), value);
    ClickIndicator(box);
    EXPECT_TRUE(Page(kSound).Store());
    EXPECT_EQ(CurrentSettings().stand_beep, !value);
  }
}

// ------------------------------------------------------------ currency detector

TEST_F(BehaviourPagesTest, CurrencyPageStoresNothingWhenTheExitTimeIsRefused) {
  struct Case {
    const char* typed;
    bool ok;
  };
  const Case cases[] = {
      /* 1 */ {"0", true},
      /* 2 */ {"255", true},
      /* 3 */ {" 17 ", true},
      /* 4 */ {"256", false},
      /* 5 */ {"", false},
      /* 6 */ {"-1", false},
      /* 7 */ {"1x", false},
      /* 8 */ {"4294967297", false},  // would wrap to 1
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row << " \"" << c.typed << "\"");
    Settings& s = CurrentSettings();
    s.currency_start_mode = 0;
    s.currency_denominations = 0;
    s.currency_serials = 0;
    s.currency_exit_timeout = 30;
    Page(kCurrency).Load();
    EXPECT_EQ(Text(kCurrency, 1183), QStringLiteral("30"));
    ClickIndicator(Control<QRadioButton>(kCurrency, 1193));
    ClickIndicator(Control<QRadioButton>(kCurrency, 1187));
    ClickIndicator(Control<QRadioButton>(kCurrency, 1191));
    Edit(kCurrency, 1183)->setText(QString::fromUtf8(c.typed));
    dialogs.beeps = 0;
    EXPECT_EQ(Page(kCurrency).Store(), c.ok);
    EXPECT_EQ(dialogs.beeps, c.ok ? 0 : 1);
    EXPECT_TRUE(dialogs.shown.empty()) << "the main dialog has the message";
    EXPECT_EQ(s.currency_start_mode, c.ok ? 3 : 0);
    EXPECT_EQ(s.currency_denominations, c.ok ? 2 : 0);
    EXPECT_EQ(s.currency_serials, c.ok ? 2 : 0);
    EXPECT_EQ(s.currency_exit_timeout, c.ok ? QString::fromUtf8(c.typed).trimmed().toInt() : 30);
    if (!c.ok) {
      EXPECT_EQ(Page(kCurrency).focusWidget(), Edit(kCurrency, 1183));
    }
  }
}

// ------------------------------------------------------- prefixes and suffixes

// Every slot of every set holds a byte of its own, so a row shows which slots
// a page showed and wrote.
void MarkEverySlot(Settings& s) {
  std::uint8_t mark = 0xA0;
  for (auto sequence_class :
       {SequenceClass::ascii_class, SequenceClass::hid_class, SequenceClass::pos_class}) {
    const SequenceSlots& set = SlotsOf(sequence_class);
    for (auto slot : {set.barcode_prefix, set.barcode_suffix, set.currency_prefix,
                      set.currency_suffix}) {
      s.*slot = ByteSeq{1, {mark++}};
    }
  }
}

TEST_F(BehaviourPagesTest, PrefixesPageEditsTheSetsOfTheCurrentInterfaces) {
  struct Case {
    std::uint8_t barcode, currency;
    // The marks shown in 1050..1053 (see MarkEverySlot), then the labels.
    const char* shown[4];
    const char16_t* barcode_label;
    const char16_t* currency_label;
  };
  const Case cases[] = {
      /* 1 */ {uart, uart, {"0xA0", "0xA1", "0xA2", "0xA3"},
               u"(Для интерфейса: UART (RS232))", u"(Для интерфейса: UART (RS232))"},
      /* 2 */ {usb_hid, usb_cdc, {"0xA4", "0xA5", "0xA2", "0xA3"},
               u"(Для интерфейса: USB HID)", u"(Для интерфейса: USB CDC)"},
      /* 3 */ {bt_pos_hid, bt_hid, {"0xA8", "0xA9", "0xA6", "0xA7"},
               u"(Для интерфейса: BT POS HID)", u"(Для интерфейса: BT HID)"},
      /* 4 */ {usb_pos_hid, bt_spp, {"0xA8", "0xA9", "0xA2", "0xA3"},
               u"(Для интерфейса: USB POS HID)", u"(Для интерфейса: BT SPP)"},
  };
  const int edits[] = {1050, 1051, 1052, 1053};
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    Settings& s = CurrentSettings();
    MarkEverySlot(s);
    s.barcode_interface = c.barcode;
    s.currency_interface = c.currency;
    Page(kPrefixes).Load();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Text(kPrefixes, edits[i]), c.shown[i]) << edits[i];
    EXPECT_EQ(Control<QLabel>(kPrefixes, 1224)->text(), QString::fromUtf16(c.barcode_label));
    EXPECT_EQ(Control<QLabel>(kPrefixes, 1223)->text(), QString::fromUtf16(c.currency_label));

    // Typed back: exactly the four slots shown change.
    const Settings before = s;
    for (int i = 0; i < 4; ++i) Edit(kPrefixes, edits[i])->setText(QString::number(i + 1));
    EXPECT_TRUE(Page(kPrefixes).Store());
    Settings expected = before;
    const SequenceSlots& barcode = SlotsOf(SequenceClassOf(c.barcode));
    const SequenceSlots& currency = SlotsOf(SequenceClassOf(c.currency));
    expected.*barcode.barcode_prefix = ByteSeq{1, {1}};
    expected.*barcode.barcode_suffix = ByteSeq{1, {2}};
    expected.*currency.currency_prefix = ByteSeq{1, {3}};
    expected.*currency.currency_suffix = ByteSeq{1, {4}};
    EXPECT_TRUE(s == expected);
  }
}

TEST_F(BehaviourPagesTest, SwitchingTheBarcodeInterfaceToUsbHidShowsTheHidSet) {
  Settings& s = CurrentSettings();
  s.barcode_interface = uart;
  Page(kPrefixes).Load();
  EXPECT_EQ(Text(kPrefixes, 1050), QString());
  EXPECT_EQ(Text(kPrefixes, 1051), QStringLiteral("0x0D    0x0A"));
  EXPECT_TRUE(Page(kPrefixes).Store());
  const ByteSeq ascii_prefix = s.barcode_prefix_ascii;
  const ByteSeq ascii_suffix = s.barcode_suffix_ascii;

  // The user picks "USB HID" for barcodes on the interface page.
  CInterfacesPage interfaces;
  NoParent interfaces_parent;
  interfaces_parent.page = &interfaces;
  interfaces.SetParentDlg(&interfaces_parent);
  interfaces.Create(nullptr, QRect(0, 0, 411, 460));
  interfaces.Load();
  auto* barcode_list = interfaces.ControlAs<QComboBox>(1169);
  ASSERT_NE(barcode_list, nullptr);
  barcode_list->setCurrentIndex(barcode_list->findText(QStringLiteral("USB HID")));
  ASSERT_TRUE(interfaces.Store());
  EXPECT_EQ(s.barcode_interface, usb_hid);
  Page(kPrefixes).Load();
  EXPECT_EQ(Text(kPrefixes, 1050), QString());
  EXPECT_EQ(Text(kPrefixes, 1051), QStringLiteral("0x28"));
  EXPECT_EQ(Control<QLabel>(kPrefixes, 1224)->text(), QStringLiteral("(Для интерфейса: USB HID)"));
  Edit(kPrefixes, 1051)->setText(QStringLiteral("0x28 0x2B"));
  EXPECT_TRUE(Page(kPrefixes).Store());
  EXPECT_EQ(s.barcode_suffix_hid.length, 2);
  EXPECT_EQ(s.barcode_suffix_hid.data[1], 0x2B);
  EXPECT_TRUE(s.barcode_prefix_ascii == ascii_prefix);
  EXPECT_TRUE(s.barcode_suffix_ascii == ascii_suffix);
  EXPECT_EQ(s.barcode_suffix_ascii.length, 2);
}

TEST_F(BehaviourPagesTest, PrefixesPageStopsAtTheFirstRefusedEdit) {
  struct Case {
    const char* typed[4];  // 1050..1053
    int failing;           // the focused edit; 0: all stored
    // The barcode and currency sets (uart's) afterwards, as lengths and first bytes.
    int lengths[4];
    int firsts[4];
  };
  // The record holds the marks 0xA0..0xA3 (length 1) before each row.
  const Case cases[] = {
      /* 1 */ {{"0x0D 0x0A", "13 10", "015 012", ""}, 0, {2, 2, 2, 0}, {0x0D, 0x0D, 0x0D, 0xA3}},
      /* 2 */ {{"1", "2", "3 300", "4"}, 1052, {1, 1, 1, 1}, {1, 2, 3, 0xA3}},
      /* 3 */ {{"x", "2", "3", "4"}, 1050, {0, 1, 1, 1}, {0xA0, 0xA1, 0xA2, 0xA3}},
      /* 4 */ {{"1", "1 2 3 4 5 6 7 8 9 10 11", "3", "4"}, 1051, {1, 10, 1, 1}, {1, 1, 0xA2, 0xA3}},
      /* 5 */ {{"1", "2", "3", "0x0A,10"}, 1053, {1, 1, 1, 1}, {1, 2, 3, 0x0A}},
  };
  const int edits[] = {1050, 1051, 1052, 1053};
  const SequenceSlots& ascii = SlotsOf(SequenceClass::ascii_class);
  const ByteSeq Settings::*const sequences[] = {ascii.barcode_prefix, ascii.barcode_suffix,
                                                 ascii.currency_prefix, ascii.currency_suffix};
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    Settings& s = CurrentSettings();
    MarkEverySlot(s);
    s.barcode_interface = uart;
    s.currency_interface = uart;
    Page(kPrefixes).Load();
    for (int i = 0; i < 4; ++i) Edit(kPrefixes, edits[i])->setText(QString::fromUtf8(c.typed[i]));
    dialogs.beeps = 0;
    EXPECT_EQ(Page(kPrefixes).Store(), c.failing == 0);
    EXPECT_EQ(dialogs.beeps, c.failing ? 1 : 0);
    EXPECT_TRUE(dialogs.shown.empty()) << "the prefixes page shows no message of its own";
    if (c.failing) {
      EXPECT_EQ(Page(kPrefixes).focusWidget(), Edit(kPrefixes, c.failing));
    }
    for (int i = 0; i < 4; ++i) {
      const ByteSeq& seq = s.*sequences[i];
      EXPECT_EQ(seq.length, c.lengths[i]) << edits[i];
      EXPECT_EQ(seq.data[0], c.firsts[i]) << edits[i];
    }
  }
  // The pos and hid sets were never touched: still the marks.
  EXPECT_EQ(CurrentSettings().barcode_prefix_hid.data[0], 0xA4);
  EXPECT_EQ(CurrentSettings().currency_suffix_pos.data[0], 0xAB);
}

TEST_F(BehaviourPagesTest, SequencesShowInTheTextForm) {
  struct Case {
    ByteSeq stored;
    const char* shown;
  };
  const Case cases[] = {
      /* 1 */ {{0, {0x41}}, ""},
      /* 2 */ {{2, {0x0D, 0x0A}}, "0x0D    0x0A"},
      /* 3 */ {{1, {0xab}}, "0xAB"},
      /* 4 */ {{11, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},  // a damaged length shows the ten bytes
             "0x01    0x02    0x03    0x04    0x05    0x06    0x07    0x08    0x09    0x0A"},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    CurrentSettings().up_button_message = c.stored;
    CurrentSettings().barcode_prefix_ascii = c.stored;
    CurrentSettings().barcode_interface = uart;
    Page(kUpButton).Load();
    Page(kPrefixes).Load();
    EXPECT_EQ(Text(kUpButton, 1210), QString::fromUtf8(c.shown));
    EXPECT_EQ(Text(kPrefixes, 1050), QString::fromUtf8(c.shown));
  }
}

// Records the order of the beep and the message box, and where the focus was
// when the box came up.
class OrderedDialogs final : public Dialogs {
 public:
  OrderedDialogs() : previous_(SetCurrentDialogs(this)) {}
  ~OrderedDialogs() override { SetCurrentDialogs(previous_); }
  Answer Show(const MessageBox& box) override {
    events.push_back("box");
    boxes.push_back(box);
    focus_at_box = page ? page->focusWidget() : nullptr;
    return Answer::ok;
  }
  std::optional<std::string> OpenFileName(const FileDialog&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const FileDialog&) override { return std::nullopt; }
  void Beep() override { events.push_back("beep"); }

  std::vector<std::string> events;
  std::vector<MessageBox> boxes;
  QWidget* page = nullptr;
  QWidget* focus_at_box = nullptr;

 private:
  Dialogs* previous_;
};

TEST_F(BehaviourPagesTest, UpButtonPageRefusesAWrongMessageWithABox) {
  struct Case {
    const char* typed;
    bool ok;
    std::vector<std::uint8_t> written;  // the length is their count
  };
  const Case cases[] = {
      /* 1 */ {"0x0D 0x0A", true, {0x0D, 0x0A}},
      /* 2 */ {"", true, {}},
      /* 3 */ {"1 2 x", false, {1, 2}},
      /* 4 */ {"-1", false, {}},
      /* 5 */ {"1 2 3 4 5 6 7 8 9 10 11", false, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      /* 6 */ {"\xd1\x85", false, {}},  // a Cyrillic letter
  };
  CPageT& page = Page(kUpButton);
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    OrderedDialogs ordered;
    ordered.page = &page;
    CurrentSettings().up_button_message = ByteSeq{3, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9}};
    page.Load();
    EXPECT_EQ(Text(kUpButton, 1210), QStringLiteral("0x09    0x09    0x09"));
    Edit(kUpButton, 1210)->setText(QString::fromUtf8(c.typed));
    EXPECT_EQ(page.Store(), c.ok);
    const ByteSeq& m = CurrentSettings().up_button_message;
    ASSERT_EQ(m.length, c.written.size());
    for (std::size_t i = 0; i < 10; ++i) {
      EXPECT_EQ(m.data[i], i < c.written.size() ? c.written[i] : 9) << "byte " << i;
    }
    if (c.ok) {
      EXPECT_TRUE(ordered.events.empty());
      continue;
    }
    EXPECT_EQ(ordered.events, (std::vector<std::string>{"beep", "box"}));
    ASSERT_EQ(ordered.boxes.size(), 1u);
    EXPECT_EQ(ordered.boxes[0].text, "Неверные значения символов в поле.");
    EXPECT_EQ(ordered.boxes[0].icon, Icon::error);
    EXPECT_EQ(ordered.boxes[0].caption, "") << "no caption of its own";
    EXPECT_EQ(ordered.boxes[0].buttons, Buttons::ok);
    EXPECT_EQ(ordered.focus_at_box, Edit(kUpButton, 1210)) << "focused before the box";
  }
}

// ---------------------------------------------------------- texts and access

TEST_F(BehaviourPagesTest, PagesShowTheirTextsExactly) {
  struct Case {
    int page;
    int id;  // 0: a label or group box found by its text
    const char16_t* text;
  };
  const Case cases[] = {
      /* 1 */ {kTrigger, 0, u"Запуск сканирования"},
      /* 2 */ {kTrigger, 1173, u"По курку или по команде"},
      /* 3 */ {kTrigger, 1189, u"Непрерывно при установке на подставку "},
      /* 4 */ {kTrigger, 1191, u"По детектору движения при установке на подставку"},
      /* 5 */ {kIllumination, 0, u"Режим работы подсветки"},
      /* 6 */ {kIllumination, 0, u"Яркость подсветки"},
      /* 7 */ {kIllumination, 1100, u"Автоматически, без подсветки во время ожидания ШК на подставке"},
      /* 8 */ {kIllumination, 1104, u"Автоматически, с подсветкой во время ожидания ШК на подставке"},
      /* 9 */ {kIllumination, 0,
               u"Примечание.\nНизкая яркость подсветки ухудшает надёжность считывания штрих-кодов."},
      /* 10 */ {kAim, 0, u"Режим работы прицельных светодиодов"},
      /* 11 */ {kAim, 1106, u"Включаются автоматически"},
      /* 12 */ {kSound, 1194, u"Звуковой сигнал при установке / снятии сканера на подставку  *"},
      /* 13 */ {kSound, 0, u"Звук успешного считывания"},
      /* 14 */ {kSound, 2004, u"Звук 5"},
      /* 15 */ {kSound, 0, u"* Настройка для сканеров с беспроводной зарядкой или датчиком Холла"},
      /* 16 */ {kConfig, 0, u"Настроечные ШК"},
      /* 17 */ {kConfig, 1110, u"Разрешены после вкл. питания, до первого чтения обычного ШК-да"},
      /* 18 */ {kCurrency, 0, u"Запуск режима детектора валюты"},
      /* 19 */ {kCurrency, 1192, u"Только по нажатию на верхнюю кнопку"},
      /* 20 */ {kCurrency, 0, u"Время выхода из режима детектора валюты (сек):"},
      /* 21 */ {kCurrency, 0, u"(с момента последней проверки купюры)"},
      /* 22 */ {kCurrency, 0, u"макс. 255 сек"},
      /* 23 */ {kCurrency, 1187, u"Передавать только если считался серийный номер"},
      /* 24 */ {kCurrency, 0, u"Серийные номера банкнот"},
      /* 25 */ {kPrefixes, 0, u"Штрих-коды   "},
      /* 26 */ {kPrefixes, 0, u"Детектор валют   "},
      /* 27 */ {kPrefixes, 0, u"Пример:\t 0x0A\t10"},
      /* 28 */ {kPrefixes, 0,
                u"При наличии скан-кодов клавиш Ctrl, Alt, Shift и GUI (Win) эти клавиши удерживаются "
                u"нажатыми до окончания передачи всех элементов префикса и суффикса. Это позволяет "
                u"задать в качестве префика, например, такое сочетание клавиш как Сtrl + F7."},
      /* 29 */ {kPrefixes, 0, u"Примечание №3.\nМаксимальная длина префикса или суффикса: 10 символов"},
      /* 30 */ {kUpButton, 0,
                u"Примечание №1.\nСообщение от верхней кнопки задается в виде набора байт в "
                u"шестнадцатеричном или десятичном формате."},
      /* 31 */ {kUpButton, 0, u"• Для USB CDC и RS232 значения элементов интерпретируются как коды ASCII."},
      /* 32 */ {kUpButton, 0, u"Примечание №3.\nМаксимальная длина сообщения: 10 символов"},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    const QString text = QString::fromUtf16(c.text);
    CPageT& page = Page(c.page);
    if (c.id) {
      QWidget* control = page.Control(c.id);
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(control->property(kCaptionProperty).toString(), text);
      EXPECT_EQ(control->accessibleName(), text);
      continue;
    }
    bool found = false;
    for (auto* label : page.findChildren<QLabel*>()) found = found || label->text() == text;
    for (auto* box : page.findChildren<QGroupBox*>()) found = found || box->title() == text;
    EXPECT_TRUE(found) << text.toStdString();
  }
  EXPECT_EQ(Page(kTrigger).Caption(), QStringLiteral("Запуск сканирования"));
  EXPECT_EQ(Page(kCurrency).Caption(), QStringLiteral("Детектор валюты"));
  EXPECT_EQ(Page(kPrefixes).Caption(), QStringLiteral("Префиксы/Суффиксы"));
  EXPECT_EQ(Page(kUpButton).Caption(), QStringLiteral("Сообщение от верхней кнопки"));
}

TEST_F(BehaviourPagesTest, EveryControlIsNamedAndReachedWithTheKeyboard) {
  for (int id : {kTrigger, kIllumination, kAim, kSound, kConfig, kCurrency, kPrefixes, kUpButton}) {
    SCOPED_TRACE(::testing::Message() << "page " << id);
    CPageT& page = Page(id);
    page.Load();
    page.activateWindow();
    // Tab through the page until the focus comes round again.
    std::set<QWidget*> reached;
    QWidget* first = nullptr;
    for (QWidget* c : page.Controls()) {
      if (c->focusPolicy() & Qt::TabFocus) {
        first = c;
        break;
      }
    }
    ASSERT_NE(first, nullptr);
    first->setFocus();
    QWidget* at = first;
    for (int i = 0; i < 64; ++i) {
      reached.insert(at);
      QTest::keyClick(at, Qt::Key_Tab);
      at = page.focusWidget();
      if (at == first || !at) break;
    }
    std::set<QButtonGroup*> groups_reached;
    for (QWidget* w : reached) {
      if (auto* radio = qobject_cast<QRadioButton*>(w)) groups_reached.insert(radio->group());
    }
    for (QWidget* c : page.Controls()) {
      const bool input = qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) ||
                         qobject_cast<QSlider*>(c);
      if (!input) continue;
      const int control_id = c->property("controlId").toInt();
      EXPECT_FALSE(c->accessibleName().trimmed().isEmpty()) << control_id;
      // Tab enters a radio group once; the arrows move inside it.
      if (auto* radio = qobject_cast<QRadioButton*>(c)) {
        EXPECT_TRUE(groups_reached.count(radio->group())) << control_id;
      } else {
        EXPECT_TRUE(reached.count(c)) << control_id;
      }
    }
  }
}

}  // namespace
}  // namespace tavrik
