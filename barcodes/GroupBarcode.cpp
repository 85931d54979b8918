#include "barcodes/GroupBarcode.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>

#include "core/Messages.h"
#include "barcodes/commands_generation.h"
#include "core/AtomicFile.h"

namespace tavrik {
namespace {

struct SaveMessage {
  SaveBarcodeResult result;
  const char* text;
};

constexpr SaveMessage kSaveMessages[] = {
    {SaveBarcodeResult::saved, ""},
    {SaveBarcodeResult::generation_failed, kBarcodeGenerationErrorText},
    {SaveBarcodeResult::write_failed, kBarcodeWriteErrorText},
    {SaveBarcodeResult::compression_failed, kBarcodeCompressionErrorText},
    {SaveBarcodeResult::too_large, kBarcodeWriteErrorText},
};

constexpr std::string_view kOldSuffix = "_Old";
constexpr std::string_view kNewSuffix = "_New";
#ifdef _WIN32
constexpr const char* kPathSeparators = "/\\";
#else
constexpr const char* kPathSeparators = "/";
#endif

// zlib's compress() builds and frees a whole deflate state for every call:
// some 270 KB allocated and its hash table cleared, which for an image of 282
// bytes is most of the time a barcode takes. One stream per thread, reset
// before each image, gives the same bytes: deflateReset leaves the state as
// deflateInit does, with the default level, window and memory of compress().
class Deflater {
 public:
  Deflater() { ready_ = deflateInit(&stream_, Z_DEFAULT_COMPRESSION) == Z_OK; }
  ~Deflater() {
    if (ready_) deflateEnd(&stream_);
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // As compress(): Z_OK with `length` set, or Z_BUF_ERROR when `capacity` is too small.
  int Compress(std::uint8_t* out, uLongf& length, std::span<const std::uint8_t> in) {
    if (!ready_ || deflateReset(&stream_) != Z_OK) return Z_STREAM_ERROR;
    stream_.next_in = const_cast<Bytef*>(in.data());
    stream_.avail_in = static_cast<uInt>(in.size());
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(length);
    const int result = deflate(&stream_, Z_FINISH);
    if (result != Z_STREAM_END) return result == Z_OK ? Z_BUF_ERROR : result;
    length = stream_.total_out;
    return Z_OK;
  }

 private:
  z_stream stream_{};
  bool ready_ = false;
};

}  // namespace

std::vector<std::uint8_t> GroupBarcodePlain(const Settings& settings) {
  std::vector<std::uint8_t> plain(kGroupPlainSize);
  InitPlacement(plain.data(), &settings);
  std::copy(kGroupBarcodeMarker.begin(), kGroupBarcodeMarker.end(), plain.begin() + kPlacementSize);
  return plain;
}

std::optional<std::vector<std::uint8_t>> PackGroupPayload(std::span<const std::uint8_t> plain) {
  std::vector<std::uint8_t> payload(kGroupHeaderSize + kGroupCompressedCapacity + 1);
  uLongf length = kGroupCompressedCapacity;
  thread_local Deflater deflater;
  if (deflater.Compress(payload.data() + kGroupHeaderSize, length, plain) != Z_OK) return std::nullopt;
  payload[0] = static_cast<std::uint8_t>(length & 0xFF);
  payload[1] = static_cast<std::uint8_t>(length >> 8);
  payload[2] = kGroupPayloadTag;
  payload[3] = kGroupPayloadVersion;
  std::size_t size = kGroupHeaderSize + length;
  if (size % 2 == 0) payload[size++] = kGroupPayloadPadding;
  payload.resize(size);
  return payload;
}

ag_settings ConfigBarcodeSettings() {
  ag_settings settings{};
  settings.mask = ag_mask_initialization_symbol | ag_mask_symbol_choice;
  settings.initialization_symbol = 1;
  settings.symbol_choice = 2;
  return settings;
}

int GenerateConfigBarcode(ag_matrix_ptr& owner, std::span<const std::uint8_t> payload) {
  const ag_settings settings = ConfigBarcodeSettings();
  ag_matrix* matrix = nullptr;
  const int result = ag_generate(&matrix, payload.data(), payload.size(), &settings);
  if (result != ag_ok) return result;
  owner.reset(matrix);
  return ag_ok;
}

GroupBarcodeResult BuildGroupBarcode(ag_matrix_ptr& owner, const Settings& settings) {
  const auto payload = PackGroupPayload(GroupBarcodePlain(settings));
  if (!payload) return GroupBarcodeResult::compression_failed;
  if (GenerateConfigBarcode(owner, *payload) != ag_ok) return GroupBarcodeResult::generation_failed;
  return GroupBarcodeResult::ok;
}

std::string OldFormText(bool exclude_lens, const Settings& settings) {
  CommandList commands;
  GenerateCommands(commands, exclude_lens, settings);
  return CommandsText(commands);
}

BarcodeFileNames DeriveBarcodeFileNames(std::string_view chosen_path) {
  const std::size_t name_start = chosen_path.find_last_of(kPathSeparators) + 1;  // npos + 1 is 0
  std::size_t insertion = chosen_path.rfind('.');
  if (insertion == std::string_view::npos || insertion < name_start) insertion = chosen_path.size();
  const auto with = [&](std::string_view suffix) {
    std::string name(chosen_path.substr(0, insertion));
    name += suffix;
    name += chosen_path.substr(insertion);
    return name;
  };
  return {with(kOldSuffix), with(kNewSuffix)};
}

const char* SaveBarcodeMessage(SaveBarcodeResult result) {
  for (const SaveMessage& m : kSaveMessages) {
    if (m.result == result) return m.text;
  }
  return "";
}

namespace {

// The steps of a save after the dialog, whatever the files' format: the
// file's bytes of one symbol, or nothing when they cannot be made.
using SymbolBytes = std::function<std::optional<std::vector<std::uint8_t>>(const ag_matrix& symbol)>;
// Whether a symbol can be drawn at all in the chosen format and size.
using SymbolFits = std::function<bool(const ag_matrix& symbol)>;

SaveBarcodeResult SaveBothSymbols(std::string_view chosen_path, bool exclude_lens, const Settings& settings,
                                  const SymbolBytes& bytes_of, const SymbolFits& fits = {}) {
  // "_Old" and "_New" are added to a file's name: a folder, or a path without
  // a last part, would put them beside it ("/" would give "/_Old").
  std::error_code error;
  if (!NamesAFile(chosen_path) || std::filesystem::is_directory(std::string(chosen_path), error))
    return SaveBarcodeResult::write_failed;
  const BarcodeFileNames names = DeriveBarcodeFileNames(chosen_path);
  const std::string text = OldFormText(exclude_lens, settings);
  ag_matrix_ptr old_form;
  if (GenerateConfigBarcode(old_form, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}) != ag_ok) {
    return SaveBarcodeResult::generation_failed;
  }
  ag_matrix_ptr group;
  switch (BuildGroupBarcode(group, settings)) {
    case GroupBarcodeResult::ok: break;
    case GroupBarcodeResult::compression_failed: return SaveBarcodeResult::compression_failed;
    case GroupBarcodeResult::generation_failed: return SaveBarcodeResult::generation_failed;
  }
  // Known from the symbols' sizes, before any picture is drawn.
  if (fits && (!fits(*old_form) || !fits(*group))) return SaveBarcodeResult::too_large;
  const auto old_bytes = bytes_of(*old_form);
  const auto group_bytes = bytes_of(*group);
  if (!old_bytes || !group_bytes) return SaveBarcodeResult::write_failed;
  // The two files are printed together: both are replaced, or neither.
  const FileToWrite files[] = {{names.old_form, *old_bytes}, {names.group, *group_bytes}};
  if (WriteFilesAtomically(files) != AtomicWriteResult::ok) return SaveBarcodeResult::write_failed;
  return SaveBarcodeResult::saved;
}

}  // namespace

SaveBarcodeResult SaveBarcodeFiles(std::string_view chosen_path, bool exclude_lens, const ScreenMetrics& screen,
                                   const Settings& settings) {
  return SaveBothSymbols(chosen_path, exclude_lens, settings,
                         [&screen](const ag_matrix& m) { return BarcodeMetafileBytes(m, screen); });
}

SaveBarcodeResult SaveBarcodeFilesAs(std::string_view chosen_path, BarcodeFormat format, bool exclude_lens,
                                     const PrintGeometry& geometry, const ScreenMetrics& screen,
                                     const Settings& settings) {
  if (format == BarcodeFormat::emf) return SaveBarcodeFiles(chosen_path, exclude_lens, screen, settings);
  const auto fits = [format, &geometry](const ag_matrix& m) {
    return format != BarcodeFormat::png || PngFits(m, geometry);
  };
  return SaveBothSymbols(
      chosen_path, exclude_lens, settings,
      [format, &geometry](const ag_matrix& m) { return BarcodeImageBytes(m, format, geometry); }, fits);
}

}  // namespace tavrik
