#pragma once
// A scanner on a pseudo-terminal: it opens a pty, makes the slave raw, publishes
// the slave's path (give it to CComDevice::Open) and answers the scanner's
// command protocol from a thread of its own until it is stopped or destroyed.
//
//   tavrik::EmulatorConfig config;
//   config.model = 156;
//   config.image_size = 300;
//   tavrik::ScannerEmulator scanner(config);      // serving from here on
//   tavrik::CComDevice port;
//   tavrik::OpenDevice(&port, scanner.PortPath(), 9600, 100);
//   scanner.AddFault({tavrik::FaultKind::not_ready, /*command=*/0x9E, /*count=*/1});
//   ...
//   auto image = scanner.ReadMemory(tavrik::SETTINGS_ADDRESS, 300);
//
// The emulator answers only while the line speed the program set on the port
// equals its own: any other speed is silence, as on a real line.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavrik {

class Clock;

struct EmulatorConfig {
  std::uint8_t model = 150;
  std::uint16_t firmware = 0x0103;  // major in the high byte
  std::uint16_t reserved_info = 0;  // bytes 2 and 3 of the device information
  // The settings image at 0xFE0000: the model's default image, cut or padded
  // (with 0xA5) to `image_size` bytes, with `version` and the size in its header.
  std::uint16_t image_size = 268;
  std::uint8_t version = 1;
  // When not empty, the image exactly as given (header included) instead.
  std::vector<std::uint8_t> image;
  // The scanner's own line speed, a baud rate of the speed table.
  std::uint32_t speed = 9600;
  // The readiness bit (byte 3, 0x80) comes up this long after the mode flags
  // are set, measured on `clock`.
  std::uint32_t ready_delay_ms = 0;
  // Measures the readiness delay and timed silence; null: the clock current
  // when the emulator starts (see device/Clock.h). It must outlive the emulator.
  Clock* clock = nullptr;
  // The host interface the scanner reports (command 0xA4).
  std::uint8_t host_interface = 1;
  // Initial state word.
  std::uint8_t state[4] = {0, 0, 0, 0};
  // Bytes move at the scanner's line speed, ten bits each (start, eight data,
  // stop), both ways, in real time: a transfer takes as long as on a real line.
  bool pace = false;
  // Every answer leaves this long (real time) after its request came.
  std::uint32_t answer_delay_ms = 0;
  // Called on the serving thread after every well-formed request taken at the
  // right speed has been answered (or left unanswered by a fault), with no
  // lock held: it may read the emulator's memory.
  std::function<void(const std::vector<std::uint8_t>& request)> on_request;
};

enum class FaultKind {
  silence,            // no answer at all
  not_ready,          // status 2 instead of the answer
  stray_bytes,        // `value` (1 or 2) bytes other than 0x02 before the frame
  bad_check,          // the check byte is wrong
  foreign_echo,       // another command code echoed
  extra_data_byte,    // one data byte too many
  missing_data_byte,  // the last payload byte left out (a status-only answer keeps only the echo)
  status,             // status `value` instead of the answer
  flash_write_error,  // a write block covering `address` fails with 147, nothing written
  hang_up,            // close the line after `value` bytes of the answer
  keep_old_speed,     // acknowledge a speed change but stay at the old speed
  data_byte,          // the first data byte of a successful answer becomes `value`
  late_answer,        // the answer leaves `duration_ms` (real time) after its request
  line_drop,          // the line is gone for `duration_ms` (real time) from this request on:
                      // no answer, and every byte sent meanwhile is lost; then it is back
};

struct Fault {
  FaultKind kind;
  std::uint8_t command = 0;  // the command it applies to; 0: every command
  int count = -1;            // how many answers it spoils; -1: all from now on
  std::uint32_t value = 0;
  std::uint32_t address = 0;
  int skip = 0;              // matching requests answered normally first
  // silence: once it starts, it lasts this long (on the clock) instead of
  // `count` answers; line_drop: how long the line is gone; late_answer: the delay.
  std::uint32_t duration_ms = 0;
};

// One request that the emulator took off the line: its payload (code, params).
using Request = std::vector<std::uint8_t>;

class ScannerEmulator {
 public:
  // Opens the pty and starts serving. Throws std::runtime_error when no pty
  // can be had.
  explicit ScannerEmulator(const EmulatorConfig& config = {});
  // Stops the thread and closes the pty.
  ~ScannerEmulator();
  ScannerEmulator(const ScannerEmulator&) = delete;
  ScannerEmulator& operator=(const ScannerEmulator&) = delete;

  // The slave's path, such as /dev/pts/5.
  const std::string& PortPath() const;

  // Faults apply in the order they were added; each answer takes the first
  // matching one that still has answers to spoil.
  void AddFault(const Fault& fault);
  void ClearFaults();

  // The device memory as it is now; addresses outside the memory read as empty.
  std::vector<std::uint8_t> ReadMemory(std::uint32_t address, std::uint32_t size) const;
  void WriteMemory(std::uint32_t address, const std::vector<std::uint8_t>& bytes);
  std::uint32_t Speed() const;             // the scanner's baud rate
  std::uint32_t LineSpeed() const;         // what the program set on the line
  std::vector<std::uint8_t> State() const; // the 4-byte state word
  // Every well-formed request taken at the right speed, in order.
  std::vector<Request> Requests() const;
  void ClearRequests();  // and LineBytes()
  // Every byte taken off the line at the right speed, frames and noise alike.
  std::vector<std::uint8_t> LineBytes() const;
  // Bytes that came at a wrong speed and were dropped.
  std::uint64_t DroppedBytes() const;
  // The line was closed by a hang_up fault.
  bool HungUp() const;

  // Ends serving; the destructor does it too. Idempotent.
  void Stop();

  // Device memory: the settings area from SETTINGS_ADDRESS, this long.
  static constexpr std::uint32_t kMemorySize = 0x10000;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Builds the settings image of a config (model defaults, size, version).
std::vector<std::uint8_t> EmulatorImage(const EmulatorConfig& config);

}  // namespace tavrik
