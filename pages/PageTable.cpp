#include "pages/PageTable.h"

#include <algorithm>

#include "pages/AimLedsPage.h"
#include "pages/ConfigurationManagementPage.h"
#include "pages/ConnectPage.h"
#include "pages/EanUpcPage.h"
#include "pages/FieldListPage.h"
#include "pages/IlluminationPage.h"
#include "pages/InterfacesPage.h"
#include "pages/PharmacodePage.h"
#include "pages/PowerManagementPage.h"
#include "pages/PrefixesSuffixesPage.h"
#include "pages/SettingsPage.h"
#include "pages/SoundManagementPage.h"
#include "pages/SymbolicsPage.h"
#include "pages/TriggerPage.h"
#include "pages/UpButtonMessagePage.h"
#include "pages/ValidationPage.h"
#include "settings/SettingsCatalog.h"

namespace tavrik {
namespace {

template <class P>
std::unique_ptr<CPageT> Make() {
  return std::make_unique<P>();
}

// The pages that hold nothing but check boxes: their fields, top to bottom.
template <int TemplateId, const auto& Fields>
std::unique_ptr<CPageT> Checks() {
  return std::make_unique<CFieldListPage>(TemplateId, Fields);
}
constexpr bool Settings::*kI2of5[] = {&Settings::i2of5_enabled, &Settings::i2of5_check_digit,
                                      &Settings::i2of5_send_check_digit};
constexpr bool Settings::*kCodabar[] = {&Settings::codabar_enabled, &Settings::codabar_abcd_notation,
                                        &Settings::codabar_send_start_stop};
constexpr bool Settings::*kCode39[] = {&Settings::code39_enabled, &Settings::code39_check_digit,
                                       &Settings::code39_send_check_digit};
constexpr bool Settings::*kCode93[] = {&Settings::code93_enabled};
constexpr bool Settings::*kCode128[] = {&Settings::code128_enabled};
constexpr bool Settings::*kDataBar[] = {&Settings::databar14_enabled, &Settings::databar_low_enabled};
constexpr bool Settings::*kPdf417[] = {&Settings::pdf417_enabled, &Settings::micro_pdf417_enabled,
                                       &Settings::pdf417_simplified_check};
constexpr bool Settings::*kAztec[] = {&Settings::aztec_enabled, &Settings::aztec_runes_enabled};
constexpr bool Settings::*kDataMatrix[] = {&Settings::datamatrix_enabled, &Settings::dmre_enabled};
constexpr bool Settings::*kQrCode[] = {&Settings::qrcode_enabled, &Settings::micro_qr_enabled};
constexpr bool Settings::*kOcr[] = {
    &Settings::ocr_mrz_enabled,          &Settings::ocr_ru_passport_enabled,   &Settings::ocr_ru_passport_number_enabled,
    &Settings::ocr_financial_enabled,    &Settings::ocr_excise_stamp_enabled,  &Settings::ocr_spaced_string_enabled,
    &Settings::ocr_article_number_enabled, &Settings::ocr_ru_passport_cyrillic, &Settings::ocr_upside_down};

namespace id = page_id;

// In tree order. A row's parent is the template of the row it hangs under.
const PageEntry kPageTable[kPageCount] = {
    {&Make<CConnectPage>, id::connect, kTopLevel},
    {&Make<CSettingsPage>, id::settings, kTopLevel},
    {&Make<CInterfacesPage>, id::interfaces, id::settings},
    {&Make<CSymbolicsPage>, id::symbolics, id::settings},
    {&Make<CEanUpcPage>, id::ean_upc, id::symbolics},
    {&Checks<id::i2of5, kI2of5>, id::i2of5, id::symbolics},
    {&Checks<id::codabar, kCodabar>, id::codabar, id::symbolics},
    {&Checks<id::code39, kCode39>, id::code39, id::symbolics},
    {&Checks<id::code93, kCode93>, id::code93, id::symbolics},
    {&Checks<id::code128, kCode128>, id::code128, id::symbolics},
    {&Checks<id::databar, kDataBar>, id::databar, id::symbolics},
    {&Make<CPharmacodePage>, id::pharmacode, id::symbolics},
    {&Checks<id::pdf417, kPdf417>, id::pdf417, id::symbolics},
    {&Checks<id::aztec, kAztec>, id::aztec, id::symbolics},
    {&Checks<id::datamatrix, kDataMatrix>, id::datamatrix, id::symbolics},
    {&Checks<id::qrcode, kQrCode>, id::qrcode, id::symbolics},
    {&Checks<id::ocr, kOcr>, id::ocr, id::settings},
    {&Make<CValidationPage>, id::validation, id::settings},
    {&Make<CPrefixesSuffixesPage>, id::prefixes_suffixes, id::settings},
    {&Make<CUpButtonMessagePage>, id::up_button, id::settings},
    {&Make<CTriggerPage>, id::trigger, id::settings},
    {&Make<CIlluminationPage>, id::illumination, id::settings},
    {&Make<CAimLedsPage>, id::aim_leds, id::settings},
    {&Make<CPowerManagementPage>, id::power, id::settings},
    {&Make<CSoundManagementPage>, id::sound, id::settings},
    {&Make<CConfigurationManagementPage>, id::configuration, id::settings},
};

}  // namespace

std::span<const PageEntry, kPageCount> PageTable() { return kPageTable; }

const PageEntry* FindPageEntry(int template_id) {
  auto it = std::find_if(std::begin(kPageTable), std::end(kPageTable),
                         [template_id](const PageEntry& e) { return e.template_id == template_id; });
  return it == std::end(kPageTable) ? nullptr : &*it;
}

int PageRow(int template_id) {
  const PageEntry* entry = FindPageEntry(template_id);
  return entry ? static_cast<int>(entry - kPageTable) : -1;
}

bool HasChildPages(int template_id) {
  return std::any_of(std::begin(kPageTable), std::end(kPageTable),
                     [template_id](const PageEntry& e) { return e.parent == template_id; });
}

QString PageCaption(int template_id) {
  const PageTitle* page = FindPageTitle(template_id);
  return page ? QString::fromUtf8(page->title) : QString();
}

}  // namespace tavrik
