#include "core/Dialogs.h"

#include "core/Messages.h"

namespace tavrik {
namespace {

class SilentDialogs final : public Dialogs {
 public:
  Answer Show(const MessageBox& box) override {
    return box.buttons == Buttons::yes_no ? Answer::no : Answer::ok;
  }
  std::optional<std::string> OpenFileName(const FileDialog&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const FileDialog&) override { return std::nullopt; }
};

SilentDialogs silent_dialogs;
Dialogs* current_dialogs = &silent_dialogs;
thread_local Dialogs* thread_dialogs = nullptr;

}  // namespace

Dialogs& CurrentDialogs() { return thread_dialogs ? *thread_dialogs : *current_dialogs; }

ThreadDialogsScope::ThreadDialogsScope(Dialogs& dialogs) : previous_(thread_dialogs) { thread_dialogs = &dialogs; }
ThreadDialogsScope::~ThreadDialogsScope() { thread_dialogs = previous_; }

Dialogs* SetCurrentDialogs(Dialogs* dialogs) {
  Dialogs* previous = current_dialogs;
  current_dialogs = dialogs ? dialogs : &silent_dialogs;
  return previous == &silent_dialogs ? nullptr : previous;
}

void ShowFailure(const std::string& text) { Show(kFailure, text); }

bool AskYesNo(const std::string& text) { return Ask(kQuestion, text); }

void ShowNotice(const std::string& text) { Show(kNotice, text); }

}  // namespace tavrik
