#include "app/HeaderWnd.h"

#include <QEvent>

namespace tavrik {

CHeaderWnd::CHeaderWnd(QWidget* parent) : QLabel(parent) {
  setAlignment(Qt::AlignCenter);
  setAutoFillBackground(true);
  setTextFormat(Qt::PlainText);
  ApplyColours();
}

// The band takes the colours of a text field: window text on the window
// (base) colour of the current scheme, so it follows a changed palette.
void CHeaderWnd::ApplyColours() {
  QPalette p = palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(group, QPalette::Window, p.color(group, QPalette::Base));
    p.setColor(group, QPalette::WindowText, p.color(group, QPalette::Text));
  }
  setPalette(p);
}

void CHeaderWnd::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::ApplicationPaletteChange) {
    setPalette(QPalette());
    ApplyColours();
  }
}

}  // namespace tavrik
