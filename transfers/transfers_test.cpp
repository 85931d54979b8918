// The two device transfers end to end: ScannerEmulator on a real pty, the
// program's serial port and protocol, scripted answers to the questions.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/ScriptedDialogs.h"
#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "transfers/ConnectionParams.h"
#include "transfers/DeviceTransfers.h"

namespace tavrik {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr Answer Y = Answer::yes;
constexpr Answer N = Answer::no;

ByteSeq Seq(std::initializer_list<std::uint8_t> bytes) {
  ByteSeq s{};
  s.length = static_cast<std::uint8_t>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), s.data);
  return s;
}

// An image a scanner could hold: the defaults of `model`, then marks that a
// transfer must carry or keep, `size` bytes long.
Bytes ScannerImage(std::uint8_t model, std::uint16_t size, std::uint8_t version = 1) {
  EmulatorConfig c;
  c.model = model;
  c.image_size = size;
  c.version = version;
  Bytes image = EmulatorImage(c);
  image[14] = 0x11;  // lens_upper 0x2211
  image[15] = 0x22;
  image[16] = 0x33;  // lens_lower
  image[17] = 0x44;
  image[18] = 9;     // lens_frequency
  image[kReservedOffset] = 0x5A;
  image[51] = 3;     // volume
  for (std::size_t i = kPlacementSize; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);
  return image;
}

class TransfersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    ResetConnectionParams();
  }
  void TearDown() override {
    scanner_.reset();
    ResetProcessState();
    ResetConnectionParams();
  }

  ScannerEmulator& Start(const Bytes& image, std::uint8_t model = 156, std::uint16_t firmware = 0x073C) {
    EmulatorConfig c;
    c.model = model;
    c.firmware = firmware;
    c.image = image;
    scanner_.emplace(c);
    ConnectionParams().port = scanner_->PortPath();
    ConnectionParams().timeout = 200;
    return *scanner_;
  }
  Bytes Memory(std::uint32_t size) const { return scanner_->ReadMemory(SETTINGS_ADDRESS, size); }
  // Requests of one command code.
  std::vector<Request> Sent(std::uint8_t code) const {
    std::vector<Request> out;
    for (const Request& r : scanner_->Requests())
      if (!r.empty() && r[0] == code) out.push_back(r);
    return out;
  }
  std::uint32_t BytesWritten() const {
    std::uint32_t n = 0;
    for (const Request& r : Sent(CScannerInterface::cmd_write_block)) n += static_cast<std::uint32_t>(r.size() - 5);
    return n;
  }

  // The record the user edited: differs from every scanner image of these tests.
  static Settings Edited() {
    Settings s{};
    LoadDefaults(s);
    s.volume = 6;
    s.code128_enabled = false;
    s.lens_upper = 1;
    s.lens_lower = 2;
    s.lens_frequency = 3;
    s.inter_barcode_delay = 777;
    s.barcode_prefix_hid = Seq({0x04});
    s.barcode_suffix_hid = Seq({0x28});
    s.currency_prefix_hid = Seq({0x05});
    s.currency_suffix_hid = Seq({0x29});
    s.barcode_prefix_ascii = Seq({'<', '<'});
    s.barcode_suffix_ascii = Seq({'>', 0x0D});
    s.currency_prefix_ascii = Seq({'$'});
    s.currency_suffix_ascii = Seq({'%'});
    return s;
  }

  ScriptedDialogs dialogs_;
  std::optional<ScannerEmulator> scanner_;
};

