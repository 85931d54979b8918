// tavrik-cli's help, its bash completion and manual page, the udev rule of a
// port and the barcodes in the print formats, as a user runs them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "device/ScannerInterface.h"
#include "settings/SettingsFile.h"
#include "tools/cli/CommandHelp.h"
#include "tools/cli/Commands.h"
#include "tools/cli/test_cli_run.h"
#include "testsupport/CommandOutput.h"
#include "testsupport/TempDir.h"

namespace tavrik {
namespace {

using CliOutput = cli_testing::CliRun;

// tavrik-cli with `args`, split at spaces.
CliOutput Cli(const std::string& args) {
  std::istringstream in(args);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return cli_testing::Cli(words);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CommandHelpTest, EachCommandPrintsItsOwnHelp) {
  const CliOutput general = Cli("--help");
  ASSERT_EQ(general.status, 0);
  for (const CommandHelp& row : CommandHelpTable()) {
    SCOPED_TRACE(row.name);
    EXPECT_NE(general.out.find(std::string("  ") + row.name + " "), std::string::npos) << "not in the usage text";
    for (const char* flag : {"--help", "-h"}) {
      const CliOutput r = Cli(std::string(row.name) + " " + flag);
      EXPECT_EQ(r.status, 0);
      EXPECT_EQ(r.out, row.text);
    }
    EXPECT_EQ(std::string(row.text).rfind(std::string("Использование: tavrik-cli ") + row.name, 0), 0u);
  }
  // An unknown command stays a usage error, help or not.
  EXPECT_EQ(Cli("frobnicate --help").status, 2);
}

// The rates the help and the completion offer are the scanner's speed table.
TEST(CommandHelpTest, HelpAndCompletionOfferTheSpeedTable) {
  const std::string completion = ReadText(TAVRIK_SOURCE_DIR "/tools/cli/tavrik-cli.bash-completion");
  EXPECT_NE(completion.find("local speeds=\"" + SpeedList(" ") + "\""), std::string::npos);
  int speed_options = 0;
  for (const CommandHelp& row : CommandHelpTable()) {
    const std::string text = row.text;
    for (std::size_t at = text.find("скорость: "); at != std::string::npos; at = text.find("скорость: ", at + 1)) {
      SCOPED_TRACE(row.name);
      ++speed_options;
      EXPECT_EQ(text.compare(at + std::string("скорость: ").size(), SpeedList(", ").size(), SpeedList(", ")), 0);
    }
  }
  EXPECT_GT(speed_options, 1);
  EXPECT_NE(Cli("probe --port /dev/null --speed 1200").err.find("не из списка " + SpeedList(", ")), std::string::npos);
}

TEST(CommandHelpTest, CompletionAndManualKnowEveryCommandAndOption) {
  const std::string completion = ReadText(TAVRIK_SOURCE_DIR "/tools/cli/tavrik-cli.bash-completion");
  const std::string manual = ReadText(TAVRIK_SOURCE_DIR "/docs/man/tavrik-cli.1");
  ASSERT_FALSE(completion.empty());
  ASSERT_FALSE(manual.empty());
  for (const CommandHelp& row : CommandHelpTable()) {
    SCOPED_TRACE(row.name);
    EXPECT_NE(completion.find(row.name), std::string::npos) << "completion";
    EXPECT_NE(manual.find(std::string(".B ") + row.name), std::string::npos) << "manual";
    // Every option of the synopsis, in both.
    const std::string text = std::string(row.text).substr(0, std::string(row.text).find("\n\n"));
    for (std::size_t at = text.find(" --"); at != std::string::npos; at = text.find(" --", at + 1)) {
      const std::size_t end = text.find_first_of(" \n]=", at + 1);
      const std::string option = text.substr(at + 1, end - at - 1);
      SCOPED_TRACE(option);
      EXPECT_NE(completion.find(option), std::string::npos) << "completion";
      // roff writes a minus of an option as \-.
      std::string roff;
      for (char c : option) roff += c == '-' ? std::string("\\-") : std::string(1, c);
      EXPECT_NE(manual.find(roff), std::string::npos) << "manual";
    }
  }
}

// The completion function as bash runs it on Tab, with the two helpers of the
// bash-completion package reduced to what the function needs from them.
std::string Complete(const std::string& line) {
  const std::string script =
      "_init_completion() { words=(\"${COMP_WORDS[@]}\"); cword=$COMP_CWORD; cur=${COMP_WORDS[cword]}; "
      "prev=${COMP_WORDS[cword-1]}; }\n"
      "_filedir() { COMPREPLY=(FILES); }\n"
      "source '" TAVRIK_SOURCE_DIR "/tools/cli/tavrik-cli.bash-completion'\n"
      "COMP_WORDS=(" + line + ")\n"
      "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
      "_tavrik_cli\n"
      "echo \"${COMPREPLY[*]}\"\n";
  // A folder of its own: the tests that complete run at the same time.
  const test::TempDir dir("tavrik-completion");
  const std::string path = dir.Path("completion.sh");
  std::ofstream(path) << script;
  const std::string command = "PATH=\"$(dirname '" TAVRIK_CLI "'):$PATH\" bash '" + path + "' 2>&1";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  char buffer[1024];
  std::size_t n;
  while (pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  if (pipe) ::pclose(pipe);
  return out;
}

TEST(CliToolTest, BashCompletesCommandsOptionsAndValues) {
  struct Case {
    const char* line;
    const char* expected;
  };
  const Case cases[] = {
      /*0*/ {"tavrik-cli s", "sheet show set search save set-speed\n"},
      /*1*/ {"tavrik-cli u", "udev-rule\n"},
      /*2*/ {"tavrik-cli barcodes --mo", "--model --module-mm\n"},
      /*3*/ {"tavrik-cli probe --speed 11", "115200\n"},
      /*4*/ {"tavrik-cli set-speed --port /dev/x --to 1", "19200 115200\n"},
      /*5*/ {"tavrik-cli load --port /dev/x -o ''", "FILES\n"},
      /*6*/ {"tavrik-cli udev-rule --h", "--help\n"},
      /*7*/ {"tavrik-cli ports --", "--help\n"},
      /*8*/ {"tavrik-cli probe --a", "--all\n"},
      /*9*/ {"tavrik-cli diff a.qdx ''", "FILES\n"},
      /*10*/ {"tavrik-cli set a.qdx volu", "volume=\n"},  // field names after the file
      /*11*/ {"tavrik-cli set ''", "FILES\n"},
      /*12*/ {"tavrik-cli show --model 0 --j", "--json\n"},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row) + ": " + cases[row].line);
    EXPECT_EQ(Complete(cases[row].line), cases[row].expected);
  }
}

std::set<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::set<std::string> words;
  for (std::string w; in >> w;) words.insert(w);
  return words;
}

