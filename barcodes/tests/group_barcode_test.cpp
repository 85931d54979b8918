#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "barcodes/GroupBarcode.h"
#include "barcodes/commands_generation.h"
#include "testsupport/ImageBytes.h"
#include "barcodes/tests/test_images.h"

namespace tavrik {
namespace {

using test::Defaults;

std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

std::vector<std::uint8_t> Uncompressed(const std::vector<std::uint8_t>& payload) {
  const std::size_t length = payload[0] | payload[1] << 8;
  std::vector<std::uint8_t> plain(1024);
  uLongf size = static_cast<uLongf>(plain.size());
  EXPECT_EQ(uncompress(plain.data(), &size, payload.data() + 4, static_cast<uLong>(length)), Z_OK);
  plain.resize(size);
  return plain;
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

test::Decoded DecodeSymbol(const ag_matrix& symbol) { return test::DecodeAztec(test::RenderForDecoder(symbol, 3, 4)); }

// A full-range symbol's bull's eye reaches six modules out from the centre,
// where a compact symbol already has its data layers: the rings at distance
// 5 (light) and 6 (dark) tell them apart, sizes 19 to 27 being shared.
bool IsFullRange(const ag_matrix& symbol) {
  const int c = static_cast<int>(symbol.width / 2);
  for (int y = -6; y <= 6; ++y) {
    for (int x = -6; x <= 6; ++x) {
      const int ring = std::max(std::abs(x), std::abs(y));
      if (ring < 5) continue;
      const bool dark = symbol.data[static_cast<std::size_t>(c + y) * symbol.width + (c + x)] != 0;
      if (dark != (ring == 6)) return false;
    }
  }
  return true;
}

TEST(GroupPayload, HeaderStreamAndOddLength) {
  Settings s = Defaults();
  s.volume = 3;
  s.barcode_prefix_hid = {2, {0x0D, 0x0A}};
  const auto payload = PackGroupPayload(GroupBarcodePlain(s));
  ASSERT_TRUE(payload);
  const std::size_t length = (*payload)[0] | (*payload)[1] << 8;
  EXPECT_EQ((*payload)[2], 0x1A);
  EXPECT_EQ((*payload)[3], 1);
  EXPECT_EQ(payload->size() % 2, 1u);
  EXPECT_EQ(payload->size(), 4 + length + ((4 + length) % 2 == 0 ? 1 : 0));
  if ((4 + length) % 2 == 0) {
    EXPECT_EQ(payload->back(), 0xFF);
  }

  std::vector<std::uint8_t> expected = test::ImageLaidOut(s);
  const std::string marker = "New version BC";
  expected.insert(expected.end(), marker.begin(), marker.end());
  EXPECT_EQ(Uncompressed(*payload), expected);
  EXPECT_EQ(expected.size(), 282u);
}

TEST(GroupPayload, PaddingByCompressedLength) {
  // Random bytes do not compress: zlib stores them, 11 bytes longer.
  struct Case {
    std::size_t plain_size;
    std::size_t compressed;
    std::size_t payload;  // 0: the stream does not fit
  };
  const Case cases[] = {
      /*0*/ {275, 286, 291},  // 290 is even: one byte 255 more
      /*1*/ {276, 287, 291},  // the full capacity, already odd
      /*2*/ {277, 288, 0},    // one byte over the capacity
      /*3*/ {282, 293, 0},    // a whole image that does not compress
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const auto plain = RandomBytes(cases[row].plain_size, 11);
    const auto payload = PackGroupPayload(plain);
    if (cases[row].payload == 0) {
      EXPECT_FALSE(payload);
      continue;
    }
    ASSERT_TRUE(payload);
    EXPECT_EQ((*payload)[0] | (*payload)[1] << 8, static_cast<int>(cases[row].compressed));
    EXPECT_EQ(payload->size(), cases[row].payload);
    if (cases[row].compressed % 2 == 0) {
      EXPECT_EQ(payload->back(), 0xFF);
    }
    EXPECT_EQ(Uncompressed(*payload), plain);
  }
}

// The firmware inflates what zlib's compress() makes at its default level; the
// payload carries exactly those bytes, call after call, also after a stream
// that did not fit.
TEST(GroupPayload, StreamIsWhatCompressMakes) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> plain;
  };
  Settings changed = Defaults();
  changed.volume = 1;
  changed.sleep_timeout = 200;
  changed.barcode_suffix_ascii = {4, {'t', 'a', 'i', 'l'}};
  const Case cases[] = {
      {"the defaults", GroupBarcodePlain(Defaults())},
      {"changed settings", GroupBarcodePlain(changed)},
      {"random bytes that fit", RandomBytes(270, 5)},
      {"a stream over the capacity", RandomBytes(282, 6)},
      {"the defaults again, after the failure", GroupBarcodePlain(Defaults())},
      {"a short run", std::vector<std::uint8_t>(40, 0x55)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> expected(compressBound(static_cast<uLong>(c.plain.size())));
    uLongf length = static_cast<uLongf>(expected.size());
    ASSERT_EQ(compress(expected.data(), &length, c.plain.data(), static_cast<uLong>(c.plain.size())), Z_OK);
    expected.resize(length);
    const auto payload = PackGroupPayload(c.plain);
    if (length > kGroupCompressedCapacity) {
      EXPECT_FALSE(payload);
      continue;
    }
    ASSERT_TRUE(payload);
    const std::vector<std::uint8_t> stream(payload->begin() + 4, payload->begin() + 4 + static_cast<long>(length));
    EXPECT_EQ(stream, expected);
    EXPECT_EQ((*payload)[0] | (*payload)[1] << 8, static_cast<int>(length));
  }
}

TEST(GroupBarcode, DecodesToThePayloadAsReaderInitialisationSymbol) {
  ResetProcessState();
  CurrentSettings().code39_enabled = !CurrentSettings().code39_enabled;
  CurrentSettings().barcode_suffix_ascii = {3, {'e', 'n', 'd'}};
  ag_matrix_ptr owner;
  ASSERT_EQ(BuildGroupBarcode(owner), GroupBarcodeResult::ok);
  ASSERT_TRUE(owner);
  EXPECT_EQ(owner->width, owner->height);
  EXPECT_TRUE(IsFullRange(*owner));
  const auto payload = PackGroupPayload(GroupBarcodePlain(CurrentSettings()));
  ASSERT_TRUE(payload);
  const test::Decoded decoded = DecodeSymbol(*owner);
  ASSERT_TRUE(decoded.valid);
  EXPECT_EQ(decoded.bytes, *payload);
  EXPECT_TRUE(decoded.reader_init);
  std::vector<std::uint8_t> image(kPlacementSize);
  InitPlacement(image.data(), &CurrentSettings());
  const auto plain = Uncompressed(decoded.bytes);
  EXPECT_EQ(std::vector<std::uint8_t>(plain.begin(), plain.begin() + kPlacementSize), image);
  EXPECT_EQ(std::string(plain.begin() + kPlacementSize, plain.end()), "New version BC");
  ResetProcessState();
}

TEST(GroupBarcode, BothSymbolsUseTheDefaultRedundancy) {
  // mask 3: the reader-initialisation flag and full-range sizes are given,
  // the redundancy is left to the generator's default of 23 %.
  const ag_settings settings = ConfigBarcodeSettings();
  EXPECT_EQ(settings.mask, 3u);
  EXPECT_EQ(settings.initialization_symbol, 1);
  EXPECT_EQ(settings.symbol_choice, 2);
  ag_settings explicit_settings{};
  explicit_settings.mask = 7;
  explicit_settings.initialization_symbol = 1;
  explicit_settings.symbol_choice = 2;
  explicit_settings.error_correction_redundancy = 23;
  const auto payload = *PackGroupPayload(GroupBarcodePlain(Defaults()));
  const std::string text = OldFormText(false, Defaults());
  for (const auto& data : {payload, Bytes(text)}) {
    ag_matrix_ptr ours;
    ASSERT_EQ(GenerateConfigBarcode(ours, data), ag_ok);
    ag_matrix* expected = nullptr;
    ASSERT_EQ(ag_generate(&expected, data.data(), data.size(), &explicit_settings), ag_ok);
    ag_matrix_ptr expected_owner(expected);
    ASSERT_EQ(ours->width, expected->width);
    EXPECT_TRUE(std::equal(ours->data, ours->data + ours->width * ours->height, expected->data));
  }
}

TEST(GroupBarcode, OwnerKeepsItsSymbolWhenGenerationFails) {
  ag_matrix_ptr owner;
  ASSERT_EQ(GenerateConfigBarcode(owner, Bytes("first")), ag_ok);
  const ag_matrix* first = owner.get();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GenerateConfigBarcode(owner, RandomBytes(4000, 5)), ag_too_much_input_data);
  EXPECT_EQ(owner.get(), first);
  EXPECT_EQ(GenerateConfigBarcode(owner, {}), ag_no_input_data);
  EXPECT_EQ(owner.get(), first);
  ASSERT_EQ(GenerateConfigBarcode(owner, Bytes("second")), ag_ok);
  EXPECT_NE(owner.get(), nullptr);
  EXPECT_EQ(DecodeSymbol(*owner).bytes, Bytes("second"));

