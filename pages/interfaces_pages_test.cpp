// The host-interface page and its four tabs against the settings record: the
// interfaces each model offers, the rules between the barcode and the
// currency interface, the tab lists, the PIN, and the safety rules that keep
// an interface the model lacks out of the record.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/ScriptedDialogs.h"
#include "pages/InterfacesPage.h"
#include "pages/test_parent.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

using Codes = std::vector<int>;
const Codes kAll = {0, 1, 2, 3, 4, 5, 6, 7, 8};
const Codes kWired = {0, 1, 2, 3, 8};
const Codes kNoUart = {1, 2, 3, 4, 5, 6, 7, 8};

QString Name(int code) { return QString::fromUtf8(InterfaceName(static_cast<std::uint8_t>(code))); }

QStringList Names(const Codes& codes) {
  QStringList names;
  for (int code : codes) names << Name(code);
  return names;
}

QStringList Entries(const QComboBox* combo) {
  QStringList entries;
  for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
  return entries;
}

TEST(CurrencyChoiceTest, BarcodeInterfaceDecidesTheCurrencyList) {
  struct Case {
    int barcode, currency;
    Codes offered;
    int selected;  // -1: nothing
  };
  const Case cases[] = {
      /* 1 */ {0, 0, {0}, 0},
      /* 2 */ {0, 2, {0}, 0},  // UART barcode data forces UART currency data
      /* 3 */ {0, 7, {0}, 0},
      /* 4 */ {0, 9, {0}, 0},  // whatever the record held
      /* 5 */ {2, 0, kWired, 0},
      /* 6 */ {2, 8, kWired, 8},
      /* 7 */ {1, 4, kWired, 2},  // a Bluetooth currency interface becomes "USB HID"
      /* 8 */ {8, 7, kWired, 2},
      /* 9 */ {3, 9, kWired, -1},  // a code that names nothing is not replaced
      /* 10 */ {4, 0, kNoUart, 4},  // UART becomes "BT HID"
      /* 11 */ {4, 7, kNoUart, 7},
      /* 12 */ {7, 2, kNoUart, 2},
      /* 13 */ {6, 8, kNoUart, 8},
      /* 14 */ {5, 200, kNoUart, -1},
      /* 15 */ {9, 2, {}, -1},  // no barcode interface: an empty list
      /* 16 */ {255, 0, {}, -1},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    const CurrencyChoice choice = CurrencyChoiceFor(static_cast<std::uint8_t>(c.barcode),
                                                    static_cast<std::uint8_t>(c.currency));
    EXPECT_EQ(Codes(choice.offered.begin(), choice.offered.end()), c.offered);
    EXPECT_EQ(choice.selected ? *choice.selected : -1, c.selected);
  }
}

TEST(CurrencyChoiceTest, ShownNamesMapBackToCodes) {
  for (int code = 0; code < kInterfaceCount; ++code) {
    EXPECT_EQ(InterfaceCodeOf(Name(code)), code);
  }
  EXPECT_FALSE(InterfaceCodeOf(QString()));
  EXPECT_FALSE(InterfaceCodeOf(Name(9))) << "the unknown interface's text is no entry";
  EXPECT_FALSE(InterfaceCodeOf(QStringLiteral("usb hid")));
}

class InterfacesPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    page = std::make_unique<CInterfacesPage>();
    parent.page = page.get();
    page->SetParentDlg(&parent);
    page->Create(nullptr, QRect(0, 0, 411, 460));
  }
  void TearDown() override {
    page.reset();
    ResetProcessState();
  }

  void Show() {
    page->show();
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
  }
  void LoadWith(int model, int barcode, int currency) {
    SetCurrentModel(static_cast<std::uint8_t>(model));
    CurrentSettings().barcode_interface = static_cast<std::uint8_t>(barcode);
    CurrentSettings().currency_interface = static_cast<std::uint8_t>(currency);
    page->Load();
  }
  QComboBox* Barcode() const { return page->ControlAs<QComboBox>(1169); }
  QComboBox* Currency() const { return page->ControlAs<QComboBox>(1171); }
  QTabWidget* Tabs() const { return page->ControlAs<QTabWidget>(1150); }
  void Choose(QComboBox* combo, int code) {
    const int index = combo->findText(Name(code));
    ASSERT_GE(index, 0) << qPrintable(Name(code));
    combo->setCurrentIndex(index);
  }
  static void ClickIndicator(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator.center());
  }

  ScriptedDialogs dialogs;
  NoParent parent;
  std::unique_ptr<CInterfacesPage> page;
};

