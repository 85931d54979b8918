#include "transfers/ConnectionParams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace tavrik {
namespace {

ConnectionParamsT connection_params;

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The number in a port's `type` entry, -1 when it has none. Only a regular
// file is read, and only its first bytes: a FIFO or a device put in the tree
// must not block the port list or fill the memory.
int UartType(const std::filesystem::path& path) {
  // Opening a device may act on it (a line's modem signals): looked at first.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  char text[16] = {};
  ssize_t n = -1;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) n = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  if (n <= 0) return -1;
  int type = 0;
  const auto [end, error] = std::from_chars(text, text + n, type);
  return error == std::errc{} && (end == text + n || *end == '\n') ? type : -1;
}

}  // namespace

ConnectionParamsT& ConnectionParams() { return connection_params; }
void ResetConnectionParams() { connection_params = ConnectionParamsT{}; }

bool NaturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      std::size_t ie = i, je = j;
      while (ie < a.size() && IsDigit(a[ie])) ++ie;
      while (je < b.size() && IsDigit(b[je])) ++je;
      // Compare the values without converting: skip leading zeros, then length, then digits.
      std::size_t is = i, js = j;
      while (is + 1 < ie && a[is] == '0') ++is;
      while (js + 1 < je && b[js] == '0') ++js;
      if (ie - is != je - js) return ie - is < je - js;
      const int c = a.compare(is, ie - is, b, js, je - js);
      if (c != 0) return c < 0;
      i = ie;
      j = je;
    } else {
      if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
      ++i;
      ++j;
    }
  }
  if ((a.size() - i) != (b.size() - j)) return a.size() - i < b.size() - j;
  return a < b;  // equal by value ("tty01" and "tty1"): any fixed order
}

std::vector<std::string> EnumSerialPorts(const std::string& sysfs_tty_root, const std::string& dev_root) {
  namespace fs = std::filesystem;
  std::vector<std::string> ports;
  std::error_code ec;
  fs::directory_iterator it(sysfs_tty_root, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const fs::path entry = it->path();
    const std::string name = entry.filename().string();
    std::error_code link_ec;
    if (!fs::exists(entry / "device", link_ec)) continue;
    if (name.rfind("ttyS", 0) == 0 && UartType(entry / "type") == 0) continue;
    const std::string node = (fs::path(dev_root) / name).string();
    struct stat st {};
    if (::stat(node.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) continue;
    if (std::find(ports.begin(), ports.end(), node) == ports.end()) ports.push_back(node);
  }
  std::sort(ports.begin(), ports.end(), NaturalLess);
  return ports;
}

}  // namespace tavrik
