#include "settings/SettingsFile.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <memory>

#include "core/Messages.h"
#include "core/AtomicFile.h"
#include "settings/update_settings_def.h"

namespace tavrik {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

const char* FileResultText(FileResult result) {
  switch (result) {
    case FileResult::ok: return "";
    case FileResult::open_error: return kFileOpenErrorText;
    case FileResult::write_error: return kFileWriteErrorText;
    case FileResult::read_error: return kFileReadErrorText;
    case FileResult::signature_error: return kFileSignatureErrorText;
    case FileResult::corrupt: return kFileCorruptText;
    case FileResult::newer_version: return kFileNewerVersionText;
  }
  return "";
}

FileResult WriteSettingsFile(const std::string& path, const Settings& settings) {
  std::uint8_t image[kPlacementSize] = {};
  InitPlacement(image, &settings);
  const auto* signature = reinterpret_cast<const std::uint8_t*>(kSettingsFileSignature);
  switch (WriteFileAtomically(path, {{signature, sizeof kSettingsFileSignature}, {image, sizeof image}})) {
    case AtomicWriteResult::ok: return FileResult::ok;
    case AtomicWriteResult::create_failed: return FileResult::open_error;
    case AtomicWriteResult::write_failed: return FileResult::write_error;
  }
  return FileResult::write_error;
}

FileResult ReadSettingsFile(const std::string& path, Settings& settings) {
  File f(std::fopen(path.c_str(), "rb"));
  if (!f) return FileResult::open_error;
  struct stat st {};
  if (::fstat(::fileno(f.get()), &st) != 0 || S_ISDIR(st.st_mode)) return FileResult::open_error;

  char signature[4];
  if (std::fread(signature, 1, 4, f.get()) != 4) return FileResult::read_error;
  if (std::memcmp(signature, kSettingsFileSignature, 4) != 0) return FileResult::signature_error;

  if (std::fseek(f.get(), 0, SEEK_END) != 0) return FileResult::read_error;
  const long length = std::ftell(f.get());
  if (length < 0 || std::fseek(f.get(), 4, SEEK_SET) != 0) return FileResult::read_error;
  const long remaining = length - 4;

  std::uint8_t header[3];
  if (std::fread(header, 1, 1, f.get()) != 1) return FileResult::read_error;
  if (static_cast<std::int8_t>(header[0]) > kPlacementVersion) return FileResult::newer_version;
  if (std::fread(header + 1, 1, 2, f.get()) != 2) return FileResult::read_error;
  const std::int16_t size = PlacementSize(header);
  if (size != remaining) return FileResult::corrupt;

  if (std::fseek(f.get(), 4, SEEK_SET) != 0) return FileResult::read_error;
  std::uint8_t image[kPlacementSize] = {};
  const std::size_t want = std::min<std::size_t>(static_cast<std::uint16_t>(size), kPlacementSize);
  if (std::fread(image, 1, want, f.get()) != want) return FileResult::read_error;

  Settings read = settings;
  SettingsFromPlacement(read, image);
  settings = read;
  return FileResult::ok;
}

}  // namespace tavrik