TEST_F(InterfacesPageTest, TabsStandInTheirOrderAndEachPageIsCreatedOnce) {
  EXPECT_EQ(page->Caption(), QStringLiteral("Интерфейс с ПК"));
  ASSERT_EQ(Tabs()->count(), 4);
  const QString texts[] = {QStringLiteral("HID (USB и BT)"), QStringLiteral("USB CDC"),
                           QStringLiteral("UART (RS232)"), QStringLiteral("Bluetooth")};
  const CPageT* pages[] = {&page->HidTab(), &page->UsbCdcTab(), &page->UartTab(),
                           &page->BluetoothTab()};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Tabs()->tabText(i), texts[i]);
    EXPECT_EQ(Tabs()->widget(i), pages[i]);
  }
  for (int load = 0; load < 2; ++load) page->Load();
  EXPECT_EQ(Tabs()->count(), 4) << "loading again adds no tab";
  EXPECT_EQ(page->ChildPages().size(), 4u);
}

TEST_F(InterfacesPageTest, ModelDecidesTheOfferedInterfacesAndTheBluetoothTab) {
  struct Case {
    int model;
    const Codes* offered;
    bool bluetooth;
  };
  const Case cases[] = {
      /* 1 */ {0, &kAll, true},  // no device known yet
      /* 2 */ {156, &kAll, true},
      /* 3 */ {157, &kAll, true},
      /* 4 */ {159, &kAll, true},
      /* 5 */ {208, &kAll, true},
      /* 6 */ {151, &kWired, false},
      /* 7 */ {100, &kWired, false},
      /* 8 */ {204, &kWired, false},
      /* 9 */ {255, &kWired, false},  // an unknown model
      /* 10 */ {0, &kAll, true},     // and back
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    LoadWith(c.model, usb_hid, usb_hid);
    EXPECT_EQ(Entries(Barcode()), Names(*c.offered));
    EXPECT_EQ(page->BluetoothTab().isEnabled(), c.bluetooth);
    EXPECT_TRUE(Tabs()->isTabEnabled(3)) << "the tab itself stays reachable";
    EXPECT_EQ(Barcode()->currentText(), QStringLiteral("USB HID"));
  }
}

TEST_F(InterfacesPageTest, CurrencyListFollowsTheBarcodeInterface) {
  struct Case {
    int model, barcode, currency;  // the record before the load
    int choose;                    // the barcode entry the user then picks; -1: none
    Codes offered;                 // the currency list afterwards
    int shown;                     // its selection
    int barcode_after, currency_after;
  };
  const Case cases[] = {
      /* 1 */ {0, uart, usb_hid, -1, {0}, uart, uart, uart},  // UART forces UART at once
      /* 2 */ {0, uart, uart, bt_hid, kNoUart, bt_hid, bt_hid, bt_hid},
      /* 3 */ {0, bt_spp, bt_spp, usb_cdc, kWired, usb_hid, usb_cdc, usb_hid},
      /* 4 */ {0, usb_hid, usb_cdc, uart, {0}, uart, uart, uart},
      /* 5 */ {0, usb_hid, usb_cdc, bt_spp, kNoUart, usb_cdc, bt_spp, usb_cdc},
      /* 6 */ {0, bt_hid, usb_pos_hid, usb_hid, kWired, usb_pos_hid, usb_hid, usb_pos_hid},
      /* 7 */ {151, usb_hid, bt_hid, -1, kWired, usb_hid, usb_hid, usb_hid},  // wired model
      /* 8 */ {151, usb_hid, uart, usb_pos_hid, kWired, uart, usb_pos_hid, uart},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    LoadWith(c.model, c.barcode, c.currency);
    if (c.choose >= 0) Choose(Barcode(), c.choose);
    EXPECT_EQ(Entries(Currency()), Names(c.offered));
    EXPECT_EQ(Currency()->currentText(), Name(c.shown));
    // The record follows the lists at once, not only on leaving the page.
    EXPECT_EQ(CurrentSettings().barcode_interface, c.barcode_after);
    EXPECT_EQ(CurrentSettings().currency_interface, c.currency_after);
    EXPECT_TRUE(page->Store());
    EXPECT_EQ(CurrentSettings().barcode_interface, c.barcode_after);
    EXPECT_EQ(CurrentSettings().currency_interface, c.currency_after);
  }
}