TEST_F(TransfersTest, LoadReadsTheScannersImageAndIdentity) {
  struct Case {
    std::uint16_t size;
    const char* why;
  };
  const Case cases[] = {
      /*0*/ {268, "current layout"},
      /*1*/ {176, "older scanner: fields from 176 on take the model's defaults"},
      /*2*/ {300, "newer scanner: the first 268 bytes are used"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    ResetProcessState();
    const Bytes image = ScannerImage(204, c.size);
    Start(image, 204, 0x073C);
    dialogs_.shown.clear();
    dialogs_.answers = {Y};
    int selected = -1, loads = 0;
    TransferHooks hooks;
    hooks.select_model = [&](std::uint8_t m) { selected = m; };
    hooks.load_active_page = [&] { ++loads; };
    ASSERT_EQ(LoadFromDevice(hooks), load_ok);
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].text, kLoadQuestion.text);
    EXPECT_EQ(dialogs_.shown[0].caption, "Внимание");
    EXPECT_EQ(dialogs_.shown[0].default_answer, Answer::no);
    EXPECT_EQ(selected, 204);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(CurrentModel(), 204);
    EXPECT_EQ(CurrentFirmwareVersion(), 0x073C);

    Settings expected{};
    std::array<std::uint8_t, kPlacementSize> buffer{};
    InitPlacement(buffer.data(), nullptr);
    std::memcpy(buffer.data(), image.data(), std::min<std::size_t>(c.size, kPlacementSize));
    SettingsFromPlacement(expected, buffer.data());
    EXPECT_TRUE(CurrentSettings() == expected);
    EXPECT_EQ(CurrentSettings().volume, 3);
    EXPECT_EQ(CurrentSettings().lens_frequency, 9);
    // The state word got the transfer pattern in bits 4 and 5 of byte 0.
    EXPECT_EQ(scanner_->State()[0] & 0x30, 0x20);
    EXPECT_EQ(TitleAfterLoad(load_ok, "Zeyd Tavrik 1.0.0", "x"), "Zeyd Tavrik 1.0.0 -> \"" +
                                                                     ModelText(204, true) + "\" (v.7.60)");
  }
}

TEST_F(TransfersTest, SaveOverlaysTheRecordOnTheScannersImage) {
  struct Case {
    std::uint16_t size;
    const char* why;
  };
  const Case cases[] = {
      /*0*/ {268, "current layout"},
      /*1*/ {300, "newer scanner: 300 bytes written, 268..299 as the scanner had them"},
      /*2*/ {176, "older scanner: 176 bytes, the selected sequences in the hid slots"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const Bytes before = ScannerImage(156, c.size);
    Start(before);
    CurrentSettings() = Edited();
    CurrentSettings().barcode_interface = before[94];  // no interface question here
    CurrentSettings().currency_interface = bt_spp;     // ascii_class for currency data
    CurrentSettings().hid_poll_interval = before[100];
    CurrentSettings().cdc_static_port = before[108] != 0;
    scanner_->WriteMemory(SETTINGS_ADDRESS + 95, {bt_spp});
    const Settings record = CurrentSettings();
    dialogs_.shown.clear();
    dialogs_.answers = {Y};
    int stores = 0;
    TransferHooks hooks;
    hooks.store_active_page = [&] { ++stores; return true; };
    ASSERT_EQ(SaveToDevice(hooks), SaveResult::saved);
    EXPECT_EQ(stores, 1);
    EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{kSaveQuestion.text}) << "nothing shown after a good save";
    EXPECT_EQ(BytesWritten(), c.size);

    const Bytes after = Memory(c.size);
    EXPECT_EQ(Bytes(after.begin(), after.begin() + 3), Bytes(before.begin(), before.begin() + 3)) << "header kept";
    EXPECT_EQ(Bytes(after.begin() + 14, after.begin() + 19), Bytes(before.begin() + 14, before.begin() + 19))
        << "lens settings kept";
    EXPECT_EQ(after[kReservedOffset], 0x5A);
    EXPECT_EQ(after[51], 6) << "volume from the record";
    EXPECT_EQ(after[6], 0) << "code128 off from the record";
    if (c.size > kPlacementSize) {
      EXPECT_EQ(Bytes(after.begin() + kPlacementSize, after.end()), Bytes(before.begin() + kPlacementSize, before.end()));
      EXPECT_EQ(after[265] | (after[266] << 8), 777);
    }
    if (c.size == 176) {
      // Barcode data by usb_hid (hid_class) keeps its own slots; currency data
      // by bt_spp (ascii_class) travels in the hid slots.
      EXPECT_EQ(after[21], 1);
      EXPECT_EQ(after[22], 0x04);
      EXPECT_EQ(after[109], 1);
      EXPECT_EQ(after[110], '$');
      EXPECT_EQ(after[120], 1);
      EXPECT_EQ(after[121], '%');
    }
    EXPECT_TRUE(CurrentSettings() == record) << "the record's own slots are back";
  }
}

