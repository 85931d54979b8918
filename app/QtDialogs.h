#pragma once
// The desktop's answer to the Dialogs seam: message boxes and the file dialogs.

#include <QString>

#include <memory>

#include "core/Dialogs.h"

class QApplication;
class QMessageBox;
class QWidget;

namespace tavrik {

class CQtDialogs final : public Dialogs {
 public:
  Answer Show(const MessageBox& box) override;
  std::optional<std::string> OpenFileName(const FileDialog& dialog) override;
  std::optional<std::string> SaveFileName(const FileDialog& dialog) override;
  void Beep() override;

  // The box as Show presents it, owned by `owner` (none when it is ownerless).
  static std::unique_ptr<QMessageBox> MakeBox(const MessageBox& box, QWidget* owner);
  // The window that owns a box: the active window, or none.
  static QWidget* Owner(const MessageBox& box);
  // "Name (*.ext);;..." as the file dialogs take it.
  static QString FilterText(const FileDialog& dialog);
};

// Loads Qt's own Russian texts (the standard buttons read Да and Нет). False
// when the translation is not installed; the boxes then keep Qt's texts.
bool InstallQtTranslation(QApplication& app);

}  // namespace tavrik
