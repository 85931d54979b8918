#include "pages/SheetPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "barcodes/SheetPdf.h"

namespace tavrik {

void PaintSheetPage(QPainter& painter, const SheetPage& page, double dpi_x, double dpi_y) {
  const double sx = dpi_x / 25.4;
  const double sy = dpi_y / 25.4;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const SheetSymbol& s : page.symbols) {
    for (int row = 0; row < s.rows; ++row) {
      for (int column = 0; column < s.columns; ++column) {
        if (!s.dark(column, row)) continue;
        // Edges from the same sums on both sides of a module, so neighbours meet.
        const double left = (s.x_mm + column * s.module_width_mm) * sx;
        const double right = (s.x_mm + (column + 1) * s.module_width_mm) * sx;
        const double top = (s.y_mm + row * s.module_height_mm) * sy;
        const double bottom = (s.y_mm + (row + 1) * s.module_height_mm) * sy;
        painter.fillRect(QRectF(QPointF(left, top), QPointF(right, bottom)), Qt::black);
      }
    }
  }
  for (const SheetRule& r : page.rules) {
    painter.setPen(QPen(Qt::black, r.width_mm * sy));
    painter.drawLine(QPointF(r.x1_mm * sx, r.y1_mm * sy), QPointF(r.x2_mm * sx, r.y2_mm * sy));
  }
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setPen(Qt::black);
  for (const SheetText& t : page.texts) {
    QFont font(QString::fromUtf8(kSheetFontFamily));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(t.size_pt * kPointMm * sy))));
    font.setBold(t.bold);
    painter.setFont(font);
    const QString text = QString::fromStdString(t.text);
    double x = t.x_mm * sx;
    if (t.align == SheetAlign::right) x -= QFontMetricsF(font, painter.device()).horizontalAdvance(text);
    painter.drawText(QPointF(x, t.y_mm * sy), text);
  }
  painter.restore();
}

void SetUpSheetPrinter(QPrinter& printer) {
  printer.setFullPage(true);
  printer.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

void PrintSheet(QPrinter& printer, const SheetLayout& layout) {
  QPainter painter(&printer);
  if (!painter.isActive()) return;
  for (std::size_t p = 0; p < layout.pages.size(); ++p) {
    if (p > 0) printer.newPage();
    PaintSheetPage(painter, layout.pages[p], printer.logicalDpiX(), printer.logicalDpiY());
  }
}

QImage SheetPageImage(const SheetPage& page, double dpi) {
  const int width = static_cast<int>(std::lround(kSheetWidthMm * dpi / 25.4));
  const int height = static_cast<int>(std::lround(kSheetHeightMm * dpi / 25.4));
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  const int dots_per_metre = static_cast<int>(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dots_per_metre);
  image.setDotsPerMeterY(dots_per_metre);
  QPainter painter(&image);
  PaintSheetPage(painter, page, dpi, dpi);
  return image;
}

}  // namespace tavrik
