#include "barcodes/ProgrammingSheet.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "aztecgen/include/ag_matrix_ptr_def.h"
#include "barcodes/CairoHandles.h"
#include "barcodes/Code128.h"
#include "barcodes/GroupBarcode.h"
#include "core/Messages.h"
#include "settings/ByteSequenceText.h"
#include "settings/FieldRanges.h"
#include "settings/SettingsCatalog.h"
#include "settings/update_settings_def.h"

namespace tavrik {

const char* const kSheetInstructionText = "Считайте сначала штрихкод 1, потом штрихкод 2.";
const char* const kSheetNoChangesText = "Все настройки совпадают с настройками по умолчанию модели: изменений нет.";

namespace {

constexpr const char* kSheetTitleText = "Лист настройки сканера штрихкодами";
constexpr const char* kSheetExplanationText =
    "Штрихкод 1 включает в сканере чтение Aztec: без него сканер не прочтёт штрихкод 2. "
    "Штрихкод 2 передаёт все настройки сразу (прошивки 7.60 и выше). "
    "Печатайте в масштабе 100 % (\"фактический размер\"), не \"по размеру страницы\".";
constexpr const char* kFirstCaptionText = "Включить чтение Aztec";
constexpr const char* kGroupCaptionText = "Все настройки (прошивки 7.60 и выше)";
constexpr const char* kOldFormTitleText = "Старый вид: прошивки до 7.60";
constexpr const char* kOldFormExplanationText =
    "Сканер с прошивкой до 7.60 не читает штрихкод 2: считайте сначала штрихкод 1, "
    "потом этот штрихкод вместо штрихкода 2. Он передаёт настройки списком команд.";
constexpr const char* kListTitleText = "Настройки, отличные от настроек по умолчанию";
constexpr const char* kListContinuedText = "Настройки, отличные от настроек по умолчанию (продолжение)";
constexpr const char* kPageColumnText = "Страница";
constexpr const char* kCaptionColumnText = "Настройка";
constexpr const char* kValueColumnText = "Значение";
constexpr const char* kDoesNotFitText = "Штрихкоды с модулем %s мм не помещаются на лист A4";

// The page and its parts, in millimetres.
constexpr double kMargin = 15;
constexpr double kRight = kSheetWidthMm - kMargin;
constexpr double kContentWidth = kRight - kMargin;
constexpr double kBodyBottom = kSheetHeightMm - 23;
constexpr double kFooterRuleY = kSheetHeightMm - 20;
constexpr double kFooterBaseline = kSheetHeightMm - 16;
// The sheet's identity beside the page number, in as many lines as it takes
// up to this many.
constexpr std::size_t kFooterLines = 2;
constexpr double kPageNumberWidth = 30;
constexpr double kLabelWidth = 8;  // "1." before its symbol
constexpr double kSymbolGap = 8;   // between the two symbols of a row
constexpr double kMinCode128BarsMm = 15;
constexpr double kThinRule = 0.2;
// Symbols stand on a 0.1 mm grid, so that a rendering at 254 dpi puts every
// module edge on a pixel edge.
constexpr double kGridMm = 0.1;

struct Column {
  double x;
  double width;
};
constexpr Column kPageColumn{kMargin, 46};
constexpr Column kCaptionColumn{kMargin + 48, 78};
constexpr Column kValueColumn{kMargin + 128, kContentWidth - 128};

constexpr double kTitlePt = 16;
constexpr double kModelPt = 12;
constexpr double kInstructionPt = 12;
constexpr double kLabelPt = 14;
constexpr double kHeadingPt = 11;
constexpr double kBodyPt = 9;
constexpr double kFooterPt = 8;

double LineMm(double size_pt) { return size_pt * kPointMm * 1.3; }
double Snap(double mm) { return std::round(mm / kGridMm) * kGridMm; }

// Splits at blanks so that each line fits `width`; a word longer than a line
// is cut where it must be.
std::vector<std::string> Wrap(std::string_view text, double width, double size_pt, bool bold) {
  std::vector<std::string> lines;
  std::string line;
  const auto fits = [&](const std::string& s) { return SheetTextWidthMm(s, size_pt, bold) <= width; };
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t end = text.find(' ', at);
    if (end == std::string_view::npos) end = text.size();
    std::string word(text.substr(at, end - at));
    at = end + 1;
    std::string candidate = line.empty() ? word : line + " " + word;
    if (fits(candidate)) {
      line = std::move(candidate);
      continue;
    }
    if (!line.empty()) lines.push_back(std::move(line));
    line.clear();
    // Cut an over-long word at code point boundaries.
    while (!fits(word)) {
      std::size_t cut = word.size();
      while (cut > 1 && !fits(word.substr(0, cut))) {
        do --cut;
        while (cut > 1 && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80);
      }
      lines.push_back(word.substr(0, cut));
      word.erase(0, cut);
    }
    line = std::move(word);
  }
  if (!line.empty() || lines.empty()) lines.push_back(std::move(line));
  return lines;
}

class PageWriter {
 public:
  explicit PageWriter(SheetPage& page) : page_(page) {}
  void Text(double x, double y, double size_pt, bool bold, std::string text, SheetAlign align = SheetAlign::left) {
    if (text.empty()) return;
    page_.texts.push_back({x, y, size_pt, bold, align, ValidUtf8(text)});
  }
  // Wrapped lines from the top `y`; returns the y below the last line.
  double Paragraph(double x, double y, double width, double size_pt, bool bold, std::string_view text) {
    for (std::string& line : Wrap(text, width, size_pt, bold)) {
      y += LineMm(size_pt);
      Text(x, y - LineMm(size_pt) * 0.25, size_pt, bold, std::move(line));
    }
    return y;
  }
  void Rule(double y, double width_mm = kThinRule) { page_.rules.push_back({kMargin, y, kRight, y, width_mm}); }

