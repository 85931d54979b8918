// show, diff and set: a settings file field by field, by the names of the
// image table.

#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/FileLock.h"
#include "core/JsonText.h"
#include "settings/SettingsCatalog.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "tools/cli/CliArgs.h"
#include "tools/cli/Commands.h"
#include "tools/cli/FieldText.h"
#include "tools/cli/SettingsSource.h"

namespace tavrik {
namespace {

constexpr int kTrouble = 2;  // diff's status for a usage or file error, and set's for a refused value

// The sources of a command line in order: FILE or --model M each. Fields a
// file does not hold take the defaults of model 0, as a program without a
// device would show them.
std::vector<SourceSpec> SourceSpecs(const CliArgs& args) {
  std::vector<SourceSpec> specs;
  for (const CliArg& a : args.in_order) {
    if (a.option.empty()) {
      specs.push_back({a.value, 0});
    } else if (a.option == "--model") {
      specs.push_back({std::nullopt, CliModel(a.value)});
    }
  }
  return specs;
}

struct Line {
  std::string name;
  std::string text;
  std::string json;
  const FieldSpec* field = nullptr;  // none for the header
};

// The header and every field, in image order.
std::vector<Line> Lines(const Source& source) {
  std::vector<Line> lines = {
      {"version", std::to_string(source.version), std::to_string(source.version)},
      {"size", std::to_string(source.size), std::to_string(source.size)},
  };
  for (const FieldSpec& f : ImageFields())
    lines.push_back({f.name, FieldText(f, source.settings), FieldJson(f, source.settings), &f});
  return lines;
}

// "    # Code 39: Распознавать Code 39", with the text of the value's button or
// entry where the page shows one and `settings` is given; empty for the header
// and the fields no page shows.
std::string CaptionComment(const Line& line, const Settings* settings) {
  if (!line.field || !line.field->Shown()) return {};
  std::string comment = "    # " + PagePath(line.field->page);
  const std::string caption = FieldCaption(*line.field);
  if (!caption.empty()) comment += ": " + caption;
  const std::string choice = settings ? ChoiceText(*line.field, FieldNumber(*line.field, *settings)) : "";
  if (!choice.empty()) comment += " = " + choice;
  return comment;
}

// With captions a field is an object of its value, page and caption (null
// for a field no page shows).
std::string JsonWithCaption(const Line& line) {
  if (!line.field) return line.json;
  const bool shown = line.field->Shown();
  return "{\"value\": " + line.json + ", \"page\": " + (shown ? JsonString(PagePath(line.field->page)) : "null") +
         ", \"caption\": " + (shown ? JsonString(FieldCaption(*line.field)) : "null") + "}";
}

struct ByteChange {
  std::size_t offset;
  unsigned from;
  unsigned to;
};

// The bytes that both images hold and that differ, outside the header and
// the fields whose texts differ already.
std::vector<ByteChange> UnshownByteChanges(const Source& a, const Source& b) {
  const std::size_t common = std::min(a.image.size(), b.image.size());
  std::vector<bool> shown(common, false);
  for (std::size_t i = 0; i < std::min<std::size_t>(3, common); ++i) shown[i] = true;
  for (const FieldSpec& f : ImageFields()) {
    if (FieldText(f, a.settings) == FieldText(f, b.settings)) continue;
    for (std::size_t i = f.offset; i < std::min(common, f.offset + FieldWidth(f.type)); ++i) shown[i] = true;
  }
  std::vector<ByteChange> changes;
  for (std::size_t i = 0; i < common; ++i) {
    if (!shown[i] && a.image[i] != b.image[i]) changes.push_back({i, a.image[i], b.image[i]});
  }
  return changes;
}

}  // namespace

int ShowCommand(const CliArgs& args) {
  const std::vector<SourceSpec> specs = SourceSpecs(args);
  if (specs.size() != 1) throw CliUsageError{"нужен один файл настроек или --model M"};
  const std::optional<Source> source = LoadSource(specs[0]);
  if (!source) return kCliFailed;
  const std::vector<Line> lines = Lines(*source);
  const bool captions = args.Has("--captions");
  if (!args.Has("--json")) {
    for (const Line& line : lines) {
      const std::string comment = captions ? CaptionComment(line, &source->settings) : std::string();
      std::printf("%s = %s%s\n", line.name.c_str(), line.text.c_str(), comment.c_str());
    }
    return kCliOk;
  }
  std::printf("{\n");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string value = captions ? JsonWithCaption(lines[i]) : lines[i].json;
    std::printf("  \"%s\": %s%s\n", lines[i].name.c_str(), value.c_str(), i + 1 < lines.size() ? "," : "");
  }
  std::printf("}\n");
  return kCliOk;
}

