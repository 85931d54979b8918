// Every fault the emulator can play, through every device action of the
// program: load, save, check, search and speed change, on a real pty. Each
// action ends in bounded time with its message; a failed load leaves Settings
// and the output file as they were; a failed save says so; no descriptor is
// left open (memory is the leak checker's part at the end of the run).

#include <gtest/gtest.h>
#include <dirent.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "core/ScriptedDialogs.h"
#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "testsupport/ImageBytes.h"
#include "transfers/ConnectionParams.h"
#include "transfers/DeviceSearch.h"
#include "transfers/DeviceTransfers.h"

namespace tavrik {
namespace {

using SI = CScannerInterface;
using Bytes = std::vector<std::uint8_t>;

enum Action { load, save, check, search, set_speed, action_count };
constexpr const char* kActionNames[] = {"load", "save", "check", "search", "set speed"};

// What each action asks of the scanner: a status fault on a command fails the
// actions that use it and no other.
constexpr std::uint8_t kCommandsOf[action_count][5] = {
    /*load*/ {SI::cmd_device_state, SI::cmd_device_info, SI::cmd_read_block},
    /*save*/ {SI::cmd_device_state, SI::cmd_read_block, SI::cmd_write_block},
    /*check*/ {SI::cmd_device_info},
    /*search*/ {SI::cmd_device_info},
    /*set speed*/ {SI::cmd_speed, SI::cmd_device_state, SI::cmd_device_info},
};

bool Uses(Action action, std::uint8_t command) {
  for (std::uint8_t c : kCommandsOf[action])
    if (c == command) return true;
  return false;
}

struct Row {
  std::string name;
  std::vector<Fault> faults;
  std::uint32_t answer_delay_ms = 0;
  // Per action (load, save, check, search, set speed): 'y' it succeeds, 'n' it fails.
  std::string expect;
};

Fault StatusFault(std::uint8_t command, std::uint8_t status) {
  return {FaultKind::status, command, -1, status};
}

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

// A fault of one request of `command`, after `skip` of them, lasting `ms`.
Fault Timed(FaultKind kind, std::uint8_t command, int skip, std::uint32_t ms) {
  Fault f{kind, command, 1};
  f.skip = skip;
  f.duration_ms = ms;
  return f;
}

std::vector<Row> Rows() {
  std::vector<Row> rows = {
      {"none", {}, 0, "yyyyy"},
      {"silence", {{FaultKind::silence}}, 0, "nnnnn"},
      {"stray_byte", {{FaultKind::stray_bytes, 0, -1, 1}}, 0, "yyyyy"},
      {"stray_bytes", {{FaultKind::stray_bytes, 0, -1, 2}}, 0, "nnnnn"},  // one is tolerated, two are not
      {"bad_check", {{FaultKind::bad_check}}, 0, "nnnnn"},
      {"foreign_echo", {{FaultKind::foreign_echo}}, 0, "nnnnn"},
      {"not_ready_short", {{FaultKind::not_ready, 0, 2}}, 0, "yyyyy"},
      {"not_ready_storm", {{FaultKind::not_ready, 0, -1}}, 0, "nnnnn"},
      {"extra_byte", {{FaultKind::extra_data_byte}}, 0, "nnnnn"},
      {"missing_byte", {{FaultKind::missing_data_byte}}, 0, "nnnnn"},
      {"flash_write_error", {[] {
                               Fault f{FaultKind::flash_write_error};
                               f.address = SETTINGS_ADDRESS + 130;
                               return f;
                             }()},
       0, "ynyyy"},
      {"hang_up_reading", {{FaultKind::hang_up, SI::cmd_read_block, 1, 40, 0, 1}}, 0, "nnyyy"},
      {"hang_up_writing", {{FaultKind::hang_up, SI::cmd_write_block, 1, 0, 0, 1}}, 0, "ynyyy"},
      {"hang_up_changing_speed", {{FaultKind::hang_up, SI::cmd_speed, 1, 0, 0, 1}}, 0, "yyyyn"},
      {"late_within_time_out", {}, 60, "yyyyy"},
      {"late_past_time_out", {}, 1500, "nnnnn"},
      {"vanishes_between_blocks", {Timed(FaultKind::line_drop, SI::cmd_read_block, 1, 3000)}, 0, "nnyyy"},
      {"keeps_old_speed", {{FaultKind::keep_old_speed}}, 0, "yyyyn"},
      // One answer past the time-out: the retry takes it, and the block is
      // right.
      {"one_late_answer_reading", {Timed(FaultKind::late_answer, SI::cmd_read_block, 1, 300)}, 0, "yyyyy"},
      {"one_late_answer_writing", {Timed(FaultKind::late_answer, SI::cmd_write_block, 0, 300)}, 0, "yyyyy"},
  };
  const std::uint8_t commands[] = {SI::cmd_device_state, SI::cmd_device_info, SI::cmd_read_block,
                                   SI::cmd_write_block, SI::cmd_speed};
  const std::uint8_t statuses[] = {SI::bad_parameters,        SI::not_supported,         SI::not_supported_in_mode,
                                   SI::bad_block_size,        SI::address_out_of_range,  SI::block_alignment_error,
                                   SI::flash_write_error,     0x7F /* a code no table names */};
  for (std::uint8_t command : commands) {
    for (std::uint8_t status : statuses) {
      char name[32];
      std::snprintf(name, sizeof name, "status_%02X_%u", command, status);
      std::string expect;
      for (int a = 0; a < action_count; ++a) expect += Uses(static_cast<Action>(a), command) ? 'n' : 'y';
      rows.push_back({name, {StatusFault(command, status)}, 0, expect});
    }
  }
  return rows;
}

int OpenDescriptors() {
  int count = 0;
  DIR* dir = ::opendir("/proc/self/fd");
  while (dir && ::readdir(dir)) ++count;
  if (dir) ::closedir(dir);
  return count;
}

Bytes FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(f)), {});
}

