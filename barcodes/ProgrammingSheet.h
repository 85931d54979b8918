#pragma once
// The programming sheet: the paper from which a scanner that no cable reaches
// takes its configuration. One A4 layout, in millimetres from the page's top
// left corner, which the PDF writer and the window's printing both draw:
// the first barcode (Aztec reading on), the group barcode, the old-form
// symbol, the instruction and the list of the settings that differ from the
// model's defaults.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/init_settings_def.h"

namespace tavrik {

// One setting as its page shows it.
struct SheetSetting {
  std::string page;     // the page's title, or empty where it is not known
  std::string caption;  // what the page writes beside the control
  std::string value;    // the value in the form the page shows it
  bool operator==(const SheetSetting&) const = default;
};

// Every setting of `current` that differs from `defaults`, in image order.
std::vector<SheetSetting> ChangedSettings(const Settings& current, const Settings& defaults);

inline constexpr double kSheetWidthMm = 210;
inline constexpr double kSheetHeightMm = 297;
inline constexpr double kPointMm = 25.4 / 72;

enum class SheetAlign : std::uint8_t { left, right };

// A run of text on one line; `y_mm` is its baseline.
struct SheetText {
  double x_mm;
  double y_mm;
  double size_pt;
  bool bold;
  SheetAlign align;
  std::string text;  // UTF-8
};

struct SheetRule {
  double x1_mm, y1_mm, x2_mm, y2_mm;
  double width_mm;
};

// A symbol's dark modules, `columns` x `rows`, row 0 at the top: an Aztec
// symbol of square modules, or a Code 128 symbol of one row of tall modules.
// The quiet zone around it is part of the layout's white, not of the symbol.
enum class SheetSymbolKind : std::uint8_t { first, group, old_form };
struct SheetSymbol {
  SheetSymbolKind kind = SheetSymbolKind::first;
  double x_mm = 0;
  double y_mm = 0;
  double module_width_mm = 0;
  double module_height_mm = 0;
  int columns = 0;
  int rows = 0;
  int quiet_zone_modules = 0;
  std::vector<std::uint8_t> modules;  // columns * rows, 1 dark
  bool dark(int column, int row) const { return modules[static_cast<std::size_t>(row) * columns + column] != 0; }
};

struct SheetPage {
  std::vector<SheetText> texts;
  std::vector<SheetRule> rules;
  std::vector<SheetSymbol> symbols;
};

struct SheetLayout {
  std::vector<SheetPage> pages;
  std::string old_form_text;                // what the old-form symbol carries
  std::vector<std::uint8_t> group_payload;  // what the group barcode carries
};

struct SheetRequest {
  std::string model_text;  // the title: the scanner's model as the tool prints it
  std::string date;        // as it is printed, "11.12.2026"
  double module_mm = 0.5;  // of both Aztec symbols
  bool exclude_lens = false;
};

// The module sizes a sheet is made with; the Code 128 symbol keeps its bars
// within the range scanners read well.
inline constexpr double kSheetMinModuleMm = 0.2;
inline constexpr double kSheetMaxModuleMm = 1.0;
inline constexpr double kSheetMinCode128ModuleMm = 0.25;
inline constexpr double kSheetMaxCode128ModuleMm = 0.5;

enum class SheetResult { ok, generation_failed, compression_failed, does_not_fit };
// The message of a failure, "" for ok.
std::string SheetResultText(SheetResult result, double module_mm);

// "Считайте сначала штрихкод 1, потом штрихкод 2."
extern const char* const kSheetInstructionText;
// What the list says when nothing differs.
extern const char* const kSheetNoChangesText;
// "страница N из M".
std::string SheetPageText(std::size_t page, std::size_t pages);
// A short digest of the settings image, to tell two sheets apart.
std::string SheetImageDigest(const Settings& settings);
// The date of today in the sheet's form.
std::string SheetDateToday();

// The sheet of `settings`; the list is taken from ChangedSettings against
// `defaults`.
SheetResult LayoutProgrammingSheet(const SheetRequest& request, const Settings& settings, const Settings& defaults,
                                   SheetLayout& layout);
// The same with the list given.
SheetResult LayoutProgrammingSheet(const SheetRequest& request, const Settings& settings,
                                   const std::vector<SheetSetting>& changes, SheetLayout& layout);

// The face both painters draw the sheet's text in: it has Cyrillic.
inline constexpr const char* kSheetFontFamily = "DejaVu Sans";
// A text's width in that face, a little generous so that columns never meet
// whichever painter draws it: the layout wraps by it.
double SheetTextWidthMm(std::string_view text, double size_pt, bool bold);
// `text` with every byte that is no part of well-formed UTF-8 (a file name
// from a foreign system) replaced by U+FFFD, which every painter takes.
std::string ValidUtf8(std::string_view text);

}  // namespace tavrik
