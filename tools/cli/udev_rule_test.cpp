// The udev rule of a port, read from a sysfs tree laid out as the kernel lays
// out a USB CDC scanner, a built-in serial port and a port of no device.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "device/ComDevice.h"
#include "tools/cli/TerminalDialogs.h"
#include "device/UdevRule.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsbDevice = "devices/pci0000:00/0000:00:14.0/usb1/1-2";

class UdevRuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tavrik-udev-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    // The root hub has numbers of its own: the scanner's are the nearest ones.
    Write("devices/pci0000:00/0000:00:14.0/usb1/idVendor", "1d6b\n");
    Write("devices/pci0000:00/0000:00:14.0/usb1/idProduct", "0002\n");
    AddUsbTty("ttyACM0", kUsbDevice, "1eab", "1a03", "ZD123456");
    Write(std::string(kUsbDevice) + "/manufacturer", "Zeyd\n");
    Write(std::string(kUsbDevice) + "/product", "Luch H4\n");
    // A built-in port: a platform device, no USB above it.
    fs::create_directories(Sys("devices/platform/serial8250/tty/ttyS0"));
    fs::create_directory_symlink("../../../serial8250", Sys("devices/platform/serial8250/tty/ttyS0/device"));
    fs::create_directory_symlink("../../devices/platform/serial8250/tty/ttyS0", Sys("class/tty/ttyS0"));
    Dev("ttyS0");
    Dev("ttyX");  // no entry in sysfs at all
    fs::create_directories(root_ / "dev/serial/by-id");
    fs::create_symlink("../../ttyACM0", root_ / "dev/serial/by-id/usb-Zeyd_Luch_H4_ZD123456-if00");
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path Sys(const std::string& relative) const { return root_ / "sys" / relative; }
  void Write(const std::string& relative, const std::string& text) {
    fs::create_directories(Sys(relative).parent_path());
    std::ofstream(Sys(relative)) << text;
  }
  std::string Dev(const std::string& name) {
    fs::create_directories(root_ / "dev");
    std::ofstream(root_ / "dev" / name) << "";
    return (root_ / "dev" / name).string();
  }
  // The tty below interface :1.0 of `usb`, linked from class/tty as the kernel does.
  void AddUsbTty(const std::string& tty, const std::string& usb, const std::string& vendor,
                 const std::string& product, const std::string& serial) {
    Write(usb + "/idVendor", vendor + "\n");
    Write(usb + "/idProduct", product + "\n");
    if (!serial.empty()) Write(usb + "/serial", serial + "\n");
    const std::string interface = usb + "/" + fs::path(usb).filename().string() + ":1.0";
    fs::create_directories(Sys(interface + "/tty/" + tty));
    fs::create_directory_symlink("../../../" + fs::path(interface).filename().string(),
                                 Sys(interface + "/tty/" + tty + "/device"));
    fs::create_directories(Sys("class/tty"));
    fs::create_directory_symlink("../../" + interface + "/tty/" + tty, Sys("class/tty/" + tty));
    Dev(tty);
  }
  UsbIdentityResult Identity(const std::string& port) { return UsbIdentityOfPort(port, Sys("").string()); }

  fs::path root_;
};

TEST_F(UdevRuleTest, ScannerOnUsbGetsItsRule) {
  for (const std::string& port : {Dev("ttyACM0"), (root_ / "dev/serial/by-id/usb-Zeyd_Luch_H4_ZD123456-if00").string()}) {
    SCOPED_TRACE(port);
    const UsbIdentityResult r = Identity(port);
    ASSERT_TRUE(r.identity) << r.error;
    EXPECT_EQ(r.identity->tty, "ttyACM0");
    EXPECT_EQ(r.identity->vendor_id, "1eab");
    EXPECT_EQ(r.identity->product_id, "1a03");
    EXPECT_EQ(r.identity->serial, "ZD123456");
    EXPECT_EQ(UdevRuleText(*r.identity),
              "# Zeyd Luch H4 (USB 1eab:1a03, серийный номер ZD123456, сейчас ttyACM0)\n"
              "# Сохраните в /etc/udev/rules.d/70-tavrik-ZD123456.rules и загрузите правила:\n"
              "#   sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=tty\n"
              "# Модем-менеджер не трогает порт, группа dialout может его открыть, ссылка /dev/tavrik-ZD123456 "
              "ведёт на него.\n"
              "SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"1eab\", ATTRS{idProduct}==\"1a03\", "
              "ATTRS{serial}==\"ZD123456\", ENV{ID_MM_DEVICE_IGNORE}=\"1\", GROUP=\"dialout\", MODE=\"0660\", "
              "SYMLINK+=\"tavrik-ZD123456\"\n");
  }
}

