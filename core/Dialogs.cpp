#include "core/Dialogs.h"

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

void ShowFailure(const std::string& text) {
  CurrentDialogs().Show({text, "", Icon::error, Buttons::ok, Answer::ok});
}

bool AskYesNo(const std::string& text) {
  return CurrentDialogs().Show({text, "Внимание", Icon::exclamation, Buttons::yes_no, Answer::no}) ==
         Answer::yes;
}

void ShowNotice(const std::string& text, const std::string& caption) {
  CurrentDialogs().Show({text, caption, Icon::exclamation, Buttons::ok, Answer::ok});
}

}  // namespace tavrik
