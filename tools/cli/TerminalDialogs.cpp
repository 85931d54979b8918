#include "tools/cli/TerminalDialogs.h"

#include <pwd.h>
#include <unistd.h>

#include <cctype>

#include "device/ComDevice.h"

namespace tavrik {

std::string DialoutHint() {
  std::string user;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name) user = entry->pw_name;
  if (user.empty()) user = "$USER";
  return "Порт открывают члены группы dialout: sudo usermod -aG dialout " + user +
         ", затем войдите в систему заново (или tavrik-cli udev-rule ПОРТ для постоянного правила).";
}

Answer TerminalDialogs::Show(const MessageBox& box) {
  if (box.icon == Icon::error) error_shown_ = true;
  if (!box.caption.empty()) std::fprintf(output_, "%s: ", box.caption.c_str());
  std::fprintf(output_, "%s\n", box.text.c_str());
  if (box.text == kPortAccessDeniedText) std::fprintf(output_, "%s\n", DialoutHint().c_str());
  if (box.buttons != Buttons::yes_no) {
    std::fflush(output_);
    return Answer::ok;
  }
  if (assume_yes_) {
    std::fprintf(output_, "[y/N] y\n");
    std::fflush(output_);
    return Answer::yes;
  }
  if (!input_ || !::isatty(::fileno(input_))) {
    std::fprintf(output_, "[y/N] n (нет терминала; --yes отвечает \"да\")\n");
    std::fflush(output_);
    return Answer::no;
  }
  std::fprintf(output_, "[y/N] ");
  std::fflush(output_);
  char line[64];
  if (!std::fgets(line, sizeof line, input_)) return Answer::no;
  const char* p = line;
  while (*p == ' ' || *p == '\t') ++p;
  const unsigned char c = static_cast<unsigned char>(*p);
  // "y", "Y", or the Cyrillic "д" of "да" (0xD0 0xB4 / 0xD0 0x94 in UTF-8).
  if (std::tolower(c) == 'y') return Answer::yes;
  if (c == 0xD0 && (static_cast<unsigned char>(p[1]) == 0xB4 || static_cast<unsigned char>(p[1]) == 0x94))
    return Answer::yes;
  return Answer::no;
}

}  // namespace tavrik
