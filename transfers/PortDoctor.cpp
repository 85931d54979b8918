#include "transfers/PortDoctor.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "core/BoundedRead.h"
#include "core/JsonText.h"
#include "device/ComDevice.h"
#include "transfers/DeviceSearch.h"
#include "transfers/ExceptionReport.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;

// The kernel's pty slaves are majors 136 to 143, 256 minors each; the master
// side is opened through the multiplexer 5:2 and tells its index in fdinfo.
constexpr unsigned kFirstPtySlaveMajor = 136;
constexpr unsigned kLastPtySlaveMajor = 143;
constexpr unsigned kPtmxMajor = 5;
constexpr unsigned kPtmxMinor = 2;
constexpr const char* kModemManager = "ModemManager";
constexpr const char* kOurLinkPrefix = "tavrik-";
constexpr const char* kPortsHint = "порты сканеров: tavrik-cli ports";
constexpr const char* kLogOutAndIn = "затем выйдите из системы и войдите снова";

std::string ModeText(mode_t mode) {
  std::string text = S_ISCHR(mode) ? "c" : S_ISDIR(mode) ? "d" : S_ISREG(mode) ? "-" : "?";
  const char* letters = "rwxrwxrwx";
  for (int bit = 0; bit < 9; ++bit) text += (mode & (0400 >> bit)) ? letters[bit] : '-';
  return text;
}

std::string UserName(uid_t uid) {
  if (const passwd* pw = ::getpwuid(uid)) return pw->pw_name;
  return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
  if (const group* gr = ::getgrgid(gid)) return gr->gr_name;
  return std::to_string(gid);
}