class FaultMatrix : public ::testing::TestWithParam<Row> {
 protected:
  void SetUp() override {
    ResetProcessState();
    ResetConnectionParams();
    char tmpl[] = "/tmp/tavrik-matrix-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::filesystem::remove_all(dir_);
    ResetProcessState();
    ResetConnectionParams();
  }
  std::string dir_;
};

// One action against a fresh scanner with the row's faults; true when it succeeded.
bool RunAction(Action action, const Row& row, const std::string& out_file) {
  EmulatorConfig config;
  config.model = 156;
  config.answer_delay_ms = row.answer_delay_ms;
  ScannerEmulator scanner(config);
  for (const Fault& f : row.faults) scanner.AddFault(f);
  ScriptedDialogs dialogs;
  dialogs.answers = {Answer::yes, Answer::yes, Answer::yes, Answer::yes};
  ConnectionParams().port = scanner.PortPath();
  ConnectionParams().speed = 9600;
  ConnectionParams().timeout = 200;

  // Settings a user has made, with the scanner's own interface so that the
  // save asks no interface question.
  SetCurrentModel(156);
  Settings edited{};
  LoadDefaults(edited);
  edited.volume = 1;
  CurrentSettings() = edited;
  const Bytes file_before = FileBytes(out_file);

  bool ok = false;
  switch (action) {
    case load: {
      const LoadResult r = LoadFromDevice();
      ok = r == load_ok;
      if (ok) {
        Settings scanners{};
        SettingsFromPlacement(scanners, EmulatorImage(config).data());
        EXPECT_TRUE(CurrentSettings() == scanners) << "the load took something else than the scanner's settings";
        EXPECT_EQ(WriteSettingsFile(out_file, CurrentSettings()), FileResult::ok);
      } else {
        EXPECT_EQ(r, load_failed);
        EXPECT_TRUE(CurrentSettings() == edited) << "Settings changed by a failed load";
        EXPECT_EQ(FileBytes(out_file), file_before);
      }
      break;
    }
    case save: {
      const SaveResult r = SaveToDevice();
      ok = r == SaveResult::saved;
      if (ok) {
        // No field holds the reserved byte: the scanner's stays.
        const Bytes expected = test::ImageLaidOut(edited, EmulatorImage(config)[kReservedOffset]);
        const Bytes written = scanner.ReadMemory(SETTINGS_ADDRESS, kPlacementSize);
        for (std::size_t i = 0; i < kPlacementSize; ++i)
          EXPECT_EQ(written[i], expected[i]) << "the scanner's settings byte " << i;
      }
      if (!ok) {
        EXPECT_EQ(r, SaveResult::failed) << "a failed save must say so";
      }
      EXPECT_TRUE(CurrentSettings() == edited) << "the save changed Settings";
      break;
    }
    case check: {
      const CheckOutcome outcome = CheckConnection();
      ok = outcome.found;
      if (!ok) {
        EXPECT_EQ(outcome.text, kNotFoundText);
      }
      break;
    }
    case search: {
      const SearchOutcome outcome = SearchDevice({scanner.PortPath()});
      ok = outcome.found;
      if (!ok) {
        EXPECT_EQ(outcome.text, kNotFoundText);
      }
      break;
    }
    case set_speed: {
      ok = ApplySpeed(9600, static_cast<std::uint8_t>(SpeedIndexOf(115200))).ok;
      break;
    }
    case action_count: break;
  }
  // The failure's message: one error box for the transfers and the speed
  // change; the check and the search tell it in their text instead.
  int errors = 0;
  for (const MessageBox& box : dialogs.shown) errors += box.icon == Icon::error;
  if (action == load || action == save || action == set_speed) {
    EXPECT_EQ(errors, ok ? 0 : 1);
  } else {
    EXPECT_EQ(errors, 0);
  }
  return ok;
}

TEST_P(FaultMatrix, EveryActionEndsWithItsMessage) {
  const Row& row = GetParam();
  ASSERT_EQ(row.expect.size(), static_cast<std::size_t>(action_count));
  const std::string out_file = dir_ + "/out.qdx";
  { std::ofstream(out_file, std::ios::binary) << "what the user had"; }
  for (int a = 0; a < action_count; ++a) {
    const Action action = static_cast<Action>(a);
    SCOPED_TRACE(kActionNames[a]);
    const int descriptors = OpenDescriptors();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = RunAction(action, row, out_file);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(ok, row.expect[a] == 'y');
    // Bounded: the mode poll (5 s) and every attempt's time-out, with room
    // for a loaded machine.
    EXPECT_LT(took, std::chrono::seconds(60));
    EXPECT_EQ(OpenDescriptors(), descriptors) << "a descriptor was left open";
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, ::testing::ValuesIn(Rows()),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

}  // namespace
}  // namespace tavrik