int DiffCommand(const CliArgs& args) {
  const std::vector<SourceSpec> specs = SourceSpecs(args);
  if (specs.size() != 2) throw CliUsageError{"нужны два файла настроек (любой можно заменить на --model M)"};
  const std::optional<Source> a = LoadSource(specs[0]);
  if (!a) return kTrouble;
  const std::optional<Source> b = LoadSource(specs[1]);
  if (!b) return kTrouble;
  const std::vector<Line> left = Lines(*a);
  const std::vector<Line> right = Lines(*b);
  const bool captions = args.Has("--captions");
  int status = kCliOk;
  for (std::size_t i = 0; i < left.size(); ++i) {
    if (left[i].text == right[i].text) continue;
    // The caption without the value's text: the two sides differ in it.
    const std::string comment = captions ? CaptionComment(left[i], nullptr) : std::string();
    std::printf("%s: %s -> %s%s\n", left[i].name.c_str(), left[i].text.c_str(), right[i].text.c_str(),
                comment.c_str());
    status = kCliFailed;
  }
  // Bytes the fields do not show (the reserved byte, a bool byte other than
  // 0 or 1, a sequence length above ten, a larger image's tail): two images
  // that differ are never called equal.
  for (const ByteChange& c : UnshownByteChanges(*a, *b)) {
    std::printf("байт %zu: %02X -> %02X\n", c.offset, c.from, c.to);
    status = kCliFailed;
  }
  return status;
}

int SetCommand(const CliArgs& args) {
  if (args.plain.size() < 2) throw CliUsageError{"нужны файл настроек и хотя бы одно ИМЯ=ЗНАЧЕНИЕ"};
  const std::string& path = args.plain[0];
  const std::string out = args.Value("-o").value_or(path);
  // Another set on the same file waits until this one has written it.
  const FileUpdateLock lock = FileUpdateLock::Take(path);
  const std::optional<Source> source = LoadSource({path, 0});
  if (!source) return kCliFailed;

  Settings settings = source->settings;
  bool refused = false;
  std::set<const FieldSpec*> assigned;
  for (std::size_t i = 1; i < args.plain.size(); ++i) {
    const std::string& assignment = args.plain[i];
    const std::size_t eq = assignment.find('=');
    if (eq == std::string::npos) throw CliUsageError{"ожидается ИМЯ=ЗНАЧЕНИЕ: " + assignment};
    const std::string name = assignment.substr(0, eq);
    const FieldSpec* field = FindImageField(name);
    if (field && !assigned.insert(field).second) throw CliUsageError{"поле " + name + " задано дважды"};
    if (!field) {
      std::fprintf(stderr, "%s: нет такого поля (список полей: tavrik-cli show --model 0)\n", name.c_str());
      refused = true;
      continue;
    }
    if (const std::optional<std::string> error = AssignField(*field, assignment.substr(eq + 1), settings)) {
      std::fprintf(stderr, "%s\n", error->c_str());
      refused = true;
    }
  }
  if (refused) {
    std::fprintf(stderr, "ничего не записано\n");
    return kTrouble;
  }
  // What this program cannot represent (a larger image's tail, the reserved
  // byte) goes back as the file held it.
  return WriteSettingsTold(out, settings, source->image) ? kCliOk : kCliFailed;
}

std::string ShowText(const Source& source) {
  std::string text;
  for (const Line& line : Lines(source)) text += line.name + " = " + line.text + "\n";
  return text;
}

}  // namespace tavrik
