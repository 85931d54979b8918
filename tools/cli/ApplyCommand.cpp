// apply: one scanner brought to the wanted settings, a settings file (or the
// scanner's own settings) with NAME=VALUE changes. It writes only when a field
// of the scanner's image would change, so that running it again changes
// nothing; --check tells what would change and writes nothing.

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/Dialogs.h"
#include "core/JsonText.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "tools/cli/CliArgs.h"
#include "tools/cli/Commands.h"
#include "tools/cli/FieldText.h"
#include "tools/cli/SettingsSource.h"
#include "transfers/ConnectionParams.h"
#include "transfers/DeviceTransfers.h"

namespace tavrik {
namespace {

constexpr int kRefused = 2;  // an unknown field or a refused value, as set has it
constexpr const char* kNothingWritten = "ничего не записано";

// The tool's own Dialogs, with the text of the last message kept for --json:
// when the transfer fails, it is the reason (an error, or a warning such as
// the one about an invalid settings version).
class FailureRecorder final : public Dialogs {
 public:
  explicit FailureRecorder(Dialogs& inner) : inner_(inner) {}

  Answer Show(const MessageBox& box) override {
    if (box.buttons == Buttons::ok) last_failure_ = box.text;
    return inner_.Show(box);
  }
  std::optional<std::string> OpenFileName(const FileDialog& d) override { return inner_.OpenFileName(d); }
  std::optional<std::string> SaveFileName(const FileDialog& d) override { return inner_.SaveFileName(d); }

  const std::string& last_failure() const { return last_failure_; }

