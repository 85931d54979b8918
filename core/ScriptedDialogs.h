#pragma once
// Dialogs for tests: records every box and answers from a script.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/Dialogs.h"

namespace tavrik {

class ScriptedDialogs final : public Dialogs {
 public:
  ScriptedDialogs() : previous_(SetCurrentDialogs(this)) {}
  ~ScriptedDialogs() override { SetCurrentDialogs(previous_); }
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

  // Answers for the next yes/no boxes, in order; when they run out, No.
  std::deque<Answer> answers;
  // Paths for the next file dialogs, in order; nullopt (or running out) cancels.
  std::deque<std::optional<std::string>> files;
  // Filter indexes that the next chosen files report; when they run out, 0.
  std::deque<int> chosen_filters;

  std::vector<MessageBox> shown;
  std::vector<FileDialog> file_dialogs;
  int beeps = 0;

  Answer Show(const MessageBox& box) override {
    shown.push_back(box);
    if (box.buttons != Buttons::yes_no) return Answer::ok;
    if (answers.empty()) return Answer::no;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> OpenFileName(const FileDialog& d) override { return NextFile(d); }
  std::optional<std::string> SaveFileName(const FileDialog& d) override { return NextFile(d); }
  void Beep() override { ++beeps; }

  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (const auto& b : shown) t.push_back(b.text);
    return t;
  }

 private:
  std::optional<std::string> NextFile(const FileDialog& d) {
    file_dialogs.push_back(d);
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    if (f && d.chosen_filter) {
      *d.chosen_filter = chosen_filters.empty() ? 0 : chosen_filters.front();
      if (!chosen_filters.empty()) chosen_filters.pop_front();
    }
    return f;
  }
  Dialogs* previous_;
};

}  // namespace tavrik