TEST_F(TransfersTest, ShortImageSlotCopyIsUndoneOnEveryWayOut) {
  const Bytes before = ScannerImage(156, 176);
  struct Case {
    const char* why;
    std::vector<Answer> answers;
    bool flash_error;
    SaveResult result;
  };
  const Case cases[] = {
      /*0*/ {"saved", {Y, Y}, false, SaveResult::saved},
      /*1*/ {"No to the interface question", {Y, N}, false, SaveResult::declined},
      /*2*/ {"flash error while writing", {Y, Y}, true, SaveResult::failed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Start(before);
    if (c.flash_error) scanner_->AddFault({FaultKind::flash_write_error, 0, -1, 0, SETTINGS_ADDRESS + 130});
    CurrentSettings() = Edited();
    CurrentSettings().barcode_interface = uart;  // the scanner has usb_hid: the cable question
    const Settings record = CurrentSettings();
    dialogs_.shown.clear();
    dialogs_.answers = {c.answers.begin(), c.answers.end()};
    EXPECT_EQ(SaveToDevice({}), c.result);
    EXPECT_TRUE(CurrentSettings() == record);
    const Bytes after = Memory(176);
    if (c.result == SaveResult::saved) {
      EXPECT_EQ(Bytes(after.begin() + 21, after.begin() + 24), (Bytes{2, '<', '<'})) << "ascii prefix in slot 21";
      EXPECT_EQ(Bytes(after.begin() + 32, after.begin() + 35), (Bytes{2, '>', 0x0D})) << "ascii suffix in slot 32";
      EXPECT_EQ(dialogs_.shown.back().text, kRestartNotice.text);
    } else if (!c.flash_error) {
      EXPECT_EQ(after, before) << "nothing written";
      EXPECT_EQ(BytesWritten(), 0u);
    } else {
      EXPECT_EQ(dialogs_.shown.back().icon, Icon::error);
      EXPECT_EQ(dialogs_.shown.back().caption, "");
    }
  }
}

TEST_F(TransfersTest, InterfaceChangeQuestions) {
  const std::string general = kInterfaceChangeQuestion.text;
  auto cable = [](const char* name) {
    char text[512];
    std::snprintf(text, sizeof text, kCableQuestion.text, name);
    return std::string(text);
  };
  struct Case {
    std::uint8_t scanner_interface, record_interface;
    std::uint8_t scanner_poll, record_poll;
    bool scanner_static, record_static;
    std::uint8_t scanner_currency, record_currency;
    std::string question;  // empty: no question
  };
  const Case cases[] = {
      /*0*/ {usb_hid, uart, 3, 3, true, true, 2, 2, cable("UART (RS232)")},
      /*1*/ {uart, usb_cdc, 3, 3, true, true, 2, 2, cable("USB")},
      /*2*/ {uart, usb_hid_only, 3, 3, true, true, 2, 2, cable("USB")},
      /*3*/ {uart, bt_hid, 3, 3, true, true, 2, 2, cable("Неизвестный интерфейс")},
      /*4*/ {usb_hid, usb_cdc, 3, 3, true, true, 2, 2, general},
      /*5*/ {usb_hid, usb_hid, 3, 5, true, true, 2, 2, general},
      /*6*/ {usb_hid, usb_hid, 3, 3, true, false, 2, 2, general},
      /*7*/ {usb_hid, usb_hid, 3, 3, true, true, 2, 0, general},
      /*8*/ {uart, uart, 3, 3, true, true, 2, 2, ""},
  };
  // Version 2: a newer layout overwritten after its own question; the link to
  // the host moves all the same, so the same question and notice come.
  for (std::uint8_t version : {1, 2}) {
    for (std::size_t i = 0; i < std::size(cases); ++i) {
      const Case& c = cases[i];
      SCOPED_TRACE(testing::Message() << "version " << int(version) << ", row " << i);
      Bytes image = ScannerImage(156, 268, version);
      image[94] = c.scanner_interface;
      image[95] = c.scanner_currency;
      image[100] = c.scanner_poll;
      image[108] = c.scanner_static;
      std::vector<std::string> asked = {kSaveQuestion.text};
      if (version == 2) asked.push_back(kNewerVersionSaveQuestion.text);
      for (Answer last : {N, Y}) {
        Start(image);
        CurrentSettings() = Edited();
        CurrentSettings().barcode_interface = c.record_interface;
        CurrentSettings().currency_interface = c.record_currency;
        CurrentSettings().hid_poll_interval = c.record_poll;
        CurrentSettings().cdc_static_port = c.record_static;
        dialogs_.shown.clear();
        dialogs_.answers = {Y};
        if (version == 2) dialogs_.answers.push_back(Y);
        dialogs_.answers.push_back(last);
        const SaveResult r = SaveToDevice({});
        if (c.question.empty()) {
          EXPECT_EQ(r, SaveResult::saved);
          EXPECT_EQ(dialogs_.Texts(), asked);
          break;
        }
        ASSERT_EQ(dialogs_.shown.size(), asked.size() + 1 + (last == Y ? 1 : 0));
        const MessageBox& question = dialogs_.shown[asked.size()];
        EXPECT_EQ(question.text, c.question);
        EXPECT_EQ(question.caption, "Внимание");
        EXPECT_EQ(question.icon, Icon::exclamation);
        if (last == N) {
          EXPECT_EQ(r, SaveResult::declined);
          EXPECT_EQ(BytesWritten(), 0u);
        } else {
          EXPECT_EQ(r, SaveResult::saved);
          EXPECT_EQ(Memory(268)[94], c.record_interface);
          EXPECT_EQ(Memory(1)[0], 1) << "written with our header";
          EXPECT_EQ(dialogs_.shown.back().text, kRestartNotice.text);
        }
      }
    }
  }
}

TEST_F(TransfersTest, SettingsVersionRules) {
  constexpr int kSaved = static_cast<int>(SaveResult::saved);
  constexpr int kDeclined = static_cast<int>(SaveResult::declined);
  constexpr int kFailed = static_cast<int>(SaveResult::failed);
  struct Case {
    std::uint8_t version;
    bool load;
    std::vector<Answer> answers;
    int result;  // LoadResult, or SaveResult as int
    const char* last_text;
  };
  const Case cases[] = {
      /*0*/ {0xFF, true, {Y}, load_bad_version, kBadVersion.text},
      /*1*/ {2, true, {Y, N}, load_newer_declined, kNewerVersionQuestion.text},
      /*2*/ {2, true, {Y, Y}, load_ok, kNewerVersionQuestion.text},
      /*3*/ {0xFF, false, {Y}, kFailed, kBadVersion.text},
      // A save asks whether to overwrite, not whether to load defaults.
      /*4*/ {2, false, {Y, N}, kDeclined, kNewerVersionSaveQuestion.text},
      /*5*/ {2, false, {Y, Y}, kSaved, kNewerVersionSaveQuestion.text},
      // Every version above ours is newer, up to the largest positive byte.
      /*6*/ {3, true, {Y, Y}, load_ok, kNewerVersionQuestion.text},
      /*7*/ {0x7F, true, {Y, N}, load_newer_declined, kNewerVersionQuestion.text},
      /*8*/ {3, false, {Y, Y}, kSaved, kNewerVersionSaveQuestion.text},
      /*9*/ {0x7F, false, {Y, N}, kDeclined, kNewerVersionSaveQuestion.text},
      // Version 0 and 1 are ours or older: read and written as they are.
      /*10*/ {0, true, {Y}, load_ok, kLoadQuestion.text},
      /*11*/ {0, false, {Y}, kSaved, kSaveQuestion.text},
      /*12*/ {1, true, {Y}, load_ok, kLoadQuestion.text},
      /*13*/ {1, false, {Y}, kSaved, kSaveQuestion.text},
      // Every negative version is a damaged header, as in a settings file.
      /*14*/ {0x80, true, {Y}, load_bad_version, kBadVersion.text},
      /*15*/ {0xFE, true, {Y}, load_bad_version, kBadVersion.text},
      /*16*/ {0x80, false, {Y}, kFailed, kBadVersion.text},
      /*17*/ {0xFE, false, {Y}, kFailed, kBadVersion.text},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "row " << i);
    const bool damaged = c.version >= 0x80;
    const bool newer = c.version >= 2 && !damaged;
    ResetProcessState();
    const Bytes image = ScannerImage(204, 268, c.version);
    Start(image, 204);
    const Settings edited = Edited();
    CurrentSettings() = edited;
    CurrentSettings().barcode_interface = image[94];
    CurrentSettings().hid_poll_interval = image[100];
    const Settings before = CurrentSettings();
    dialogs_.shown.clear();
    dialogs_.answers = {c.answers.begin(), c.answers.end()};
    const int r = c.load ? LoadFromDevice({}) : static_cast<int>(SaveToDevice({}));
    EXPECT_EQ(r, c.result);
    ASSERT_EQ(dialogs_.shown.size(), c.answers.size() + (damaged ? 1 : 0));
    const MessageBox& box = dialogs_.shown.back();
    EXPECT_EQ(box.text, c.last_text);
    if (damaged) {
      EXPECT_EQ(box.caption, "Ошибка");
      EXPECT_EQ(box.icon, Icon::exclamation);
    } else if (newer) {
      EXPECT_EQ(box.caption, "Вопрос");
      EXPECT_EQ(box.icon, Icon::question);
      EXPECT_EQ(box.default_answer, Answer::no);
    }
    if (c.load && r == load_ok && newer) {
      Settings defaults{};
      LoadDefaults(defaults);  // of the scanner's model, now current
      EXPECT_TRUE(CurrentSettings() == defaults);
    } else if (c.load && r == load_ok) {
      // The scanner's own values, where the marks of ScannerImage put them.
      EXPECT_EQ(CurrentSettings().volume, 3);
      EXPECT_EQ(CurrentSettings().lens_frequency, 9);
      EXPECT_EQ(CurrentSettings().lens_upper, 0x2211);
    } else if (c.load) {
      EXPECT_TRUE(CurrentSettings() == before);
    }
    if (!c.load) {
      const Bytes after = Memory(268);
      if (r == kSaved && newer) {
        // Our fields under a newer header would read as damaged settings: the
        // image written is ours whole, header included; the reserved byte is
        // 0 in every image the program builds.
        EXPECT_EQ(after[0], 1);
        EXPECT_EQ(after[1], 0x0C);
        EXPECT_EQ(after[2], 0x01);
        EXPECT_EQ(after[kReservedOffset], 0);
        EXPECT_EQ(after[51], 6) << "volume";
        EXPECT_EQ(after[18], before.lens_frequency) << "ours whole, lens fields included";
      } else if (r == kSaved) {
        EXPECT_EQ(after[0], c.version) << "the scanner keeps its header";
        EXPECT_EQ(after[kReservedOffset], 0x5A);
        EXPECT_EQ(after[51], 6) << "volume";
        EXPECT_EQ(after[18], 9) << "the scanner keeps its lens";
      } else {
        EXPECT_EQ(BytesWritten(), 0u);
        EXPECT_EQ(after, Bytes(image.begin(), image.begin() + 268));
      }
    }
  }
}