bool Holds(const std::vector<std::uint32_t>& groups, std::uint32_t gid) {
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

bool IsNumber(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Whether the character device `rdev` belongs to a tty driver, by the
// kernel's table of tty drivers: no need to open the device (which raises
// the modem lines of a real serial port). Unknown when the table cannot be read.
std::optional<bool> IsTerminalDevice(const std::string& proc_root, dev_t rdev) {
  const std::optional<std::string> drivers = ReadSmallTextFile(proc_root + "/tty/drivers");
  if (!drivers) return std::nullopt;
  const unsigned major_number = major(rdev), minor_number = minor(rdev);
  for (const std::string& line : Lines(*drivers)) {
    // "usbserial            /dev/ttyUSB   188 0-511 serial"; a major may be a range "136-143".
    std::istringstream row(line);
    std::string name, node, majors, minors;
    if (!(row >> name >> node >> majors >> minors)) continue;
    unsigned first_major = 0, last_major = 0, first_minor = 0, last_minor = 0;
    char dash = 0;
    std::istringstream m(majors);
    if (!(m >> first_major)) continue;
    last_major = (m >> dash >> last_major) ? last_major : first_major;
    std::istringstream n(minors);
    if (!(n >> first_minor)) continue;
    last_minor = (n >> dash >> last_minor) ? last_minor : first_minor;
    if (major_number < first_major || major_number > last_major) continue;
    // Over a range of majors the minors run through each one of them.
    if (first_major != last_major || (minor_number >= first_minor && minor_number <= last_minor)) return true;
  }
  return false;
}

std::optional<unsigned> PtyIndex(dev_t rdev) {
  const unsigned m = major(rdev);
  if (m < kFirstPtySlaveMajor || m > kLastPtySlaveMajor) return std::nullopt;
  return (m - kFirstPtySlaveMajor) * 256 + minor(rdev);
}

std::string Program(const std::string& proc_root, const std::string& pid) {
  std::string comm = ReadSmallTextFile(proc_root + "/" + pid + "/comm", 256).value_or("");
  return comm.substr(0, comm.find('\n'));
}

std::optional<unsigned> MasterIndex(const std::string& fdinfo) {
  const std::optional<std::string> text = ReadSmallTextFile(fdinfo, 16 * 1024);
  if (!text) return std::nullopt;
  for (const std::string& line : Lines(*text)) {
    if (line.rfind("tty-index:", 0) != 0) continue;
    try {
      return static_cast<unsigned>(std::stoul(line.substr(std::strlen("tty-index:"))));
    } catch (...) {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

struct ProcessScan {
  std::vector<PortHolder> holders;
  int hidden = 0;
  bool modem_manager = false;
};

// Every process's open descriptors, by the device each one leads to. The
// process on the master side of a pseudo-terminal is the line's other end
// (the emulator, a terminal window) and holds nothing in the sense meant here.
ProcessScan ScanProcesses(const std::string& proc_root, dev_t rdev) {
  ProcessScan scan;
  const std::optional<unsigned> pty = PtyIndex(rdev);
  const std::string self = std::to_string(::getpid());
  std::vector<PortHolder> slaves;
  std::vector<int> masters;
  DIR* proc = ::opendir(proc_root.c_str());
  if (!proc) return scan;
  while (const dirent* entry = ::readdir(proc)) {
    const std::string pid = entry->d_name;
    if (!IsNumber(pid)) continue;
    const std::string program = Program(proc_root, pid);
    if (program == kModemManager) scan.modem_manager = true;
    if (pid == self) continue;
    const std::string fd_dir = proc_root + "/" + pid + "/fd";
    DIR* fds = ::opendir(fd_dir.c_str());
    if (!fds) {
      if (errno == EACCES || errno == EPERM) ++scan.hidden;
      continue;
    }
    bool slave = false, master = false;
    while (const dirent* fd = ::readdir(fds)) {
      if (!IsNumber(fd->d_name)) continue;
      struct stat st {};
      if (::fstatat(::dirfd(fds), fd->d_name, &st, 0) != 0 || !S_ISCHR(st.st_mode)) continue;
      if (st.st_rdev == rdev) {
        slave = true;
      } else if (pty && major(st.st_rdev) == kPtmxMajor && minor(st.st_rdev) == kPtmxMinor &&
                 MasterIndex(proc_root + "/" + pid + "/fdinfo/" + fd->d_name) == pty) {
        master = true;
      }
    }
    ::closedir(fds);
    if (slave && !master) slaves.push_back({std::stoi(pid), program});
  }
  ::closedir(proc);
  std::sort(slaves.begin(), slaves.end(), [](const PortHolder& a, const PortHolder& b) { return a.pid < b.pid; });
  scan.holders = std::move(slaves);
  return scan;
}

struct UdevRecord {
  bool found = false;
  bool mm_ignore = false;
  std::vector<std::string> links;  // relative to /dev
};

UdevRecord ReadUdevRecord(const std::string& root, dev_t rdev) {
  UdevRecord record;
  const std::optional<std::string> text =
      ReadSmallTextFile(root + "/c" + std::to_string(major(rdev)) + ":" + std::to_string(minor(rdev)));
  if (!text) return record;
  record.found = true;
  for (const std::string& line : Lines(*text)) {
    if (line.rfind("S:", 0) == 0) record.links.push_back(line.substr(2));
    // Any value but "0" counts, as the modem manager reads it.
    if (line.rfind("E:ID_MM_DEVICE_IGNORE=", 0) == 0) record.mm_ignore = line.substr(22) != "0";
  }
  return record;
}

// The links under `dev_root` that lead to `target`: the one of our udev rule
// first, then /dev/serial/by-id, then whatever else udev made.
std::vector<std::string> StableNames(const std::string& dev_root, const fs::path& target, const std::string& port,
                                     const UdevRecord& record) {
  std::vector<fs::path> candidates;
  std::error_code ec;
  for (fs::directory_iterator it(dev_root, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string().rfind(kOurLinkPrefix, 0) == 0) candidates.push_back(it->path());
  }
  ec.clear();
  for (fs::directory_iterator it(fs::path(dev_root) / "serial" / "by-id", ec), end; !ec && it != end;
       it.increment(ec))
    candidates.push_back(it->path());
  for (const std::string& link : record.links) candidates.push_back(fs::path(dev_root) / link);
  std::vector<std::string> names;
  for (const fs::path& candidate : candidates) {
    std::error_code link_ec;
    if (!fs::is_symlink(candidate, link_ec) || candidate.string() == port) continue;
    if (fs::canonical(candidate, link_ec) != target || link_ec) continue;
    if (std::find(names.begin(), names.end(), candidate.string()) == names.end()) names.push_back(candidate.string());
  }
  return names;
}

void CheckNode(PortDiagnosis& d, struct stat& st, const DoctorHost& host) {
  if (::stat(d.port.c_str(), &st) != 0) {
    const int error = errno;
    d.kind = "missing";
    d.node = {CheckResult::failed,
              error == ENOENT ? "путь не существует" : std::string("путь недоступен: ") + std::strerror(error),
              {"подключите сканер и найдите его порт: tavrik-cli ports"}};
    return;
  }
  if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) {
    d.kind = S_ISREG(st.st_mode) ? "regular_file" : "directory";
    d.node = {CheckResult::failed, S_ISREG(st.st_mode) ? "обычный файл, а не устройство" : "папка, а не устройство",
              {kPortsHint}};
    return;
  }
  if (!S_ISCHR(st.st_mode)) {
    d.kind = "other";
    d.node = {CheckResult::failed, "не символьное устройство", {kPortsHint}};
    return;
  }
  const std::optional<bool> terminal = IsTerminalDevice(host.proc_root, st.st_rdev);
  if (terminal == false) {
    d.kind = "character_device";
    d.node = {CheckResult::failed, "символьное устройство, но не терминал", {kPortsHint}};
    return;
  }
  d.kind = "terminal";
  d.node = {CheckResult::ok,
            terminal ? "символьное устройство, терминал" : "символьное устройство (терминал ли, не узнать)", {}};
}

void CheckAccess(PortDiagnosis& d, const struct stat& st, const DoctorHost& host) {
  const HostUser user = host.user ? host.user() : CurrentHostUser();
  d.user = user.name;
  d.owner = UserName(st.st_uid);
  d.group = GroupName(st.st_gid);
  d.mode = st.st_mode & 07777;
  d.in_group = Holds(user.session_groups, st.st_gid);
  d.in_group_after_login = !d.in_group && Holds(user.login_groups, st.st_gid);
  d.can_open = host.can_open ? host.can_open(d.port)
                             : ::faccessat(AT_FDCWD, d.port.c_str(), R_OK | W_OK, AT_EACCESS) == 0;
  const std::string facts = "владелец " + d.owner + ", группа " + d.group + ", права " + ModeText(st.st_mode);
  if (d.can_open) {
    d.access = {CheckResult::ok, "пользователь " + d.user + " может открыть порт для чтения и записи (" + facts + ")",
                {}};
    return;
  }
  std::string text = "пользователь " + d.user + " не может открыть порт для чтения и записи (" + facts + "); ";
  std::vector<std::string> fixes;
  // Joining the group helps only when the group may read and write, and
  // the root group is no group to join for a port.
  const bool group_helps = (st.st_mode & 060) == 060 && st.st_gid != 0;
  if (group_helps && d.in_group_after_login) {
    text += d.user + " в группе " + d.group + " только со следующего входа в систему";
    fixes = {"выйдите из системы и войдите снова"};
  } else if (group_helps && !d.in_group) {
    text += d.user + " не в группе " + d.group;
    fixes = {"sudo usermod -aG " + d.group + " " + d.user, kLogOutAndIn};
  } else if (group_helps) {
    text += d.user + " в группе " + d.group + ", но доступа нет";
  } else {
    text += "группа " + d.group + " не может читать и писать в порт";
    fixes = {"правило udev (ниже, для порта USB) даёт порт группе dialout с правами 0660; затем sudo usermod -aG "
             "dialout " + d.user};
  }
  d.access = {CheckResult::failed, text, fixes};
}

void CheckHolders(PortDiagnosis& d, const struct stat& st, const DoctorHost& host) {
  const ProcessScan scan = ScanProcesses(host.proc_root, st.st_rdev);
  d.holders = scan.holders;
  d.hidden_processes = scan.hidden;
  d.modem_manager_running = scan.modem_manager;
  const std::string hidden =
      scan.hidden > 0 ? " (не видны открытые файлы процессов других пользователей: " + std::to_string(scan.hidden) + ")"
                      : "";
  if (d.holders.empty()) {
    d.holding = {CheckResult::ok, "порт не открыт другими процессами" + hidden, {}};
    return;
  }
  std::string text = "порт открыт другим процессом:";
  bool modem_manager = false;
  for (std::size_t i = 0; i < d.holders.size(); ++i) {
    text += (i ? ", PID " : " PID ") + std::to_string(d.holders[i].pid) + " (" + d.holders[i].program + ")";
    modem_manager = modem_manager || d.holders[i].program == kModemManager;
  }
  std::vector<std::string> fixes = {"закройте эту программу и повторите проверку"};
  if (modem_manager) fixes.push_back("ModemManager опрашивает новые порты: правило udev (ниже) закрывает от него порт");
  d.holding = {CheckResult::failed, text + hidden, fixes};
}

void CheckUsb(PortDiagnosis& d, const UdevRecord& record, const DoctorHost& host) {
  const UsbIdentityResult found = UsbIdentityOfPort(d.port, host.sysfs_root);
  if (!found.identity) {
    d.usb_check = {CheckResult::not_applicable, "не устройство USB", {}};
    return;
  }
  d.usb = found.identity;
  const UsbPortIdentity& id = *d.usb;
  std::string text = id.vendor_id + ":" + id.product_id;
  if (!id.manufacturer.empty() || !id.product.empty())
    text += " " + id.manufacturer + (id.manufacturer.empty() || id.product.empty() ? "" : " ") + id.product;
  text += id.serial.empty() ? ", без серийного номера" : ", серийный номер " + id.serial;
  if (record.found) d.modem_manager_ignores = record.mm_ignore;
  const bool ignored = d.modem_manager_ignores.value_or(false);
  text += d.modem_manager_running ? "; ModemManager запущен" : "; ModemManager не запущен";
  if (ignored) {
    text += ", правило udev закрывает от него порт";
  } else {
    text += record.found ? ", правила udev, закрывающего от него порт, нет" : ", записи udev о порте нет";
    if (d.modem_manager_running) text += ": после подключения он несколько секунд опрашивает порт";
  }
  std::vector<std::string> fixes;
  if (!ignored) {
    fixes = {"tavrik-cli udev-rule " + d.port + " | sudo tee " + UdevRuleFile(id),
             std::string("затем ") + kUdevReloadCommand};
  }
  d.usb_check = {d.modem_manager_running && !ignored ? CheckResult::warning : CheckResult::ok, text, fixes};
}

void CheckStableName(PortDiagnosis& d, const UdevRecord& record, const DoctorHost& host) {
  std::error_code ec;
  const fs::path target = fs::canonical(d.port, ec);
  if (!ec) d.stable_names = StableNames(host.dev_root, target, d.port, record);
  if (!d.stable_names.empty()) {
    std::string text;
    for (const std::string& name : d.stable_names) text += (text.empty() ? "" : ", ") + name;
    d.stable_name = {CheckResult::ok, text, {}};
    return;
  }
  std::vector<std::string> fixes;
  if (d.usb) fixes.push_back("ссылку /dev/" + StableLinkName(*d.usb) + " даёт правило udev (выше)");
  d.stable_name = {CheckResult::not_applicable, "нет: номер порта может смениться после переподключения", fixes};
}

void CheckScanner(PortDiagnosis& d, std::uint32_t timeout_ms) {
  const std::string at = " на " + std::to_string(d.speed);
  if (!d.can_open) {
    d.scanner = {CheckResult::skipped, "не проверялось: нет доступа к порту", {}};
    return;
  }
  if (!d.holders.empty()) {
    // Another program's conversation with the scanner is not to be disturbed.
    d.scanner = {CheckResult::skipped, "не проверялось: порт занят другим процессом", {}};
    return;
  }
  try {
    CComDevice device;
    OpenDevice(&device, d.port, d.speed, timeout_ms);
    CScannerInterface scanner(&device);
    d.answered = scanner.GetDeviceInfo(&d.info, false) == CScannerInterface::no_error;
  } catch (...) {
    d.scanner = {CheckResult::failed, "порт не открылся" + at + ": " + CurrentExceptionText(), {}};
    return;
  }
  if (d.answered) {
    d.scanner = {CheckResult::ok, "ответил" + at + ": " + CheckText(true, d.info), {}};
    return;
  }
  d.scanner = {CheckResult::failed,
               "не ответил" + at + " за " + std::to_string(timeout_ms) + " мс",
               {"сканер может работать на другой скорости: tavrik-cli search (все порты и скорости)"}};
}

const char* ResultName(CheckResult result) {
  switch (result) {
    case CheckResult::ok: return "ok";
    case CheckResult::warning: return "warning";
    case CheckResult::failed: return "failed";
    case CheckResult::skipped: return "skipped";
    case CheckResult::not_applicable: return "not_applicable";
  }
  return "";
}

const char* ResultMark(CheckResult result) {
  switch (result) {
    case CheckResult::ok: return "[ok]";
    case CheckResult::warning: return "[!]";
    case CheckResult::failed: return "[сбой]";
    case CheckResult::skipped: return "[пропуск]";
    case CheckResult::not_applicable: return "[--]";
  }
  return "";
}

std::string Json(const std::string& text) { return JsonString(text); }

std::string JsonBool(bool value) { return value ? "true" : "false"; }

std::string Json(const std::vector<std::string>& values) {
  std::string out = "[";
  for (std::size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + Json(values[i]);
  return out + "]";
}

// The check's own fields, then what the caller adds.
std::string JsonCheck(const DoctorCheck& check, const std::string& more = {}) {
  return "{\"result\":" + Json(std::string(ResultName(check.result))) + ",\"text\":" + Json(check.text) +
         ",\"fixes\":" + Json(check.fixes) + more + "}";
}

}  // namespace

HostUser CurrentHostUser() {
  HostUser user;
  const uid_t uid = ::geteuid();
  user.name = UserName(uid);
  const int count = ::getgroups(0, nullptr);
  std::vector<gid_t> groups(count > 0 ? count : 0);
  if (count > 0 && ::getgroups(count, groups.data()) == count) user.session_groups.assign(groups.begin(), groups.end());
  user.session_groups.push_back(::getegid());
  if (const passwd* pw = ::getpwuid(uid)) {
    const std::string name = pw->pw_name;
    const gid_t primary = pw->pw_gid;
    int n = 64;
    std::vector<gid_t> login(n);
    if (::getgrouplist(name.c_str(), primary, login.data(), &n) < 0) {
      login.resize(n);
      if (::getgrouplist(name.c_str(), primary, login.data(), &n) < 0) n = 0;
    }
    user.login_groups.assign(login.begin(), login.begin() + std::max(n, 0));
  }
  return user;
}

bool PortDiagnosis::Fit() const {
  for (const DoctorCheck* check : {&node, &access, &holding, &usb_check, &stable_name, &scanner}) {
    if (check->result == CheckResult::failed || check->result == CheckResult::skipped) return false;
  }
  return true;
}

PortDiagnosis DiagnosePort(const std::string& port, std::uint32_t speed, std::uint32_t timeout_ms,
                           const DoctorHost& host) {
  PortDiagnosis d;
  d.port = port;
  d.speed = speed;
  struct stat st {};
  CheckNode(d, st, host);
  if (d.node.result != CheckResult::ok) {
    for (DoctorCheck* check : {&d.access, &d.holding, &d.usb_check, &d.stable_name, &d.scanner})
      *check = {CheckResult::skipped, "не проверялось: путь не годится как порт", {}};
    return d;
  }
  const UdevRecord record = ReadUdevRecord(host.udev_data_root, st.st_rdev);
  CheckAccess(d, st, host);
  CheckHolders(d, st, host);
  CheckUsb(d, record, host);
  CheckStableName(d, record, host);
  CheckScanner(d, timeout_ms);
  return d;
}

std::string DiagnosisText(const PortDiagnosis& d) {
  struct Row {
    const char* name;
    const DoctorCheck& check;
  };
  const Row rows[] = {
      {"устройство", d.node},       {"доступ", d.access},          {"другие процессы", d.holding},
      {"USB", d.usb_check},         {"постоянное имя", d.stable_name}, {"сканер", d.scanner},
  };
  std::string text = d.port + "\n";
  for (const Row& row : rows) {
    text += std::string("  ") + ResultMark(row.check.result) + " " + row.name + ": " + row.check.text + "\n";
    for (const std::string& fix : row.check.fixes) text += "        " + fix + "\n";
  }
  text += d.Fit() ? "  итог: порт готов к работе\n" : "  итог: порт не готов к работе\n";
  return text;
}

std::string DiagnosisJson(const PortDiagnosis& d) {
  std::string holders = "[";
  for (std::size_t i = 0; i < d.holders.size(); ++i)
    holders += std::string(i ? "," : "") + "{\"pid\":" + std::to_string(d.holders[i].pid) +
               ",\"program\":" + Json(d.holders[i].program) + "}";
  holders += "]";
  char mode[8];
  std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(d.mode));
  std::string usb;
  if (d.usb) {
    usb = ",\"vendor_id\":" + Json(d.usb->vendor_id) + ",\"product_id\":" + Json(d.usb->product_id) +
          ",\"serial\":" + Json(d.usb->serial) + ",\"manufacturer\":" + Json(d.usb->manufacturer) +
          ",\"product\":" + Json(d.usb->product);
  }
  usb += ",\"modem_manager_running\":" + JsonBool(d.modem_manager_running) + ",\"modem_manager_ignores\":" +
         (d.modem_manager_ignores ? JsonBool(*d.modem_manager_ignores) : std::string("null"));
  std::string scanner = ",\"speed\":" + std::to_string(d.speed) + ",\"answered\":" + JsonBool(d.answered);
  if (d.answered) {
    scanner += ",\"model\":" + std::to_string(d.info.model) + ",\"firmware\":" + Json(VersionText(d.info.firmware_version));
  }
  return "{\"port\":" + Json(d.port) + ",\"fit\":" + JsonBool(d.Fit()) +
         ",\"device\":" + JsonCheck(d.node, ",\"kind\":" + Json(d.kind)) +
         ",\"access\":" + JsonCheck(d.access, ",\"can_open\":" + JsonBool(d.can_open) + ",\"user\":" + Json(d.user) +
                                                  ",\"owner\":" + Json(d.owner) + ",\"group\":" + Json(d.group) +
                                                  ",\"mode\":" + Json(std::string(mode)) +
                                                  ",\"in_group\":" + JsonBool(d.in_group) +
                                                  ",\"in_group_after_login\":" + JsonBool(d.in_group_after_login)) +
         ",\"holders\":" + JsonCheck(d.holding, ",\"processes\":" + holders +
                                                    ",\"hidden_processes\":" + std::to_string(d.hidden_processes)) +
         ",\"usb\":" + JsonCheck(d.usb_check, usb) +
         ",\"stable_name\":" + JsonCheck(d.stable_name, ",\"names\":" + Json(d.stable_names)) +
         ",\"scanner\":" + JsonCheck(d.scanner, scanner) + "}";
}

}  // namespace tavrik
