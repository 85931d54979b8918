// tavrik-cli: the program's jobs from a shell, for scripting many scanners.
// Exit status: 0 done, 1 the action failed or was declined, 2 usage error.

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "aztecgen/include/ag_matrix_ptr_def.h"
#include "core/AtomicFile.h"
#include "core/BoundedRead.h"
#include "core/NumberText.h"
#include "barcodes/GroupBarcode.h"
#include "device/ScannerInterface.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "tools/cli/TerminalDialogs.h"
#include "transfers/ConnectionParams.h"
#include "transfers/DeviceSearch.h"
#include "transfers/DeviceTransfers.h"
#include "transfers/ExceptionReport.h"

namespace tavrik {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;
// The data bits of the largest Aztec symbol, in bytes.
constexpr std::size_t kMaxAztecInput = 19968 / 8;

constexpr const char* kUsageText =
    "Использование: tavrik-cli КОМАНДА [ПАРАМЕТРЫ]\n"
    "\n"
    "  aztec [--init] [--choice N] [--redundancy R]   символ Aztec из байтов stdin, строки из 0 и 1\n"
    "  image [FILE.qdx] [--model M]                    образ настроек (268 байт) в шестнадцатеричном виде\n"
    "  defaults --model M -o FILE.qdx                  настройки по умолчанию модели M в файл\n"
    "  barcodes [FILE.qdx] [--model M] [--exclude-lens] -o NAME.emf\n"
    "                                                  файлы штрих-кодов NAME_Old.emf и NAME_New.emf\n"
    "  ports                                           список COM-портов\n"
    "  probe --port P [--speed BAUD] [--timeout MS]    проверка связи\n"
    "  search                                          поиск оборудования на всех портах и скоростях\n"
    "  load --port P [--speed BAUD] [--timeout MS] [--yes] -o FILE.qdx\n"
    "                                                  загрузить настройки из устройства в файл\n"
    "  save --port P [--speed BAUD] [--timeout MS] [--yes] FILE.qdx\n"
    "                                                  сохранить настройки файла в устройство\n"
    "  set-speed --port P --from BAUD --to BAUD [--timeout MS]\n"
    "                                                  сменить скорость устройства\n"
    "\n"
    "Скорость по умолчанию 9600, таймаут 1000 мс.\n";

constexpr const char* kDefaultsOfModelText = "настройки по умолчанию модели ";

struct UsageError {
  std::string text;
};

// Options of one command: flags, valued options and plain arguments.
struct Args {
  std::set<std::string> flags;
  std::map<std::string, std::string> values;
  std::vector<std::string> plain;

