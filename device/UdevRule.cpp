#include "device/UdevRule.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/BoundedRead.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;

// Rules run in the order of their file names; the modem manager's own rules
// (77-mm-*, 80-mm-candidate) must see the variable already set.
constexpr const char* kRuleFilePrefix = "/etc/udev/rules.d/70-";

// The first line of a sysfs attribute. Only a regular file, and only as much
// as an attribute holds: a tree that is not what it seems cannot make the
// read block or grow without end.
std::string ReadAttribute(const fs::path& file) {
  constexpr std::size_t kMaxAttribute = 4096;
  std::string value = ReadSmallTextFile(file.string(), kMaxAttribute).value_or("");
  value = value.substr(0, value.find('\n'));
  while (!value.empty() && (value.back() == '\n' || value.back() == '\r' || value.back() == ' ')) value.pop_back();
  return value;
}

bool IsHex4(const std::string& s) {
  if (s.size() != 4) return false;
  for (char c : s) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// A match value of udev is a glob and a quoted string: characters that mean
// something there match as '?', any one character.
std::string MatchValue(const std::string& value) {
  std::string out;
  for (char c : value) {
    const auto u = static_cast<unsigned char>(c);
    const bool special = u < 0x20 || u >= 0x7F || c == '*' || c == '?' || c == '[' || c == ']' || c == '|' ||
                         c == '"' || c == '\\';
    out += special ? '?' : c;
  }
  return out;
}

std::string Describe(const UsbPortIdentity& id) {
  std::string text;
  if (!id.manufacturer.empty()) text += id.manufacturer + " ";
  if (!id.product.empty()) text += id.product + " ";
  text += "(USB " + id.vendor_id + ":" + id.product_id;
  if (!id.serial.empty()) text += ", серийный номер " + id.serial;
  return text + ", сейчас " + id.tty + ")";
}

}  // namespace

UsbIdentityResult UsbIdentityOfPort(const std::string& port, const std::string& sysfs_root) {
  std::error_code error;
  const fs::path device = fs::canonical(port, error);
  if (error) return {std::nullopt, "Порт " + port + " не найден"};
  UsbPortIdentity id;
  id.tty = device.filename().string();
  const std::string no_usb = "За портом " + port + " нет устройства USB: правило udev для него не нужно";
  const fs::path root = fs::path(sysfs_root);
  const fs::path tty_device = fs::canonical(root / "class" / "tty" / id.tty / "device", error);
  if (error || id.tty.empty()) return {std::nullopt, no_usb};
  const fs::path devices = fs::canonical(root / "devices", error);
  if (error) return {std::nullopt, no_usb};
  // The tty hangs below a USB interface, which hangs below the USB device:
  // the first folder upwards that holds the vendor and product numbers.
  for (fs::path at = tty_device; at != devices && at.has_relative_path() && at != at.parent_path();
       at = at.parent_path()) {
    if (!fs::exists(at / "idVendor", error) || !fs::exists(at / "idProduct", error)) continue;
    id.vendor_id = ReadAttribute(at / "idVendor");
    id.product_id = ReadAttribute(at / "idProduct");
    if (!IsHex4(id.vendor_id) || !IsHex4(id.product_id)) break;
    id.serial = ReadAttribute(at / "serial");
    id.manufacturer = ReadAttribute(at / "manufacturer");
    id.product = ReadAttribute(at / "product");
    return {id, {}};
  }
  return {std::nullopt, no_usb};
}

std::string StableLinkName(const UsbPortIdentity& identity) {
  std::string name = identity.serial.empty() ? identity.vendor_id + "-" + identity.product_id : identity.serial;
  for (char& c : name) {
    const bool safe = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
    if (!safe) c = '_';
  }
  return "tavrik-" + name;
}

std::string UdevRuleFile(const UsbPortIdentity& identity) {
  return kRuleFilePrefix + StableLinkName(identity) + ".rules";
}

std::string UdevRuleText(const UsbPortIdentity& identity) {
  const std::string link = StableLinkName(identity);
  const std::string file = UdevRuleFile(identity);
  std::string text;
  text += "# " + Describe(identity) + "\n";
  text += "# Сохраните в " + file + " и загрузите правила:\n";
  text += std::string("#   ") + kUdevReloadCommand + "\n";
  text += "# Модем-менеджер не трогает порт, группа dialout может его открыть, ссылка /dev/" + link +
          " ведёт на него.\n";
  text += "SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"" + MatchValue(identity.vendor_id) + "\", ATTRS{idProduct}==\"" +
          MatchValue(identity.product_id) + "\"";
  if (!identity.serial.empty()) text += ", ATTRS{serial}==\"" + MatchValue(identity.serial) + "\"";
  text += ", ENV{ID_MM_DEVICE_IGNORE}=\"1\", GROUP=\"dialout\", MODE=\"0660\", SYMLINK+=\"" + link + "\"\n";
  return text;
}

}  // namespace tavrik
