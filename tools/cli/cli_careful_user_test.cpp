// tavrik-cli and the emulator tried as a careful user tries them: unplugged
// scanners, newer settings, outputs and inputs that are not plain files,
// output that cannot be written, numbers with blanks and signs.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "device/ScannerInterface.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "tools/cli/cli_process.h"
#include "tools/scanner-sim/ScannerEmulator.h"
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
  std::string got;
  std::thread reader([&] {
    const int fd = ::open(fifo.c_str(), O_RDONLY);
    char buf[512];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) got.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
  });
  // The reader must be waiting before the write, or the write is refused.
  for (int i = 0; i < 200; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const ProcessRun into_fifo = Cli({"defaults", "--model", "0", "-o", fifo});
  reader.join();
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
