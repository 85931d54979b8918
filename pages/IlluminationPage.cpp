#include "pages/IlluminationPage.h"

#include "pages/PageForm.h"
#include "settings/init_settings_def.h"

namespace tavrik {
namespace {

// The buttons stand from dark to bright; the scanner numbers the modes otherwise.
// Position in the group -> stored illumination_mode.
constexpr int kIlluminationModes[] = {2, 1, 0, 3};

}  // namespace

CIlluminationPage::CIlluminationPage() : CPageImpl(kTemplateId) {}

void CIlluminationPage::CreateControls(CPageForm& form) {
  form.BeginGroup(QStringLiteral("Режим работы подсветки"));
  form.RadioGroup(1102, QStringLiteral("Всегда выключена"));
  form.Radio(1101, QStringLiteral("Всегда включена"));
  form.Radio(1100, 
            QStringLiteral("Автоматически, без подсветки во время ожидания ШК на подставке"));
  form.Radio(1104, QStringLiteral("Автоматически, с подсветкой во время ожидания ШК на подставке"));
  form.EndGroup();
  const FieldRange& brightness = RangeOf("illumination_brightness");
  form.BeginGroup(QStringLiteral("Яркость подсветки"));
  form.TrackBar(1103, static_cast<int>(brightness.min), static_cast<int>(brightness.max));
  form.EndGroup();
  form.Label(QStringLiteral(
      "Примечание.\nНизкая яркость подсветки ухудшает надёжность считывания штрих-кодов."));
}

void CIlluminationPage::Bindings(CBindings& b) {
  Settings& s = CurrentSettings();
  b.CommitAfterAll();
  // A mode outside the table checks no button; left so, the record keeps it.
  b.BindRadio(1102, s.illumination_mode, kIlluminationModes);
  b.BindTrackBar(1103, s.illumination_brightness);
}

}  // namespace tavrik