TEST_F(InterfacesPageTest, KeyboardAndCurrencyChangesReachTheRecord) {
  LoadWith(0, bt_spp, bt_spp);
  // Down on the closed list: "BT SPP" -> "USB POS HID"; no list closes, and the
  // pair (USB POS HID, BT SPP) must still not reach the record.
  QTest::keyClick(Barcode(), Qt::Key_Down);
  EXPECT_EQ(Barcode()->currentText(), QStringLiteral("USB POS HID"));
  EXPECT_EQ(Currency()->currentText(), QStringLiteral("USB HID"));
  EXPECT_EQ(CurrentSettings().barcode_interface, usb_pos_hid);
  EXPECT_EQ(CurrentSettings().currency_interface, usb_hid);
  QTest::keyClick(Currency(), Qt::Key_Up);  // "USB HID" -> "USB CDC"
  EXPECT_EQ(CurrentSettings().currency_interface, usb_cdc);
  QTest::keyClick(Barcode(), Qt::Key_Home);  // UART
  EXPECT_EQ(Entries(Currency()), Names({0}));
  EXPECT_EQ(CurrentSettings().currency_interface, uart);
}

TEST_F(InterfacesPageTest, InterfaceTheModelLacksIsShownButNeverWritten) {
  struct Case {
    int model, barcode, currency;  // the record
    int choose;                    // then picked in the barcode list
    int currency_after;            // the record's currency interface after the pick
  };
  const Case cases[] = {
      /* 1 */ {151, bt_hid, bt_hid, usb_hid, usb_hid},
      /* 2 */ {151, bt_spp, uart, usb_cdc, uart},
      /* 3 */ {204, bt_classic_hid, bt_pos_hid, uart, uart},
      /* 4 */ {0, 9, usb_hid, usb_hid, usb_hid},  // the "no interface" code of old files
      /* 5 */ {159, 200, 9, usb_hid, 9},         // a currency code naming nothing stays
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    LoadWith(c.model, c.barcode, c.currency);
    EXPECT_EQ(Barcode()->currentIndex(), -1);
    EXPECT_EQ(Barcode()->placeholderText(), Name(c.barcode)) << "the record's interface, greyed";
    EXPECT_EQ(Currency()->count(), 0);
    EXPECT_EQ(Currency()->placeholderText(), Name(c.currency));
    EXPECT_TRUE(page->Store());
    page->Load();
    EXPECT_TRUE(page->Store());
    EXPECT_EQ(CurrentSettings().barcode_interface, c.barcode) << "no 9 for the scanner";
    EXPECT_EQ(CurrentSettings().currency_interface, c.currency);
    Choose(Barcode(), c.choose);
    EXPECT_EQ(CurrentSettings().barcode_interface, c.choose);
    EXPECT_EQ(CurrentSettings().currency_interface, c.currency_after);
  }
}

