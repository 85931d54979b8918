// tavrik-scanner-sim: a scanner on a pseudo-terminal for trying the program
// without the hardware. Prints the port path on its first line and serves until
// it is ended (Ctrl-C or SIGTERM).

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <pthread.h>

#include "core/BoundedRead.h"
#include "core/NumberText.h"
#include "device/ScannerInterface.h"
#include "device/testing/ScannerEmulator.h"

namespace {

constexpr const char* kUsage =
    "usage: tavrik-scanner-sim [options]\n"
    "  --model N            model code (default 150)\n"
    "  --firmware 0xMMNN    firmware word, major in the high byte (default 0x0103)\n"
    "  --image-size N       size of the settings image (default 268)\n"
    "  --version V          settings version byte (default 1)\n"
    "  --speed BAUD         the scanner's line speed (default 9600)\n"
    "  --image FILE.qdx     settings image taken from a settings file\n"
    "  --interface N        host interface reported: 0 uart, 1 usb_cdc, 2 usb_hid\n"
    "  --ready-delay MS     readiness comes this long after the mode is set\n"
    "  --pace               bytes take their time on the line (10 bits a byte at the speed)\n"
    "  --answer-delay MS    every answer leaves this long after its request\n"
    "  --memory-out FILE    keep FILE a settings file of the scanner's image (at the start\n"
    "                       and after every write command)\n"
    "  --log FILE           one line per request taken: its bytes in hex, the command first\n"
    "faults:\n"
    "  --silence            never answer\n"
    "  --not-ready K        answer 'not ready' to the next K requests\n"
    "  --stray N            N bytes of noise (1 or 2) before every answer\n"
    "  --bad-check          wrong check byte in every answer\n"
    "  --foreign-echo       another command code echoed in every answer\n"
    "  --extra-byte         one data byte too many in every answer\n"
    "  --missing-byte       one byte too few in every answer\n"
    "  --status CMD:CODE    answer command CMD with status CODE\n"
    "  --flash-error ADDR   writes covering ADDR fail\n"
    "  --hang-up N          close the line after N bytes of the next answer\n"
    "  --hang-up-on CMD:K   close the line two bytes into the answer to command CMD,\n"
    "                       after K such requests were answered (a transfer broken off)\n"
    "  --drop-line K:MS     after K requests the line is gone for MS ms, then back\n"
    "  --keep-old-speed     acknowledge speed changes but stay at the old speed\n";

[[noreturn]] void Fail(const std::string& text) {
  std::cerr << "tavrik-scanner-sim: " << text << "\n" << kUsage;
  std::exit(2);
}

unsigned long Number(const std::string& text, unsigned long max, const char* what) {
  const std::optional<std::uint64_t> value = tavrik::ParseUnsigned(text);
  if (!value || *value > max) Fail(std::string("bad value for ") + what + ": " + text);
  return static_cast<unsigned long>(*value);
}

std::vector<std::uint8_t> ImageOfFile(const std::string& path) {
  // The signature and the largest memory the scanner has.
  constexpr std::size_t kLargestFile = 4 + tavrik::ScannerEmulator::kMemorySize;
  std::vector<std::uint8_t> bytes;
  switch (tavrik::ReadFileBounded(path, kLargestFile, bytes)) {
    case tavrik::BoundedReadResult::ok: break;
    case tavrik::BoundedReadResult::too_large: Fail(path + " is larger than the scanner's memory");
    default: Fail("cannot read " + path + " (not a regular file, missing or unreadable)");
  }
  if (bytes.size() < 4 + 3 || std::memcmp(bytes.data(), "QDX0", 4) != 0) Fail(path + " is not a settings file");
  bytes.erase(bytes.begin(), bytes.begin() + 4);
  return bytes;
}

// The settings area, as long as the image the scanner started with, written
// whole under a temporary name and renamed, so that a reader never sees half of it.
void WriteMemoryFile(const std::string& path, const std::vector<std::uint8_t>& image) {
  const std::string temporary = path + ".tmp";
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return;
  const bool written = std::fwrite("QDX0", 1, 4, f) == 4 && std::fwrite(image.data(), 1, image.size(), f) == image.size();
  if (std::fclose(f) == 0 && written) std::rename(temporary.c_str(), path.c_str());
}

void LogRequest(std::FILE* log, const std::vector<std::uint8_t>& request) {
  for (std::size_t i = 0; i < request.size(); ++i) std::fprintf(log, "%s%02X", i ? " " : "", request[i]);
  std::fputc('\n', log);
  std::fflush(log);
}

}  // namespace

