#pragma once
// The one seam through which the program asks, tells and picks files.
// The desktop program implements it with message boxes and file dialogs,
// the command-line tool on the terminal, tests with scripted answers.
// Texts are UTF-8.

#include <optional>
#include <string>
#include <vector>

namespace tavrik {

enum class Icon { none, information, exclamation, error, question };
enum class Buttons { ok, yes_no };
enum class Answer { ok, yes, no };

// One box. An empty caption means the platform's default caption of a box
// without a title. For yes_no boxes `default_answer` is the preselected button.
struct MessageBox {
  std::string text;
  std::string caption;
  Icon icon = Icon::none;
  Buttons buttons = Buttons::ok;
  Answer default_answer = Answer::ok;
  // The box has no owner window (only the standard exception handler does this).
  bool ownerless = false;
};

struct FileFilter {
  std::string name;     // "Файлы настроек (*.qdx)"
  std::string pattern;  // "*.qdx"
};

struct FileDialog {
  std::vector<FileFilter> filters;
  std::string default_extension;  // without the dot
  // Where the dialog reports the index of the filter the user chose (0 the
  // first), for a caller whose filters mean formats. Untouched when null or
  // when no file was chosen.
  int* chosen_filter = nullptr;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual Answer Show(const MessageBox& box) = 0;
  // The chosen path, or nothing when the user cancels.
  virtual std::optional<std::string> OpenFileName(const FileDialog& dialog) = 0;
  virtual std::optional<std::string> SaveFileName(const FileDialog& dialog) = 0;
  // The system beep of an invalid field.
  virtual void Beep() {}
};

// The process-wide seam. Until one is installed, a silent one answers No to
// every question and cancels every file dialog.
Dialogs& CurrentDialogs();
// Installs `dialogs` (not owned; nullptr restores the silent one). Returns the previous one.
Dialogs* SetCurrentDialogs(Dialogs* dialogs);

// While it lives, CurrentDialogs() on the constructing thread is `dialogs` (not
// owned), whatever the process-wide one is: a worker that serves one scanner
// of many answers and reports through its own. Other threads are not affected.
class ThreadDialogsScope {
 public:
  explicit ThreadDialogsScope(Dialogs& dialogs);
  ~ThreadDialogsScope();
  ThreadDialogsScope(const ThreadDialogsScope&) = delete;
  ThreadDialogsScope& operator=(const ThreadDialogsScope&) = delete;

 private:
  Dialogs* previous_;
};

// The program's conventions (core/Messages.h) for a text of the moment.
// A failure: error icon, OK, no caption of its own.
void ShowFailure(const std::string& text);
// A question before an action that changes something.
bool AskYesNo(const std::string& text);
// A notice.
void ShowNotice(const std::string& text);

}  // namespace tavrik
