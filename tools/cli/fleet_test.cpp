// Many ports in one process: each thread answers and reports through its own
// Dialogs and works on its own copy of the settings; the process-wide records
// and the process-wide Dialogs are left alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/Dialogs.h"
#include "core/ScriptedDialogs.h"
#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "tools/cli/Fleet.h"
#include "transfers/ConnectionParams.h"

namespace tavrik {
namespace {

class Counting final : public Dialogs {
 public:
  Answer Show(const MessageBox&) override {
    ++shown;
    return Answer::ok;
  }
  std::optional<std::string> OpenFileName(const FileDialog&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const FileDialog&) override { return std::nullopt; }
  int shown = 0;
};

TEST(ThreadDialogsScope, ServesOnlyItsThreadAndNests) {
  ScriptedDialogs process;
  Counting outer, inner;
  std::thread worker([&] {
    ThreadDialogsScope a(outer);
    ShowNotice("1");
    {
      ThreadDialogsScope b(inner);
      ShowNotice("2");
    }
    ShowNotice("3");
  });
  worker.join();
  ShowNotice("main");
  EXPECT_EQ(outer.shown, 2);
  EXPECT_EQ(inner.shown, 1);
  ASSERT_EQ(process.shown.size(), 1u);
  EXPECT_EQ(process.shown[0].text, "main");
}

TEST(ForEachPort, ABoundedPoolServesEveryPortOnceAndFailsOnlyTheOneThatThrows) {
  struct Case {
    std::size_t ports;
    std::size_t max_threads;
  };
  const Case cases[] = {
      /*0*/ {0, 16},   // nothing to do, no thread
      /*1*/ {1, 16},   // one port: the calling thread alone
      /*2*/ {7, 1},    // a pool of one is the calling thread
      /*3*/ {40, 4},   // a hub: never more threads than the pool
      /*4*/ {3, 0},    // a pool of none still serves
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE(testing::Message() << "row " << row);
    std::vector<PortReport> reports(cases[row].ports);
    for (std::size_t i = 0; i < reports.size(); ++i) reports[i].port = "p" + std::to_string(i);
    std::mutex mutex;
    std::set<std::thread::id> threads;
    std::map<std::string, int> served;
    ForEachPort(
        reports,
        [&](PortReport& r) {
          {
            std::lock_guard<std::mutex> lock(mutex);
            threads.insert(std::this_thread::get_id());
            ++served[r.port];
          }
          // Long enough for the others to start, so the pool shows its size.
          std::this_thread::sleep_for(std::chrono::milliseconds(2));
          if (r.port == "p2") throw std::runtime_error("broken port");
          r.ok = true;
        },
        cases[row].max_threads);
    EXPECT_LE(threads.size(), std::max<std::size_t>(cases[row].max_threads, 1));
    if (!reports.empty()) {
      EXPECT_TRUE(threads.count(std::this_thread::get_id())) << "the caller works too";
    }
    for (const PortReport& r : reports) {
      EXPECT_EQ(served[r.port], 1) << r.port;
      EXPECT_EQ(r.ok, r.port != "p2") << r.port;
      if (r.port == "p2") {
        EXPECT_NE(r.error.find("broken port"), std::string::npos) << r.error;
      }
    }
  }
}

TEST(SaveToPorts, EachPortGetsTheSettingsAndNothingProcessWideIsTouched) {
  ResetProcessState();
  ResetConnectionParams();
  ScriptedDialogs process;  // would answer No to every question
  // A current and an older scanner (its short image has only the hid_class slots).
  EmulatorConfig long_config, short_config;
  long_config.image_size = 268;
  short_config.image_size = 176;
  std::vector<std::unique_ptr<ScannerEmulator>> scanners;
  scanners.push_back(std::make_unique<ScannerEmulator>(long_config));
  scanners.push_back(std::make_unique<ScannerEmulator>(short_config));

  Settings file{};
  LoadDefaults(file);
  file.barcode_interface = uart;
  file.barcode_suffix_ascii = {1, {0x09}};
  file.volume = 1;
  const Settings file_before = file;
  const Settings current_before = CurrentSettings();

  const std::vector<PortReport> reports =
      SaveToPorts(file, {scanners[0]->PortPath(), scanners[1]->PortPath()}, 9600, 1000);
  ASSERT_EQ(reports.size(), 2u);
  for (const PortReport& r : reports) EXPECT_TRUE(r.ok) << r.port << ": " << r.error;
  EXPECT_EQ(scanners[0]->ReadMemory(SETTINGS_ADDRESS + 51, 1)[0], 1) << "volume";
  EXPECT_EQ(scanners[1]->ReadMemory(SETTINGS_ADDRESS + 51, 1)[0], 1) << "volume";
  // The older scanner got the selected ASCII suffix in its hid_class slot...
  EXPECT_EQ(scanners[1]->ReadMemory(SETTINGS_ADDRESS + 32, 2), (std::vector<std::uint8_t>{1, 0x09}));
  // ...and the copy was the thread's own.
  EXPECT_TRUE(file == file_before);
  EXPECT_TRUE(CurrentSettings() == current_before);
  EXPECT_EQ(ConnectionParams().port, "");
  EXPECT_TRUE(process.shown.empty()) << process.shown[0].text;
  ASSERT_FALSE(reports[0].messages.empty());
  EXPECT_NE(reports[0].messages[0].find("Продолжить выполнение?"), std::string::npos);
}

TEST(SaveToPorts, APortThatCannotBeOpenedFailsAloneWithItsText) {
  ScannerEmulator scanner;
  Settings file{};
  LoadDefaults(file);
  const std::vector<PortReport> reports = SaveToPorts(file, {"/dev/tavrik-no-such-port", scanner.PortPath()}, 9600, 300);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_FALSE(reports[0].ok);
  EXPECT_EQ(reports[0].device, "-");
  EXPECT_NE(reports[0].error.find("COM-порт недоступен"), std::string::npos) << reports[0].error;
  EXPECT_TRUE(reports[1].ok) << reports[1].error;
}

}  // namespace
}  // namespace tavrik
