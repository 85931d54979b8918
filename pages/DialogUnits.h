#pragma once
// Dialog units: positions and sizes of dialog templates, relative to the
// dialog font. One horizontal unit is a quarter of the font's average
// character width, one vertical unit an eighth of its height, rounded as the
// desktop platform the layouts were drawn on rounds them.

#include <QFont>
#include <QRect>

namespace tavrik {

// The font of the program's dialogs: the desktop's user-interface face at 8 pt.
QFont DialogFont();

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  DialogUnits(int base_x, int base_y) : base_x_(base_x), base_y_(base_y) {}

  int X(int units) const;
  int Y(int units) const;
  QRect Rect(int x, int y, int width, int height) const;
  QSize Size(int width, int height) const;

  int BaseX() const { return base_x_; }
  int BaseY() const { return base_y_; }

 private:
  int base_x_;
  int base_y_;
};

}  // namespace tavrik