TEST_F(InterfacesPageTest, EveryPathStoresOnlyOfferedInterfacesInAllowedPairs) {
  // Every record pair, then every barcode entry picked in turn, for a wired
  // and a Bluetooth model.
  auto allowed = [](int barcode, int currency) {
    if (barcode == uart) return currency == uart;
    if (barcode >= bt_hid && barcode <= bt_spp) return currency >= usb_cdc && currency <= usb_pos_hid;
    return currency == uart || currency == usb_cdc || currency == usb_hid ||
           currency == usb_hid_only || currency == usb_pos_hid;
  };
  for (int model : {151, 159}) {
    const Codes& offered = model == 151 ? kWired : kAll;
    auto is_offered = [&](int code) {
      return std::find(offered.begin(), offered.end(), code) != offered.end();
    };
    for (int barcode = 0; barcode <= 10; ++barcode) {
      for (int currency = 0; currency <= 10; ++currency) {
        SCOPED_TRACE(::testing::Message() << "model " << model << ", record " << barcode << "/"
                                          << currency);
        LoadWith(model, barcode, currency);
        ASSERT_TRUE(page->Store());
        const Settings& s = CurrentSettings();
        auto check = [&](const char* when) {
          SCOPED_TRACE(when);
          if (s.barcode_interface != barcode) {
            EXPECT_TRUE(is_offered(s.barcode_interface));
          }
          if (s.currency_interface != currency) {
            EXPECT_TRUE(is_offered(s.currency_interface));
          }
          if (is_offered(s.barcode_interface) && s.currency_interface < kInterfaceCount) {
            EXPECT_TRUE(allowed(s.barcode_interface, s.currency_interface));
          }
        };
        check("after the load");
        for (int i = 0; i < Barcode()->count(); ++i) {
          Barcode()->setCurrentIndex(i);
          EXPECT_TRUE(is_offered(s.barcode_interface));
          check("after a pick");
        }
      }
    }
  }
}

TEST_F(InterfacesPageTest, HidListsShowAndStoreTheirValues) {
  CHIDTabPage& hid = page->HidTab();
  EXPECT_EQ(hid.ControlAs<QComboBox>(1162)->count(), 16);
  EXPECT_EQ(hid.ControlAs<QComboBox>(1165)->count(), 51);
  EXPECT_EQ(hid.ControlAs<QComboBox>(1165)->itemText(50), QStringLiteral("500"));
  EXPECT_EQ(Entries(hid.ControlAs<QComboBox>(1174)),
            QStringList({QStringLiteral("Windows 1251"), QStringLiteral("MS-DOS 866 (CP866)"),
                         QStringLiteral("UTF-8")}));
  EXPECT_FALSE(hid.Control(1172)->isEnabled()) << "Russia is the only keyboard type";
  struct Case {
    int id;
    int stored;
    const char16_t* shown;   // u"" for no selection
    const char16_t* choose;  // nullptr: the user picks nothing
    int after;
  };
  const Case cases[] = {
      /* 1 */ {1162, 3, u"3", nullptr, 3},
      /* 2 */ {1162, 3, u"3", u"16", 16},
      /* 3 */ {1162, 0, u"", nullptr, 0},  // outside the list: kept
      /* 4 */ {1162, 17, u"", nullptr, 17},
      /* 5 */ {1162, 17, u"", u"1", 1},
      /* 6 */ {1165, 120, u"120", nullptr, 120},
      /* 7 */ {1165, 15, u"", nullptr, 15},  // not a step of 10: kept
      /* 8 */ {1165, 510, u"", nullptr, 510},
      /* 9 */ {1165, 0, u"0", u"500", 500},
      /* 10 */ {1174, 1, u"MS-DOS 866 (CP866)", nullptr, 1},
      /* 11 */ {1174, 0, u"Windows 1251", u"UTF-8", 2},
      /* 12 */ {1174, 7, u"", nullptr, 7},
      /* 13 */ {1172, 0, u"Россия", nullptr, 0},
      /* 14 */ {1172, 3, u"", nullptr, 3},
  };
  auto field = [](int id) -> int {
    const Settings& s = CurrentSettings();
    switch (id) {
      case 1162: return s.hid_poll_interval;
      case 1165: return s.hid_key_delay;
      case 1172: return s.hid_keyboard_type;
      default: return s.barcode_code_page;
    }
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    ResetProcessState();
    Settings& s = CurrentSettings();
    switch (c.id) {
      case 1162: s.hid_poll_interval = static_cast<std::uint8_t>(c.stored); break;
      case 1165: s.hid_key_delay = static_cast<std::int16_t>(c.stored); break;
      case 1172: s.hid_keyboard_type = static_cast<std::uint8_t>(c.stored); break;
      default: s.barcode_code_page = static_cast<std::uint8_t>(c.stored); break;
    }
    page->Load();
    auto* combo = hid.ControlAs<QComboBox>(c.id);
    EXPECT_EQ(combo->currentText(), QString::fromUtf16(c.shown));
    if (c.choose) combo->setCurrentIndex(combo->findText(QString::fromUtf16(c.choose)));
    EXPECT_TRUE(page->Store());
    EXPECT_EQ(field(c.id), c.after);
  }
}

