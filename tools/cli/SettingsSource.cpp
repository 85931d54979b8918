#include "tools/cli/SettingsSource.h"

#include <cstdio>
#include <memory>

#include "settings/SettingsFile.h"

namespace tavrik {
namespace {

// A file's image header (version, size); the file has been read successfully.
void ReadFileHeader(const std::string& path, Source& source) {
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> f(std::fopen(path.c_str(), "rb"));
  std::uint8_t bytes[sizeof kSettingsFileSignature + 3];
  if (!f || std::fread(bytes, 1, sizeof bytes, f.get()) != sizeof bytes) return;
  const std::uint8_t* header = bytes + sizeof kSettingsFileSignature;
  source.version = PlacementVersion(header);
  source.size = PlacementSize(header);
}

}  // namespace

std::optional<Source> LoadSource(const SourceSpec& spec) {
  Source source;
  SetCurrentModel(spec.model);
  LoadDefaults(source.settings);
  if (!spec.file) return source;
  if (!ReadSettingsTold(*spec.file, source.settings)) return std::nullopt;
  ReadFileHeader(*spec.file, source);
  return source;
}

bool ReadSettingsTold(const std::string& path, Settings& settings) {
  const FileResult r = ReadSettingsFile(path, settings);
  if (r != FileResult::ok) std::fprintf(stderr, "%s: %s\n", path.c_str(), FileResultText(r));
  return r == FileResult::ok;
}

bool WriteSettingsTold(const std::string& path, const Settings& settings) {
  const FileResult r = WriteSettingsFile(path, settings);
  if (r != FileResult::ok) std::fprintf(stderr, "%s: %s\n", path.c_str(), FileResultText(r));
  return r == FileResult::ok;
}

}  // namespace tavrik
