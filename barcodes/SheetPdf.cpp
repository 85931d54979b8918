#include "barcodes/SheetPdf.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include "barcodes/CairoHandles.h"
#include "core/AtomicFile.h"

namespace tavrik {
namespace {

constexpr double kPointsPerMm = 72 / 25.4;

using cairo_handles::Append;
using cairo_handles::Context;
using cairo_handles::Surface;

void DrawPage(cairo_t* cr, const SheetPage& page) {
  // In millimetres from here on; text sizes are given in points.
  cairo_save(cr);
  // Advances as the layout measured them, not rounded to points.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  cairo_scale(cr, kPointsPerMm, kPointsPerMm);
  cairo_set_source_rgb(cr, 0, 0, 0);
  for (const SheetSymbol& s : page.symbols) {
    // One path for the whole symbol, so that neighbouring modules meet without a seam.
    for (int row = 0; row < s.rows; ++row) {
      for (int column = 0; column < s.columns; ++column) {
        if (!s.dark(column, row)) continue;
        cairo_rectangle(cr, s.x_mm + column * s.module_width_mm, s.y_mm + row * s.module_height_mm, s.module_width_mm,
                        s.module_height_mm);
      }
    }
    cairo_fill(cr);
  }
  for (const SheetRule& r : page.rules) {
    cairo_set_line_width(cr, r.width_mm);
    cairo_move_to(cr, r.x1_mm, r.y1_mm);
    cairo_line_to(cr, r.x2_mm, r.y2_mm);
    cairo_stroke(cr);
  }
  for (const SheetText& t : page.texts) {
    cairo_select_font_face(cr, kSheetFontFamily, CAIRO_FONT_SLANT_NORMAL,
                           t.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, t.size_pt * kPointMm);
    double x = t.x_mm;
    if (t.align == SheetAlign::right) {
      cairo_text_extents_t extents;
      cairo_text_extents(cr, t.text.c_str(), &extents);
      x -= extents.x_advance;
    }
    cairo_move_to(cr, x, t.y_mm);
    cairo_show_text(cr, t.text.c_str());
  }
  cairo_restore(cr);
  cairo_show_page(cr);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ProgrammingSheetPdf(const SheetLayout& layout) {
  if (layout.pages.empty()) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  Surface surface(
      cairo_pdf_surface_create_for_stream(Append, &bytes, kSheetWidthMm * kPointsPerMm, kSheetHeightMm * kPointsPerMm));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  {
    Context cr(cairo_create(surface.get()));
    for (const SheetPage& page : layout.pages) DrawPage(cr.get(), page);
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  }
  // The document is complete only once the surface is finished.
  cairo_surface_finish(surface.get());
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  return bytes;
}

bool WriteProgrammingSheetPdf(const std::string& file_name, const SheetLayout& layout) {
  if (file_name.empty()) return false;
  const auto bytes = ProgrammingSheetPdf(layout);
  return bytes && WriteFileAtomically(file_name, {*bytes}) == AtomicWriteResult::ok;
}

}  // namespace tavrik
