#include "pages/FieldListPage.h"

#include "pages/PageForm.h"

namespace tavrik {

CFieldListPage::CFieldListPage(int template_id, std::span<bool Settings::* const> fields)
    : CPageImpl(template_id), fields_(fields.begin(), fields.end()) {}

void CFieldListPage::CreateControls(CPageForm& form) {
  for (bool Settings::*field : fields_) form.Field(field);
}

}  // namespace tavrik
