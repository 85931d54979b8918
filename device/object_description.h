#pragma once
// The value that every device, protocol and port failure reaches the user as:
// one message text, thrown by value and caught at the user action, which shows
// the text in one message box.

#include <string>
#include <utility>

namespace tavrik {

class object_description {
 public:
  object_description() = default;
  explicit object_description(std::string text) : text_(std::move(text)) {}

  const std::string& GetText() const { return text_; }

 private:
  std::string text_;
};

}  // namespace tavrik
