#include "device/testing/ScannerEmulator.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "device/BaudRates.h"
#include "device/Clock.h"
#include "device/ScannerInterface.h"
#include "settings/update_settings_def.h"

namespace tavrik {
namespace {

constexpr std::uint8_t kStx = 0x02;
// A byte that is never the start of a frame, sent as line noise.
constexpr std::uint8_t kNoise = 0x55;
// A frame whose bytes stop coming for this long is given up.
constexpr auto kFrameGap = std::chrono::milliseconds(200);
// An answer that cannot be written for this long is dropped.
constexpr int kWriteLimitMs = 1000;
constexpr std::uint8_t kImagePadding = 0xA5;

using Clk = std::chrono::steady_clock;

std::uint32_t Address(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

struct ActiveFault {
  Fault fault;
  int left;       // answers still to spoil; -1: no end
  int skip_left;
  bool timing = false;  // a timed silence has begun
  std::uint32_t since = 0;
};

// What one request did, before the faults shape the answer.
struct Outcome {
  std::vector<std::uint8_t> payload;  // echo, status, data
  int new_speed_index = -1;           // switch after answering
};

}  // namespace

std::vector<std::uint8_t> EmulatorImage(const EmulatorConfig& config) {
  if (!config.image.empty()) return config.image;
  std::vector<std::uint8_t> image(std::max<std::size_t>(kPlacementSize, config.image_size), kImagePadding);
  std::fill(image.begin(), image.begin() + kPlacementSize, 0);
  for (const FieldSpec& field : ImageFields()) DefaultBytes(field, config.model, image.data() + field.offset);
  image.resize(config.image_size);
  if (image.size() >= 1) image[0] = config.version;
  if (image.size() >= 2) image[1] = static_cast<std::uint8_t>(config.image_size & 0xFF);
  if (image.size() >= 3) image[2] = static_cast<std::uint8_t>(config.image_size >> 8);
  return image;
}

struct ScannerEmulator::Impl {
  explicit Impl(const EmulatorConfig& cfg);
  ~Impl();

  void Serve();
  void Take(const std::uint8_t* bytes, std::size_t size);
  void Answer(const std::vector<std::uint8_t>& request);
  Outcome Execute(const std::vector<std::uint8_t>& request);
  ActiveFault* MatchFault(const std::vector<std::uint8_t>& request);
  void Send(const std::vector<std::uint8_t>& bytes);
  void HangUp();
  std::uint32_t ReadLineSpeed() const;  // mutex held
  std::uint8_t ReportedState3() const;  // mutex held

  EmulatorConfig config;
  Clock* clock;
  std::string path;
  int master = -1;
  int slave = -1;
  int wake[2] = {-1, -1};
  std::thread thread;
  std::atomic<bool> stopped{false};

  mutable std::mutex mutex;
  std::vector<std::uint8_t> memory;
  std::uint8_t state[4];
  bool mode_on = false;
  std::uint32_t mode_since = 0;
  std::uint32_t speed;
  bool pressed = false;
  bool has_been_pressed = false;
  std::vector<ActiveFault> faults;
  std::vector<Request> requests;
  std::uint64_t dropped = 0;
  std::vector<std::uint8_t> line_bytes;
  bool hung_up = false;

  // The frame being taken off the line (serving thread only).
  std::vector<std::uint8_t> frame;
  Clk::time_point last_byte{};
  // The line is gone until then (line_drop).
  Clk::time_point dropped_until{};