// The rule of a settings file holds for a scanner too: a length byte above
// ten is read as ten, and the save puts ten back.
TEST_F(TransfersTest, ADamagedSequenceLengthInTheScannerIsReadAndWrittenAsTen) {
  Bytes image = ScannerImage(156, 268);
  image[21] = 200;  // barcode_prefix_hid
  for (std::size_t i = 22; i < 32; ++i) image[i] = static_cast<std::uint8_t>('a' + i - 22);
  Start(image);
  dialogs_.answers = {Y};
  ASSERT_EQ(LoadFromDevice({}), load_ok);
  EXPECT_EQ(CurrentSettings().barcode_prefix_hid.length, 10);
  EXPECT_EQ(CurrentSettings().barcode_prefix_hid.data[9], 'j');
  dialogs_.shown.clear();
  dialogs_.answers = {Y};
  ASSERT_EQ(SaveToDevice({}), SaveResult::saved);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{kSaveQuestion.text});
  EXPECT_EQ(Memory(22)[21], 10);
}

TEST_F(TransfersTest, DeclinedFirstQuestionTouchesNothing) {
  const Bytes image = ScannerImage(204, 268);
  Start(image, 204);
  const Settings before = CurrentSettings();
  dialogs_.answers = {N};
  int selected = -1;
  TransferHooks hooks;
  hooks.select_model = [&](std::uint8_t m) { selected = m; };
  EXPECT_EQ(LoadFromDevice(hooks), load_declined);
  EXPECT_EQ(selected, -1);
  EXPECT_EQ(CurrentModel(), 0);
  EXPECT_TRUE(CurrentSettings() == before);
  EXPECT_EQ(TitleAfterLoad(load_declined, "base", "base -> x"), "base -> x");

  dialogs_.answers = {N};
  int stores = 0;
  hooks.store_active_page = [&] { ++stores; return true; };
  EXPECT_EQ(SaveToDevice(hooks), SaveResult::declined);
  EXPECT_EQ(stores, 0);
  EXPECT_EQ(Memory(268), image);
}

