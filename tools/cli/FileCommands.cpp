// show, diff and set: a settings file field by field, by the names of the
// image table.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "tools/cli/CliArgs.h"
#include "tools/cli/Commands.h"
#include "tools/cli/FieldText.h"

namespace tavrik {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kTrouble = 2;  // diff's status for a usage or file error, and set's for a refused value

// A file, or the defaults of a model.
struct SourceSpec {
  std::optional<std::string> file;
  std::uint8_t model = 0;
};

struct Source {
  Settings settings{};
  int version = kPlacementVersion;
  int size = static_cast<int>(kPlacementSize);
};

// A file's image header (version, size); the file has been read successfully.
void ReadFileHeader(const std::string& path, Source& source) {
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> f(std::fopen(path.c_str(), "rb"));
  std::uint8_t bytes[sizeof kSettingsFileSignature + 3];
  if (!f || std::fread(bytes, 1, sizeof bytes, f.get()) != sizeof bytes) return;
  const std::uint8_t* header = bytes + sizeof kSettingsFileSignature;
  source.version = PlacementVersion(header);
  source.size = PlacementSize(header);
}

// Fields a file does not hold take the defaults of model 0, as a program
// without a device would show them.
std::optional<Source> LoadSource(const SourceSpec& spec) {
  Source source;
  SetCurrentModel(spec.file ? 0 : spec.model);
  LoadDefaults(source.settings);
  if (!spec.file) return source;
  const FileResult r = ReadSettingsFile(*spec.file, source.settings);
  if (r != FileResult::ok) {
    std::fprintf(stderr, "%s: %s\n", spec.file->c_str(), FileResultText(r));
    return std::nullopt;
  }
  ReadFileHeader(*spec.file, source);
  return source;
}

std::uint8_t ModelOption(const std::string& text) {
  return static_cast<std::uint8_t>(CliNumber("--model", text, 0, 255));
}

// The sources of a command line in order: FILE or --model M each.
std::vector<SourceSpec> SourceSpecs(int argc, char** argv, std::vector<std::string>* other_flags) {
  std::vector<SourceSpec> specs;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--model") {
      if (i + 1 >= argc) throw CliUsageError{"у параметра --model нет значения"};
      specs.push_back({std::nullopt, ModelOption(argv[++i])});
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      if (!other_flags) throw CliUsageError{"неизвестный параметр " + a};
      other_flags->push_back(a);
    } else {
      specs.push_back({a, 0});
    }
  }
  return specs;
}

struct Line {
  std::string name;
  std::string text;
  std::string json;
};

// The header and every field, in image order.
std::vector<Line> Lines(const Source& source) {
  std::vector<Line> lines = {
      {"version", std::to_string(source.version), std::to_string(source.version)},
      {"size", std::to_string(source.size), std::to_string(source.size)},
  };
  for (const FieldSpec& f : ImageFields())
    lines.push_back({f.name, FieldText(f, source.settings), FieldJson(f, source.settings)});
  return lines;
}

}  // namespace

int ShowCommand(int argc, char** argv) {
  std::vector<std::string> flags;
  const std::vector<SourceSpec> specs = SourceSpecs(argc, argv, &flags);
  bool json = false;
  for (const std::string& flag : flags) {
    if (flag != "--json") throw CliUsageError{"неизвестный параметр " + flag};
    json = true;
  }
  if (specs.size() != 1) throw CliUsageError{"нужен один файл настроек или --model M"};
  const std::optional<Source> source = LoadSource(specs[0]);
  if (!source) return kFailed;
  const std::vector<Line> lines = Lines(*source);
  if (!json) {
    for (const Line& line : lines) std::printf("%s = %s\n", line.name.c_str(), line.text.c_str());
    return kOk;
  }
  std::printf("{\n");
  for (std::size_t i = 0; i < lines.size(); ++i)
    std::printf("  \"%s\": %s%s\n", lines[i].name.c_str(), lines[i].json.c_str(), i + 1 < lines.size() ? "," : "");
  std::printf("}\n");
  return kOk;
}

int DiffCommand(int argc, char** argv) {
  const std::vector<SourceSpec> specs = SourceSpecs(argc, argv, nullptr);
  if (specs.size() != 2) throw CliUsageError{"нужны два файла настроек (любой можно заменить на --model M)"};
  const std::optional<Source> a = LoadSource(specs[0]);
  if (!a) return kTrouble;
  const std::optional<Source> b = LoadSource(specs[1]);
  if (!b) return kTrouble;
  const std::vector<Line> left = Lines(*a);
  const std::vector<Line> right = Lines(*b);
  int status = kOk;
  for (std::size_t i = 0; i < left.size(); ++i) {
    if (left[i].text == right[i].text) continue;
    std::printf("%s: %s -> %s\n", left[i].name.c_str(), left[i].text.c_str(), right[i].text.c_str());
    status = kFailed;
  }
  return status;
}

int SetCommand(int argc, char** argv) {
  const CliArgs args = ParseCliArgs(argc, argv, {}, {"-o"});
  if (args.plain.size() < 2) throw CliUsageError{"нужны файл настроек и хотя бы одно ИМЯ=ЗНАЧЕНИЕ"};
  const std::string& path = args.plain[0];
  const std::string out = args.Value("-o").value_or(path);
  const std::optional<Source> source = LoadSource({path, 0});
  if (!source) return kFailed;

  Settings settings = source->settings;
  bool refused = false;
  for (std::size_t i = 1; i < args.plain.size(); ++i) {
    const std::string& assignment = args.plain[i];
    const std::size_t eq = assignment.find('=');
    if (eq == std::string::npos) throw CliUsageError{"ожидается ИМЯ=ЗНАЧЕНИЕ: " + assignment};
    const std::string name = assignment.substr(0, eq);
    const FieldSpec* field = FindImageField(name);
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
  const FileResult r = WriteSettingsFile(out, settings);
  if (r != FileResult::ok) {
    std::fprintf(stderr, "%s: %s\n", out.c_str(), FileResultText(r));
    return kFailed;
  }
  return kOk;
}

}  // namespace tavrik
