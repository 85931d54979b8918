#pragma once
// Every message box of the program, in one table: text, caption, icon,
// buttons and preselected answer. Texts are UTF-8 and exactly as the user
// reads them, line breaks included; "%s" and "%u" are filled by the caller.
// Texts that the program shows inside other boxes (exception texts of the
// port, captions) stand here too, so no part spells them a second time.

#include <string>

#include "core/Dialogs.h"

namespace tavrik {

struct Message {
  const char* text;
  const char* caption;  // "" for the platform's default caption of a box without a title
  Icon icon;
  Buttons buttons;
  Answer default_answer;
};

inline constexpr const char* kAttentionCaption = "Внимание";
inline constexpr const char* kErrorCaption = "Ошибка";
inline constexpr const char* kQuestionCaption = "Вопрос";
// The caption of a box that has none of its own.
inline constexpr const char* kDefaultCaption = "Ошибка";

// The program's conventions: a failure has the error icon and no caption of
// its own; a question before a change is "Внимание", exclamation, Yes/No with
// No preselected; a notice is "Внимание", exclamation, OK.
inline constexpr Message kFailure{"", "", Icon::error, Buttons::ok, Answer::ok};
inline constexpr Message kQuestion{"", kAttentionCaption, Icon::exclamation, Buttons::yes_no, Answer::no};
inline constexpr Message kNotice{"", kAttentionCaption, Icon::exclamation, Buttons::ok, Answer::ok};

// The shell.
inline constexpr Message kInvalidField{"Некорректное значение поля!", "", Icon::error, Buttons::ok, Answer::ok};
inline constexpr Message kStartupWarning{"Внимание: необходимо сначала загрузить данные из сканера!",
                                         "Предупреждение!", Icon::exclamation, Buttons::ok, Answer::ok};
inline constexpr const char* kTitlePrefix = "Zeyd Tavrik ";
// Closing the window while the settings differ from what was last loaded or
// saved (or, before any of that, from the start's defaults).
inline constexpr Message kUnsavedChangesQuestion{
    "Изменённые настройки не сохранены ни в устройство, ни в файл.\n\n"
    "При закрытии программы изменения будут потеряны. Закрыть программу?",
    kAttentionCaption, Icon::exclamation, Buttons::yes_no, Answer::no};
// The standard exception handler: the exception's text, ownerless.
inline constexpr Message kExceptionReport{"", kAttentionCaption, Icon::error, Buttons::ok, Answer::ok};
inline constexpr const char* kUnknownExceptionText = "Неизвестное исключение";

// The settings page.
inline constexpr Message kChooseModel{"Необходимо выбрать тип устройства", "", Icon::exclamation, Buttons::ok,
                                      Answer::ok};
inline constexpr Message kDefaultsQuestion{
    "Настройки на всех вкладках будут сброшены на заводские для сканера: %s\n\nПродолжить выполнение?",
    kAttentionCaption, Icon::exclamation, Buttons::yes_no, Answer::no};

// The device transfers.
inline constexpr Message kLoadQuestion{
    "Все установленные на вкладках настройки будут заменены на настройки, считанные из устройства.\n\n"
    "Продолжить выполнение?",
    kAttentionCaption, Icon::exclamation, Buttons::yes_no, Answer::no};
inline constexpr Message kSaveQuestion{
    "Установленные на всех вкладках настройки будут сохранены в устройство.\n\nПродолжить выполнение?",
    kAttentionCaption, Icon::exclamation, Buttons::yes_no, Answer::no};
inline constexpr Message kBadVersion{
    "Устройство содержит некорректную версию настроек.\n Для продолжения работы необходимо обновить ПО устройства.",
    kErrorCaption, Icon::exclamation, Buttons::ok, Answer::ok};
inline constexpr Message kNewerVersionQuestion{
    "Устройство содержит новую версию настроек. Для корректной работы необходимо обновить программу.\n\n"
    "Загрузить вместо них настройки по умолчанию?",
    kQuestionCaption, Icon::question, Buttons::yes_no, Answer::no};
// On a save a newer version is overwritten with a self-consistent image of
// ours, not replaced by defaults.
inline constexpr Message kNewerVersionSaveQuestion{
    "Устройство содержит новую версию настроек. Для корректной работы необходимо обновить программу.\n\n"
    "Перезаписать их настройками программы?",
    kQuestionCaption, Icon::question, Buttons::yes_no, Answer::no};
inline constexpr Message kInterfaceChangeQuestion{
    "После сохранения настроек изменятся параметры интерфейса связи с ПК.\n\nПродолжить выполнение?",
    kAttentionCaption, Icon::exclamation, Buttons::yes_no, Answer::no};
inline constexpr Message kCableQuestion{
    "После сохранения настроек будут изменены параметры интерфейса связи с ПК на %s.\n\n"
    "Убедитесь в наличии соответствующего кабеля.\n\nПродолжить выполнение?",
    kAttentionCaption, Icon::exclamation, Buttons::yes_no, Answer::no};
inline constexpr Message kRestartNotice{
    "Был изменены параметры интерфейса связи устройства с ПК.\n\n"
    "Чтобы изменения вступили в силу нужно перезагрузить устройство.",
    kAttentionCaption, Icon::exclamation, Buttons::ok, Answer::ok};
// A scanner whose settings area reports a size no image can have (0, or above
// 0x7FFF as a signed 16-bit number).
inline constexpr Message kBadSize{
    "Устройство содержит некорректный размер настроек (%u).\n Для продолжения работы необходимо обновить ПО устройства.",
    "", Icon::error, Buttons::ok, Answer::ok};

// Interface names beyond the interface table: the cable question's "USB" and
// any code the program does not know.
inline constexpr const char* kCableUsbText = "USB";
inline constexpr const char* kUnknownInterfaceText = "Неизвестный интерфейс";

// The serial port (texts of the port's exceptions).
inline constexpr const char* kPortUnavailableText = "COM-порт недоступен";
inline constexpr const char* kPortBusyText = "COM-порт занят другим приложением";
inline constexpr const char* kPortAccessDeniedText = "Доступ к COM-порту заблокирован";
inline constexpr const char* kPortNotSetText = "COM-порт не задан";
inline constexpr const char* kPortErrorFormat = "Ошибка открытия COM-порта (%lu)";
inline constexpr const char* kSpeedChangeFailedText = "Ошибка смены скорости";

// The connection page.
inline constexpr const char* kFoundText = "Найден ";
inline constexpr const char* kNotFoundText = "Устройство не обнаружено";
inline constexpr const char* kSearchProgressFormat = "Поиск на %s (%lu)...";

// The settings file (failures, by the file's result code 200..205).
inline constexpr const char* kFileOpenErrorText = "Ошибка открытия файла";
inline constexpr const char* kFileWriteErrorText = "Ошибка записи в файл";
inline constexpr const char* kFileReadErrorText = "Ошибка чтения из файла";
inline constexpr const char* kFileSignatureErrorText = "Ошибка сигнатуры файла";
inline constexpr const char* kFileCorruptText = "Данные в файле повреждены";
inline constexpr const char* kFileNewerVersionText =
    "Новая версия настроек. Для загрузки необходимо обновить программу";

// The configuration barcodes (failures).
inline constexpr const char* kBarcodeGenerationErrorText = "Ошибка генерации штрих-кода";
inline constexpr const char* kBarcodeWriteErrorText = "Не удалось сохранить данные в файл";
inline constexpr const char* kBarcodeCompressionErrorText =
    "Не удалось сжимать данные для генерация ШК в новом виде, zlib error!";

// Putting the settings of one page back to the defaults of the model (%s:
// the page's caption).
inline constexpr Message kPageDefaultsQuestion{
    "Настройки страницы \"%s\" будут сброшены на заводские.\n\nПродолжить выполнение?",
    kAttentionCaption, Icon::exclamation, Buttons::yes_no, Answer::no};

// The main window's status line: what an action did or what failed; the
// window adds " в " and the time. "%s" is filled by the caller.
inline constexpr const char* kStatusTimeJoin = " в ";
inline constexpr const char* kStatusLoadedFromDevice = "Настройки загружены из устройства \"%s\"";
inline constexpr const char* kStatusDeviceLoadFailed = "Настройки из устройства не загружены";
inline constexpr const char* kStatusSavedToDevice = "Настройки сохранены в устройство";
inline constexpr const char* kStatusDeviceSaveFailed = "Настройки в устройство не сохранены";
inline constexpr const char* kStatusLoadedFromFile = "Настройки загружены из файла";
inline constexpr const char* kStatusFileLoadFailed = "Настройки из файла не загружены";
inline constexpr const char* kStatusSavedToFile = "Настройки сохранены в файл";
inline constexpr const char* kStatusFileSaveFailed = "Настройки в файл не сохранены";
inline constexpr const char* kStatusBarcodesSaved = "Настройки сохранены в виде штрихкодов";
inline constexpr const char* kStatusBarcodesFailed = "Штрихкоды настроек не сохранены";
inline constexpr const char* kStatusDefaultsSet = "Установлены настройки по умолчанию для сканера %s";
inline constexpr const char* kStatusSpeedChanged = "Скорость устройства изменена на %s";
inline constexpr const char* kStatusSpeedFailed = "Скорость устройства не изменена";
inline constexpr const char* kStatusChecked = "Проверка связи: %s";
inline constexpr const char* kStatusSearched = "Поиск оборудования: %s";
inline constexpr const char* kStatusPageDefaults = "Настройки страницы \"%s\" сброшены на заводские";

// Shows `message`; a non-empty `text` stands in for its text (a filled-in
// format, or an error's own text in the failure form).
Answer Show(const Message& message, const std::string& text = {});
// Shows a yes/no message; true for Yes.
bool Ask(const Message& message, const std::string& text = {});
// The message's text with its one "%s" filled.
std::string Fill(const Message& message, const std::string& value);
std::string Fill(const Message& message, unsigned value);

}  // namespace tavrik
