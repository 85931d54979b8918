#pragma once
// The Dialogs seam on a terminal: messages to stderr, questions answered by
// --yes, on the terminal ("[y/N]", No the default), or No without a terminal.

#include <cstdio>
#include <string>

#include "core/Dialogs.h"

namespace tavrik {

// The line after the port permission message: how this user joins the
// group that may open serial ports.
std::string DialoutHint();

class TerminalDialogs final : public Dialogs {
 public:
  // `input` answers the questions when it is a terminal.
  TerminalDialogs(bool assume_yes, std::FILE* input, std::FILE* output)
      : assume_yes_(assume_yes), input_(input), output_(output) {}

  Answer Show(const MessageBox& box) override;
  std::optional<std::string> OpenFileName(const FileDialog&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const FileDialog&) override { return std::nullopt; }

  // Whether an error box was shown (the action failed).
  bool error_shown() const { return error_shown_; }

 private:
  bool assume_yes_;
  std::FILE* input_;
  std::FILE* output_;
  bool error_shown_ = false;
};

}  // namespace tavrik
