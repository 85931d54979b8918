#pragma once
// The header strip above the page area: a white band with dark text, the
// title of the active page centred in it.

#include <QLabel>

namespace tavrik {

class CHeaderWnd : public QLabel {
  Q_OBJECT

 public:
  explicit CHeaderWnd(QWidget* parent = nullptr);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void ApplyColours();
};

}  // namespace tavrik