  GroupBarcode preview;
  EXPECT_EQ(preview.symbol(), nullptr);
  ASSERT_EQ(preview.Rebuild(Defaults()), GroupBarcodeResult::ok);
  ASSERT_NE(preview.symbol(), nullptr);
  EXPECT_EQ(DecodeSymbol(*preview.symbol()).bytes, *PackGroupPayload(GroupBarcodePlain(Defaults())));
}

TEST(OldForm, SymbolDecodesToTheCommandText) {
  for (bool exclude_lens : {false, true}) {
    SCOPED_TRACE(exclude_lens ? "without lens" : "with lens");
    const Settings s = Defaults();
    CommandList commands;
    GenerateCommands(commands, exclude_lens, s);
    const std::string text = OldFormText(exclude_lens, s);
    EXPECT_EQ(text, CommandsText(commands));
    EXPECT_EQ(text.size(), commands.size() * 4);
    ag_matrix_ptr owner;
    ASSERT_EQ(GenerateConfigBarcode(owner, Bytes(text)), ag_ok);
    const test::Decoded decoded = DecodeSymbol(*owner);
    ASSERT_TRUE(decoded.valid);
    EXPECT_EQ(std::string(decoded.bytes.begin(), decoded.bytes.end()), text);
    EXPECT_TRUE(decoded.reader_init);
    EXPECT_TRUE(IsFullRange(*owner));
  }
}

Settings LongSequences(int full_sets) {
  Settings s = Defaults();
  const ByteSeq full{10, {0xFF, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA, 0xF9, 0xF8, 0xF7, 0xF6}};
  s.barcode_interface = usb_hid;
  s.currency_interface = usb_hid;
  ByteSeq* sets[] = {&s.barcode_prefix_hid, &s.barcode_suffix_hid, &s.currency_prefix_hid, &s.currency_suffix_hid};
  for (int i = 0; i < full_sets; ++i) *sets[i] = full;
  s.pharmacode_min_value = 4294967295u;
  s.lens_upper = -32768;
  return s;
}

TEST(OldForm, LongTextsFitOrFailWithTheGenerationMessage) {
  // Reader-initialisation symbols stop at 22 full-range layers: two full
  // sets of ten bytes still fit, all four do not.
  {
    const std::string text = OldFormText(false, LongSequences(2));
    ag_matrix_ptr owner;
    ASSERT_EQ(GenerateConfigBarcode(owner, Bytes(text)), ag_ok) << text.size() << " characters";
    const test::Decoded decoded = DecodeSymbol(*owner);
    ASSERT_TRUE(decoded.valid);
    EXPECT_EQ(std::string(decoded.bytes.begin(), decoded.bytes.end()), text);
  }
  const std::string text = OldFormText(false, LongSequences(4));
  ag_matrix_ptr owner;
  EXPECT_EQ(GenerateConfigBarcode(owner, Bytes(text)), ag_too_much_input_data) << text.size() << " characters";
  EXPECT_FALSE(owner);
  const test::TempDir dir("tavrik-barcodes");
  EXPECT_EQ(SaveBarcodeFiles(dir.Path("scan.emf"), false, kHeadlessScreen, LongSequences(4)),
            SaveBarcodeResult::generation_failed);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "nothing written";
}

TEST(BarcodeFiles, NamesForAChosenPath) {
  struct Case {
    const char* chosen;
    const char* old_form;
    const char* group;
  };
  const Case cases[] = {
      /*0*/ {"scan.emf", "scan_Old.emf", "scan_New.emf"},
      /*1*/ {"/home/u/scan.emf", "/home/u/scan_Old.emf", "/home/u/scan_New.emf"},
      /*2*/ {"/tmp/a.b", "/tmp/a_Old.b", "/tmp/a_New.b"},          // a short extension stays outside the folder part
      /*3*/ {"/tmp/scan", "/tmp/scan_Old", "/tmp/scan_New"},      // no extension: at the end
      /*4*/ {"/tmp/v1.2/scan", "/tmp/v1.2/scan_Old", "/tmp/v1.2/scan_New"},  // a dot in a folder is no extension
      /*5*/ {"/tmp/scan.old.emf", "/tmp/scan.old_Old.emf", "/tmp/scan.old_New.emf"},  // the last dot counts
      /*6*/ {"scan.EMF", "scan_Old.EMF", "scan_New.EMF"},
      /*7*/ {"", "_Old", "_New"},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const BarcodeFileNames names = DeriveBarcodeFileNames(cases[row].chosen);
    EXPECT_EQ(names.old_form, cases[row].old_form);
    EXPECT_EQ(names.group, cases[row].group);
  }
}

TEST(BarcodeFiles, MessagesOfTheSave) {
  EXPECT_STREQ(SaveBarcodeMessage(SaveBarcodeResult::saved), "");
  EXPECT_STREQ(SaveBarcodeMessage(SaveBarcodeResult::generation_failed), "Ошибка генерации штрих-кода");
  EXPECT_STREQ(SaveBarcodeMessage(SaveBarcodeResult::write_failed), "Не удалось сохранить данные в файл");
  EXPECT_STREQ(SaveBarcodeMessage(SaveBarcodeResult::compression_failed),
               "Не удалось сжимать данные для генерация ШК в новом виде, zlib error!");
}

class SaveFiles : public test::TempDirTest {};

TEST_F(SaveFiles, WritesBothSymbols) {
  Settings s = Defaults();
  s.lens_lower = -123;
  ASSERT_EQ(SaveBarcodeFiles(dir_ + "/scan.emf", false, kHeadlessScreen, s), SaveBarcodeResult::saved);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"scan_New.emf", "scan_Old.emf"}));

  ag_matrix_ptr old_form, group;
  const std::string text = OldFormText(false, s);
  ASSERT_EQ(GenerateConfigBarcode(old_form, Bytes(text)), ag_ok);
  ASSERT_EQ(BuildGroupBarcode(group, s), GroupBarcodeResult::ok);
  EXPECT_EQ(test::ReadFileBytes(dir_ + "/scan_Old.emf"), *BarcodeMetafileBytes(*old_form, kHeadlessScreen));
  EXPECT_EQ(test::ReadFileBytes(dir_ + "/scan_New.emf"), *BarcodeMetafileBytes(*group, kHeadlessScreen));

  // Leaving the lens out changes only the old form.
  ASSERT_EQ(SaveBarcodeFiles(dir_ + "/nolens.emf", true, kHeadlessScreen, s), SaveBarcodeResult::saved);
  EXPECT_EQ(test::ReadFileBytes(dir_ + "/nolens_New.emf"), test::ReadFileBytes(dir_ + "/scan_New.emf"));
  ASSERT_EQ(GenerateConfigBarcode(old_form, Bytes(OldFormText(true, s))), ag_ok);
  EXPECT_EQ(test::ReadFileBytes(dir_ + "/nolens_Old.emf"), *BarcodeMetafileBytes(*old_form, kHeadlessScreen));
  EXPECT_NE(OldFormText(true, s), text);

  // A short extension: the files go beside the chosen one.
  ASSERT_EQ(SaveBarcodeFiles(dir_ + "/a.b", false, kHeadlessScreen, s), SaveBarcodeResult::saved);
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/a_Old.b"));
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/a_New.b"));
}