TEST_F(InterfacesPageTest, AltOptionsFollowTheAltSequenceBoxAndKeepTheirValues) {
  Show();
  CHIDTabPage& hid = page->HidTab();
  auto* alt = hid.ControlAs<QCheckBox>(1168);
  auto* zero = hid.ControlAs<QCheckBox>(1169);
  auto* fast = hid.ControlAs<QCheckBox>(1171);
  struct Case {
    bool alt, zero, fast;  // the record
    bool click;            // the user clicks 1168 after the load
  };
  const Case cases[] = {
      /* 1 */ {false, true, true, false},
      /* 2 */ {true, true, false, false},
      /* 3 */ {true, false, true, true},   // switched off: the two keep their values
      /* 4 */ {false, true, false, true},  // switched on
      /* 5 */ {false, false, false, false},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    Settings& s = CurrentSettings();
    s.hid_alt_sequence = c.alt;
    s.hid_alt_leading_zero = c.zero;
    s.hid_fast_keypad = c.fast;
    page->Load();
    EXPECT_EQ(zero->isEnabled(), c.alt);
    EXPECT_EQ(fast->isEnabled(), c.alt);
    if (c.click) ClickIndicator(alt);
    const bool on = c.alt != c.click;
    EXPECT_EQ(alt->isChecked(), on);
    EXPECT_EQ(zero->isEnabled(), on);
    EXPECT_EQ(fast->isEnabled(), on);
    EXPECT_EQ(zero->isChecked(), c.zero);
    EXPECT_EQ(fast->isChecked(), c.fast);
    EXPECT_TRUE(page->Store());
    EXPECT_EQ(s.hid_alt_sequence, on);
    EXPECT_EQ(s.hid_alt_leading_zero, c.zero);
    EXPECT_EQ(s.hid_fast_keypad, c.fast);
  }
}