 private:
  Dialogs& inner_;
  std::string last_failure_;
};

struct Change {
  std::string name;
  std::string before;
  std::string after;
};

struct Outcome {
  bool compared = false;  // the save came as far as the write
  bool differs = false;
  std::vector<Change> changes;
  std::string before;  // show's text of the scanner and of what it gets
  std::string after;
};

// NAME=VALUE, NAME as the field names are spelled; anything else is the file.
bool IsAssignment(const std::string& arg) {
  const std::size_t eq = arg.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  for (std::size_t i = 0; i < eq; ++i) {
    const unsigned char c = static_cast<unsigned char>(arg[i]);
    if (!std::islower(c) && !std::isdigit(c) && c != '_') return false;
  }
  return true;
}

Source SourceOfImage(std::span<const std::uint8_t> image) {
  Source source;
  source.version = PlacementVersion(image.data());
  source.size = PlacementSize(image.data());
  SettingsFromPlacement(source.settings, image.data());
  return source;
}

// Field by field, the fields the scanner's image holds; the scanner keeps its
// lens values, so they never differ.
Outcome Compare(std::span<const std::uint8_t> held, std::span<const std::uint8_t> outgoing) {
  Outcome out;
  out.compared = true;
  const Source after = SourceOfImage(outgoing);
  out.after = ShowText(after);
  if (held.empty()) {
    // A newer layout the tool cannot read is replaced whole.
    out.differs = true;
    out.changes.push_back({"version", "?", std::to_string(after.version)});
    return out;
  }
  const Source before = SourceOfImage(held);
  out.before = ShowText(before);
  out.differs = !std::equal(held.begin(), held.end(), outgoing.begin(), outgoing.end());
  for (const FieldSpec& f : ImageFields()) {
    const std::size_t width = FieldWidth(f.type);
    if (f.offset + width > held.size()) continue;
    if (std::memcmp(held.data() + f.offset, outgoing.data() + f.offset, width) == 0) continue;
    out.changes.push_back({f.name, FieldText(f, before.settings), FieldText(f, after.settings)});
  }
  return out;
}

void PrintJson(const Outcome& out, bool written, const std::string* failure) {
  std::printf("{\n");
  if (failure) std::printf("  \"failed\": true,\n  \"msg\": %s,\n", JsonString(*failure).c_str());
  std::printf("  \"changed\": %s,\n  \"written\": %s,\n  \"changes\": [", out.differs && !failure ? "true" : "false",
              written ? "true" : "false");
  for (std::size_t i = 0; i < out.changes.size(); ++i) {
    const Change& c = out.changes[i];
    std::printf("%s\n    {\"name\": %s, \"before\": %s, \"after\": %s}", i ? "," : "", JsonString(c.name).c_str(),
                JsonString(c.before).c_str(), JsonString(c.after).c_str());
  }
  std::printf("%s],\n  \"before\": %s,\n  \"after\": %s\n}\n", out.changes.empty() ? "" : "\n  ",
              JsonString(out.before).c_str(), JsonString(out.after).c_str());
}

// A failure: its text on stderr (unless the dialogs told it already) and, with
// --json, as `msg`.
int Fail(bool json, const std::string& text, bool told, int status, const Outcome& out = {}) {
  if (!told) std::fprintf(stderr, "%s\n", text.c_str());
  if (json) PrintJson(out, false, &text);
  return status;
}

}  // namespace

int ApplyCommand(const CliArgs& args) {
  ConnectionParamsT& params = ConnectionParams();
  params.port = args.Required("--port");
  params.speed = CliSpeedOption(args);
  params.timeout = CliTimeoutOption(args);
  const bool json = args.Has("--json");
  const bool check = args.Has("--check");

  std::optional<std::string> file;
  std::vector<std::pair<const FieldSpec*, std::string>> assignments;
  std::string refusals;
  for (const std::string& arg : args.plain) {
    if (!IsAssignment(arg)) {
      if (file) throw CliUsageError{"лишний аргумент " + arg + " (файл настроек уже задан: " + *file + ")"};
      file = arg;
      continue;
    }
    const std::size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    const FieldSpec* field = FindImageField(name);
    if (!field) {
      refusals += name + ": нет такого поля (список полей: tavrik-cli show --model 0)\n";
      continue;
    }
    assignments.emplace_back(field, arg.substr(eq + 1));
  }
  if (!file && assignments.empty() && refusals.empty())
    throw CliUsageError{"нужен файл настроек или хотя бы одно ИМЯ=ЗНАЧЕНИЕ"};

  // Every value is checked before the port is opened: a refused one writes nothing.
  SetCurrentModel(0);
  Settings wanted{};
  LoadDefaults(wanted);
  if (file) {
    const FileResult r = ReadSettingsFile(*file, wanted);
    if (r != FileResult::ok) return Fail(json, *file + ": " + FileResultText(r), false, kCliFailed);
  }
  Settings trial = wanted;
  for (const auto& [field, value] : assignments) {
    if (const std::optional<std::string> error = AssignField(*field, value, trial)) refusals += *error + "\n";
  }
  if (!refusals.empty()) return Fail(json, refusals + kNothingWritten, false, kRefused);

  FailureRecorder dialogs(CurrentDialogs());
  ThreadDialogsScope scope(dialogs);
  if (!file) {
    // The scanner's own settings are the ones the changes apply to.
    const LoadResult loaded = LoadFromDevice();
    if (loaded != load_ok) {
      const bool told = !dialogs.last_failure().empty();
      return Fail(json, told ? dialogs.last_failure() : "отменено", told, kCliFailed);
    }
    wanted = CurrentSettings();
  }
  for (const auto& [field, value] : assignments) AssignField(*field, value, wanted);

  Outcome out;
  TransferHooks hooks;
  hooks.before_write = [&out, check](std::span<const std::uint8_t> held, std::span<const std::uint8_t> outgoing) {
    out = Compare(held, outgoing);
    return out.differs && !check;
  };
  const SaveResult result = SaveToDevice(wanted, params, hooks);
  const bool written = result == SaveResult::saved;
  if (result == SaveResult::failed || (result == SaveResult::declined && !out.compared)) {
    const bool told = !dialogs.last_failure().empty();
    return Fail(json, told ? dialogs.last_failure() : "отменено", told, kCliFailed, out);
  }
  if (json) {
    PrintJson(out, written, nullptr);
  } else {
    for (const Change& c : out.changes) std::printf("%s: %s -> %s\n", c.name.c_str(), c.before.c_str(), c.after.c_str());
  }
  return kCliOk;
}

}  // namespace tavrik