  // Waits (real time) until `until` or the end of serving.
  bool WaitUntil(Clk::time_point until) const;
  // How long `bytes` bytes take on the line at the scanner's speed.
  Clk::duration LineTime(std::size_t bytes) const;
};

bool ScannerEmulator::Impl::WaitUntil(Clk::time_point until) const {
  while (!stopped.load()) {
    const auto now = Clk::now();
    if (now >= until) return true;
    std::this_thread::sleep_for(std::min<Clk::duration>(until - now, std::chrono::milliseconds(10)));
  }
  return false;
}

Clk::duration ScannerEmulator::Impl::LineTime(std::size_t bytes) const {
  return std::chrono::duration_cast<Clk::duration>(std::chrono::microseconds(bytes * 10 * 1000000ull / speed));
}

ScannerEmulator::Impl::Impl(const EmulatorConfig& cfg)
    : config(cfg), clock(cfg.clock ? cfg.clock : &CurrentClock()), speed(cfg.speed) {
  if (SpeedIndexOf(cfg.speed) < 0) throw std::invalid_argument("the scanner's speed must be one of the speed table");
  std::memcpy(state, cfg.state, sizeof state);
  mode_on = (state[0] & kModeFlagMask) && (state[1] & kModeFlagMask);
  memory.assign(kMemorySize, 0xFF);
  const std::vector<std::uint8_t> image = EmulatorImage(cfg);
  std::copy_n(image.begin(), std::min<std::size_t>(image.size(), kMemorySize), memory.begin());

  master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) throw std::runtime_error(std::string("posix_openpt: ") + std::strerror(errno));
  char name[128];
  termios tio{};
  if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0 ||
      (slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC)) < 0 || tcgetattr(master, &tio) != 0) {
    const int error_number = errno;
    if (slave >= 0) close(slave);
    close(master);
    throw std::runtime_error(std::string("pty: ") + std::strerror(error_number));
  }
  // Raw before anyone sees the path, so that nothing the program sends is
  // echoed or translated by the line discipline.
  cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  cfsetispeed(&tio, B9600);
  cfsetospeed(&tio, B9600);
  tcsetattr(master, TCSANOW, &tio);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    close(slave);
    close(master);
    throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  }
  path = name;
  thread = std::thread([this] { Serve(); });
}

ScannerEmulator::Impl::~Impl() {
  if (thread.joinable()) thread.join();
  if (master >= 0) close(master);
  if (slave >= 0) close(slave);
  close(wake[0]);
  close(wake[1]);
}

std::uint32_t ScannerEmulator::Impl::ReadLineSpeed() const {
  termios tio{};
  if (master < 0 || tcgetattr(master, &tio) != 0) return 0;
  return BaudOf(cfgetospeed(&tio));
}

std::uint8_t ScannerEmulator::Impl::ReportedState3() const {
  const bool ready = mode_on && static_cast<std::uint32_t>(clock->TickCount() - mode_since) >= config.ready_delay_ms;
  return static_cast<std::uint8_t>((state[3] & ~kReadyFlagMask) | (ready ? kReadyFlagMask : 0));
}

void ScannerEmulator::Impl::Serve() {
  std::uint8_t buffer[512];
  while (!stopped.load()) {
    pollfd fds[2] = {{master, POLLIN, 0}, {wake[0], POLLIN, 0}};
    const int ready = poll(fds, 2, 50);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents) return;
    if (!frame.empty() && Clk::now() - last_byte > kFrameGap) frame.clear();
    if (ready == 0) continue;
    if (!(fds[0].revents & POLLIN)) {
      // No one on the line at the moment; our own slave descriptor keeps it up,
      // so this passes.
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) continue;
    bool right_speed;
    {
      std::lock_guard<std::mutex> lock(mutex);
      right_speed = ReadLineSpeed() == speed;
      if (!right_speed) dropped += static_cast<std::uint64_t>(n);
    }
    if (!right_speed) {
      // At a wrong speed the scanner hears noise, never a frame.
      frame.clear();
      continue;
    }
    if (Clk::now() < dropped_until) {
      frame.clear();
      continue;
    }
    // The bytes came in one burst through the pty; on a line they take their time.
    if (config.pace && !WaitUntil(Clk::now() + LineTime(static_cast<std::size_t>(n)))) return;
    {
      std::lock_guard<std::mutex> lock(mutex);
      line_bytes.insert(line_bytes.end(), buffer, buffer + n);
    }
    Take(buffer, static_cast<std::size_t>(n));
    if (master < 0) return;  // hung up
  }
}