TEST_F(InterfacesPageTest, PinIsClampedOnLoadAndAnInvalidOneKeepsTheUserOnThePage) {
  Show();
  CBLUETOOTHTabPage& bt = page->BluetoothTab();
  auto* pin = bt.ControlAs<QLineEdit>(1207);
  auto* fast = bt.ControlAs<QComboBox>(1176);
  EXPECT_EQ(fast->count(), 251);
  EXPECT_EQ(fast->itemText(250), QStringLiteral("250"));

  CurrentSettings().bt_pin = 12000;
  page->Load();
  EXPECT_EQ(pin->text(), QStringLiteral("9999"));
  EXPECT_EQ(CurrentSettings().bt_pin, 9999) << "the clamp is written back on load";

  struct Case {
    const char16_t* typed;
    bool ok;
    int pin_after;
  };
  const Case cases[] = {
      /* 1 */ {u"10000", false, 1234},
      /* 2 */ {u"", false, 1234},
      /* 3 */ {u"99999999999", false, 1234},
      /* 4 */ {u"9999", true, 9999},
      /* 5 */ {u"0", true, 0},
      /* 6 */ {u"0042", true, 42},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    Settings& s = CurrentSettings();
    s.bt_pin = 1234;
    s.bt_fast_keystrokes = 5;
    s.bt_le_ack = false;
    page->Load();
    Tabs()->setCurrentIndex(0);
    QApplication::processEvents();
    pin->setText(QString::fromUtf16(c.typed));
    fast->setCurrentIndex(7);
    bt.ControlAs<QCheckBox>(1205)->setChecked(true);
    dialogs.beeps = 0;
    EXPECT_EQ(page->Store(), c.ok);
    EXPECT_EQ(s.bt_pin, c.pin_after);
    EXPECT_EQ(s.bt_fast_keystrokes, c.ok ? 7 : 5) << "the count waits for a valid PIN";
    EXPECT_TRUE(s.bt_le_ack) << "check boxes store as they go";
    EXPECT_EQ(dialogs.beeps, c.ok ? 0 : 1);
    if (!c.ok) {
      EXPECT_EQ(Tabs()->currentWidget(), &bt) << "the refused PIN is in front";
      EXPECT_EQ(QApplication::focusWidget(), pin);
    }
  }
}

