// The value reader of `set` over any text: a refused value leaves the record
// exactly as it was; an accepted one, printed as `show` prints it and
// assigned again to the record of before, gives the same record. The first
// byte picks the field (in image order), the second the model whose defaults
// the record starts from; the rest is the value's text.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "tools/cli/FieldText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return -1;
  const auto fields = tavrik::ImageFields();
  const tavrik::FieldSpec& field = fields[data[0] % fields.size()];
  tavrik::SetCurrentModel(data[1]);
  tavrik::Settings before{};
  tavrik::LoadDefaults(before);
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

  tavrik::Settings settings = before;
  const std::optional<std::string> error = tavrik::AssignField(field, text, settings);
  if (error) {
    if (!(settings == before) || error->empty()) std::abort();
    return 0;
  }
  const std::string shown = tavrik::FieldText(field, settings);
  tavrik::Settings again = before;
  if (tavrik::AssignField(field, shown, again) || !(again == settings)) std::abort();
  return 0;
}