void ScannerEmulator::Impl::Take(const std::uint8_t* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size && master >= 0; ++i) {
    last_byte = Clk::now();
    if (frame.empty() && bytes[i] != kStx) continue;
    frame.push_back(bytes[i]);
    if (frame.size() < 2) continue;
    const std::size_t length = frame[1] == 0 ? 256 : frame[1];
    if (frame.size() < length + 3) continue;
    std::uint8_t check = frame[1];
    for (std::size_t k = 0; k < length; ++k) check ^= frame[2 + k];
    if (check == frame.back()) {
      const std::vector<std::uint8_t> request(frame.begin() + 2, frame.end() - 1);
      frame.clear();
      Answer(request);
      if (config.on_request) config.on_request(request);
    } else {
      frame.clear();  // a garbled request gets no answer
    }
  }
}

ActiveFault* ScannerEmulator::Impl::MatchFault(const std::vector<std::uint8_t>& request) {
  const std::uint8_t code = request[0];
  for (ActiveFault& active : faults) {
    const Fault& f = active.fault;
    if (active.left == 0) continue;
    if (f.command != 0 && f.command != code) continue;
    if (f.kind == FaultKind::flash_write_error) {
      if (code != CScannerInterface::cmd_write_block || request.size() < 6) continue;
      const std::uint32_t start = Address(&request[1]);
      const std::uint32_t end = start + static_cast<std::uint32_t>(request.size() - 5);
      if (f.address < start || f.address >= end) continue;
    }
    if (f.kind == FaultKind::keep_old_speed && (code != CScannerInterface::cmd_speed || request.size() != 2)) continue;
    if (active.skip_left > 0) {
      --active.skip_left;
      continue;
    }
    if (f.kind == FaultKind::silence && f.duration_ms > 0) {
      const std::uint32_t now = clock->TickCount();
      if (!active.timing) {
        active.timing = true;
        active.since = now;
      }
      if (static_cast<std::uint32_t>(now - active.since) >= f.duration_ms) {
        active.left = 0;
        continue;
      }
      return &active;
    }
    if (active.left > 0) --active.left;
    return &active;
  }
  return nullptr;
}

Outcome ScannerEmulator::Impl::Execute(const std::vector<std::uint8_t>& request) {
  Outcome out;
  const std::uint8_t code = request[0];
  const std::uint8_t* params = request.data() + 1;
  const std::size_t count = request.size() - 1;
  std::vector<std::uint8_t> data;
  std::uint8_t status = CScannerInterface::no_error;
  auto flag = [&](bool& value) {
    if (count == 0) data.push_back(value ? 1 : 0);
    else if (count == 1) value = params[0] != 0;
    else status = CScannerInterface::bad_parameters;
  };
  switch (code) {
    case CScannerInterface::cmd_pressed:
      flag(pressed);
      break;
    case CScannerInterface::cmd_has_been_pressed:
      flag(has_been_pressed);
      break;
    case CScannerInterface::cmd_write_block: {
      if (count < 5) {
        status = count < 4 ? CScannerInterface::bad_parameters : CScannerInterface::bad_block_size;
        break;
      }
      const std::uint32_t address = Address(params);
      const std::uint64_t size = count - 4;
      if (address < SETTINGS_ADDRESS || address - SETTINGS_ADDRESS + size > kMemorySize) {
        status = CScannerInterface::address_out_of_range;
        break;
      }
      std::copy_n(params + 4, size, memory.begin() + (address - SETTINGS_ADDRESS));
      break;
    }
    case CScannerInterface::cmd_read_block: {
      if (count != 5) {
        status = CScannerInterface::bad_parameters;
        break;
      }
      const std::uint32_t address = Address(params);
      const std::uint32_t size = params[4];
      if (size == 0 || size > CScannerInterface::max_r_block_size) {
        status = CScannerInterface::bad_block_size;
        break;
      }
      if (address < SETTINGS_ADDRESS || std::uint64_t{address} - SETTINGS_ADDRESS + size > kMemorySize) {
        status = CScannerInterface::address_out_of_range;
        break;
      }
      const auto from = memory.begin() + (address - SETTINGS_ADDRESS);
      data.assign(from, from + size);
      break;
    }
    case CScannerInterface::cmd_device_info:
      if (count != 1) {
        status = CScannerInterface::bad_parameters;
        break;
      }
      data = {static_cast<std::uint8_t>(config.firmware & 0xFF), static_cast<std::uint8_t>(config.firmware >> 8),
              static_cast<std::uint8_t>(config.reserved_info & 0xFF),
              static_cast<std::uint8_t>(config.reserved_info >> 8), config.model};
      break;
    case CScannerInterface::cmd_device_state:
      if (count == 0) {
        data = {state[0], state[1], state[2], ReportedState3()};
      } else if (count == 4) {
        std::copy_n(params, 4, state);
        const bool on = (state[0] & kModeFlagMask) && (state[1] & kModeFlagMask);
        if (on && !mode_on) mode_since = clock->TickCount();
        mode_on = on;
      } else {
        status = CScannerInterface::bad_parameters;
      }
      break;
    case CScannerInterface::cmd_speed:
      if (count == 0) {
        data.push_back(static_cast<std::uint8_t>(SpeedIndexOf(speed)));
      } else if (count == 1 && params[0] < speeds_size) {
        out.new_speed_index = params[0];
      } else {
        status = CScannerInterface::bad_parameters;
      }
      break;
    case CScannerInterface::cmd_interface:
      if (count == 0) data.push_back(config.host_interface);
      else status = CScannerInterface::bad_parameters;
      break;
    default:
      status = CScannerInterface::not_supported;
      break;
  }
  out.payload = {code, status};
  if (status == CScannerInterface::no_error) out.payload.insert(out.payload.end(), data.begin(), data.end());
  return out;
}

