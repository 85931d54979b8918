#include "pages/PageTable.h"

#include <algorithm>

#include "pages/2of5IPage.h"
#include "pages/AimLedsPage.h"
#include "pages/AztecPage.h"
#include "pages/CodabarPage.h"
#include "pages/Code128Page.h"
#include "pages/Code39Page.h"
#include "pages/Code93Page.h"
#include "pages/ConfigurationManagementPage.h"
#include "pages/ConnectPage.h"
#include "pages/DataBarPage.h"
#include "pages/DataMatrixPage.h"
#include "pages/EanUpcPage.h"
#include "pages/IlluminationPage.h"
#include "pages/InterfacesPage.h"
#include "pages/OcrPage.h"
#include "pages/Pdf417Page.h"
#include "pages/PharmacodePage.h"
#include "pages/PowerManagementPage.h"
#include "pages/PrefixesSuffixesPage.h"
#include "pages/QrCodePage.h"
#include "pages/SettingsPage.h"
#include "pages/SoundManagementPage.h"
#include "pages/SymbolicsPage.h"
#include "pages/TriggerPage.h"
#include "pages/UpButtonMessagePage.h"
#include "pages/ValidationPage.h"

namespace tavrik {
namespace {

template <class P>
std::unique_ptr<CPageT> Make() {
  return std::make_unique<P>();
}

// In tree order. A row's parent is the template of the row it hangs under.
const PageEntry kPageTable[kPageCount] = {
    {&Make<CConnectPage>, CConnectPage::kTemplateId, u"Подключение", kTopLevel},
    {&Make<CSettingsPage>, CSettingsPage::kTemplateId, u"Настройки", kTopLevel},
    {&Make<CInterfacesPage>, CInterfacesPage::kTemplateId, u"Интерфейс с ПК", CSettingsPage::kTemplateId},
    {&Make<CSymbolicsPage>, CSymbolicsPage::kTemplateId, u"Декодеры штрих-кодов", CSettingsPage::kTemplateId},
    {&Make<CEanUpcPage>, CEanUpcPage::kTemplateId, u"UPC/EAN", CSymbolicsPage::kTemplateId},
    {&Make<C2of5IPage>, C2of5IPage::kTemplateId, u"Interleaved 2 of 5", CSymbolicsPage::kTemplateId},
    {&Make<CCodabarPage>, CCodabarPage::kTemplateId, u"Codabar", CSymbolicsPage::kTemplateId},
    {&Make<CCode39Page>, CCode39Page::kTemplateId, u"Code 39", CSymbolicsPage::kTemplateId},
    {&Make<CCode93Page>, CCode93Page::kTemplateId, u"Code 93", CSymbolicsPage::kTemplateId},
    {&Make<CCode128Page>, CCode128Page::kTemplateId, u"Code 128", CSymbolicsPage::kTemplateId},
    {&Make<CDataBarPage>, CDataBarPage::kTemplateId, u"GS1 DataBar", CSymbolicsPage::kTemplateId},
    {&Make<CPharmacodePage>, CPharmacodePage::kTemplateId, u"Pharmacode", CSymbolicsPage::kTemplateId},
    {&Make<CPdf417Page>, CPdf417Page::kTemplateId, u"PDF417", CSymbolicsPage::kTemplateId},
    {&Make<CAztecPage>, CAztecPage::kTemplateId, u"Aztec Code", CSymbolicsPage::kTemplateId},
    {&Make<CDataMatrixPage>, CDataMatrixPage::kTemplateId, u"Data Matrix", CSymbolicsPage::kTemplateId},
    {&Make<CQrCodePage>, CQrCodePage::kTemplateId, u"QR Code", CSymbolicsPage::kTemplateId},
    {&Make<COcrPage>, COcrPage::kTemplateId, u"OCR", CSettingsPage::kTemplateId},
    {&Make<CValidationPage>, CValidationPage::kTemplateId, u"Детектор валюты", CSettingsPage::kTemplateId},
    {&Make<CPrefixesSuffixesPage>, CPrefixesSuffixesPage::kTemplateId, u"Префиксы/Суффиксы", CSettingsPage::kTemplateId},
    {&Make<CUpButtonMessagePage>, CUpButtonMessagePage::kTemplateId, u"Сообщение от верхней кнопки", CSettingsPage::kTemplateId},
    {&Make<CTriggerPage>, CTriggerPage::kTemplateId, u"Запуск сканирования", CSettingsPage::kTemplateId},
    {&Make<CIlluminationPage>, CIlluminationPage::kTemplateId, u"Подсветка", CSettingsPage::kTemplateId},
    {&Make<CAimLedsPage>, CAimLedsPage::kTemplateId, u"Прицельные светодиоды", CSettingsPage::kTemplateId},
    {&Make<CPowerManagementPage>, CPowerManagementPage::kTemplateId, u"Управление питанием", CSettingsPage::kTemplateId},
    {&Make<CSoundManagementPage>, CSoundManagementPage::kTemplateId, u"Управление звуком", CSettingsPage::kTemplateId},
    {&Make<CConfigurationManagementPage>, CConfigurationManagementPage::kTemplateId, u"Управление настройкой", CSettingsPage::kTemplateId},
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
  const PageEntry* entry = FindPageEntry(template_id);
  return entry ? QString::fromUtf16(entry->caption) : QString();
}

}  // namespace tavrik