TEST_F(UdevRuleTest, PortsWithoutUsbDeviceAreRefusedWithTheReason) {
  struct Case {
    std::string port;
    std::string error;
  };
  const Case cases[] = {
      /*0*/ {Dev("ttyS0"), "За портом " + Dev("ttyS0") + " нет устройства USB: правило udev для него не нужно"},
      /*1*/ {Dev("ttyX"), "За портом " + Dev("ttyX") + " нет устройства USB: правило udev для него не нужно"},
      /*2*/ {(root_ / "dev/ttyACM7").string(), "Порт " + (root_ / "dev/ttyACM7").string() + " не найден"},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const UsbIdentityResult r = Identity(cases[row].port);
    EXPECT_FALSE(r.identity);
    EXPECT_EQ(r.error, cases[row].error);
  }
}

TEST_F(UdevRuleTest, SerialNumbersThatAreNoSafeNamesStillMatchAndLink) {
  struct Case {
    std::string serial;
    std::string link;
    std::string match;  // "" when the rule has no serial match
  };
  const Case cases[] = {
      /*0*/ {"", "tavrik-0483-5740", ""},                         // no serial: the numbers name the link
      /*1*/ {"A B*\"1/2", "tavrik-A_B__1_2", "A B??1/2"},          // glob and quote characters match as '?'
      /*2*/ {"..", "tavrik-..", ".."},                            // behind the prefix, an ordinary name
      /*3*/ {"Ключ", "tavrik-________", "????????"},               // bytes beyond ASCII
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const std::string tty = "ttyACM" + std::to_string(row + 1);
    const std::string usb = "devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(row + 3);
    AddUsbTty(tty, usb, "0483", "5740", cases[row].serial);
    const UsbIdentityResult r = Identity(Dev(tty));
    ASSERT_TRUE(r.identity) << r.error;
    EXPECT_EQ(StableLinkName(*r.identity), cases[row].link);
    const std::string rule = UdevRuleText(*r.identity);
    EXPECT_NE(rule.find("SYMLINK+=\"" + cases[row].link + "\"\n"), std::string::npos) << rule;
    if (cases[row].match.empty()) {
      EXPECT_EQ(rule.find("ATTRS{serial}"), std::string::npos);
    } else {
      EXPECT_NE(rule.find("ATTRS{serial}==\"" + cases[row].match + "\""), std::string::npos) << rule;
    }
  }
}

// The permission failure on a terminal is followed by how to join dialout.
TEST(TerminalDialogsTest, PortPermissionFailureTellsHowToJoinDialout) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  TerminalDialogs dialogs(false, nullptr, out);
  dialogs.Show({kPortAccessDeniedText, "", Icon::error});
  dialogs.Show({"Устройство не обнаружено", "", Icon::error});
  std::rewind(out);
  char buffer[1024] = {};
  const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, out);
  std::fclose(out);
  const std::string text(buffer, n);
  const std::string first = std::string(kPortAccessDeniedText) + "\n";
  ASSERT_EQ(text.rfind(first, 0), 0u) << text;
  const std::string hint = text.substr(first.size(), text.find('\n', first.size()) + 1 - first.size());
  EXPECT_NE(hint.find("sudo usermod -aG dialout "), std::string::npos) << hint;
  EXPECT_EQ(text.substr(first.size() + hint.size()), "Устройство не обнаружено\n");
}

}  // namespace
}  // namespace tavrik