void ScannerEmulator::Impl::Answer(const std::vector<std::uint8_t>& request) {
  if (config.answer_delay_ms > 0 && !WaitUntil(Clk::now() + std::chrono::milliseconds(config.answer_delay_ms))) return;
  std::vector<std::uint8_t> bytes;
  {
    std::unique_lock<std::mutex> lock(mutex);
    requests.push_back(request);
    const ActiveFault* active = MatchFault(request);
    const Fault fault = active ? active->fault : Fault{FaultKind::silence, 0, 0};
    const std::uint8_t code = request[0];
    Outcome out;
    if (!active) {
      out = Execute(request);
    } else {
      switch (fault.kind) {
        case FaultKind::silence:
          return;
        case FaultKind::line_drop:
          dropped_until = Clk::now() + std::chrono::milliseconds(fault.duration_ms);
          frame.clear();
          return;
        case FaultKind::not_ready:
          out.payload = {code, CScannerInterface::not_ready};
          break;
        case FaultKind::status:
          out.payload = {code, static_cast<std::uint8_t>(fault.value)};
          break;
        case FaultKind::flash_write_error:
          out.payload = {code, CScannerInterface::flash_write_error};
          break;
        default:
          out = Execute(request);
          break;
      }
      if (fault.kind == FaultKind::foreign_echo) out.payload[0] = static_cast<std::uint8_t>(code ^ 0x01);
      if (fault.kind == FaultKind::extra_data_byte) out.payload.push_back(0x00);
      if (fault.kind == FaultKind::missing_data_byte) out.payload.pop_back();
      if (fault.kind == FaultKind::keep_old_speed) out.new_speed_index = -1;
      if (fault.kind == FaultKind::data_byte && out.payload.size() > 2 && out.payload[1] == CScannerInterface::no_error)
        out.payload[2] = static_cast<std::uint8_t>(fault.value);
    }
    const bool faulty = active != nullptr;
    if (faulty && fault.kind == FaultKind::stray_bytes) bytes.assign(fault.value, kNoise);
    bytes.push_back(kStx);
    bytes.push_back(static_cast<std::uint8_t>(out.payload.size() % 256));
    std::uint8_t check = bytes.back();
    for (std::uint8_t b : out.payload) check ^= b;
    bytes.insert(bytes.end(), out.payload.begin(), out.payload.end());
    bytes.push_back(faulty && fault.kind == FaultKind::bad_check ? static_cast<std::uint8_t>(check ^ 0xFF) : check);

    if (faulty && fault.kind == FaultKind::late_answer) {
      // Requests that come meanwhile wait in the line, as in a busy scanner.
      lock.unlock();
      if (!WaitUntil(Clk::now() + std::chrono::milliseconds(fault.duration_ms))) return;
      lock.lock();
    }
    // A late answer that finds the program's port at another speed by now is
    // noise there, as on a real line, never a frame.
    if (ReadLineSpeed() != speed) std::fill(bytes.begin(), bytes.end(), kNoise);
    if (faulty && fault.kind == FaultKind::hang_up) {
      bytes.resize(std::min<std::size_t>(bytes.size(), fault.value));
      Send(bytes);
      HangUp();
      return;
    }
    Send(bytes);
    // The acknowledgement went out at the old speed; from now on the scanner
    // listens at the new one.
    if (out.new_speed_index >= 0) speed = SpeedTable[out.new_speed_index];
  }
}

