// The command table of tavrik-cli, and the commands that make symbols and
// images, write files of defaults and barcodes, and talk to one scanner.

#include "tools/cli/Commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "aztecgen/include/ag_matrix_ptr_def.h"
#include "core/AtomicFile.h"
#include "core/BoundedRead.h"
#include "barcodes/BarcodeFormats.h"
#include "barcodes/GroupBarcode.h"
#include "barcodes/ProgrammingSheet.h"
#include "barcodes/SheetPdf.h"
#include "device/ScannerInterface.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "tools/cli/SettingsSource.h"
#include "device/UdevRule.h"
#include "transfers/ConnectionParams.h"
#include "transfers/DeviceSearch.h"
#include "transfers/DeviceTransfers.h"

namespace tavrik {
namespace {

// The data bits of the largest Aztec symbol, in bytes.
constexpr std::size_t kMaxAztecInput = 19968 / 8;
constexpr const char* kDefaultsOfModelText = "настройки по умолчанию модели ";

void ApplyConnection(const CliArgs& args) {
  ConnectionParamsT& params = ConnectionParams();
  params.port = args.Required("--port");
  params.speed = CliSpeedOption(args);
  params.timeout = CliTimeoutOption(args);
}

// FILE.qdx if given, over the defaults of --model (0 when not given).
std::optional<Source> SourceOf(const CliArgs& args) {
  SourceSpec spec;
  if (!args.plain.empty()) spec.file = args.plain[0];
  if (auto model = args.Value("--model")) spec.model = CliModel(*model);
  return LoadSource(spec);
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

int Aztec(const CliArgs& args) {
  // One byte more than the largest symbol holds is enough to refuse the input,
  // so an endless one (/dev/zero) is never read to its end.
  std::vector<std::uint8_t> data;
  if (!ReadStreamBounded(STDIN_FILENO, kMaxAztecInput, data)) {
    std::fprintf(stderr, "Ошибка чтения из stdin: %s\n", std::strerror(errno));
    return kCliFailed;
  }
  ag_settings settings{};
  if (args.Has("--init")) {
    settings.mask |= ag_mask_initialization_symbol;
    settings.initialization_symbol = 1;
  }
  if (auto c = args.Value("--choice")) {
    settings.mask |= ag_mask_symbol_choice;
    settings.symbol_choice = static_cast<std::uint8_t>(CliNumber("--choice", *c, 0, 38));
  }
  if (auto r = args.Value("--redundancy")) {
    settings.mask |= ag_mask_error_correction_redundancy;
    settings.error_correction_redundancy = static_cast<std::uint8_t>(CliNumber("--redundancy", *r, 0, 99));
  }
  ag_matrix* raw = nullptr;
  const int result = ag_generate(&raw, data.data(), data.size(), &settings);
  ag_matrix_ptr matrix(result == ag_ok ? raw : nullptr);
  if (result != ag_ok) {
    const char* why = result == ag_no_input_data        ? "нет входных данных"
                      : result == ag_too_much_input_data ? "слишком много данных для символа"
                                                         : "ошибка генерации";
    std::fprintf(stderr, "Ошибка генерации штрих-кода: %s (%d)\n", why, result);
    return kCliFailed;
  }
  std::string row(matrix->width + 1, '\n');
  for (std::uint32_t y = 0; y < matrix->height; ++y) {
    for (std::uint32_t x = 0; x < matrix->width; ++x) row[x] = matrix->data[y * matrix->width + x] ? '1' : '0';
    std::fwrite(row.data(), 1, row.size(), stdout);
  }
  return kCliOk;
}

int Image(const CliArgs& args) {
  const std::optional<Source> source = SourceOf(args);
  if (!source) return kCliFailed;
  std::uint8_t image[kPlacementSize] = {};
  InitPlacement(image, &source->settings);
  for (std::size_t i = 0; i < kPlacementSize; ++i)
    std::printf("%02X%c", image[i], (i % 16 == 15 || i + 1 == kPlacementSize) ? '\n' : ' ');
  return kCliOk;
}

int Defaults(const CliArgs& args) {
  const std::uint8_t model = CliModel(args.Required("--model"));
  const std::string out = args.Required("-o");
  const std::optional<Source> source = LoadSource({std::nullopt, model});
  return WriteSettingsTold(out, source->settings) ? kCliOk : kCliFailed;
}

// The name -o gives, checked before any work: never a device or a name in
// the device folder, where "_Old" and "_New" files have no place; a known
// extension, or the metafile's when it has none (as the save dialog adds it).
std::string BarcodeOutput(std::string out) {
  std::error_code error;
  // A folder, or a name without a last part, is the save's own refusal.
  if (!NamesAFile(out) || std::filesystem::is_directory(out, error)) return out;
  struct stat st {};
  if (::stat(out.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    throw CliUsageError{"-o " + EscapedName(out) + ": это не файл, а устройство или канал"};
  const std::size_t slash = out.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : out.substr(0, slash);
  if (std::filesystem::weakly_canonical(folder, error) == "/dev" && !error)
    throw CliUsageError{"-o " + EscapedName(out) + ": в папке устройств /dev файлы штрих-кодов не создаются"};
  const std::optional<std::string_view> extension = FileNameExtension(out);
  if (!extension) {
    out += std::string(".") + kBarcodeFormats[0].extension;
    std::fprintf(stderr, "имя без расширения: файлы в формате %s (%s)\n", kBarcodeFormats[0].extension,
                 EscapedName(out).c_str());
  } else if (!BarcodeFormatFromName(out)) {
    std::string known;
    for (const BarcodeFormatSpec& spec : kBarcodeFormats) known += std::string(known.empty() ? "" : ", ") + spec.extension;
    throw CliUsageError{"-o " + EscapedName(out) + ": расширение \"" + EscapedName(*extension) +
                        "\" не поддерживается, нужно одно из: " + known};
  }
  return out;
}

int Barcodes(const CliArgs& args) {
  const std::string out = BarcodeOutput(args.Required("-o"));
  PrintGeometry geometry;
  if (auto mm = args.Value("--module-mm")) geometry.module_mm = CliDecimal("--module-mm", *mm, kMinModuleMm, kMaxModuleMm);
  if (auto dpi = args.Value("--dpi")) geometry.png_dpi = CliDecimal("--dpi", *dpi, kMinPngDpi, kMaxPngDpi);
  const std::optional<Source> source = SourceOf(args);
  if (!source) return kCliFailed;
  const SaveBarcodeResult r = SaveBarcodeFilesAs(out, ChosenBarcodeFormat(out, 0), args.Has("--exclude-lens"),
                                                 geometry, kHeadlessScreen, source->settings);
  if (r == SaveBarcodeResult::too_large) {
    throw CliUsageError{"картинка PNG больше " + std::to_string(kMaxPngSide) +
                        " точек по стороне: уменьшите --module-mm или --dpi"};
  }
  if (r != SaveBarcodeResult::saved) {
    std::fprintf(stderr, "%s\n", SaveBarcodeMessage(r));
    return kCliFailed;
  }
  const BarcodeFileNames names = DeriveBarcodeFileNames(out);
  std::printf("%s\n%s\n", EscapedName(names.old_form).c_str(), EscapedName(names.group).c_str());
  return kCliOk;
}

// The sheet's title: the model as probe prints it, and the file it was made from.
std::string SheetTitle(const CliArgs& args) {
  std::string title;
  if (auto model = args.Value("--model")) title = ModelText(CliModel(*model), false);
  if (!args.plain.empty()) {
    const std::string& file = args.plain[0];
    const std::string name = file.substr(file.find_last_of('/') + 1);  // npos + 1 is 0
    title += title.empty() ? name : " (" + name + ")";
  }
  return title.empty() ? ModelText(0, false) : title;
}

int Sheet(const CliArgs& args) {
  const std::string out = args.Required("-o");
  if (BarcodeFormatFromName(out) != BarcodeFormat::pdf)
    throw CliUsageError{"лист настройки пишется только в PDF: имя файла должно оканчиваться на .pdf"};
  SheetRequest request;
  if (auto mm = args.Value("--module-mm"))
    request.module_mm = CliDecimal("--module-mm", *mm, kSheetMinModuleMm, kSheetMaxModuleMm);
  request.model_text = SheetTitle(args);
  request.date = SheetDateToday();
  const std::optional<Source> source = SourceOf(args);
  if (!source) return kCliFailed;
  Settings defaults{};
  LoadDefaults(defaults);  // of the source's model
  SheetLayout layout;
  const SheetResult r = LayoutProgrammingSheet(request, source->settings, defaults, layout);
  if (r != SheetResult::ok) {
    std::fprintf(stderr, "%s\n", SheetResultText(r, request.module_mm).c_str());
    return kCliFailed;
  }
  if (!WriteProgrammingSheetPdf(out, layout)) {
    std::fprintf(stderr, "%s: %s\n", out.c_str(), SaveBarcodeMessage(SaveBarcodeResult::write_failed));
    return kCliFailed;
  }
  std::printf("%s\n", out.c_str());
  return kCliOk;
}

int Ports(const CliArgs&) {
  for (const std::string& port : EnumSerialPorts()) std::printf("%s\n", EscapedName(port).c_str());
  return kCliOk;
}

// Passes every box on and keeps the text of the last failure.
class LastErrorDialogs final : public Dialogs {
 public:
  explicit LastErrorDialogs(Dialogs& next) : next_(next) {}
  Answer Show(const MessageBox& box) override {
    if (box.icon == Icon::error) last_error = box.text;
    return next_.Show(box);
  }
  std::optional<std::string> OpenFileName(const FileDialog& d) override { return next_.OpenFileName(d); }
  std::optional<std::string> SaveFileName(const FileDialog& d) override { return next_.SaveFileName(d); }
  std::string last_error;

 private:
  Dialogs& next_;
};

int Probe(const CliArgs& args) {
  // --json: the array of the many-port form, for one port too.
  if (ManyPorts(args) || args.Has("--json")) return ProbeManyCommand(args);
  ApplyConnection(args);
  LastErrorDialogs dialogs(CurrentDialogs());
  ThreadDialogsScope scope(dialogs);
  const CheckOutcome outcome = CheckConnection();
  // A port that could not be opened (busy, not permitted) is no missing
  // scanner: the line says why, as the many-port form does.
  std::printf("%s\n", outcome.found || dialogs.last_error.empty() ? outcome.text.c_str() : dialogs.last_error.c_str());
  return outcome.found ? kCliOk : kCliFailed;
}

int Search(const CliArgs& args) {
  if (ManyPorts(args)) return SearchManyCommand(args);
  // --port belongs to the many-port form only: one port is what probe checks.
  if (args.Has("--port")) throw CliUsageError{"неизвестный параметр --port"};
  std::function<void(const std::string&)> progress;
  if (ProgressWanted()) progress = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  const SearchOutcome outcome = SearchDevice(EnumSerialPorts(), progress);
  if (!outcome.found) {
    std::printf("%s\n", outcome.text.c_str());
    return kCliFailed;
  }
  std::printf("%s %u\n%s\n", EscapedName(outcome.port).c_str(), outcome.speed, outcome.text.c_str());
  return kCliOk;
}

int Load(const CliArgs& args) {
  ApplyConnection(args);
  const std::string out = args.Required("-o");
  // Known before the transfer, not after it.
  if (CheckWritableTarget(out) != AtomicWriteResult::ok) {
    std::fprintf(stderr, "%s: %s\n", out.c_str(), FileResultText(FileResult::open_error));
    return kCliFailed;
  }
  bool defaults = false;
  TransferHooks hooks = CliHooks();
  hooks.defaults_taken = [&defaults] { defaults = true; };
  if (LoadFromDevice(hooks) != load_ok) return kCliFailed;
  if (!WriteSettingsTold(out, CurrentSettings())) return kCliFailed;
  // A script must not take the model's defaults for the scanner's settings.
  std::fprintf(stderr, "%s%s (v.%s) -> %s\n", defaults ? kDefaultsOfModelText : "",
               ModelText(CurrentModel(), false).c_str(), VersionText(CurrentFirmwareVersion()).c_str(), out.c_str());
  return kCliOk;
}

int Save(const CliArgs& args) {
  if (ManyPorts(args)) return SaveManyCommand(args);
  ApplyConnection(args);
  if (args.plain.empty()) throw CliUsageError{"не задан файл настроек"};
  if (!ReadSettingsTold(args.plain[0], CurrentSettings())) return kCliFailed;
  return SaveToDevice(CliHooks()) == SaveResult::saved ? kCliOk : kCliFailed;
}

int SetSpeed(const CliArgs& args) {
  ApplyConnection(args);
  const std::uint32_t from = CliSpeed("--from", args.Required("--from"));
  const std::uint32_t to = CliSpeed("--to", args.Required("--to"));
  ConnectionParams().speed = to;
  const SpeedOutcome outcome = ApplySpeed(from, static_cast<std::uint8_t>(SpeedIndexOf(to)));
  if (outcome.port_speed != 0) std::printf("%u\n", outcome.port_speed);
  return outcome.ok ? kCliOk : kCliFailed;
}

int UdevRule(const CliArgs& args) {
  if (args.plain.empty()) throw CliUsageError{"не задан порт"};
  const UsbIdentityResult found = UsbIdentityOfPort(args.plain[0]);
  if (!found.identity) {
    std::fprintf(stderr, "%s\n", found.error.c_str());
    return kCliFailed;
  }
  std::fputs(UdevRuleText(*found.identity).c_str(), stdout);
  return kCliOk;
}

// The options of a row are all its forms accept: --all and repeated --port
// pick the many-port form of save, probe and search.
const CliCommand kCommands[] = {
    {"aztec", {{"--init"}, {"--choice", "--redundancy"}, 0}, Aztec},
    {"image", {{}, {"--model"}, 1}, Image},
    {"defaults", {{}, {"--model", "-o"}, 0}, Defaults},
    {"barcodes", {{"--exclude-lens"}, {"--model", "-o", "--module-mm", "--dpi"}, 1}, Barcodes},
    {"sheet", {{}, {"--model", "-o", "--module-mm"}, 1}, Sheet},
    {"show", {{"--json", "--captions"}, {"--model"}, kAnyNumber}, ShowCommand},
    {"diff", {{"--captions"}, {"--model"}, kAnyNumber, {"--model"}}, DiffCommand, kCliUsage},
    {"set", {{}, {"-o"}, kAnyNumber}, SetCommand},
    {"ports", {{}, {}, 0}, Ports},
    {"probe", {{"--all", "--json"}, {"--port", "--speed", "--timeout"}, 0, {"--port"}}, Probe},
    {"search", {{"--all"}, {"--port"}, 0, {"--port"}}, Search},
    {"load", {{"--yes"}, {"--port", "--speed", "--timeout", "-o"}, 0}, Load},
    {"save", {{"--yes", "--all"}, {"--port", "--speed", "--timeout"}, 1, {"--port"}}, Save},
    {"apply", {{"--yes", "--check", "--json"}, {"--port", "--speed", "--timeout"}, kAnyNumber}, ApplyCommand},
    {"set-speed", {{}, {"--port", "--from", "--to", "--timeout"}, 0}, SetSpeed},
    {"udev-rule", {{}, {}, 1}, UdevRule},
    {"doctor", {{"--json"}, {"--port", "--speed"}, 0, {"--port"}}, DoctorCommand},
};

}  // namespace

std::span<const CliCommand> CliCommands() { return kCommands; }

const CliCommand* FindCliCommand(std::string_view name) {
  for (const CliCommand& c : kCommands) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

}  // namespace tavrik
