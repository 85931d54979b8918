#pragma once
// The desktop's answer to the Dialogs seam: message boxes and the file dialogs.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

#include "core/Dialogs.h"

class QApplication;
class QMessageBox;

namespace tavrik {

class CQtDialogs final : public Dialogs {
 public:
  Answer Show(const MessageBox& box) override;
  std::optional<std::string> OpenFileName(const FileDialog& dialog) override;
  std::optional<std::string> SaveFileName(const FileDialog& dialog) override;
  void Beep() override;

  // The program's main window: it owns the boxes shown while no window of the
  // program is active (the start-up warning may come before the window manager
  // has activated the window).
  void SetMainWindow(QWidget* window) { main_window_ = window; }

  // The box as Show presents it, owned by `owner` (none when it is ownerless).
  static std::unique_ptr<QMessageBox> MakeBox(const MessageBox& box, QWidget* owner);
  // The window that owns a box: the active modal box or the active window;
  // while none is active, `main_window`. None for an ownerless box.
  static QWidget* Owner(const MessageBox& box, QWidget* main_window = nullptr);
  // "Name (*.ext);;..." as the file dialogs take it.
  static QString FilterText(const FileDialog& dialog);

 private:
  QPointer<QWidget> main_window_;
};

// Loads Qt's own Russian texts (the standard buttons read Да and Нет). False
// when the translation is not installed; the boxes then keep Qt's texts.
bool InstallQtTranslation(QApplication& app);

}  // namespace tavrik
