#include "core/Messages.h"

#include <cstdio>
#include <vector>

namespace tavrik {
namespace {

template <class T>
std::string Format(const char* format, T value) {
  const int n = std::snprintf(nullptr, 0, format, value);
  if (n < 0) return format;
  std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
  std::snprintf(buffer.data(), buffer.size(), format, value);
  return std::string(buffer.data(), static_cast<std::size_t>(n));
}

}  // namespace

Answer Show(const Message& message, const std::string& text) {
  return CurrentDialogs().Show({text.empty() ? message.text : text, message.caption, message.icon,
                                message.buttons, message.default_answer});
}

bool Ask(const Message& message, const std::string& text) { return Show(message, text) == Answer::yes; }

std::string Fill(const Message& message, const std::string& value) { return Format(message.text, value.c_str()); }
std::string Fill(const Message& message, unsigned value) { return Format(message.text, value); }

}  // namespace tavrik
