#include "tools/cli/SettingsSource.h"

#include <cstdio>

#include "settings/SettingsFile.h"

namespace tavrik {
std::optional<Source> LoadSource(const SourceSpec& spec) {
  Source source;
  SetCurrentModel(spec.model);
  LoadDefaults(source.settings);
  if (!spec.file) {
    source.image.resize(kPlacementSize);
    InitPlacement(source.image.data(), &source.settings);
    return source;
  }
  if (!ReadSettingsTold(*spec.file, source.settings, &source.image)) return std::nullopt;
  source.version = PlacementVersion(source.image.data());
  source.size = PlacementSize(source.image.data());
  return source;
}

bool ReadSettingsTold(const std::string& path, Settings& settings, std::vector<std::uint8_t>* image) {
  const FileResult r = ReadSettingsFile(path, settings, image);
  if (r != FileResult::ok) std::fprintf(stderr, "%s: %s\n", path.c_str(), FileResultText(r));
  return r == FileResult::ok;
}

bool WriteSettingsTold(const std::string& path, const Settings& settings, std::span<const std::uint8_t> kept) {
  const FileResult r = WriteSettingsFile(path, settings, kept);
  if (r != FileResult::ok) std::fprintf(stderr, "%s: %s\n", path.c_str(), FileResultText(r));
  return r == FileResult::ok;
}

}  // namespace tavrik