 private:
  SheetPage& page_;
};

SheetSymbol AztecSymbol(SheetSymbolKind kind, const ag_matrix& m, double module_mm) {
  SheetSymbol s{.kind = kind,
                .module_width_mm = module_mm,
                .module_height_mm = module_mm,
                .columns = static_cast<int>(m.width),
                .rows = static_cast<int>(m.height),
                .quiet_zone_modules = 2,
                .modules = {m.data, m.data + std::size_t{m.width} * m.height}};
  for (auto& v : s.modules) v = v != 0;
  return s;
}

// Widths with the quiet zone.
double OuterWidth(const SheetSymbol& s) { return (s.columns + 2.0 * s.quiet_zone_modules) * s.module_width_mm; }
double OuterHeight(const SheetSymbol& s) {
  return s.rows * s.module_height_mm + 2.0 * s.quiet_zone_modules * s.module_width_mm;
}
// Places the symbol's quiet zone at (x, y).
SheetSymbol Placed(SheetSymbol s, double x, double y) {
  s.x_mm = Snap(x + s.quiet_zone_modules * s.module_width_mm);
  s.y_mm = Snap(y + s.quiet_zone_modules * s.module_width_mm);
  return s;
}

// The number with a decimal comma, as the sheet writes sizes.
std::string MmText(double mm) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", mm);
  std::string s = text;
  std::replace(s.begin(), s.end(), '.', ',');
  return s;
}

std::int64_t ImageNumber(const FieldSpec& f, const std::uint8_t* image) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < FieldWidth(f.type); ++i) v |= std::uint32_t{image[f.offset + i]} << (8 * i);
  if (f.type == FieldType::i16) return static_cast<std::int16_t>(v);
  return v;
}

std::string_view SequenceBytes(const FieldSpec& f, const std::uint8_t* image) {
  const std::size_t length = std::min<std::size_t>(image[f.offset], kSequenceCapacity);
  return {reinterpret_cast<const char*>(image + f.offset + 1), length};
}

// The units as the pages write them.
struct UnitText {
  const char* typed;
  const char* shown;
};
constexpr UnitText kUnitTexts[] = {{"ms", "мс"}, {"s", "с"}, {"min", "мин"}};

std::string UnitShown(const char* typed) {
  for (const UnitText& u : kUnitTexts) {
    if (std::string_view(typed) == u.typed) return u.shown;
  }
  return typed;
}

bool HoldsInterface(const FieldSpec& f) {
  return std::string_view(f.name) == "barcode_interface" || std::string_view(f.name) == "currency_interface";
}