TEST_F(SaveFiles, AFolderThatCannotBeWrittenGivesTheFileMessage) {
  EXPECT_EQ(SaveBarcodeFiles(dir_ + "/missing/scan.emf", false, kHeadlessScreen, Defaults()),
            SaveBarcodeResult::write_failed);
  // The "_New" name is taken by a folder: no "_Old" file is written either,
  // since the two are printed together.
  std::filesystem::create_directory(dir_ + "/scan_New.emf");
  EXPECT_EQ(SaveBarcodeFiles(dir_ + "/scan.emf", false, kHeadlessScreen, Defaults()), SaveBarcodeResult::write_failed);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"scan_New.emf"}));
  EXPECT_TRUE(std::filesystem::is_directory(dir_ + "/scan_New.emf"));
}

TEST_F(SaveFiles, LongPathsAreLimitedOnlyByTheFileSystem) {
  // Paths beyond 260 characters are written whole; a name the file system
  // refuses gives the file message.
  std::string folder = dir_;
  for (int i = 0; i < 6; ++i) folder += "/" + std::string(50, 'd');
  std::filesystem::create_directories(folder);
  ASSERT_GT(folder.size(), 300u);
  EXPECT_EQ(SaveBarcodeFiles(folder + "/scan.emf", false, kHeadlessScreen, Defaults()), SaveBarcodeResult::saved);
  EXPECT_TRUE(std::filesystem::exists(folder + "/scan_New.emf"));
  EXPECT_EQ(SaveBarcodeFiles(dir_ + "/" + std::string(300, 'n') + ".emf", false, kHeadlessScreen, Defaults()),
            SaveBarcodeResult::write_failed);
  // A name just within the usual 255-byte limit of one component.
  const std::string longest = std::string(255 - 8, 'm') + ".emf";
  EXPECT_EQ(SaveBarcodeFiles(dir_ + "/" + longest, false, kHeadlessScreen, Defaults()), SaveBarcodeResult::saved);
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/" + std::string(255 - 8, 'm') + "_New.emf"));
}

