#pragma once
// The settings file (*.qdx): the signature "QDX0" followed by the settings image.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "settings/init_settings_def.h"

namespace tavrik {

// Results, numbered as the program's string table numbers their texts.
enum class FileResult : int {
  ok = 0,
  open_error = 200,      // "Ошибка открытия файла"
  write_error = 201,     // "Ошибка записи в файл"
  read_error = 202,      // "Ошибка чтения из файла"
  signature_error = 203, // "Ошибка сигнатуры файла"
  corrupt = 204,         // "Данные в файле повреждены"
  newer_version = 205,   // "Новая версия настроек. Для загрузки необходимо обновить программу"
};

const char* FileResultText(FileResult result);

inline constexpr char kSettingsFileSignature[4] = {'Q', 'D', 'X', '0'};
inline constexpr const char* kSettingsFileFilter = "Файлы настроек (*.qdx)";
inline constexpr const char* kAllFilesFilter = "Все файлы (*.*)";

// Writes the 268-byte image of `settings` behind the signature. The file is
// written beside the target under a temporary name and renamed over it only when
// complete, so a failed write never harms an existing file.
// With `kept`, the image of the file being rewritten (as ReadSettingsFile gave
// it), the record is written over that image instead: its reserved byte and
// the bytes of a larger image beyond ours are kept, so an edit loses nothing
// this program cannot represent.
FileResult WriteSettingsFile(const std::string& path, const Settings& settings,
                             std::span<const std::uint8_t> kept = {});

// Reads a settings file into `settings`; on any error `settings` is untouched.
// Fields the file's image does not hold take their defaults for the current model.
// A version above ours is refused as newer, a negative one (0x80..0xFF) as
// damaged. `image`, when given, receives the file's whole image on success.
FileResult ReadSettingsFile(const std::string& path, Settings& settings, std::vector<std::uint8_t>* image = nullptr);

}  // namespace tavrik