TEST_F(TransfersTest, InvalidActivePageStopsTheSaveBeforeWriting) {
  const Bytes image = ScannerImage(156, 268);
  Start(image);
  dialogs_.answers = {Y};
  TransferHooks hooks;
  hooks.store_active_page = [] { return false; };
  EXPECT_EQ(SaveToDevice(hooks), SaveResult::failed);
  EXPECT_EQ(dialogs_.shown.back().text, kInvalidField.text);
  EXPECT_EQ(dialogs_.shown.back().icon, Icon::error);
  EXPECT_EQ(dialogs_.shown.back().caption, "");
  EXPECT_EQ(BytesWritten(), 0u);
  EXPECT_TRUE(Sent(CScannerInterface::cmd_read_block).empty()) << "stopped before the settings area was read";
}

TEST_F(TransfersTest, ImpossibleImageSizesAreRefused) {
  struct Case {
    std::uint16_t size;
    bool load;
  };
  const Case cases[] = {{0, true}, {0x8000, true}, {0xFFFF, true}, {0, false}, {0x8000, false}, {0xFFFF, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << (c.load ? " load" : " save"));
    ResetProcessState();
    Bytes image = ScannerImage(156, 268);
    image[1] = static_cast<std::uint8_t>(c.size & 0xFF);
    image[2] = static_cast<std::uint8_t>(c.size >> 8);
    Start(image);
    const Settings before = CurrentSettings();
    dialogs_.shown.clear();
    dialogs_.answers = {Y};
    if (c.load) EXPECT_EQ(LoadFromDevice({}), load_failed);
    else EXPECT_EQ(SaveToDevice({}), SaveResult::failed);
    char text[256];
    std::snprintf(text, sizeof text, kBadSize.text, static_cast<unsigned>(c.size));
    EXPECT_EQ(dialogs_.shown.back().text, text);
    EXPECT_EQ(dialogs_.shown.back().icon, Icon::error);
    EXPECT_TRUE(CurrentSettings() == before);
    EXPECT_EQ(BytesWritten(), 0u);
  }
}