// The "_New" file as an independent renderer draws it still reads as the payload.
TEST_F(SaveFiles, GroupMetafileDecodesAfterIndependentRendering) {
  ASSERT_TRUE(test::OnPath("emf2svg-conv") && test::OnPath("rsvg-convert"));
  ResetProcessState();
  ASSERT_EQ(SaveBarcodeFiles(dir_ + "/scan.emf", false), SaveBarcodeResult::saved);
  ag_matrix_ptr group;
  ASSERT_EQ(BuildGroupBarcode(group), GroupBarcodeResult::ok);
  const int scale = 3, side = static_cast<int>(group->width) * scale, page = side + 8 * scale;
  const std::string offset = std::to_string(4 * scale);
  const std::string command = "emf2svg-conv -i '" + dir_ + "/scan_New.emf' -o '" + dir_ + "/n.svg' >/dev/null 2>&1 && " +
                              "rsvg-convert -z 3 -b white --left " + offset + " --top " + offset + " --page-width " +
                              std::to_string(page) + " --page-height " + std::to_string(page) + " -o '" + dir_ +
                              "/n.png' '" + dir_ + "/n.svg' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const auto image = test::ReadPng(dir_ + "/n.png");
  ASSERT_TRUE(image);
  const test::Decoded decoded = test::DecodeAztec(*image);
  ASSERT_TRUE(decoded.valid);
  EXPECT_EQ(decoded.bytes, *PackGroupPayload(GroupBarcodePlain(CurrentSettings())));
}

}  // namespace
}  // namespace tavrik
