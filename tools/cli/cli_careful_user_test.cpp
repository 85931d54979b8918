// tavrik-cli and the emulator tried as a careful user tries them: unplugged
// scanners, newer settings, outputs and inputs that are not plain files,
// output that cannot be written, numbers with blanks and signs.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "tools/cli/cli_process.h"
#include "transfers/DeviceTransfers.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::ProcessOptions;
using test::ProcessRun;

// Long enough for a loaded machine; a hang is what it catches.
constexpr std::chrono::seconds kHangLimit{30};

ProcessRun Cli(const std::vector<std::string>& args, ProcessOptions options = {}) {
  options.limit = kHangLimit;
  return test::RunProcess(TAVRIK_CLI, args, options);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

Bytes FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(f)), {});
}

using CarefulUser = test::ToolTest;

TEST_F(CarefulUser, SetSpeedOnALineThatHangsUpFailsWithItsMessage) {
  ScannerEmulator scanner;
  scanner.AddFault({FaultKind::hang_up, CScannerInterface::cmd_speed, 1, 0, 0, /*skip=*/1});
  const ProcessRun r =
      Cli({"set-speed", "--port", scanner.PortPath(), "--from", "9600", "--to", "115200", "--timeout", "200"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_FALSE(Contains(r.err, "terminate")) << r.err;
  EXPECT_FALSE(r.err.empty());
  EXPECT_TRUE(scanner.HungUp());
}

TEST_F(CarefulUser, NewerSettingsVersion) {
  EmulatorConfig c;
  c.model = 156;
  c.version = 2;
  ScannerEmulator scanner(c);
  const std::string port = scanner.PortPath();

  // A load that takes the defaults says so: a script must not mistake them.
  const ProcessRun load = Cli({"load", "--port", port, "--yes", "-o", Path("l.qdx")});
  ASSERT_EQ(load.status, 0) << load.err;
  EXPECT_TRUE(Contains(load.err, kNewerVersionQuestion.text));
  EXPECT_TRUE(Contains(load.err, "настройки по умолчанию модели " + ModelText(156, false))) << load.err;

  // A save asks the overwrite question and writes an image with our own header.
  const ProcessRun save = Cli({"save", "--port", port, "--yes", Path("l.qdx")});
  ASSERT_EQ(save.status, 0) << save.err;
  EXPECT_TRUE(Contains(save.err, kNewerVersionSaveQuestion.text)) << save.err;
  EXPECT_FALSE(Contains(save.err, "Загрузить вместо них"));
  const Bytes header = scanner.ReadMemory(SETTINGS_ADDRESS, 3);
  EXPECT_EQ(header, (Bytes{1, 0x0C, 0x01}));
}

TEST_F(CarefulUser, OutputsThatAreNotRegularFilesAreWrittenNotReplaced) {
  // A character device stays what it is.
  ASSERT_EQ(Cli({"defaults", "--model", "0", "-o", "/dev/null"}).status, 0);
  struct stat st {};
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  // Standard output by its name: the file goes down the pipe.
  const ProcessRun to_stdout = Cli({"defaults", "--model", "0", "-o", "/dev/stdout"});
  EXPECT_EQ(to_stdout.status, 0) << to_stdout.err;
  EXPECT_EQ(to_stdout.out.substr(0, 4), "QDX0");
  EXPECT_EQ(to_stdout.out.size(), 4 + kPlacementSize);

  // A FIFO with a reader gets the bytes and stays a FIFO; without one it is refused at once.
  const std::string fifo = Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // The read end is open before the tool runs, so its write finds a reader;
  // the bytes wait in the pipe until the tool has ended.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  const ProcessRun into_fifo = Cli({"defaults", "--model", "0", "-o", fifo});
  std::string got;
  char buf[512];
  for (ssize_t n; (n = ::read(reader, buf, sizeof buf)) > 0;) got.append(buf, static_cast<std::size_t>(n));
  ::close(reader);
  EXPECT_EQ(into_fifo.status, 0) << into_fifo.err;
  EXPECT_EQ(got.size(), 4 + kPlacementSize);
  EXPECT_TRUE(fs::is_fifo(fifo));
  const ProcessRun no_reader = Cli({"defaults", "--model", "0", "-o", fifo});
  EXPECT_EQ(no_reader.status, 1);
  EXPECT_FALSE(no_reader.killed);
  EXPECT_TRUE(Contains(no_reader.err, "Ошибка открытия файла"));
  EXPECT_TRUE(fs::is_fifo(fifo));

  // A dangling link makes the file it names and stays a link.
  fs::create_symlink("made.qdx", Path("link.qdx"));
  ASSERT_EQ(Cli({"defaults", "--model", "0", "-o", Path("link.qdx")}).status, 0);
  EXPECT_TRUE(fs::is_symlink(Path("link.qdx")));
  EXPECT_EQ(FileBytes(Path("made.qdx")).size(), 4 + kPlacementSize);
}

TEST_F(CarefulUser, NamesWithoutAFileAreRefused) {
  struct Case {
    std::vector<std::string> args;
    const char* why;
  };
  const Case cases[] = {
      /*0*/ {{"barcodes", "-o", "/"}, "the root: would write /_Old and /_New"},
      /*1*/ {{"barcodes", "-o", Path("") + "/"}, "a folder's name with its slash"},
      /*2*/ {{"barcodes", "-o", Path("")}, "a folder's name"},
      /*3*/ {{"barcodes", "-o", Path(".")}, "a dot"},
      /*4*/ {{"defaults", "--model", "0", "-o", dir_.string() + "/"}, "the settings file into a folder"},
      /*5*/ {{"defaults", "--model", "0", "-o", dir_.string()}, "a folder as the settings file"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(testing::Message() << "row " << i << ": " << cases[i].why);
    const ProcessRun r = Cli(cases[i].args);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_FALSE(fs::exists("/_Old"));
  EXPECT_FALSE(fs::exists("/_New"));
  EXPECT_TRUE(fs::is_empty(dir_)) << "nothing written beside the folder's contents";
  EXPECT_FALSE(fs::exists(dir_.string() + "_Old"));
}

TEST_F(CarefulUser, InputsAreBoundedAndCheckedBeforeBlocking) {
  const std::string fifo = Path("in.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const ProcessRun from_fifo = Cli({"image", fifo});
  EXPECT_FALSE(from_fifo.killed) << "a FIFO without a writer hung the open";
  EXPECT_EQ(from_fifo.status, 1);
  EXPECT_TRUE(Contains(from_fifo.err, "Ошибка открытия файла"));
  EXPECT_EQ(Cli({"image", "/dev/zero"}).status, 1);

  // An endless input ends at the symbol's limit.
  const ProcessRun zero = Cli({"aztec"}, {.stdin_path = "/dev/zero"});
  EXPECT_FALSE(zero.killed);
  EXPECT_EQ(zero.status, 1);
  EXPECT_TRUE(Contains(zero.err, "слишком много данных")) << zero.err;
  EXPECT_EQ(Cli({"aztec"}, {.input = std::string(2497, 'a')}).status, 1);
  EXPECT_EQ(Cli({"aztec"}, {.input = std::string(200, 'a')}).status, 0);

  // The emulator's settings file: a device, a folder, a FIFO, one too large.
  std::ofstream(Path("huge.qdx"), std::ios::binary) << "QDX0" << std::string(70000, '\0');
  for (const std::string& image : {std::string("/dev/zero"), dir_.string(), fifo, Path("huge.qdx")}) {
    SCOPED_TRACE(image);
    const ProcessRun sim = test::RunProcess(TAVRIK_SIM, {"--image", image}, {.limit = kHangLimit});
    EXPECT_FALSE(sim.killed);
    EXPECT_EQ(sim.status, 2) << sim.err;
    EXPECT_TRUE(Contains(sim.err, image)) << sim.err;
  }
}

TEST_F(CarefulUser, OutputThatCannotBeWrittenFails) {
  ASSERT_EQ(Cli({"defaults", "--model", "0", "-o", Path("d.qdx")}).status, 0);
  struct Case {
    std::vector<std::string> args;
    std::string input;
  };
  const Case cases[] = {
      /*0*/ {{"image"}, ""},
      /*1*/ {{"aztec"}, "text"},
      /*2*/ {{"--help"}, ""},
      /*3*/ {{"barcodes", Path("d.qdx"), "-o", Path("scan.emf")}, ""},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(testing::Message() << "row " << i);
    const ProcessRun full = Cli(cases[i].args, {.input = cases[i].input, .stdout_path = "/dev/full"});
    EXPECT_EQ(full.status, 1) << "a full disk: " << full.err;
    EXPECT_FALSE(full.err.empty());
    const ProcessRun closed = Cli(cases[i].args, {.input = cases[i].input, .close_stdout = true});
    EXPECT_EQ(closed.status, 1) << "stdout closed: " << closed.err;
  }
}

TEST_F(CarefulUser, NumbersAreDigitsOnly) {
  const std::string bad[] = {" -18446744073709551615", "-1", " 5", "5 ", "+5", "18446744073709551617", "0x", "1e3"};
  for (const std::string& number : bad) {
    SCOPED_TRACE("'" + number + "'");
    EXPECT_EQ(Cli({"image", "--model", number}).status, 2);
    EXPECT_EQ(Cli({"probe", "--port", "/dev/null", "--speed", number}).status, 2);
    EXPECT_EQ(Cli({"probe", "--port", "/dev/null", "--timeout", number}).status, 2);
    const ProcessRun sim = test::RunProcess(TAVRIK_SIM, {"--model", number}, {.limit = kHangLimit});
    EXPECT_EQ(sim.status, 2) << sim.err;
  }
  EXPECT_EQ(Cli({"image", "--model", "204"}).status, 0);
  EXPECT_EQ(Cli({"image", "--model", "0xCC"}).status, 0);
}

void PutBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// A settings file of the defaults of model 0, with image bytes changed and
// the image grown to `size` first; bytes no field holds (the reserved one,
// the tail) are 0xA5.
Bytes DefaultsFile(std::size_t size = kPlacementSize, std::vector<std::pair<std::size_t, std::uint8_t>> changes = {}) {
  SetCurrentModel(0);
  Bytes image(std::max(size, kPlacementSize), 0xA5);
  InitPlacement(image.data(), nullptr);
  image.resize(size);
  SetPlacementSize(image.data(), static_cast<std::int16_t>(size));
  for (const auto& [offset, value] : changes) image[offset] = value;
  Bytes file = {'Q', 'D', 'X', '0'};
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

TEST_F(CarefulUser, DiffNeverCallsDifferingImagesEqual) {
  // Differences the fields' texts cannot show come out byte by byte.
  struct Case {
    Bytes a, b;
    std::string line;  // the one line expected
  };
  const Case cases[] = {
      /*0*/ {DefaultsFile(268, {{21, 10}}), DefaultsFile(268, {{21, 200}}), "байт 21: 0A -> C8\n"},
      /*1*/ {DefaultsFile(), DefaultsFile(268, {{kReservedOffset, 5}}), "байт 143: A5 -> 05\n"},
      /*2*/ {DefaultsFile(), DefaultsFile(268, {{4, 2}}), "байт 4: 01 -> 02\n"},
      /*3*/ {DefaultsFile(300), DefaultsFile(300, {{280, 0}}), "байт 280: A5 -> 00\n"},
      /*4*/ {DefaultsFile(), DefaultsFile(268, {{51, 3}}), "volume: 8 -> 3\n"},
      /*5*/ {DefaultsFile(), DefaultsFile(300), "size: 268 -> 300\n"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(testing::Message() << "row " << i);
    PutBytes(Path("a.qdx"), cases[i].a);
    PutBytes(Path("b.qdx"), cases[i].b);
    const ProcessRun r = Cli({"diff", Path("a.qdx"), Path("b.qdx")});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, cases[i].line);
    EXPECT_EQ(Cli({"diff", Path("a.qdx"), Path("a.qdx")}).status, 0);
  }
}

TEST_F(CarefulUser, DamagedOrForeignImagePartsAreHandledAlikeByEveryCommand) {
  // A negative version is a damaged header: refused by show, diff and set, as a scanner holding it is.
  for (std::uint8_t version : {0xFF, 0x80, 0xFE}) {
    SCOPED_TRACE(int(version));
    PutBytes(Path("v.qdx"), DefaultsFile(268, {{0, version}}));
    const ProcessRun show = Cli({"show", Path("v.qdx")});
    EXPECT_EQ(show.status, 1);
    EXPECT_TRUE(Contains(show.err, "Данные в файле повреждены")) << show.err;
    EXPECT_TRUE(show.out.empty());
    EXPECT_EQ(Cli({"diff", Path("v.qdx"), "--model", "0"}).status, 2);
    EXPECT_EQ(Cli({"set", Path("v.qdx"), "volume=3"}).status, 1);
    EXPECT_EQ(FileBytes(Path("v.qdx")), DefaultsFile(268, {{0, version}}));
  }

  // A sequence length above ten is read as ten and written back as ten.
  PutBytes(Path("seq.qdx"), DefaultsFile(268, {{21, 200}}));
  ASSERT_EQ(Cli({"set", Path("seq.qdx"), "volume=3"}).status, 0);
  EXPECT_EQ(FileBytes(Path("seq.qdx"))[4 + 21], 10);

  // A larger image keeps its tail and size through set, in place and to another file.
  PutBytes(Path("big.qdx"), DefaultsFile(300, {{kReservedOffset, 0x77}}));
  ASSERT_EQ(Cli({"set", Path("big.qdx"), "volume=3", "-o", Path("big2.qdx")}).status, 0);
  ASSERT_EQ(Cli({"set", Path("big.qdx"), "volume=3"}).status, 0);
  for (const std::string& name : {Path("big.qdx"), Path("big2.qdx")}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(FileBytes(name), DefaultsFile(300, {{kReservedOffset, 0x77}, {51, 3}}));
  }
}

TEST_F(CarefulUser, AHugePngIsAUsageErrorBeforeAnythingIsDrawn) {
  const ProcessRun r = Cli({"barcodes", "--module-mm", "5", "--dpi", "2400", "-o", Path("big.png")});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(Contains(r.err, "32767")) << r.err;
  EXPECT_TRUE(fs::is_empty(dir_));
  // The largest that fits is made, at one bit a pixel.
  const ProcessRun fits = Cli({"barcodes", "--module-mm", "4", "--dpi", "2400", "-o", Path("big.png")});
  ASSERT_EQ(fits.status, 0) << fits.err;
  const Bytes png = FileBytes(Path("big_Old.png"));
  ASSERT_GT(png.size(), 26u);
  EXPECT_EQ(png[24], 1) << "bit depth";
}

TEST_F(CarefulUser, LoadChecksTheOutputBeforeTheTransfer) {
  ScannerEmulator scanner;
  const ProcessRun r = Cli({"load", "--port", scanner.PortPath(), "--yes", "-o", Path("missing/l.qdx")});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "Ошибка открытия файла")) << r.err;
  EXPECT_FALSE(Contains(r.err, "Продолжить выполнение?")) << "asked before the check";
  EXPECT_TRUE(scanner.Requests().empty());
}

}  // namespace
}  // namespace tavrik
