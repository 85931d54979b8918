#pragma once
// Loading the settings from a scanner and saving them into it: every step,
// question and message of the two transfers, free of any widget. The desktop
// program and the command-line tool both run these.

#include <cstdint>
#include <functional>
#include <string>

namespace tavrik {

enum LoadResult : int {
  load_ok = 0,              // Settings hold the scanner's settings (or its model's defaults)
  load_declined = 1,        // the user declined the first question
  load_bad_version = 2,     // the scanner's settings area is invalid (version 0xFF)
  load_newer_declined = 3,  // newer settings version, defaults declined
  load_failed = 4,          // an error was shown
};

enum class SaveResult { saved, declined, failed };

// What the transfers need from the window they run in. Every hook may be empty.
struct TransferHooks {
  // The connection page's controls into ConnectionParams; its result is not used.
  std::function<void()> store_connect_page;
  // The page in view into Settings; false when a field is invalid (the page has
  // beeped and focused it).
  std::function<bool()> store_active_page;
  // The page in view shows Settings again.
  std::function<void()> load_active_page;
  // The model list follows the scanner's model code.
  std::function<void(std::uint8_t model)> select_model;
  // The wait cursor: true at the start of the action, false on every way out.
  std::function<void(bool busy)> busy;
  // Bytes moved of the settings image so far (for a progress display).
  std::function<void(std::uint32_t done, std::uint32_t total)> progress;
  // A load took the model's defaults in place of a newer settings version.
  std::function<void()> defaults_taken;
};

// Messages of the transfers.
inline constexpr const char* kLoadQuestion =
    "Все установленные на вкладках настройки будут заменены на настройки, считанные из устройства.\n\n"
    "Продолжить выполнение?";
inline constexpr const char* kSaveQuestion =
    "Установленные на всех вкладках настройки будут сохранены в устройство.\n\nПродолжить выполнение?";
inline constexpr const char* kBadVersionText =
    "Устройство содержит некорректную версию настроек.\n Для продолжения работы необходимо обновить ПО устройства.";
inline constexpr const char* kBadVersionCaption = "Ошибка";
inline constexpr const char* kNewerVersionQuestion =
    "Устройство содержит новую версию настроек. Для корректной работы необходимо обновить программу.\n\n"
    "Загрузить вместо них настройки по умолчанию?";
inline constexpr const char* kNewerVersionCaption = "Вопрос";
// On a save a newer version is overwritten, not replaced by defaults.
inline constexpr const char* kNewerVersionSaveQuestion =
    "Устройство содержит новую версию настроек. Для корректной работы необходимо обновить программу.\n\n"
    "Перезаписать их настройками программы?";
inline constexpr const char* kInterfaceChangeQuestion =
    "После сохранения настроек изменятся параметры интерфейса связи с ПК.\n\nПродолжить выполнение?";
inline constexpr const char* kCableQuestionFormat =
    "После сохранения настроек будут изменены параметры интерфейса связи с ПК на %s.\n\n"
    "Убедитесь в наличии соответствующего кабеля.\n\nПродолжить выполнение?";
inline constexpr const char* kRestartNotice =
    "Был изменены параметры интерфейса связи устройства с ПК.\n\n"
    "Чтобы изменения вступили в силу нужно перезагрузить устройство.";
inline constexpr const char* kInvalidFieldText = "Некорректное значение поля!";
// A scanner whose settings area reports a size no image can have (0, or above
// 0x7FFF as a signed 16-bit number).
inline constexpr const char* kBadSizeFormat =
    "Устройство содержит некорректный размер настроек (%u).\n Для продолжения работы необходимо обновить ПО устройства.";

// The interface named in the cable question: "UART (RS232)", "USB" or "Неизвестный интерфейс".
std::string CableInterfaceText(std::uint8_t interface_code);

LoadResult LoadFromDevice(const TransferHooks& hooks = {});
SaveResult SaveToDevice(const TransferHooks& hooks = {});

// The main window title after a load: the model and firmware after a good
// load, the bare title after a failed one, unchanged otherwise.
std::string TitleAfterLoad(LoadResult result, const std::string& base_title, const std::string& current_title);

}  // namespace tavrik