std::string ValueText(const FieldSpec& f, const std::uint8_t* image) {
  if (f.type == FieldType::byte_seq) {
    const std::string_view bytes = SequenceBytes(f, image);
    if (bytes.empty()) return "(пусто)";
    return FormatSequence(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  const std::int64_t v = ImageNumber(f, image);
  if (f.type == FieldType::boolean) return v != 0 ? "включено" : "выключено";
  if (HoldsInterface(f)) return InterfaceName(static_cast<std::uint8_t>(v));
  // A radio group or a list shows the caption of the value's choice.
  if (std::string choice = ChoiceText(f, v); !choice.empty()) return choice;
  const FieldRange* range = FindFieldRange(f.name);
  if (!range || !*range->typed_unit) return std::to_string(v);
  return std::to_string(StoredToTyped(*range, static_cast<std::uint32_t>(v))) + " " + UnitShown(range->typed_unit);
}

bool Differs(const FieldSpec& f, const std::uint8_t* a, const std::uint8_t* b) {
  if (f.type == FieldType::byte_seq) return SequenceBytes(f, a) != SequenceBytes(f, b);
  return ImageNumber(f, a) != ImageNumber(f, b);
}

}  // namespace

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    char32_t cp = length == 1 ? c : length ? c & (0x7F >> length) : 0;
    for (std::size_t k = 1; length && k < length; ++k) {
      const auto next = i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
      if ((next & 0xC0) != 0x80)
        length = 0;
      else
        cp = (cp << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are as bad as broken bytes.
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (length && (cp < kLeast[length] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF || cp == 0)) length = 0;
    if (length == 0) {
      out += "\xEF\xBF\xBD";  // U+FFFD
      ++i;
      continue;
    }
    out.append(text.substr(i, length));
    i += length;
  }
  return out;
}

std::vector<SheetSetting> ChangedSettings(const Settings& current, const Settings& defaults) {
  std::uint8_t now[kPlacementSize];
  std::uint8_t before[kPlacementSize];
  InitPlacement(now, &current);
  InitPlacement(before, &defaults);
  std::vector<SheetSetting> changes;
  for (const FieldSpec& f : ImageFields()) {
    if (!Differs(f, now, before)) continue;
    // A field that no page shows is named as the tool names it.
    if (f.Shown()) changes.push_back({PagePath(f.page), FieldCaption(f), ValueText(f, now)});
    else changes.push_back({"", f.name, ValueText(f, now)});
  }
  return changes;
}

double SheetTextWidthMm(std::string_view text, double size_pt, bool bold) {
  // Measured large and unhinted, so that no rounding to device pixels enters.
  constexpr double kMeasureSize = 100;
  cairo_handles::Surface surface(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
  cairo_handles::Context cr(cairo_create(surface.get()));
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_set_font_options(cr.get(), options);
  cairo_font_options_destroy(options);
  cairo_select_font_face(cr.get(), kSheetFontFamily, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr.get(), kMeasureSize);
  const std::string valid = ValidUtf8(text);
  cairo_text_extents_t extents{};
  cairo_text_extents(cr.get(), valid.c_str(), &extents);
  // A little more than drawn: another painter's hinting may widen a run a bit.
  return extents.x_advance / kMeasureSize * size_pt * kPointMm * 1.03 + 0.2;
}

std::string SheetResultText(SheetResult result, double module_mm) {
  switch (result) {
    case SheetResult::ok:
      return "";
    case SheetResult::generation_failed:
      return kBarcodeGenerationErrorText;
    case SheetResult::compression_failed:
      return kBarcodeCompressionErrorText;
    case SheetResult::does_not_fit: {
      std::string text = kDoesNotFitText;
      text.replace(text.find("%s"), 2, MmText(module_mm));
      return text;
    }
  }
  return "";
}

std::string SheetPageText(std::size_t page, std::size_t pages) {
  return "страница " + std::to_string(page) + " из " + std::to_string(pages);
}

std::string SheetImageDigest(const Settings& settings) {
  std::uint8_t image[kPlacementSize];
  InitPlacement(image, &settings);
  char text[16];
  std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(crc32(0, image, kPlacementSize)));
  return text;
}

std::string SheetDateToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%d.%m.%Y", &local);
  return text;
}

SheetResult LayoutProgrammingSheet(const SheetRequest& request, const Settings& settings, const Settings& defaults,
                                   SheetLayout& layout) {
  return LayoutProgrammingSheet(request, settings, ChangedSettings(settings, defaults), layout);
}

