#pragma once
// A settings field's value as the command-line tool shows it to a person, as
// JSON for scripts, and read back from the text a person gives.

#include <optional>
#include <string>
#include <string_view>

#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"

namespace tavrik {

// The image field of that name, or null.
const FieldSpec* FindImageField(std::string_view name);

// "true", "4 (200 ms)", "100 ms", "2 (USB HID)", "0x0D    0x0A".
std::string FieldText(const FieldSpec& field, const Settings& settings);
// true, 4, 2, [13,10].
std::string FieldJson(const FieldSpec& field, const Settings& settings);

// Sets the field from `text` in any form FieldText prints; a number alone is in
// the stored unit, a number with the typed unit ("250 ms") is converted.
// Checks the field's width and the range its page accepts. Returns the error
// text naming the field and what it allows; on error `settings` is unchanged.
std::optional<std::string> AssignField(const FieldSpec& field, std::string_view text, Settings& settings);

}  // namespace tavrik