int main(int argc, char** argv) {
  tavrik::EmulatorConfig config;
  std::vector<tavrik::Fault> faults;
  std::string memory_out;
  std::string log_path;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) Fail(option + " needs a value");
      return argv[++i];
    };
    using tavrik::FaultKind;
    if (option == "--help" || option == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (option == "--model") {
      config.model = static_cast<std::uint8_t>(Number(value(), 255, "--model"));
    } else if (option == "--firmware") {
      config.firmware = static_cast<std::uint16_t>(Number(value(), 0xFFFF, "--firmware"));
    } else if (option == "--image-size") {
      config.image_size = static_cast<std::uint16_t>(Number(value(), 0xFFFF, "--image-size"));
    } else if (option == "--version") {
      config.version = static_cast<std::uint8_t>(Number(value(), 255, "--version"));
    } else if (option == "--speed") {
      config.speed = static_cast<std::uint32_t>(Number(value(), 4000000, "--speed"));
      if (tavrik::SpeedIndexOf(config.speed) < 0) Fail("the speed must be one of " + tavrik::SpeedList(" "));
    } else if (option == "--image") {
      config.image = ImageOfFile(value());
    } else if (option == "--interface") {
      config.host_interface = static_cast<std::uint8_t>(Number(value(), 255, "--interface"));
    } else if (option == "--memory-out") {
      memory_out = value();
    } else if (option == "--log") {
      log_path = value();
    } else if (option == "--pace") {
      config.pace = true;
    } else if (option == "--answer-delay") {
      config.answer_delay_ms = static_cast<std::uint32_t>(Number(value(), 600000, "--answer-delay"));
    } else if (option == "--drop-line") {
      const std::string pair = value();
      const auto colon = pair.find(':');
      if (colon == std::string::npos) Fail("--drop-line needs AFTER:MS");
      tavrik::Fault fault{FaultKind::line_drop, 0, 1};
      fault.skip = static_cast<int>(Number(pair.substr(0, colon), 1000000, "--drop-line"));
      fault.duration_ms = static_cast<std::uint32_t>(Number(pair.substr(colon + 1), 600000, "--drop-line"));
      faults.push_back(fault);
    } else if (option == "--ready-delay") {
      config.ready_delay_ms = static_cast<std::uint32_t>(Number(value(), 600000, "--ready-delay"));
    } else if (option == "--silence") {
      faults.push_back({FaultKind::silence});
    } else if (option == "--not-ready") {
      faults.push_back({FaultKind::not_ready, 0, static_cast<int>(Number(value(), 1000000, "--not-ready"))});
    } else if (option == "--stray") {
      faults.push_back({FaultKind::stray_bytes, 0, -1, static_cast<std::uint32_t>(Number(value(), 16, "--stray"))});
    } else if (option == "--bad-check") {
      faults.push_back({FaultKind::bad_check});
    } else if (option == "--foreign-echo") {
      faults.push_back({FaultKind::foreign_echo});
    } else if (option == "--extra-byte") {
      faults.push_back({FaultKind::extra_data_byte});
    } else if (option == "--missing-byte") {
      faults.push_back({FaultKind::missing_data_byte});
    } else if (option == "--status") {
      const std::string pair = value();
      const auto colon = pair.find(':');
      if (colon == std::string::npos) Fail("--status needs CMD:CODE");
      const auto command = Number(pair.substr(0, colon), 255, "--status");
      const auto code = Number(pair.substr(colon + 1), 255, "--status");
      faults.push_back({FaultKind::status, static_cast<std::uint8_t>(command), -1, static_cast<std::uint32_t>(code)});
    } else if (option == "--flash-error") {
      tavrik::Fault fault{FaultKind::flash_write_error};
      fault.address = static_cast<std::uint32_t>(Number(value(), 0xFFFFFFFF, "--flash-error"));
      faults.push_back(fault);
    } else if (option == "--hang-up") {
      faults.push_back({FaultKind::hang_up, 0, 1, static_cast<std::uint32_t>(Number(value(), 300, "--hang-up"))});
    } else if (option == "--hang-up-on") {
      const std::string pair = value();
      const auto colon = pair.find(':');
      if (colon == std::string::npos) Fail("--hang-up-on needs CMD:K");
      tavrik::Fault fault{FaultKind::hang_up, static_cast<std::uint8_t>(Number(pair.substr(0, colon), 255, "--hang-up-on")), 1, 2};
      fault.skip = static_cast<int>(Number(pair.substr(colon + 1), 1000000, "--hang-up-on"));
      faults.push_back(fault);
    } else if (option == "--keep-old-speed") {
      faults.push_back({FaultKind::keep_old_speed});
    } else {
      Fail("unknown option " + option);
    }
  }

  // The signals are taken by this thread alone, so the serving thread is never
  // interrupted and the end is an orderly one.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  std::FILE* log = nullptr;
  if (!log_path.empty() && !(log = std::fopen(log_path.c_str(), "w"))) Fail("cannot write " + log_path);
  // Set before the port is published: no request can come earlier.
  std::atomic<tavrik::ScannerEmulator*> serving{nullptr};
  const std::uint32_t image_size = static_cast<std::uint32_t>(tavrik::EmulatorImage(config).size());
  auto dump = [&] {
    const tavrik::ScannerEmulator* scanner = serving.load();
    if (scanner && !memory_out.empty())
      WriteMemoryFile(memory_out, scanner->ReadMemory(tavrik::SETTINGS_ADDRESS, image_size));
  };
  config.on_request = [&](const std::vector<std::uint8_t>& request) {
    if (log) LogRequest(log, request);
    if (request[0] == tavrik::CScannerInterface::cmd_write_block) dump();
  };

  try {
    tavrik::ScannerEmulator scanner(config);
    serving = &scanner;
    dump();
    for (const tavrik::Fault& fault : faults) scanner.AddFault(fault);
    std::cout << scanner.PortPath() << std::endl;
    int signal_number = 0;
    sigwait(&signals, &signal_number);
    scanner.Stop();
    if (log) std::fclose(log);
  } catch (const std::exception& error) {
    std::cerr << "tavrik-scanner-sim: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
