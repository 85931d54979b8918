#pragma once
// Text as a JSON string, for the output meant for scripts.

#include <string>
#include <string_view>

namespace tavrik {

// `text` (UTF-8) quoted, with quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view text);

}  // namespace tavrik