  bool Has(const std::string& name) const { return flags.count(name) || values.count(name); }
  std::optional<std::string> Value(const std::string& name) const {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  std::string Required(const std::string& name) const {
    auto v = Value(name);
    if (!v || v->empty()) throw UsageError{"не задан параметр " + name};
    return *v;
  }
};

Args Parse(int argc, char** argv, const std::set<std::string>& flags, const std::set<std::string>& valued,
           std::size_t max_plain) {
  Args args;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (flags.count(a)) {
      args.flags.insert(a);
    } else if (valued.count(a)) {
      if (i + 1 >= argc) throw UsageError{"у параметра " + a + " нет значения"};
      args.values[a] = argv[++i];
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      throw UsageError{"неизвестный параметр " + a};
    } else {
      args.plain.push_back(a);
    }
  }
  if (args.plain.size() > max_plain) throw UsageError{"лишний аргумент " + args.plain[max_plain]};
  return args;
}

std::uint32_t Number(const std::string& name, const std::string& text, std::uint32_t min, std::uint32_t max) {
  const std::optional<std::uint64_t> v = ParseUnsigned(text);
  if (!v || *v < min || *v > max) throw UsageError{"недопустимое значение " + name + ": " + text};
  return static_cast<std::uint32_t>(*v);
}

std::uint32_t Speed(const std::string& name, const std::string& text) {
  const std::uint32_t baud = Number(name, text, 1, 0xFFFFFFFFu);
  if (SpeedIndexOf(baud) < 0)
    throw UsageError{"скорость " + text + " не из списка 2400, 4800, 9600, 19200, 38400, 57600, 115200"};
  return baud;
}

void ApplyConnection(const Args& args) {
  ConnectionParamsT& params = ConnectionParams();
  params.port = args.Required("--port");
  if (auto s = args.Value("--speed")) params.speed = Speed("--speed", *s);
  if (auto t = args.Value("--timeout")) params.timeout = Number("--timeout", *t, kMinTimeout, kMaxTimeout);
}

// Settings of a file, or the defaults of the model; the model also decides the
// defaults of fields the file does not hold.
bool SettingsFromSource(const Args& args, Settings& settings) {
  const std::uint8_t model =
      static_cast<std::uint8_t>(args.Value("--model") ? Number("--model", *args.Value("--model"), 0, 255) : 0);
  SetCurrentModel(model);
  LoadDefaults(settings);
  if (args.plain.empty()) return true;
  const FileResult r = ReadSettingsFile(args.plain[0], settings);
  if (r != FileResult::ok) {
    std::fprintf(stderr, "%s: %s\n", args.plain[0].c_str(), FileResultText(r));
    return false;
  }
  return true;
}

bool ProgressWanted() { return ::isatty(STDERR_FILENO) != 0; }

TransferHooks CliHooks() {
  TransferHooks hooks;
  if (ProgressWanted()) {
    hooks.progress = [](std::uint32_t done, std::uint32_t total) {
      std::fprintf(stderr, "\r%u / %u байт", done, total);
      if (done == total) std::fprintf(stderr, "\n");
    };
  }
  return hooks;
}

int Aztec(int argc, char** argv) {
  const Args args = Parse(argc, argv, {"--init"}, {"--choice", "--redundancy"}, 0);
  // One byte more than the largest symbol holds is enough to refuse the input,
  // so an endless one (/dev/zero) is never read to its end.
  std::vector<std::uint8_t> data;
  if (!ReadStreamBounded(STDIN_FILENO, kMaxAztecInput, data)) {
    std::fprintf(stderr, "Ошибка чтения из stdin: %s\n", std::strerror(errno));
    return kFailed;
  }
  ag_settings settings{};
  if (args.Has("--init")) {
    settings.mask |= ag_mask_initialization_symbol;
    settings.initialization_symbol = 1;
  }
  if (auto c = args.Value("--choice")) {
    settings.mask |= ag_mask_symbol_choice;
    settings.symbol_choice = static_cast<std::uint8_t>(Number("--choice", *c, 0, 38));
  }
  if (auto r = args.Value("--redundancy")) {
    settings.mask |= ag_mask_error_correction_redundancy;
    settings.error_correction_redundancy = static_cast<std::uint8_t>(Number("--redundancy", *r, 0, 99));
  }
  ag_matrix* raw = nullptr;
  const int result = ag_generate(&raw, data.data(), data.size(), &settings);
  ag_matrix_ptr matrix(result == ag_ok ? raw : nullptr);
  if (result != ag_ok) {
    const char* why = result == ag_no_input_data        ? "нет входных данных"
                      : result == ag_too_much_input_data ? "слишком много данных для символа"
                                                         : "ошибка генерации";
    std::fprintf(stderr, "Ошибка генерации штрих-кода: %s (%d)\n", why, result);
    return kFailed;
  }
  std::string row(matrix->width + 1, '\n');
  for (std::uint32_t y = 0; y < matrix->height; ++y) {
    for (std::uint32_t x = 0; x < matrix->width; ++x) row[x] = matrix->data[y * matrix->width + x] ? '1' : '0';
    std::fwrite(row.data(), 1, row.size(), stdout);
  }
  return kOk;
}

int Image(int argc, char** argv) {
  const Args args = Parse(argc, argv, {}, {"--model"}, 1);
  Settings settings{};
  if (!SettingsFromSource(args, settings)) return kFailed;
  std::uint8_t image[kPlacementSize] = {};
  InitPlacement(image, &settings);
  for (std::size_t i = 0; i < kPlacementSize; ++i)
    std::printf("%02X%c", image[i], (i % 16 == 15 || i + 1 == kPlacementSize) ? '\n' : ' ');
  return kOk;
}

int Defaults(int argc, char** argv) {
  const Args args = Parse(argc, argv, {}, {"--model", "-o"}, 0);
  SetCurrentModel(static_cast<std::uint8_t>(Number("--model", args.Required("--model"), 0, 255)));
  const std::string out = args.Required("-o");
  Settings settings{};
  LoadDefaults(settings);
  const FileResult r = WriteSettingsFile(out, settings);
  if (r != FileResult::ok) {
    std::fprintf(stderr, "%s: %s\n", out.c_str(), FileResultText(r));
    return kFailed;
  }
  return kOk;
}

int Barcodes(int argc, char** argv) {
  const Args args = Parse(argc, argv, {"--exclude-lens"}, {"--model", "-o"}, 1);
  const std::string out = args.Required("-o");
  Settings settings{};
  if (!SettingsFromSource(args, settings)) return kFailed;
  const SaveBarcodeResult r = SaveBarcodeFiles(out, args.Has("--exclude-lens"), kHeadlessScreen, settings);
  if (r != SaveBarcodeResult::saved) {
    std::fprintf(stderr, "%s\n", SaveBarcodeMessage(r));
    return kFailed;
  }
  const BarcodeFileNames names = DeriveBarcodeFileNames(out);
  std::printf("%s\n%s\n", names.old_form.c_str(), names.group.c_str());
  return kOk;
}

int Ports(int argc, char** argv) {
  Parse(argc, argv, {}, {}, 0);
  for (const std::string& port : EnumSerialPorts()) std::printf("%s\n", port.c_str());
  return kOk;
}

int Probe(int argc, char** argv) {
  const Args args = Parse(argc, argv, {}, {"--port", "--speed", "--timeout"}, 0);
  ApplyConnection(args);
  const CheckOutcome outcome = CheckConnection();
  std::printf("%s\n", outcome.text.c_str());
  return outcome.found ? kOk : kFailed;
}

int Search(int argc, char** argv) {
  Parse(argc, argv, {}, {}, 0);
  std::function<void(const std::string&)> progress;
  if (ProgressWanted()) progress = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  const SearchOutcome outcome = SearchDevice(EnumSerialPorts(), progress);
  if (!outcome.found) {
    std::printf("%s\n", outcome.text.c_str());
    return kFailed;
  }
  std::printf("%s %u\n%s\n", outcome.port.c_str(), outcome.speed, outcome.text.c_str());
  return kOk;
}

int Load(int argc, char** argv) {
  const Args args = Parse(argc, argv, {"--yes"}, {"--port", "--speed", "--timeout", "-o"}, 0);
  ApplyConnection(args);
  const std::string out = args.Required("-o");
  // Known before the transfer, not after it.
  if (CheckWritableTarget(out) != AtomicWriteResult::ok) {
    std::fprintf(stderr, "%s: %s\n", out.c_str(), FileResultText(FileResult::open_error));
    return kFailed;
  }
  bool defaults = false;
  TransferHooks hooks = CliHooks();
  hooks.defaults_taken = [&defaults] { defaults = true; };
  if (LoadFromDevice(hooks) != load_ok) return kFailed;
  const FileResult r = WriteSettingsFile(out, CurrentSettings());
  if (r != FileResult::ok) {
    std::fprintf(stderr, "%s: %s\n", out.c_str(), FileResultText(r));
    return kFailed;
  }
  // A script must not take the model's defaults for the scanner's settings.
  std::fprintf(stderr, "%s%s (v.%s) -> %s\n", defaults ? kDefaultsOfModelText : "", ModelText(CurrentModel(), false).c_str(),
               VersionText(CurrentFirmwareVersion()).c_str(), out.c_str());
  return kOk;
}

int Save(int argc, char** argv) {
  const Args args = Parse(argc, argv, {"--yes"}, {"--port", "--speed", "--timeout"}, 1);
  ApplyConnection(args);
  if (args.plain.empty()) throw UsageError{"не задан файл настроек"};
  const FileResult r = ReadSettingsFile(args.plain[0], CurrentSettings());
  if (r != FileResult::ok) {
    std::fprintf(stderr, "%s: %s\n", args.plain[0].c_str(), FileResultText(r));
    return kFailed;
  }
  return SaveToDevice(CliHooks()) == SaveResult::saved ? kOk : kFailed;
}

int SetSpeed(int argc, char** argv) {
  const Args args = Parse(argc, argv, {}, {"--port", "--from", "--to", "--timeout"}, 0);
  ApplyConnection(args);
  const std::uint32_t from = Speed("--from", args.Required("--from"));
  const std::uint32_t to = Speed("--to", args.Required("--to"));
  ConnectionParams().speed = to;
  const SpeedOutcome outcome = ApplySpeed(from, static_cast<std::uint8_t>(SpeedIndexOf(to)));
  if (outcome.port_speed != 0) std::printf("%u\n", outcome.port_speed);
  return outcome.ok ? kOk : kFailed;
}

int Run(int argc, char** argv) {
  if (argc < 2) throw UsageError{"не задана команда"};
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsageText, stdout);
    return kOk;
  }
  struct Command {
    const char* name;
    int (*run)(int, char**);
  };
  static const Command commands[] = {
      {"aztec", Aztec},   {"image", Image},   {"defaults", Defaults}, {"barcodes", Barcodes},
      {"ports", Ports},   {"probe", Probe},   {"search", Search},     {"load", Load},
      {"save", Save},     {"set-speed", SetSpeed},
  };
  for (const Command& c : commands) {
    if (command == c.name) {
      bool yes = false;
      for (int i = 2; i < argc; ++i) yes = yes || std::strcmp(argv[i], "--yes") == 0;
      TerminalDialogs dialogs(yes, stdin, stderr);
      Dialogs* previous = SetCurrentDialogs(&dialogs);
      const int status = c.run(argc, argv);
      SetCurrentDialogs(previous);
      return status;
    }
  }
  throw UsageError{"неизвестная команда " + command};
}

}  // namespace
}  // namespace tavrik

int main(int argc, char** argv) {
  int status;
  try {
    status = tavrik::Run(argc, argv);
  } catch (const tavrik::UsageError& e) {
    std::fprintf(stderr, "tavrik-cli: %s\n\n%s", e.text.c_str(), tavrik::kUsageText);
    return tavrik::kUsage;
  } catch (...) {
    std::fprintf(stderr, "tavrik-cli: %s\n", tavrik::CurrentExceptionText().c_str());
    return tavrik::kFailed;
  }
  // Output that did not reach its file (a full disk, a closed stdout) is a failure.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "tavrik-cli: ошибка вывода: %s\n", std::strerror(errno));
    return tavrik::kFailed;
  }
  return status;
}
