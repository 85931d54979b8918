#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "barcodes/Code128.h"
#include "barcodes/GroupBarcode.h"
#include "barcodes/ProgrammingSheet.h"
#include "barcodes/SheetPdf.h"
#include "barcodes/tests/test_images.h"
#include "settings/update_settings_def.h"
#include "testsupport/CommandOutput.h"

namespace tavrik {
namespace {

// Ten pixels a millimetre: a 0.5 mm module is five pixels.
constexpr int kDpi = 254;
constexpr double kPixelsPerMm = kDpi / 25.4;

Settings ModelDefaults(std::uint8_t model) {
  SetCurrentModel(model);
  Settings s{};
  LoadDefaults(s);
  return s;
}

// A few changes of the kinds the list writes differently.
Settings Changed(const Settings& defaults) {
  Settings s = defaults;
  s.code39_enabled = !s.code39_enabled;
  s.redecode_timeout = 8;  // 400 ms
  s.barcode_interface = usb_cdc;
  s.barcode_prefix_ascii = {2, {0x02, 0x41}};
  return s;
}

// A symbol's box with its quiet zone and a little of the page around it.
test::GreyImage Crop(const test::GreyImage& page, const SheetSymbol& s, double margin_mm) {
  // A Code 128 symbol has its quiet zones left and right only.
  const double quiet = s.quiet_zone_modules * s.module_width_mm + margin_mm;
  const double quiet_y = s.rows > 1 ? quiet : margin_mm;
  const int x0 = static_cast<int>((s.x_mm - quiet) * kPixelsPerMm);
  const int y0 = static_cast<int>((s.y_mm - quiet_y) * kPixelsPerMm);
  const int x1 = static_cast<int>((s.x_mm + s.columns * s.module_width_mm + quiet) * kPixelsPerMm);
  const int y1 = static_cast<int>((s.y_mm + s.rows * s.module_height_mm + quiet_y) * kPixelsPerMm);
  test::GreyImage out{x1 - x0, y1 - y0, {}};
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) out.pixels.push_back(page.at(x, y));
  }
  return out;
}

struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
Box DarkBox(const test::GreyImage& image) {
  Box b;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (image.at(x, y) >= 128) continue;
      b.left = std::min(b.left, x), b.right = std::max(b.right, x + 1);
      b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y + 1);
    }
  }
  return b;
}
// The span of the dark modules, in modules.
Box DarkModules(const SheetSymbol& s) {
  Box b;
  for (int r = 0; r < s.rows; ++r) {
    for (int c = 0; c < s.columns; ++c) {
      if (!s.dark(c, r)) continue;
      b.left = std::min(b.left, c), b.right = std::max(b.right, c + 1);
      b.top = std::min(b.top, r), b.bottom = std::max(b.bottom, r + 1);
    }
  }
  return b;
}

const SheetSymbol& SymbolOf(const SheetLayout& layout, SheetSymbolKind kind) {
  for (const SheetSymbol& s : layout.pages.front().symbols) {
    if (s.kind == kind) return s;
  }
  static const SheetSymbol none{};
  ADD_FAILURE() << "no symbol of kind " << static_cast<int>(kind);
  return none;
}

// Runs of blanks as one: pdftotext keeps words, not the spaces between them.
std::string Squeezed(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

class ProgrammingSheetTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::OnPath("pdftoppm") && test::OnPath("pdftotext") && test::OnPath("pdfinfo"));
  }
  void TearDown() override { SetCurrentModel(0); }

  std::string Write(const SheetLayout& layout, const std::string& name = "sheet.pdf") {
    const std::string path = dir_ + "/" + name;
    EXPECT_TRUE(WriteProgrammingSheetPdf(path, layout));
    return path;
  }
  test::GreyImage Page(const std::string& pdf, int page) {
    const std::string stem = dir_ + "/page" + std::to_string(page);
    const std::string command = "pdftoppm -r " + std::to_string(kDpi) + " -gray -png -singlefile -f " +
                                std::to_string(page) + " -l " + std::to_string(page) + " '" + pdf + "' '" + stem + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    auto image = test::ReadPng(stem + ".png");
    EXPECT_TRUE(image);
    return image ? *image : test::GreyImage{};
  }
  static std::string Text(const std::string& pdf, int page = 0) {
    const std::string range = page ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "";
    return test::CommandOutput("pdftotext -layout" + range + " '" + pdf + "' -");
  }

  SheetRequest request_{"Ручной сканер \"Luch H4 BT\"", "11.12.2026", 0.5, false};
};