void ScannerEmulator::Impl::Send(const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  const auto start = Clk::now();
  const auto deadline = start + std::chrono::milliseconds(kWriteLimitMs) + (config.pace ? LineTime(bytes.size()) : Clk::duration{});
  // Paced, the bytes go out in slices of about 10 ms of line time.
  const std::size_t slice = config.pace ? std::max<std::size_t>(1, speed / 1000) : bytes.size();
  while (done < bytes.size() && !stopped.load() && Clk::now() < deadline) {
    // A slice is there for the reader once its last stop bit is out.
    if (config.pace && !WaitUntil(start + LineTime(done + std::min(slice, bytes.size() - done)))) return;
    const ssize_t n = write(master, bytes.data() + done, std::min(slice, bytes.size() - done));
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return;
    pollfd entry{master, POLLOUT, 0};
    poll(&entry, 1, 10);
  }
}

void ScannerEmulator::Impl::HangUp() {
  close(master);
  master = -1;
  close(slave);
  slave = -1;
  hung_up = true;
}

ScannerEmulator::ScannerEmulator(const EmulatorConfig& config) : impl_(std::make_unique<Impl>(config)) {}

ScannerEmulator::~ScannerEmulator() { Stop(); }

const std::string& ScannerEmulator::PortPath() const { return impl_->path; }

void ScannerEmulator::AddFault(const Fault& fault) {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->faults.push_back({fault, fault.count, fault.skip});
}

void ScannerEmulator::ClearFaults() {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->faults.clear();
}

std::vector<std::uint8_t> ScannerEmulator::ReadMemory(std::uint32_t address, std::uint32_t size) const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (address < SETTINGS_ADDRESS || address - SETTINGS_ADDRESS >= kMemorySize) return {};
  const std::uint32_t from = address - SETTINGS_ADDRESS;
  const std::uint32_t n = std::min(size, kMemorySize - from);
  return {impl_->memory.begin() + from, impl_->memory.begin() + from + n};
}

void ScannerEmulator::WriteMemory(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (address < SETTINGS_ADDRESS || address - SETTINGS_ADDRESS >= kMemorySize) return;
  const std::uint32_t from = address - SETTINGS_ADDRESS;
  const std::size_t n = std::min<std::size_t>(bytes.size(), kMemorySize - from);
  std::copy_n(bytes.begin(), n, impl_->memory.begin() + from);
}

std::uint32_t ScannerEmulator::Speed() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->speed;
}

std::uint32_t ScannerEmulator::LineSpeed() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->ReadLineSpeed();
}

std::vector<std::uint8_t> ScannerEmulator::State() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return {impl_->state[0], impl_->state[1], impl_->state[2], impl_->ReportedState3()};
}

std::vector<Request> ScannerEmulator::Requests() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->requests;
}

void ScannerEmulator::ClearRequests() {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->requests.clear();
  impl_->line_bytes.clear();
}

std::vector<std::uint8_t> ScannerEmulator::LineBytes() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->line_bytes;
}

std::uint64_t ScannerEmulator::DroppedBytes() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->dropped;
}

bool ScannerEmulator::HungUp() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->hung_up;
}

void ScannerEmulator::Stop() {
  if (impl_->stopped.exchange(true)) return;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(impl_->wake[1], &byte, 1);
  if (impl_->thread.joinable()) impl_->thread.join();
}

}  // namespace tavrik
