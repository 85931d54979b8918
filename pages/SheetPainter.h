#pragma once
// The programming sheet drawn by QPainter, for printing from the window: the
// same layout as the PDF of the tool, at 1:1 on the printer's page.

#include <QImage>

#include "barcodes/ProgrammingSheet.h"

class QPainter;
class QPrinter;

namespace tavrik {

// One page on a painter whose device has `dpi_x` x `dpi_y` pixels an inch,
// the page's top left corner at the device's origin.
void PaintSheetPage(QPainter& painter, const SheetPage& page, double dpi_x, double dpi_y);

// A4, the whole sheet without margins of the printer's own, so that the
// layout's millimetres are the paper's.
void SetUpSheetPrinter(QPrinter& printer);
// Every page of the layout onto the printer, one sheet of paper each.
void PrintSheet(QPrinter& printer, const SheetLayout& layout);

// A page as a white picture at `dpi`.
QImage SheetPageImage(const SheetPage& page, double dpi);

}  // namespace tavrik