TEST_F(ProgrammingSheetTest, SymbolsDecodeAsTheFilesAndAtTheAskedModuleSize) {
  const Settings defaults = ModelDefaults(156);
  const Settings settings = Changed(defaults);
  for (double module : {0.5, 0.3, 0.8}) {
    SCOPED_TRACE("module " + std::to_string(module));
    request_.module_mm = module;
    SheetLayout layout;
    ASSERT_EQ(LayoutProgrammingSheet(request_, settings, defaults, layout), SheetResult::ok);
    const test::GreyImage page = Page(Write(layout), 1);
    // A page is a whole number of points, which the renderer may round up.
    ASSERT_NEAR(page.width, kSheetWidthMm * kPixelsPerMm, 1);

    // 1: the reader-programming Code 128 that turns Aztec reading on.
    const SheetSymbol& first = SymbolOf(layout, SheetSymbolKind::first);
    const test::Decoded one = test::DecodeCode128(Crop(page, first, 1));
    ASSERT_TRUE(one.valid);
    EXPECT_EQ(std::string(one.bytes.begin(), one.bytes.end()), "1401");
    EXPECT_TRUE(one.reader_init) << "FNC3 in first place marks a reader-programming symbol";
    EXPECT_EQ(first.columns, static_cast<int>(Code128Modules(FirstBarcodeValues()).size()));

    // 2: exactly what the "_New" file carries.
    const auto payload = PackGroupPayload(GroupBarcodePlain(settings));
    ASSERT_TRUE(payload);
    const SheetSymbol& group = SymbolOf(layout, SheetSymbolKind::group);
    const test::Decoded two = test::DecodeAztec(Crop(page, group, 1));
    ASSERT_TRUE(two.valid);
    EXPECT_EQ(two.bytes, *payload);
    EXPECT_TRUE(two.reader_init);
    // Module for module the symbol of the "_New" file.
    ag_matrix_ptr group_file;
    ASSERT_EQ(BuildGroupBarcode(group_file, settings), GroupBarcodeResult::ok);
    EXPECT_EQ(group.modules, std::vector<std::uint8_t>(group_file->data, group_file->data + std::size_t{group_file->width} *
                                                                                        group_file->height));

    // The old form: the "_Old" command text.
    const SheetSymbol& old_form = SymbolOf(layout, SheetSymbolKind::old_form);
    const test::Decoded old_decoded = test::DecodeAztec(Crop(page, old_form, 1));
    ASSERT_TRUE(old_decoded.valid);
    EXPECT_EQ(std::string(old_decoded.bytes.begin(), old_decoded.bytes.end()), OldFormText(false, settings));

    // The module measured in the rendering, both ways, for both Aztec symbols.
    for (const SheetSymbol* s : {&group, &old_form}) {
      const Box modules = DarkModules(*s);
      const Box pixels = DarkBox(Crop(page, *s, 1));
      EXPECT_NEAR((pixels.right - pixels.left) / kPixelsPerMm / (modules.right - modules.left), module, 0.01);
      EXPECT_NEAR((pixels.bottom - pixels.top) / kPixelsPerMm / (modules.bottom - modules.top), module, 0.01);
    }
    const Box bars = DarkBox(Crop(page, first, 0.5));
    EXPECT_NEAR((bars.right - bars.left) / kPixelsPerMm / first.columns,
                std::clamp(module, kSheetMinCode128ModuleMm, kSheetMaxCode128ModuleMm), 0.01);
  }
}

