#include "pages/EanUpcPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

// The preamble positions, as the scanner codes them: none, the system
// character only, the country code and the system character.
void PreambleGroup(CPageForm& form, const QString& title, int first_id) {
  form.BeginGroup(title);
  form.RadioGroup(first_id, QStringLiteral("Не передавать"));
  form.Radio(first_id + 1, QStringLiteral("Только системный символ"));
  form.Radio(first_id + 2, QStringLiteral("Код страны и системный символ"));
  form.EndGroup();
}

}  // namespace

CEanUpcPage::CEanUpcPage() : CPageImpl(kTemplateId) {}

void CEanUpcPage::CreateControls(CPageForm& form) {
  // Each symbology's switch beside its check-digit switch.
  struct Pair {
    int decode_id;
    const char16_t* decode;
    int check_id;
    const char16_t* check;
  };
  static constexpr Pair kPairs[] = {
      {1005, u"Распознавать UPC-A", 1012, u"Передавать контр. знак UPC-A"},
      {1006, u"Распознавать UPC-E", 1013, u"Передавать контр. знак UPC-E"},
      {1007, u"Распознавать EAN-13", 1014, u"Передавать контр. знак EAN-13"},
      {1008, u"Распознавать EAN-8", 1015, u"Передавать контр. знак EAN-8"},
  };
  for (const Pair& p : kPairs) {
    form.BeginRow();
    form.Check(p.decode_id, QString::fromUtf16(p.decode));
    form.Check(p.check_id, QString::fromUtf16(p.check));
    form.EndRow();
  }
  PreambleGroup(form, QStringLiteral("Передача преамбулы UPC-A"), 1213);
  PreambleGroup(form, QStringLiteral("Передача преамбулы UPC-E"), 1216);
  form.Check(1010, QStringLiteral("Преобразовывать UPC-E в UPC-A"));
  form.MarkGroupStart();
  form.Check(1009, QStringLiteral("Преобразовывать UPC-A в EAN-13"));
  form.Check(1011, QStringLiteral("Преобразовывать EAN-8 в EAN-13"));
  form.Check(1016, QStringLiteral("Распознавать 2-х разрядный доп. символ"));
  form.Check(1017, QStringLiteral("Распознавать 5-ти разрядный доп. символ"));
  form.NumberEdit(1138, QStringLiteral("Таймаут доп. символа (мс):"),
                  QStringLiteral("макс. 12750 мс"));
  form.Check(1018, QStringLiteral("Доп. символ необходим"));
}

void CEanUpcPage::Bindings(CBindings& b) {
  // The preambles and the add-on time-out are written only when the whole
  // page stored; the check boxes before a refused time-out are stored, those
  // after it are not.
  b.CommitAfterAll();
  Settings& s = CurrentSettings();
  b.BindCheck(1005, s.upca_enabled);
  b.BindCheck(1006, s.upce_enabled);
  b.BindCheck(1007, s.ean13_enabled);
  b.BindCheck(1008, s.ean8_enabled);
  b.BindCheck(1012, s.upca_send_check_digit);
  b.BindCheck(1013, s.upce_send_check_digit);
  b.BindCheck(1014, s.ean13_send_check_digit);
  b.BindCheck(1015, s.ean8_send_check_digit);
  b.BindRadio(1213, s.upca_preamble);
  b.BindRadio(1216, s.upce_preamble);
  b.BindCheck(1010, s.upce_to_upca);
  b.BindCheck(1009, s.upca_to_ean13);
  b.BindCheck(1011, s.ean8_to_ean13);
  b.BindCheck(1016, s.addon2_enabled);
  b.BindCheck(1017, s.addon5_enabled);
  b.BindInt(1138, s.addon_timeout, UnitsOf("addon_timeout"));
  b.BindCheck(1018, s.addon_required);
}

}  // namespace tavrik
