#pragma once
// The texts that the shell itself shows. UTF-8.

namespace tavrik {

struct ShellText {
  const char* invalid_field;
  const char* startup_warning;
  const char* startup_warning_caption;
  const char* title_prefix;
  // The caption of a box that has none of its own.
  const char* default_caption;
};

inline constexpr ShellText kShellText = {
    "Некорректное значение поля!",
    "Внимание: необходимо сначала загрузить данные из сканера!",
    "Предупреждение!",
    "Zeyd Tavrik ",
    "Ошибка",
};

}  // namespace tavrik
