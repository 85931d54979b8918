#include "pages/InterfacesPage.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QTabWidget>

#include <algorithm>

#include "device/ScannerInterface.h"
#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

// The kinds of link an interface code belongs to, as the currency rules see them.
enum class Link : std::uint8_t { none, uart, usb, bluetooth };

Link LinkOf(std::uint8_t code) {
  switch (code) {
    case uart: return Link::uart;
    case usb_cdc:
    case usb_hid:
    case usb_hid_only:
    case usb_pos_hid: return Link::usb;
    case bt_hid:
    case bt_pos_hid:
    case bt_classic_hid:
    case bt_spp: return Link::bluetooth;
    default: return Link::none;
  }
}

constexpr std::uint8_t kAllInterfaces[] = {uart,   usb_cdc,        usb_hid, usb_hid_only, bt_hid,
                                           bt_pos_hid, bt_classic_hid, bt_spp,  usb_pos_hid};
constexpr std::uint8_t kWiredInterfaces[] = {uart, usb_cdc, usb_hid, usb_hid_only, usb_pos_hid};
constexpr std::uint8_t kUartOnly[] = {uart};
constexpr std::uint8_t kAllButUart[] = {usb_cdc,        usb_hid, usb_hid_only, bt_hid, bt_pos_hid,
                                        bt_classic_hid, bt_spp,  usb_pos_hid};

// One row per link of the barcode interface: what the currency list offers,
// and what a currency interface of a link it does not offer turns into.
struct CurrencyRule {
  Link barcode;
  std::span<const std::uint8_t> offered;
  Link replaced;             // a currency interface of this link ...
  std::uint8_t replacement;  // ... is shown and stored as this one
  bool forced;               // every other currency code becomes the replacement too
};
constexpr CurrencyRule kCurrencyRules[] = {
    {Link::uart, kUartOnly, Link::none, uart, true},
    {Link::usb, kWiredInterfaces, Link::bluetooth, usb_hid, false},
    {Link::bluetooth, kAllButUart, Link::uart, bt_hid, false},
};

QString NameOf(std::uint8_t code) { return QString::fromUtf8(InterfaceName(code)); }

void Fill(QComboBox* combo, std::span<const std::uint8_t> codes) {
  for (std::uint8_t code : codes) combo->addItem(NameOf(code));
}

// Selects the entry named after `code`; none when the list lacks it. With
// nothing selected the list shows the record's interface greyed, so the user
// sees what the record holds without being able to choose it.
void Select(QComboBox* combo, std::optional<std::uint8_t> code, std::uint8_t record_code) {
  combo->setPlaceholderText(NameOf(record_code));
  combo->setCurrentIndex(code ? combo->findText(NameOf(*code), Qt::MatchExactly) : -1);
}

}  // namespace

std::span<const std::uint8_t> BarcodeInterfaces(std::uint8_t model) {
  if (HasBluetooth(model)) return kAllInterfaces;
  return kWiredInterfaces;
}

CurrencyChoice CurrencyChoiceFor(std::uint8_t barcode_code, std::uint8_t currency_code) {
  const Link barcode = LinkOf(barcode_code);
  const auto rule = std::find_if(std::begin(kCurrencyRules), std::end(kCurrencyRules),
                                 [barcode](const CurrencyRule& r) { return r.barcode == barcode; });
  if (rule == std::end(kCurrencyRules)) return {};
  const bool offered =
      std::find(rule->offered.begin(), rule->offered.end(), currency_code) != rule->offered.end();
  if (offered) return {rule->offered, currency_code};
  if (rule->forced || LinkOf(currency_code) == rule->replaced) {
    return {rule->offered, rule->replacement};
  }
  // A code that names no interface (left by an old file or a foreign tool)
  // stays in the record until the user picks an entry.
  return {rule->offered, std::nullopt};
}

std::optional<std::uint8_t> InterfaceCodeOf(const QString& shown) {
  for (int code = 0; code < kInterfaceCount; ++code) {
    if (shown == NameOf(static_cast<std::uint8_t>(code))) return static_cast<std::uint8_t>(code);
  }
  return std::nullopt;
}

CInterfacesPage::CInterfacesPage() : CPageImpl(kTemplateId) {}

void CInterfacesPage::CreateControls(CPageForm& form) {
  form.BeginGroup(QString::fromUtf8(SettingOf(&Settings::barcode_interface).group));
  form.BeginRow();
  barcode_combo_ = static_cast<QComboBox*>(form.Field(&Settings::barcode_interface));
  form.Spacing(12);
  currency_combo_ = static_cast<QComboBox*>(form.Field(&Settings::currency_interface));
  form.EndRow();
  form.EndGroup();
  form.TabHost(1150);
  // A tab page fits its captions to its own width when it is created: give it
  // the width it will have inside the tab control.
  for (CPageT* tab : {static_cast<CPageT*>(&hid_), static_cast<CPageT*>(&usb_cdc_),
                      static_cast<CPageT*>(&uart_), static_cast<CPageT*>(&bluetooth_)}) {
    tab->resize(width() - 24, tab->height());
    form.Tab(*tab, tab->Caption());
  }
}

void CInterfacesPage::OnInitDialog() {
  // Any change of the barcode interface, by the list or by the keyboard,
  // passes through the currency rules, so no forbidden pair is ever stored.
  connect(barcode_combo_, &QComboBox::currentIndexChanged, this, [this] { RebuildCurrencyCombo(); });
  connect(currency_combo_, &QComboBox::currentIndexChanged, this, [this] { StoreShownInterfaces(); });
}

void CInterfacesPage::Bindings(CBindings&) {}

void CInterfacesPage::Load() {
  CPageImpl::Load();
  const std::uint8_t model = CurrentModel();
  // Without Bluetooth the tab stays in its place, readable but out of reach.
  bluetooth_.setEnabled(HasBluetooth(model));
  const std::uint8_t barcode = CurrentSettings().barcode_interface;
  {
    const QSignalBlocker blocker(barcode_combo_);
    barcode_combo_->clear();
    Fill(barcode_combo_, BarcodeInterfaces(model));
    Select(barcode_combo_, barcode, barcode);
  }
  RebuildCurrencyCombo();
}

void CInterfacesPage::RebuildCurrencyCombo() {
  const std::uint8_t currency = CurrentSettings().currency_interface;
  {
    const QSignalBlocker blocker(currency_combo_);
    currency_combo_->clear();
    if (const auto barcode = InterfaceCodeOf(barcode_combo_->currentText())) {
      const CurrencyChoice choice = CurrencyChoiceFor(*barcode, currency);
      Fill(currency_combo_, choice.offered);
      Select(currency_combo_, choice.selected, currency);
    } else {
      Select(currency_combo_, std::nullopt, currency);
    }
  }
  StoreShownInterfaces();
}

void CInterfacesPage::StoreShownInterfaces() {
  Settings& s = CurrentSettings();
  if (const auto code = InterfaceCodeOf(barcode_combo_->currentText())) s.barcode_interface = *code;
  if (const auto code = InterfaceCodeOf(currency_combo_->currentText())) s.currency_interface = *code;
}

bool CInterfacesPage::Store() {
  if (!CPageImpl::Store()) return false;
  StoreShownInterfaces();
  return true;
}

}  // namespace tavrik