// `option` in `text` as a whole word: "-o" is not found in "--out", nor
// "--port" in "--ports", in plain or roff text.
bool HasOption(const std::string& text, const std::string& option) {
  for (std::size_t at = text.find(option); at != std::string::npos; at = text.find(option, at + 1)) {
    const std::size_t end = at + option.size();
    const bool part_of_longer = (at > 0 && text[at - 1] == '-') ||
                                (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) ||
                                                       text[end] == '-' || text.compare(end, 2, "\\-") == 0));
    if (!part_of_longer) return true;
  }
  return false;
}

std::string Roff(const std::string& option) {
  std::string roff;
  for (char c : option) roff += c == '-' ? std::string("\\-") : std::string(1, c);
  return roff;
}

// A command's entry in the manual page: from its ".B NAME" line under .TP to
// the next .TP or section.
std::string ManualEntry(const std::string& manual, const std::string& name) {
  for (const char* after : {" ", "\n"}) {
    const std::size_t at = manual.find(".TP\n.B " + name + after);
    if (at == std::string::npos) continue;
    const std::size_t end = std::min(manual.find("\n.TP\n", at + 1), manual.find("\n.SH", at + 1));
    return manual.substr(at, end - at);
  }
  return "";
}

// The command table is what the tool runs: each row must be in the usage text,
// have its help, be offered with exactly its options by the completion, and
// have its entry in the manual page naming every option.
TEST(CommandHelpTest, EveryCommandOfTheTableIsDocumentedAndCompleted) {
  const std::string usage = Cli("--help").out;
  const std::string manual = ReadText(TAVRIK_SOURCE_DIR "/docs/man/tavrik-cli.1");
  std::set<std::string> names;
  for (const CliCommand& command : CliCommands()) {
    const std::string name = command.name;
    SCOPED_TRACE(name);
    names.insert(name);
    EXPECT_NE(usage.find("  " + name + " "), std::string::npos) << "usage text";
    const char* help = CommandHelpText(name);
    ASSERT_NE(help, nullptr) << "no help row";
    const std::string entry = ManualEntry(manual, name);
    EXPECT_FALSE(entry.empty()) << "no manual entry";

    std::set<std::string> options = command.options.flags;
    options.insert(command.options.valued.begin(), command.options.valued.end());
    for (const std::string& option : options) {
      SCOPED_TRACE(option);
      EXPECT_TRUE(HasOption(help, option)) << "help";
      EXPECT_TRUE(HasOption(entry, Roff(option))) << "manual";
    }
    options.insert("--help");
    EXPECT_EQ(Words(Complete("tavrik-cli " + name + " -")), options) << "completion";
  }
  // Nothing documented or completed that the tool does not run.
  for (const CommandHelp& row : CommandHelpTable()) EXPECT_EQ(names.count(row.name), 1u) << row.name;
  std::set<std::string> completed = Words(Complete("tavrik-cli ''"));
  EXPECT_EQ(completed.erase("--help"), 1u);
  EXPECT_EQ(completed, names);
}

