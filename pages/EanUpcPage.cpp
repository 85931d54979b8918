#include "pages/EanUpcPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {

CEanUpcPage::CEanUpcPage() : CPageImpl(kTemplateId) {}

void CEanUpcPage::CreateControls(CPageForm& form) {
  // Each symbology's switch beside its check-digit switch.
  using Pair = bool Settings::*[2];
  static constexpr Pair kPairs[] = {
      {&Settings::upca_enabled, &Settings::upca_send_check_digit},
      {&Settings::upce_enabled, &Settings::upce_send_check_digit},
      {&Settings::ean13_enabled, &Settings::ean13_send_check_digit},
      {&Settings::ean8_enabled, &Settings::ean8_send_check_digit},
  };
  for (const Pair& p : kPairs) {
    form.BeginRow();
    form.Field(p[0]);
    form.Field(p[1]);
    form.EndRow();
  }
  // The preamble positions, as the scanner codes them: none, the system
  // character only, the country code and the system character.
  form.Field(&Settings::upca_preamble);
  form.Field(&Settings::upce_preamble);
  form.Field(&Settings::upce_to_upca);
  form.MarkGroupStart();
  form.Field(&Settings::upca_to_ean13);
  form.Field(&Settings::ean8_to_ean13);
  form.Field(&Settings::addon2_enabled);
  form.Field(&Settings::addon5_enabled);
  form.Field(&Settings::addon_timeout);
  form.Field(&Settings::addon_required);
}

void CEanUpcPage::Bindings(CBindings& b) {
  // The preambles and the add-on time-out are written only when the whole
  // page stored; the check boxes before a refused time-out are stored, those
  // after it are not.
  b.CommitAfterAll();
  b.BindPlaced();
}

}  // namespace tavrik