SheetResult LayoutProgrammingSheet(const SheetRequest& request, const Settings& settings,
                                   const std::vector<SheetSetting>& changes, SheetLayout& out) {
  const double module = request.module_mm;
  if (!std::isfinite(module) || module < kSheetMinModuleMm || module > kSheetMaxModuleMm)
    return SheetResult::does_not_fit;

  // The symbols first: nothing is laid out when one cannot be made.
  SheetLayout layout;
  const auto payload = PackGroupPayload(GroupBarcodePlain(settings));
  if (!payload) return SheetResult::compression_failed;
  layout.group_payload = *payload;
  ag_matrix_ptr group;
  if (GenerateConfigBarcode(group, *payload) != ag_ok) return SheetResult::generation_failed;
  layout.old_form_text = OldFormText(request.exclude_lens, settings);
  ag_matrix_ptr old_form;
  if (GenerateConfigBarcode(old_form, {reinterpret_cast<const std::uint8_t*>(layout.old_form_text.data()),
                                       layout.old_form_text.size()}) != ag_ok)
    return SheetResult::generation_failed;

  const std::vector<bool> bars = Code128Modules(FirstBarcodeValues());
  const double bar_module = std::clamp(module, kSheetMinCode128ModuleMm, kSheetMaxCode128ModuleMm);
  SheetSymbol first{.kind = SheetSymbolKind::first,
                    .module_width_mm = bar_module,
                    .columns = static_cast<int>(bars.size()),
                    .rows = 1,
                    .quiet_zone_modules = kCode128QuietZone,
                    .modules = {bars.begin(), bars.end()}};
  first.module_height_mm = std::max(kMinCode128BarsMm, 0.3 * first.columns * bar_module);
  // Code 128 needs light space left and right only.
  const auto first_outer_height = first.module_height_mm;
  const SheetSymbol group_symbol = AztecSymbol(SheetSymbolKind::group, *group, module);
  const SheetSymbol old_symbol = AztecSymbol(SheetSymbolKind::old_form, *old_form, module);
  if (kLabelWidth + OuterWidth(group_symbol) > kContentWidth || kLabelWidth + OuterWidth(old_symbol) > kContentWidth)
    return SheetResult::does_not_fit;

  // The model is shortened, never the date or the digest, when the footer
  // would take more than its lines.
  const std::string identity_tail = ", " + request.date + ", образ " + SheetImageDigest(settings);
  std::string identity = ValidUtf8(request.model_text) + identity_tail;
  for (std::string model = ValidUtf8(request.model_text);
       !model.empty() && Wrap(identity, kContentWidth - kPageNumberWidth, kFooterPt, false).size() > kFooterLines;) {
    while (!model.empty() && (static_cast<unsigned char>(model.back()) & 0xC0) == 0x80) model.pop_back();
    if (!model.empty()) model.pop_back();  // the code point's first byte
    identity = model + "…" + identity_tail;
  }

  layout.pages.emplace_back();
  PageWriter page1(layout.pages.back());
  double y = kMargin;
  y = page1.Paragraph(kMargin, y, kContentWidth, kTitlePt, true, kSheetTitleText);
  y = page1.Paragraph(kMargin, y, kContentWidth, kModelPt, true, request.model_text);
  y = page1.Paragraph(kMargin, y, kContentWidth, kBodyPt, false,
                      "Дата: " + request.date + "    Образ настроек: " + SheetImageDigest(settings) +
                          "    Модуль штрихкодов Aztec: " + MmText(module) + " мм");
  y += 2;
  page1.Rule(y);
  y += 3;
  y = page1.Paragraph(kMargin, y, kContentWidth, kInstructionPt, true, kSheetInstructionText);
  y = page1.Paragraph(kMargin, y, kContentWidth, kBodyPt, false, kSheetExplanationText);
  y += 4;

  // "1." and "2." side by side when they fit, one below the other otherwise.
  const auto labelled = [&](SheetPage& page, const char* label, const SheetSymbol& symbol, double outer_height,
                            const char* caption, double x, double top, double caption_width) {
    PageWriter w(page);
    w.Text(x, top + LineMm(kLabelPt) * 0.8, kLabelPt, true, label);
    SheetSymbol placed = Placed(symbol, x + kLabelWidth, top);
    if (symbol.kind == SheetSymbolKind::first) placed.y_mm = Snap(top);
    page.symbols.push_back(placed);
    return w.Paragraph(x + kLabelWidth, top + outer_height + 1, caption_width, kBodyPt, false, caption);
  };
  const double first_width = kLabelWidth + OuterWidth(first);
  const double group_width = kLabelWidth + OuterWidth(group_symbol);
  if (first_width + kSymbolGap + group_width <= kContentWidth) {
    const double x2 = kMargin + first_width + kSymbolGap;
    const double below1 = labelled(layout.pages.back(), "1.", first, first_outer_height, kFirstCaptionText, kMargin, y,
                                   first_width + kSymbolGap / 2 - kLabelWidth);
    const double below2 = labelled(layout.pages.back(), "2.", group_symbol, OuterHeight(group_symbol),
                                   kGroupCaptionText, x2, y, kRight - x2 - kLabelWidth);
    y = std::max(below1, below2);
  } else {
    const double width = kContentWidth - kLabelWidth;
    y = labelled(layout.pages.back(), "1.", first, first_outer_height, kFirstCaptionText, kMargin, y, width) + 3;
    y = labelled(layout.pages.back(), "2.", group_symbol, OuterHeight(group_symbol), kGroupCaptionText, kMargin, y,
                 width);
  }
  y += 3;
  page1.Rule(y);
  y += 2;

  // The old form, its explanation beside it when there is room.
  y = page1.Paragraph(kMargin, y, kContentWidth, kHeadingPt, true, kOldFormTitleText) + 1;
  const double old_width = kLabelWidth + OuterWidth(old_symbol);
  layout.pages.back().symbols.push_back(Placed(old_symbol, kMargin + kLabelWidth, y));
  const double beside = kContentWidth - old_width - 4;
  if (beside >= 50) {
    page1.Paragraph(kMargin + old_width + 4, y, beside, kBodyPt, false, kOldFormExplanationText);
    y += OuterHeight(old_symbol);
  } else {
    y = page1.Paragraph(kMargin + kLabelWidth, y + OuterHeight(old_symbol), kContentWidth - kLabelWidth, kBodyPt, false,
                        kOldFormExplanationText);
  }
  if (y > kBodyBottom) return SheetResult::does_not_fit;
  y += 2;
  page1.Rule(y);
  y += 3;

  // The list, onto further pages as it needs them; each page repeats the header.
  const double row_line = LineMm(kBodyPt);
  const auto column_header = [&](PageWriter& w, double top) {
    const double base = top + row_line * 0.75;
    w.Text(kPageColumn.x, base, kBodyPt, true, kPageColumnText);
    w.Text(kCaptionColumn.x, base, kBodyPt, true, kCaptionColumnText);
    w.Text(kValueColumn.x, base, kBodyPt, true, kValueColumnText);
    w.Rule(top + row_line + 0.5);
    return top + row_line + 1.5;
  };
  struct Row {
    std::vector<std::string> page, caption, value;
    std::size_t lines() const { return std::max({page.size(), caption.size(), value.size()}); }
  };
  std::vector<Row> rows;
  for (const SheetSetting& s : changes) {
    rows.push_back({Wrap(s.page, kPageColumn.width, kBodyPt, false),
                    Wrap(s.caption, kCaptionColumn.width, kBodyPt, false),
                    Wrap(s.value, kValueColumn.width, kBodyPt, false)});
  }
  const double header_height = LineMm(kHeadingPt) + row_line + 1.5;
  const double first_row = rows.empty() ? row_line : rows.front().lines() * row_line;
  if (y + header_height + first_row > kBodyBottom) {
    layout.pages.emplace_back();
    y = kMargin;
  }
  PageWriter list(layout.pages.back());
  y = list.Paragraph(kMargin, y, kContentWidth, kHeadingPt, true, kListTitleText);
  if (rows.empty()) {
    list.Paragraph(kMargin, y + 1, kContentWidth, kBodyPt, false, kSheetNoChangesText);
  } else {
    y = column_header(list, y);
  }
  for (const Row& row : rows) {
    const double height = row.lines() * row_line;
    if (y + height > kBodyBottom) {
      layout.pages.emplace_back();
      PageWriter next(layout.pages.back());
      y = next.Paragraph(kMargin, kMargin, kContentWidth, kBodyPt, false, identity);
      y = next.Paragraph(kMargin, y + 2, kContentWidth, kHeadingPt, true, kListContinuedText);
      y = column_header(next, y);
    }
    PageWriter w(layout.pages.back());
    const auto cell = [&](const Column& c, const std::vector<std::string>& lines) {
      for (std::size_t i = 0; i < lines.size(); ++i) w.Text(c.x, y + (i + 0.75) * row_line, kBodyPt, false, lines[i]);
    };
    cell(kPageColumn, row.page);
    cell(kCaptionColumn, row.caption);
    cell(kValueColumn, row.value);
    y += height;
  }

  // Every page says which sheet it belongs to.
  const std::size_t pages = layout.pages.size();
  for (std::size_t p = 0; p < pages; ++p) {
    PageWriter w(layout.pages[p]);
    w.Rule(kFooterRuleY);
    const std::vector<std::string> lines = Wrap(identity, kContentWidth - kPageNumberWidth, kFooterPt, false);
    for (std::size_t i = 0; i < lines.size(); ++i)
      w.Text(kMargin, kFooterBaseline + i * LineMm(kFooterPt), kFooterPt, false, lines[i]);
    w.Text(kRight, kFooterBaseline, kFooterPt, false, SheetPageText(p + 1, pages), SheetAlign::right);
  }
  out = std::move(layout);
  return SheetResult::ok;
}

}  // namespace tavrik
