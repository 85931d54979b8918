#pragma once
// Where a command's settings come from: a settings file, or the defaults of a
// model. Failures are told on stderr as "FILE: reason".

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"

namespace tavrik {

// A file, or the defaults of a model; the model also decides the defaults of
// the fields the file does not hold.
struct SourceSpec {
  std::optional<std::string> file;
  std::uint8_t model = 0;
};

struct Source {
  Settings settings{};
  int version = kPlacementVersion;
  int size = static_cast<int>(kPlacementSize);
  // The image as it lies in the file (header included), or the model's
  // default image.
  std::vector<std::uint8_t> image;
};

// Reads the settings the source names; the current model becomes the
// source's model.
std::optional<Source> LoadSource(const SourceSpec& spec);

// ReadSettingsFile and WriteSettingsFile, telling a failure on stderr.
// The reader's `image` and the writer's `kept` are those of ReadSettingsFile
// and WriteSettingsFile.
bool ReadSettingsTold(const std::string& path, Settings& settings, std::vector<std::uint8_t>* image = nullptr);
bool WriteSettingsTold(const std::string& path, const Settings& settings, std::span<const std::uint8_t> kept = {});

}  // namespace tavrik
