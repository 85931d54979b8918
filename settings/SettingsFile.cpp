#include "settings/SettingsFile.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <span>
#include <vector>

#include "core/Messages.h"
#include "core/AtomicFile.h"
#include "core/BoundedRead.h"
#include "settings/update_settings_def.h"

namespace tavrik {

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

FileResult WriteSettingsFile(const std::string& path, const Settings& settings, std::span<const std::uint8_t> kept) {
  if (kept.size() < 3) kept = {};
  std::vector<std::uint8_t> image(std::max(kept.size(), kPlacementSize));
  InitPlacement(image.data(), &settings);
  if (!kept.empty()) {
    // The record over the kept image: its reserved byte and every byte beyond
    // ours stay, the size stays when it is larger than ours.
    std::copy(kept.begin(), kept.end(), image.begin());
    SettingsToPlacement(image.data(), &settings);
  }
  const auto* signature = reinterpret_cast<const std::uint8_t*>(kSettingsFileSignature);
  switch (WriteFileAtomically(path, {{signature, sizeof kSettingsFileSignature}, {image.data(), image.size()}})) {
    case AtomicWriteResult::ok: return FileResult::ok;
    case AtomicWriteResult::create_failed: return FileResult::open_error;
    case AtomicWriteResult::write_failed: return FileResult::write_error;
  }
  return FileResult::write_error;
}

FileResult ReadSettingsFile(const std::string& path, Settings& settings, std::vector<std::uint8_t>* image_out) {
  // The largest file that can be whole: the signature and an image of the
  // largest size its signed 16-bit size field can give.
  constexpr std::size_t kLargestFile = sizeof kSettingsFileSignature + 0x7FFF;
  std::vector<std::uint8_t> bytes;
  switch (ReadFileBounded(path, kLargestFile, bytes)) {
    case BoundedReadResult::ok: break;
    case BoundedReadResult::open_failed: return FileResult::open_error;
    case BoundedReadResult::too_large: return FileResult::corrupt;
    case BoundedReadResult::read_failed: return FileResult::read_error;
  }
  if (bytes.size() < 4) return FileResult::read_error;
  if (std::memcmp(bytes.data(), kSettingsFileSignature, 4) != 0) return FileResult::signature_error;
  const std::span<const std::uint8_t> stored(bytes.data() + 4, bytes.size() - 4);
  if (stored.empty()) return FileResult::read_error;
  if (static_cast<std::int8_t>(stored[0]) > kPlacementVersion) return FileResult::newer_version;
  // 0xFF marks erased memory and no program writes a negative version: the
  // header is damaged, as a scanner holding it is refused too.
  if (static_cast<std::int8_t>(stored[0]) < 0) return FileResult::corrupt;
  if (stored.size() < 3) return FileResult::read_error;
  const std::int16_t size = PlacementSize(stored.data());
  if (size < 0 || static_cast<std::size_t>(size) != stored.size()) return FileResult::corrupt;

  std::uint8_t image[kPlacementSize] = {};
  std::memcpy(image, stored.data(), std::min<std::size_t>(stored.size(), kPlacementSize));
  Settings read = settings;
  SettingsFromPlacement(read, image);
  settings = read;
  if (image_out) image_out->assign(stored.begin(), stored.end());
  return FileResult::ok;
}

}  // namespace tavrik