TEST_F(InterfacesPageTest, UartListsMapPositionsToFields) {
  CUARTTabPage& uart_tab = page->UartTab();
  EXPECT_EQ(Entries(uart_tab.ControlAs<QComboBox>(1152)),
            QStringList({QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"),
                         QStringLiteral("19200"), QStringLiteral("38400"), QStringLiteral("57600"),
                         QStringLiteral("115200")}));
  EXPECT_EQ(Entries(uart_tab.ControlAs<QComboBox>(1155)),
            QStringList({QStringLiteral("8"), QStringLiteral("7")}));
  EXPECT_EQ(Entries(uart_tab.ControlAs<QComboBox>(1157)),
            QStringList({QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even")}));
  EXPECT_EQ(Entries(uart_tab.ControlAs<QComboBox>(1159)),
            QStringList({QStringLiteral("1"), QStringLiteral("2")}));
  EXPECT_EQ(uart_tab.Control(1161), nullptr) << "the unused list is not built";
  struct Case {
    int id;
    std::uint8_t Settings::*field;
    int stored;
    const char16_t* shown;
    int choose;  // position picked; -1 none
    int after;
  };
  const Case cases[] = {
      /* 1 */ {1152, &Settings::uart_speed, 6, u"115200", -1, 6},
      /* 2 */ {1152, &Settings::uart_speed, 2, u"9600", 0, 0},
      /* 3 */ {1152, &Settings::uart_speed, 7, u"", -1, 7},  // beyond the list: kept
      /* 4 */ {1155, &Settings::uart_data_bits, 1, u"7", 0, 0},
      /* 5 */ {1157, &Settings::uart_parity, 2, u"Even", 1, 1},
      /* 6 */ {1157, &Settings::uart_parity, 3, u"", -1, 3},
      /* 7 */ {1159, &Settings::uart_stop_bits, 0, u"1", 1, 1},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    CurrentSettings().*c.field = static_cast<std::uint8_t>(c.stored);
    page->Load();
    auto* combo = uart_tab.ControlAs<QComboBox>(c.id);
    EXPECT_EQ(combo->currentText(), QString::fromUtf16(c.shown));
    if (c.choose >= 0) combo->setCurrentIndex(c.choose);
    EXPECT_TRUE(page->Store());
    EXPECT_EQ(CurrentSettings().*c.field, c.after);
  }
}

TEST_F(InterfacesPageTest, LoadThenStoreKeepsANonDefaultRecord) {
  struct Case {
    int model;
    int barcode, currency;
  };
  const Case cases[] = {
      /* 1 */ {0, bt_pos_hid, usb_pos_hid},
      /* 2 */ {159, bt_classic_hid, bt_spp},
      /* 3 */ {151, usb_pos_hid, uart},
      /* 4 */ {151, bt_hid, bt_spp},  // not offered: both kept
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    ResetProcessState();
    SetCurrentModel(static_cast<std::uint8_t>(c.model));
    Settings& s = CurrentSettings();
    s.barcode_interface = static_cast<std::uint8_t>(c.barcode);
    s.currency_interface = static_cast<std::uint8_t>(c.currency);
    s.hid_poll_interval = 16;
    s.hid_key_delay = 250;
    s.hid_ignore_caps_lock = true;
    s.hid_ignore_unknown = true;
    s.hid_alt_sequence = false;
    s.hid_alt_leading_zero = true;  // disabled, and kept
    s.hid_fast_keypad = true;
    s.hid_ctrl_x = true;
    s.barcode_code_page = 2;
    s.cdc_static_port = false;
    s.uart_speed = 5;
    s.uart_data_bits = 1;
    s.uart_parity = 1;
    s.uart_stop_bits = 1;
    s.bt_pin = 4321;
    s.bt_fast_keystrokes = 250;
    s.bt_pin_pairing = true;
    s.bt_pin_pairing_hidden = true;
    s.bt_auto_reconnect = false;
    s.bt_link_beep = false;
    s.bt_store_offline = true;
    s.bt_le_ack = true;
    s.bt_classic_reconnect = true;
    const Settings before = s;
    page->Load();
    EXPECT_TRUE(page->Store());
    EXPECT_TRUE(s == before);
  }
  EXPECT_TRUE(page->BluetoothTab().Control(1208)->isHidden()) << "bound, never shown";
}

TEST_F(InterfacesPageTest, ControlsAreNamedAndTheTabsFitAndAreReachable) {
  Show();
  page->Load();
  std::vector<CPageT*> pages = {page.get()};
  for (CPageT* tab : page->ChildPages()) pages.push_back(tab);
  for (CPageT* p : pages) {
    for (QWidget* control : p->Controls()) {
      // The tab control hands its focus to its tab bar, whose tabs carry their texts.
      if ((control->focusPolicy() & Qt::TabFocus) && !control->focusProxy()) {
        EXPECT_FALSE(control->accessibleName().isEmpty())
            << qPrintable(p->Caption()) << " " << control->property("controlId").toInt();
      }
    }
  }
  // Each tab page, in front, fits the tab control's page area at this font.
  for (int i = 0; i < Tabs()->count(); ++i) {
    SCOPED_TRACE(qPrintable(Tabs()->tabText(i)));
    Tabs()->setCurrentIndex(i);
    QApplication::processEvents();
    QWidget* tab = Tabs()->currentWidget();
    EXPECT_LE(tab->minimumSizeHint().height(), tab->height());
    for (QWidget* control : static_cast<CPageT*>(tab)->Controls()) {
      if (!control->isVisible()) continue;
      EXPECT_TRUE(tab->rect().contains(control->geometry()))
          << control->property("controlId").toInt();
      EXPECT_GE(control->width(), control->minimumSizeHint().width())
          << control->property("controlId").toInt();
    }
  }
  EXPECT_LE(page->minimumSizeHint().height(), page->height());

  // Tab walks the two lists, then the tab bar, then the page in front; arrows
  // on the tab bar change the tab.
  Tabs()->setCurrentIndex(0);
  Barcode()->setFocus();
  QApplication::processEvents();
  std::vector<QWidget*> visited;
  for (int i = 0; i < 3; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited.push_back(QApplication::focusWidget());
  }
  ASSERT_EQ(visited.size(), 3u);
  EXPECT_EQ(visited[0], Currency());
  EXPECT_EQ(visited[1], Tabs()->tabBar());
  EXPECT_EQ(visited[2], page->HidTab().Control(1162));
  Tabs()->tabBar()->setFocus();
  QTest::keyClick(Tabs()->tabBar(), Qt::Key_Right);
  EXPECT_EQ(Tabs()->currentIndex(), 1);
}

}  // namespace
}  // namespace tavrik
