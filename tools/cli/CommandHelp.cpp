#include "tools/cli/CommandHelp.h"

#include <cstring>

namespace tavrik {
namespace {

// The options of every command that talks to a scanner.
#define TAVRIK_CONNECTION_OPTIONS \
  "  --port P        порт: /dev/ttyACM0, /dev/ttyUSB0, /dev/serial/by-id/..., /dev/pts/N эмулятора\n" \
  "  --speed BAUD    скорость: 2400, 4800, 9600, 19200, 38400, 57600, 115200 (по умолчанию 9600)\n" \
  "  --timeout MS    таймаут ответа в мс (по умолчанию 1000)\n"

// The output of the many-port forms.
#define TAVRIK_MANY_PORTS_TEXT \
  "\n" \
  "Несколько портов: строка на порт \"ПОРТ<TAB>УСТРОЙСТВО<TAB>ok\" или текст ошибки\n" \
  "(сообщения порта в stderr с его именем); код 1, если хотя бы один порт не удался.\n"

constexpr CommandHelp kCommandHelp[] = {
    {"aztec",
     "Использование: tavrik-cli aztec [--init] [--choice N] [--redundancy R] < ДАННЫЕ\n"
     "\n"
     "Символ Aztec из байтов stdin: строки из 0 и 1, строка сверху вниз.\n"
     "  --init            символ инициализации считывателя\n"
     "  --choice N        размер символа: 0 любой, 1 только компактные, 2 только полные,\n"
     "                    3-38 один размер: 3 компактный в 1 слой, 4 полный в 1 слой,\n"
     "                    5-10 по очереди компактный и полный в 2-4 слоя, 11-38 полные в 5-32 слоя\n"
     "  --redundancy R    доля проверочных слов, % (по умолчанию 23)\n"},
    {"image",
     "Использование: tavrik-cli image [FILE.qdx] [--model M]\n"
     "\n"
     "Образ настроек (268 байт) файла или настроек по умолчанию модели M\n"
     "в шестнадцатеричном виде, по 16 байт в строке.\n"
     "  --model M    код модели: умолчания для полей, которых нет в файле (по умолчанию 0)\n"},
    {"defaults",
     "Использование: tavrik-cli defaults --model M -o FILE.qdx\n"
     "\n"
     "Настройки по умолчанию модели M в файл настроек.\n"
     "  --model M    код модели, 0-255\n"
     "  -o FILE      файл настроек *.qdx\n"},
    {"barcodes",
     "Использование: tavrik-cli barcodes [FILE.qdx] [--model M] [--exclude-lens]\n"
     "                                   [--module-mm MM] [--dpi DPI] -o NAME.emf|svg|pdf|png\n"
     "\n"
     "Настройки в виде штрихкодов: NAME_Old (старый вид, список команд) и NAME_New\n"
     "(групповой штрихкод, прошивки 7.60 и выше). Формат следует расширению имени:\n"
     "метафайлы .emf, а для печати .svg, .pdf (квадратный модуль заданного размера)\n"
     "и .png (с разрешением для печати). Вокруг символа поле в 2 модуля.\n"
     "  --model M         код модели: умолчания для полей, которых нет в файле\n"
     "  --exclude-lens    не включать настройки объектива в штрихкод старого вида\n"
     "  --module-mm MM    размер модуля в мм для SVG, PDF и PNG (по умолчанию 0.5)\n"
     "  --dpi DPI         разрешение PNG (по умолчанию 300); модуль PNG округляется\n"
     "                    до целого числа точек\n"
     "  -o NAME           имя файлов; без известного расширения пишутся метафайлы\n"},
    {"sheet",
     "Использование: tavrik-cli sheet [FILE.qdx] [--model M] [--module-mm MM] -o NAME.pdf\n"
     "\n"
     "Лист настройки для печати на A4 (PDF): штрихкод 1 (включает чтение Aztec),\n"
     "штрихкод 2 (групповой, как NAME_New команды barcodes), штрихкод старого вида\n"
     "(как NAME_Old) для прошивок до 7.60, указание считать 1, потом 2, и список\n"
     "настроек, отличных от настроек по умолчанию модели. Длинный список\n"
     "продолжается на следующих страницах; на каждой странице модель, дата, контрольная\n"
     "сумма образа и \"страница N из M\". Печатайте в масштабе 100 %.\n"
     "  --model M         код модели: заголовок листа и настройки по умолчанию, с которыми\n"
     "                    сравнивается файл (по умолчанию 0)\n"
     "  --module-mm MM    модуль символов Aztec в мм, 0.2-1.0 (по умолчанию 0.5); модуль\n"
     "                    штрихкода 1 тот же, но в пределах 0.25-0.5\n"
     "  -o NAME.pdf       файл листа; другое расширение отклоняется (код 2)\n"},
    {"show",
     "Использование: tavrik-cli show FILE.qdx|--model M [--json]\n"
     "\n"
     "Все поля настроек по именам в порядке образа, с заголовком образа (version,\n"
     "size): логические как true/false, числа в единицах хранения с единицей страницы\n"
     "(\"redecode_timeout = 4 (200 ms)\"), интерфейсы с названием, последовательности\n"
     "байтов как на страницах (\"0x0D    0x0A\").\n"
     "  --model M    вместо файла настройки по умолчанию модели M\n"
     "  --json       один объект JSON с теми же именами и простыми значениями\n"},
    {"diff",
     "Использование: tavrik-cli diff A.qdx|--model M B.qdx|--model M\n"
     "\n"
     "Различающиеся поля двух файлов настроек, строка на поле: \"ИМЯ: a -> b\"\n"
     "в видах show. Любую сторону можно заменить настройками по умолчанию модели.\n"
     "Код 0: равны, 1: различаются, 2: ошибка командной строки или файла.\n"
     "  --model M    настройки по умолчанию модели M вместо файла\n"},
    {"set",
     "Использование: tavrik-cli set FILE.qdx ИМЯ=ЗНАЧЕНИЕ... [-o OUT.qdx]\n"
     "\n"
     "Изменить поля файла настроек по именам (список: tavrik-cli show --model 0).\n"
     "Значения в видах show: true/false, число в единицах хранения или с единицей\n"
     "страницы (\"250 ms\"), интерфейс названием или кодом, последовательность байтов\n"
     "как на страницах (\"0x0D 0x0A\"). Значение вне ширины поля или вне диапазона\n"
     "страницы отклоняется с сообщением, и ничего не записывается (код 2).\n"
     "  -o OUT       записать в другой файл; без него файл меняется на месте\n"},
    {"ports",
     "Использование: tavrik-cli ports\n"
     "\n"
     "Список последовательных портов системы.\n"},
    {"probe",
     "Использование: tavrik-cli probe --port P [--speed BAUD] [--timeout MS]\n"
     "               tavrik-cli probe (--all | --port P1 --port P2 ...) [--speed BAUD] [--timeout MS]\n"
     "\n"
     "Проверка связи: модель и версия прошивки сканера на порту.\n"
     "С --all или несколькими --port порты проверяются одновременно.\n" TAVRIK_CONNECTION_OPTIONS
     "  --all           все последовательные порты системы\n" TAVRIK_MANY_PORTS_TEXT},
    {"search",
     "Использование: tavrik-cli search\n"
     "               tavrik-cli search (--all | --port P1 --port P2 ...)\n"
     "\n"
     "Поиск сканера на всех портах и скоростях; печатает порт, скорость и модель\n"
     "первого найденного. С --all ищет на каждом порту, с несколькими --port на\n"
     "заданных, одновременно; в строке порта и его скорость.\n"
     "  --all           все последовательные порты системы\n"
     "  --port P        порт; задаётся несколько раз\n" TAVRIK_MANY_PORTS_TEXT},
    {"load",
     "Использование: tavrik-cli load --port P [--speed BAUD] [--timeout MS] [--yes] -o FILE.qdx\n"
     "\n"
     "Загрузить настройки из сканера в файл настроек.\n" TAVRIK_CONNECTION_OPTIONS
     "  --yes           отвечать \"да\" на вопросы (без терминала ответ \"нет\")\n"
     "  -o FILE         файл настроек *.qdx\n"},
    {"save",
     "Использование: tavrik-cli save --port P [--speed BAUD] [--timeout MS] [--yes] FILE.qdx\n"
     "               tavrik-cli save (--all | --port P1 --port P2 ...) --yes [--speed BAUD] [--timeout MS] FILE.qdx\n"
     "\n"
     "Сохранить настройки файла в сканер. С --all или несколькими --port сохраняет\n"
     "во все сканеры одновременно, каждый как одиночное сохранение; порт, где сканер\n"
     "не ответил, не записывается. Для нескольких портов нужен --yes: вопросы\n"
     "задавались бы по разу на порт.\n" TAVRIK_CONNECTION_OPTIONS
     "  --all           все последовательные порты системы\n"
     "  --yes           отвечать \"да\" на вопросы (без терминала ответ \"нет\")\n" TAVRIK_MANY_PORTS_TEXT},
    {"set-speed",
     "Использование: tavrik-cli set-speed --port P --from BAUD --to BAUD [--timeout MS]\n"
     "\n"
     "Сменить скорость сканера с BAUD --from на BAUD --to; печатает новую скорость порта.\n"
     "  --port P        порт сканера\n"
     "  --from BAUD     скорость сканера сейчас\n"
     "  --to BAUD       новая скорость: 2400, 4800, 9600, 19200, 38400, 57600, 115200\n"
     "  --timeout MS    таймаут ответа в мс (по умолчанию 1000)\n"},
    {"udev-rule",
     "Использование: tavrik-cli udev-rule PORT\n"
     "\n"
     "Правило udev для устройства USB за портом PORT (производитель, изделие и\n"
     "серийный номер берутся из sysfs): модем-менеджер не занимает порт, группа\n"
     "dialout может его открыть, постоянная ссылка /dev/tavrik-<серийный номер>.\n"
     "Порт без устройства USB за ним: сообщение и код 1.\n"
     "\n"
     "Пример:\n"
     "  tavrik-cli udev-rule /dev/ttyACM0 | sudo tee /etc/udev/rules.d/70-tavrik.rules\n"
     "  sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=tty\n"},
};

}  // namespace

std::span<const CommandHelp> CommandHelpTable() { return kCommandHelp; }

const char* CommandHelpText(std::string_view command) {
  for (const CommandHelp& row : kCommandHelp) {
    if (command == row.name) return row.text;
  }
  return nullptr;
}

bool AsksForHelp(int argc, char** argv) {
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
  }
  return false;
}

}  // namespace tavrik