TEST_F(TransfersTest, PortAndLinkFailures) {
  // A missing port: its message, before any question.
  ConnectionParams().port = "/dev/tavrik-no-such-port";
  EXPECT_EQ(LoadFromDevice({}), load_failed);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"COM-порт недоступен"});
  dialogs_.shown.clear();
  EXPECT_EQ(SaveToDevice({}), SaveResult::failed);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"COM-порт недоступен"});
  EXPECT_EQ(TitleAfterLoad(load_failed, "base", "base -> x"), "base");

  // A scanner that does not answer.
  Start(ScannerImage(156, 268));
  scanner_->AddFault({FaultKind::silence});
  ConnectionParams().timeout = 100;
  for (bool load : {true, false}) {
    dialogs_.shown.clear();
    if (load) EXPECT_EQ(LoadFromDevice({}), load_failed);
    else EXPECT_EQ(SaveToDevice({}), SaveResult::failed);
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].text, "(-1) Нет связи");
    EXPECT_EQ(dialogs_.shown[0].icon, Icon::error);
    EXPECT_EQ(dialogs_.shown[0].caption, "");
  }
}

TEST_F(TransfersTest, IdentityStaysWhenTheLoadFailsLater) {
  Start(ScannerImage(157, 268), 157, 0x0201);
  scanner_->AddFault({FaultKind::status, CScannerInterface::cmd_read_block, -1, CScannerInterface::address_out_of_range});
  dialogs_.answers = {Y};
  const Settings before = CurrentSettings();
  EXPECT_EQ(LoadFromDevice({}), load_failed);
  EXPECT_EQ(CurrentModel(), 157);
  EXPECT_EQ(CurrentFirmwareVersion(), 0x0201);
  EXPECT_TRUE(CurrentSettings() == before);
  EXPECT_EQ(dialogs_.shown.back().icon, Icon::error);
}

}  // namespace
}  // namespace tavrik
