#include "pages/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

#include <cstdint>

namespace tavrik {
namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
  const std::int64_t p = std::int64_t{a} * b;
  return static_cast<int>((p >= 0 ? p + c / 2 : p - c / 2) / c);
}

}  // namespace

QFont DialogFont() {
  QFont font = QApplication::font();
  font.setPointSize(8);
  return font;
}

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  // The average width of the upper- and lower-case Latin letters, rounded.
  const int width =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  base_x_ = (width / 26 + 1) / 2;
  base_y_ = metrics.height();
}

int DialogUnits::X(int units) const { return MulDiv(units, base_x_, 4); }
int DialogUnits::Y(int units) const { return MulDiv(units, base_y_, 8); }

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  return QRect(X(x), Y(y), X(width), Y(height));
}

QSize DialogUnits::Size(int width, int height) const { return QSize(X(width), Y(height)); }

}  // namespace tavrik