TEST_F(ProgrammingSheetTest, TextSaysWhatToReadAndWhatChangesAndNothingElse) {
  const Settings defaults = ModelDefaults(156);
  const Settings settings = Changed(defaults);
  SheetLayout layout;
  ASSERT_EQ(LayoutProgrammingSheet(request_, settings, defaults, layout), SheetResult::ok);
  ASSERT_EQ(layout.pages.size(), 1u);
  const std::string text = Text(Write(layout));
  EXPECT_NE(text.find(kSheetInstructionText), std::string::npos);
  EXPECT_NE(text.find(request_.model_text), std::string::npos);
  EXPECT_NE(text.find("11.12.2026"), std::string::npos);
  EXPECT_NE(text.find(SheetImageDigest(settings)), std::string::npos);
  EXPECT_NE(text.find(SheetPageText(1, 1)), std::string::npos);

  // Each change on one line with its page, caption and value, as the pages write them.
  const std::vector<SheetSetting> changes = ChangedSettings(settings, defaults);
  const std::vector<SheetSetting> expected = {
      {"Code 39", "Распознавать Code 39", defaults.code39_enabled ? "выключено" : "включено"},
      {"Декодеры штрих-кодов", "Таймаут повторного декодирования (мс)", "400 мс"},
      {"Интерфейс с ПК", "Интерфейс с ПК: Штрих-коды", "USB CDC"},
      {"Префиксы/Суффиксы", "Штрих-коды: Префиксы (ASCII)", "0x02    0x41"},
  };
  ASSERT_EQ(changes.size(), expected.size());
  for (const SheetSetting& e : expected) {
    SCOPED_TRACE(e.caption);
    EXPECT_NE(std::find(changes.begin(), changes.end(), e), changes.end());
    const std::size_t at = text.find(e.caption);
    ASSERT_NE(at, std::string::npos);
    const std::size_t line_start = text.rfind('\n', at) + 1;
    const std::string line = text.substr(line_start, text.find('\n', at) - line_start);
    EXPECT_NE(Squeezed(line).find(Squeezed(e.page)), std::string::npos) << line;
    EXPECT_NE(Squeezed(line).find(Squeezed(e.value)), std::string::npos) << line;
  }
  // No unchanged setting is named anywhere on the sheet, by its caption or its field name.
  std::set<std::string> words;
  std::istringstream in(text);
  for (std::string w; in >> w;) words.insert(w);
  for (const FieldSpec& f : ImageFields()) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(words.count(f.name), 0u);
    const std::string caption = FieldCaption(f);
    const bool changed = std::any_of(expected.begin(), expected.end(),
                                     [&](const SheetSetting& e) { return e.caption.find(caption) != std::string::npos; });
    if (!caption.empty() && !changed) EXPECT_EQ(Squeezed(text).find(Squeezed(caption)), std::string::npos);
  }
}

TEST_F(ProgrammingSheetTest, DefaultsListNothingAndSaySo) {
  const Settings defaults = ModelDefaults(201);
  EXPECT_TRUE(ChangedSettings(defaults, defaults).empty());
  SheetLayout layout;
  ASSERT_EQ(LayoutProgrammingSheet(request_, defaults, defaults, layout), SheetResult::ok);
  ASSERT_EQ(layout.pages.size(), 1u);
  const std::string text = Text(Write(layout));
  EXPECT_NE(text.find(kSheetNoChangesText), std::string::npos);
  EXPECT_EQ(text.find("Значение"), std::string::npos) << "no table without rows";
}

TEST_F(ProgrammingSheetTest, ALongListRunsOnToFurtherPagesEachWithItsHeaderAndNumber) {
  const Settings defaults = ModelDefaults(156);
  std::vector<SheetSetting> changes;
  for (int i = 0; i < 120; ++i)
    changes.push_back({"Страница " + std::to_string(i), "поле_" + std::to_string(i), "значение " + std::to_string(i)});
  SheetLayout layout;
  ASSERT_EQ(LayoutProgrammingSheet(request_, defaults, changes, layout), SheetResult::ok);
  ASSERT_GE(layout.pages.size(), 3u);
  const std::string pdf = Write(layout);
  EXPECT_NE(
      test::CommandOutput("pdfinfo '" + pdf + "'").find("Pages:           " + std::to_string(layout.pages.size())),
      std::string::npos);
  std::string all;
  for (std::size_t p = 1; p <= layout.pages.size(); ++p) {
    SCOPED_TRACE("page " + std::to_string(p));
    const std::string text = Text(pdf, static_cast<int>(p));
    all += text;
    EXPECT_NE(text.find(SheetPageText(p, layout.pages.size())), std::string::npos);
    EXPECT_NE(text.find(request_.model_text + ", 11.12.2026, образ " + SheetImageDigest(defaults)), std::string::npos);
    EXPECT_NE(text.find("Страница"), std::string::npos);
    EXPECT_NE(text.find("Значение"), std::string::npos);
    if (p > 1) EXPECT_NE(text.find("(продолжение)"), std::string::npos);
  }
  // Every row once, in order.
  std::size_t at = 0;
  for (const SheetSetting& s : changes) {
    const std::size_t next = all.find(s.caption + " ", at);
    ASSERT_NE(next, std::string::npos) << s.caption;
    at = next;
  }
}

