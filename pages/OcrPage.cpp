#include "pages/OcrPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

COcrPage::COcrPage() : CPageImpl(kTemplateId) {}

void COcrPage::CreateControls(CPageForm& form) {
  form.Check(1117, QStringLiteral("Распознавание документов путешественника ICAO (MRZ)"));
  form.Check(1118, QStringLiteral("Распознавать паспорт гражданина РФ (доп. опция)"));
  form.Check(1120, QStringLiteral("Распознавать номер паспорта гражданина РФ (доп. опция)"));
  form.Check(1119, QStringLiteral("Распознавать реквизиты финансовых документов (доп. опция)"));
  form.Check(1135, QStringLiteral("Распознавать номера алкогольных акцизных марок (доп. опция)"));
  form.Check(1136, QStringLiteral("Распознавать ограниченную пробелами строку (доп. опция)"));
  form.Check(1137, QStringLiteral("Распознавать артикульные номера IKEA (доп. опция)"));
  form.Check(1121, QStringLiteral("Передача данных с паспортов граждан РФ кириллицей"));
  form.Check(1134, QStringLiteral("Текст перевёрнут сверху вниз"));
}

void COcrPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.BindCheck(1117, s.ocr_mrz_enabled);
  b.BindCheck(1118, s.ocr_ru_passport_enabled);
  b.BindCheck(1120, s.ocr_ru_passport_number_enabled);
  b.BindCheck(1119, s.ocr_financial_enabled);
  b.BindCheck(1135, s.ocr_excise_stamp_enabled);
  b.BindCheck(1136, s.ocr_spaced_string_enabled);
  b.BindCheck(1137, s.ocr_article_number_enabled);
  b.BindCheck(1121, s.ocr_ru_passport_cyrillic);
  b.BindCheck(1134, s.ocr_upside_down);
}

}  // namespace tavrik
