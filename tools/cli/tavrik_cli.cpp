// tavrik-cli: the program's jobs from a shell, for scripting many scanners.
// Exit status: 0 done, 1 the action failed or was declined, 2 usage error.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/Dialogs.h"
#include "tools/cli/CliArgs.h"
#include "tools/cli/CommandHelp.h"
#include "tools/cli/Commands.h"
#include "tools/cli/TerminalDialogs.h"
#include "transfers/ExceptionReport.h"

namespace tavrik {
namespace {

constexpr const char* kUsageText =
    "Использование: tavrik-cli КОМАНДА [ПАРАМЕТРЫ]\n"
    "\n"
    "  aztec [--init] [--choice N] [--redundancy R]   символ Aztec из байтов stdin, строки из 0 и 1\n"
    "  image [FILE.qdx] [--model M]                    образ настроек (268 байт) в шестнадцатеричном виде\n"
    "  defaults --model M -o FILE.qdx                  настройки по умолчанию модели M в файл\n"
    "  barcodes [FILE.qdx] [--model M] [--exclude-lens] [--module-mm MM] [--dpi DPI] -o NAME.emf|svg|pdf|png\n"
    "                                                  файлы штрих-кодов NAME_Old и NAME_New\n"
    "  sheet [FILE.qdx] [--model M] [--module-mm MM] -o NAME.pdf\n"
    "                                                  лист настройки для печати: штрихкоды 1 и 2 и изменения\n"
    "  show FILE.qdx|--model M [--json]                все поля настроек по именам\n"
    "  diff A.qdx|--model M B.qdx|--model M            различающиеся поля: ИМЯ: a -> b\n"
    "                                                  (код 0 равны, 1 различаются, 2 ошибка)\n"
    "  set FILE.qdx ИМЯ=ЗНАЧЕНИЕ... [-o OUT.qdx]       изменить поля файла (значения как в show)\n"
    "  ports                                           список COM-портов\n"
    "  probe --port P [--speed BAUD] [--timeout MS] [--json]\n"
    "                                                  проверка связи\n"
    "  probe (--all | --port P1 --port P2 ...) [--speed BAUD] [--timeout MS] [--json]\n"
    "                                                  проверка связи на всех (нескольких) портах сразу\n"
    "  search                                          поиск оборудования на всех портах и скоростях\n"
    "  search --all                                    каждое устройство на каждом порту\n"
    "  load --port P [--speed BAUD] [--timeout MS] [--yes] -o FILE.qdx\n"
    "                                                  загрузить настройки из устройства в файл\n"
    "  save --port P [--speed BAUD] [--timeout MS] [--yes] FILE.qdx\n"
    "                                                  сохранить настройки файла в устройство\n"
    "  save (--port P1 --port P2 ... | --all) --yes [--speed BAUD] [--timeout MS] FILE.qdx\n"
    "                                                  сохранить во все устройства сразу\n"
    "  (для нескольких портов: строка на порт \"ПОРТ<TAB>УСТРОЙСТВО<TAB>ok\" или текст ошибки,\n"
    "   код 1, если хотя бы один порт не удался)\n"
    "  apply --port P [--yes] [--check] [--json] [FILE.qdx] [ИМЯ=ЗНАЧЕНИЕ...]\n"
    "                                                  привести сканер к настройкам, записывая\n"
    "                                                  только при различии полей\n"
    "  set-speed --port P --from BAUD --to BAUD [--timeout MS]\n"
    "                                                  сменить скорость устройства\n"
    "  udev-rule PORT                                  правило udev для сканера USB на порту\n"
    "  doctor [--port P]... [--speed BAUD] [--json]    почему порт не работает и как это исправить\n"
    "\n"
    "Скорость по умолчанию 9600, таймаут 1000 мс. tavrik-cli КОМАНДА --help: справка команды.\n";

// The terminal's Dialogs for one run, the previous ones back on every way out.
class DialogsInstalled {
 public:
  explicit DialogsInstalled(Dialogs* dialogs) : previous_(SetCurrentDialogs(dialogs)) {}
  ~DialogsInstalled() { SetCurrentDialogs(previous_); }
  DialogsInstalled(const DialogsInstalled&) = delete;
  DialogsInstalled& operator=(const DialogsInstalled&) = delete;

 private:
  Dialogs* previous_;
};

// `trouble` becomes the status the command gives when the tool itself fails
// (an exception, output that is lost).
int Run(int argc, char** argv, int& trouble) {
  if (argc < 2) throw CliUsageError{"не задана команда"};
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsageText, stdout);
    return kCliOk;
  }
  const CliCommand* c = FindCliCommand(command);
  if (!c) throw CliUsageError{"неизвестная команда " + command};
  if (AsksForHelp(argc, argv)) {
    const char* help = CommandHelpText(command);
    std::fputs(help ? help : kUsageText, stdout);
    return kCliOk;
  }
  trouble = c->trouble;
  const CliArgs args = ParseCliArgs(argc, argv, c->options);
  TerminalDialogs dialogs(args.Has("--yes"), stdin, stderr);
  const DialogsInstalled installed(&dialogs);
  return c->run(args);
}

}  // namespace
}  // namespace tavrik

int main(int argc, char** argv) {
  int trouble = tavrik::kCliFailed;
  int status;
  try {
    status = tavrik::Run(argc, argv, trouble);
  } catch (const tavrik::CliUsageError& e) {
    std::fprintf(stderr, "tavrik-cli: %s\n\n%s", e.text.c_str(), tavrik::kUsageText);
    return tavrik::kCliUsage;
  } catch (...) {
    // Every action catches its own errors; this is the last line against an end in terminate().
    std::fprintf(stderr, "tavrik-cli: %s\n", tavrik::CurrentExceptionText().c_str());
    return trouble;
  }
  // Output that did not reach its file (a full disk, a closed stdout) is a failure.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "tavrik-cli: ошибка вывода: %s\n", std::strerror(errno));
    return trouble;
  }
  return status;
}