// Text boxes by the layout's own measure: nothing leaves the page or runs
// into another text or a symbol's quiet zone, however long the title.
TEST_F(ProgrammingSheetTest, NothingOverlapsOrLeavesThePage) {
  const Settings defaults = ModelDefaults(156);
  request_.model_text = "Стационарный сканер \"ШЩЖЮ WWW MMM\" (" + std::string(120, 'W') + ".qdx)";
  std::vector<SheetSetting> changes = ChangedSettings(Changed(defaults), defaults);
  changes.push_back({"Префиксы и суффиксы", std::string(200, 'x') + " очень длинная подпись настройки",
                     "0x0D    0x0A    0x0D    0x0A    0x0D    0x0A    0x0D    0x0A    0x0D    0x0A"});
  struct Rect {
    double l, t, r, b;
  };
  for (double module : {kSheetMinModuleMm, 0.5, kSheetMaxModuleMm}) {
    SCOPED_TRACE("module " + std::to_string(module));
    request_.module_mm = module;
    SheetLayout layout;
    ASSERT_EQ(LayoutProgrammingSheet(request_, Changed(defaults), changes, layout), SheetResult::ok);
    for (const SheetPage& page : layout.pages) {
      std::vector<Rect> boxes;
      for (const SheetText& t : page.texts) {
        const double w = SheetTextWidthMm(t.text, t.size_pt, t.bold);
        const double h = t.size_pt * kPointMm;
        const double l = t.align == SheetAlign::right ? t.x_mm - w : t.x_mm;
        boxes.push_back({l, t.y_mm - h * 0.8, l + w, t.y_mm + h * 0.2});
      }
      for (const SheetSymbol& s : page.symbols) {
        const double q = s.quiet_zone_modules * s.module_width_mm;
        boxes.push_back({s.x_mm - q, s.y_mm - (s.rows > 1 ? q : 0), s.x_mm + s.columns * s.module_width_mm + q,
                         s.y_mm + s.rows * s.module_height_mm + (s.rows > 1 ? q : 0)});
      }
      // The footer keeps the date and the digest, whatever the title.
      EXPECT_EQ(page.texts.back().text, SheetPageText(&page - &layout.pages.front() + 1, layout.pages.size()));
      const std::string& footer_end = page.texts[page.texts.size() - 2].text;
      EXPECT_NE(footer_end.find(", 11.12.2026, образ " + SheetImageDigest(Changed(defaults))), std::string::npos)
          << footer_end;
      for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Rect& a = boxes[i];
        EXPECT_TRUE(a.l >= 10 && a.r <= kSheetWidthMm - 10 && a.t >= 10 && a.b <= kSheetHeightMm - 10) << i;
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
          const Rect& b = boxes[j];
          EXPECT_FALSE(a.l < b.r && b.l < a.r && a.t < b.b && b.t < a.b) << "boxes " << i << " and " << j;
        }
      }
    }
  }
}

TEST(SheetTextTest, BrokenUtf8BecomesReplacementCharacters) {
  struct Case {
    std::string in;
    std::string out;
  };
  const std::string r = "\xEF\xBF\xBD";
  const Case cases[] = {
      /*0*/ {"Ручной сканер \"Luch\" (v.2.3)", "Ручной сканер \"Luch\" (v.2.3)"},  // left as it is
                                                                                   /*1*/
      {"a\xFF"
       "b",
       "a" + r + "b"},                                 // a byte no UTF-8 has
      /*2*/ {"\xD0", r},                               // cut off at the end
      /*3*/ {"\xD0x", r + "x"},                        // a lead byte without its follower
      /*4*/ {"\xC0\xAF", r + r},                       // an overlong '/'
      /*5*/ {"\xED\xA0\x80", r + r + r},               // a surrogate
      /*6*/ {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},  // four bytes, well formed
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(ValidUtf8(cases[row].in), cases[row].out);
  }
}

TEST_F(ProgrammingSheetTest, RefusesModuleSizesOutsideTheSheet) {
  const Settings defaults = ModelDefaults(156);
  for (double module : {0.0, kSheetMinModuleMm - 0.01, kSheetMaxModuleMm + 0.01, std::nan("")}) {
    request_.module_mm = module;
    SheetLayout layout;
    EXPECT_EQ(LayoutProgrammingSheet(request_, defaults, defaults, layout), SheetResult::does_not_fit) << module;
    EXPECT_TRUE(layout.pages.empty());
  }
  EXPECT_EQ(SheetResultText(SheetResult::does_not_fit, 2.5), "Штрихкоды с модулем 2,5 мм не помещаются на лист A4");
}

}  // namespace
}  // namespace tavrik