TEST(CliToolTest, UdevRuleNeedsAPortWithUsbBehindIt) {
  EXPECT_EQ(Cli("udev-rule").status, 2);
  const CliOutput none = Cli("udev-rule /dev/null");
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(Cli("udev-rule /dev/tavrik-no-such-port").status, 1);
}

TEST(CliToolTest, BarcodesFollowTheExtensionAndTheModuleSize) {
  const test::TempDir temp("tavrik-cli-print");
  const std::string dir = temp.str();
  for (const char* extension : {"svg", "pdf", "png", "emf"}) {
    SCOPED_TRACE(extension);
    const CliOutput r = Cli("barcodes --module-mm 0.4 --dpi 600 -o " + dir + "/s." + extension);
    ASSERT_EQ(r.status, 0);
    const std::string names[] = {dir + "/s_Old." + extension, dir + "/s_New." + extension};
    EXPECT_EQ(r.out, names[0] + "\n" + names[1] + "\n");
    const std::string head = ReadText(names[1]).substr(0, 8);
    const char* magic = std::string(extension) == "svg"   ? "<?xml"
                        : std::string(extension) == "pdf" ? "%PDF-"
                        : std::string(extension) == "png" ? "\x89PNG"
                                                          : "\x01\0\0\0";
    EXPECT_EQ(head.rfind(magic, 0), 0u);
  }
  // 0.4 mm a module in the SVG's own millimetres.
  const std::string svg = ReadText(dir + "/s_New.svg");
  EXPECT_NE(svg.find("mm\""), std::string::npos);
  for (const char* bad : {"--module-mm 0", "--module-mm x", "--dpi 10", "--module-mm 30"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(Cli(std::string("barcodes ") + bad + " -o " + dir + "/bad.svg").status, 2);
  }
  EXPECT_FALSE(std::filesystem::exists(dir + "/bad_Old.svg"));
}

std::string PdfText(const std::string& pdf) {
  return test::CommandOutput("pdftotext -layout '" + pdf + "' - 2>/dev/null");
}

TEST(CliToolTest, SheetWritesThePdfOfTheFileAgainstTheModelsDefaults) {
  const test::TempDir temp("tavrik-cli-sheet");
  const std::string dir = temp.str();
  ASSERT_EQ(Cli("defaults --model 156 -o " + dir + "/d.qdx").status, 0);
  ASSERT_EQ(Cli("set " + dir + "/d.qdx barcode_interface=usb_cdc -o " + dir + "/s.qdx").status, 0);
  const CliOutput r = Cli("sheet " + dir + "/s.qdx --model 156 -o " + dir + "/s.pdf");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir + "/s.pdf\n");
  const std::string text = PdfText(dir + "/s.pdf");
  EXPECT_NE(text.find("Ручной сканер \"Luch H4 BT\" (s.qdx)"), std::string::npos) << text;
  EXPECT_NE(text.find("Интерфейс с ПК: Штрих-коды"), std::string::npos);
  EXPECT_NE(text.find("USB CDC"), std::string::npos);
  EXPECT_NE(text.find("страница 1 из 1"), std::string::npos);
  // The model's own defaults differ in nothing.
  ASSERT_EQ(Cli("sheet --model 156 -o " + dir + "/d.pdf").status, 0);
  EXPECT_NE(PdfText(dir + "/d.pdf").find("изменений нет"), std::string::npos);
}

TEST(CliToolTest, SheetRefusesAndWritesNothing) {
  const test::TempDir temp("tavrik-cli-sheet");
  const std::string dir = temp.str();
  std::ofstream(dir + "/damaged.qdx") << "QDX0 not an image";
  std::ofstream(dir + "/old.pdf") << "the sheet of yesterday";
  struct Case {
    std::string args;
    int status;
    std::string message;  // the start of stderr
  };
  const Case cases[] = {
      /*0*/ {"sheet --model 156 -o " + dir + "/old.png", 2, "tavrik-cli: "},
      /*1*/ {"sheet --model 156 -o " + dir + "/old", 2, "tavrik-cli: "},
      /*2*/ {"sheet --model 156 --module-mm 3 -o " + dir + "/old.pdf", 2, "tavrik-cli: "},
      /*3*/ {"sheet " + dir + "/missing.qdx -o " + dir + "/old.pdf", 1,
             dir + "/missing.qdx: " + FileResultText(FileResult::open_error)},
      /*4*/ {"sheet " + dir + "/damaged.qdx -o " + dir + "/old.pdf", 1, dir + "/damaged.qdx: "},
      /*5*/ {"sheet --model 156 -o " + dir + "/no-such-folder/s.pdf", 1,
             dir + "/no-such-folder/s.pdf: Не удалось сохранить данные в файл"},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row) + ": " + cases[row].args);
    const CliOutput r = Cli(cases[row].args);
    EXPECT_EQ(r.status, cases[row].status);
    EXPECT_EQ(r.err.rfind(cases[row].message, 0), 0u) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadText(dir + "/old.pdf"), "the sheet of yesterday");
  }
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"damaged.qdx", "old.pdf"}));
}

}  // namespace
}  // namespace tavrik
