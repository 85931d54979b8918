#include "pages/OcrPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

constexpr CheckRow kChecks[] = {
    {1117, u"Распознавание документов путешественника ICAO (MRZ)", &Settings::ocr_mrz_enabled},
    {1118, u"Распознавать паспорт гражданина РФ (доп. опция)", &Settings::ocr_ru_passport_enabled},
    {1120, u"Распознавать номер паспорта гражданина РФ (доп. опция)", &Settings::ocr_ru_passport_number_enabled},
    {1119, u"Распознавать реквизиты финансовых документов (доп. опция)", &Settings::ocr_financial_enabled},
    {1135, u"Распознавать номера алкогольных акцизных марок (доп. опция)", &Settings::ocr_excise_stamp_enabled},
    {1136, u"Распознавать ограниченную пробелами строку (доп. опция)", &Settings::ocr_spaced_string_enabled},
    {1137, u"Распознавать артикульные номера IKEA (доп. опция)", &Settings::ocr_article_number_enabled},
    {1121, u"Передача данных с паспортов граждан РФ кириллицей", &Settings::ocr_ru_passport_cyrillic},
    {1134, u"Текст перевёрнут сверху вниз", &Settings::ocr_upside_down},
};

}  // namespace

COcrPage::COcrPage() : CPageImpl(kTemplateId) {}

void COcrPage::CreateControls(CPageForm& form) { form.Checks(kChecks); }

void COcrPage::Bindings(CBindings& b) { b.BindChecks(kChecks); }

}  // namespace tavrik
