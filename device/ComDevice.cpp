#include "device/ComDevice.h"

#include "device/BaudRates.h"
#include "device/Clock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <chrono>
#include <cstdio>

namespace tavrik {
namespace {

// The line settings the scanner needs: raw 8N1, receiver on, modem lines
// ignored, no flow control of either kind, reads return as soon as a byte is
// there.
void MakeScannerLine(termios& tio, speed_t speed) {
  cfmakeraw(&tio);
  tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  cfsetispeed(&tio, speed);
  cfsetospeed(&tio, speed);
}

// tcsetattr succeeds when any one of the changes applied, so the result is
// read back and compared field by field.
bool LineMatches(const termios& want, const termios& got) {
  constexpr tcflag_t kControl = CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD;
  constexpr tcflag_t kInput = IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | PARMRK;
  constexpr tcflag_t kLocal = ICANON | ECHO | ISIG | IEXTEN;
  return (want.c_cflag & kControl) == (got.c_cflag & kControl) &&
         (want.c_iflag & kInput) == (got.c_iflag & kInput) &&
         (want.c_lflag & kLocal) == (got.c_lflag & kLocal) && (got.c_oflag & OPOST) == 0 &&
         got.c_cc[VMIN] == want.c_cc[VMIN] && got.c_cc[VTIME] == want.c_cc[VTIME] &&
         cfgetispeed(&got) == cfgetispeed(&want) && cfgetospeed(&got) == cfgetospeed(&want);
}

// Closes a descriptor that Open had not yet stored, keeping the errno that made
// the open fail.
[[noreturn]] void FailOpen(int fd, bool exclusive, int error_number) {
  if (exclusive) ioctl(fd, TIOCNXCL, nullptr);
  close(fd);
  throw CComDevice::CException(error_number);
}

}  // namespace

std::string PortErrorText(int error_number) {
  switch (error_number) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
      return kPortUnavailableText;
    case EBUSY:
    case EWOULDBLOCK:
      return kPortBusyText;
    case EACCES:
    case EPERM:
      return kPortAccessDeniedText;
    default: {
      char text[96];
      std::snprintf(text, sizeof text, kPortErrorFormat, static_cast<unsigned long>(error_number));
      return text;
    }
  }
}

bool IsPortErrorText(const std::string& text) {
  if (text == kPortUnavailableText || text == kPortBusyText || text == kPortAccessDeniedText) return true;
  const std::string format = kPortErrorFormat;
  const std::string prefix = format.substr(0, format.find('%'));
  return text.size() > prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

CComDevice::CException::CException(int error_number) : object_description(PortErrorText(error_number)) {}

CComDevice::CException::CException(std::string text) : object_description(std::move(text)) {}

const char* CComDevice::CException::what() const noexcept { return GetText().c_str(); }

CComDevice::~CComDevice() { Close(); }

bool CComDevice::IsOpen() const { return fd_ >= 0; }

void CComDevice::Open(const std::string& path) {
  Close();
  if (path.empty()) throw CException(std::string(kPortNotSetText));

  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw CException(errno);

  termios tio{};
  if (tcgetattr(fd, &tio) != 0) FailOpen(fd, false, errno);
  // TIOCEXCL alone does not stop root; the lock stops every other opener that
  // plays by the same rules.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) FailOpen(fd, false, errno);
  if (ioctl(fd, TIOCEXCL, nullptr) != 0) FailOpen(fd, false, errno);

  termios want = tio;
  MakeScannerLine(want, B9600);
  if (tcsetattr(fd, TCSANOW, &want) != 0) FailOpen(fd, true, errno);
  termios got{};
  if (tcgetattr(fd, &got) != 0) FailOpen(fd, true, errno);
  if (!LineMatches(want, got)) FailOpen(fd, true, EINVAL);

  // The scanner must not see DTR or RTS; a pty has no modem lines at all.
  int lines = TIOCM_DTR | TIOCM_RTS;
  if (ioctl(fd, TIOCMBIC, &lines) != 0 && errno != ENOTTY && errno != EINVAL) FailOpen(fd, true, errno);
  if (tcflush(fd, TCIOFLUSH) != 0) FailOpen(fd, true, errno);

  fd_ = fd;
  port_name_ = path;
  timeout_ms_ = kInitialTimeout;
}

void CComDevice::Close() {
  if (fd_ < 0) return;
  ioctl(fd_, TIOCNXCL, nullptr);
  close(fd_);  // releases the lock too
  fd_ = -1;
  port_name_.clear();
}

const std::string& CComDevice::GetPortName() const {
  assert(IsOpen());
  return port_name_;
}

std::uint32_t CComDevice::GetSpeed() const {
  assert(IsOpen());
  termios tio{};
  if (tcgetattr(fd_, &tio) != 0) throw CException(errno);
  return BaudOf(cfgetospeed(&tio));
}

void CComDevice::SetSpeed(std::uint32_t baud) {
  assert(IsOpen());
  speed_t code{};
  if (!SpeedCode(baud, &code)) throw CException(EINVAL);
  termios tio{};
  if (tcgetattr(fd_, &tio) != 0) throw CException(errno);
  if (cfsetispeed(&tio, code) != 0 || cfsetospeed(&tio, code) != 0) throw CException(errno);
  if (tcsetattr(fd_, TCSANOW, &tio) != 0) throw CException(errno);
  termios got{};
  if (tcgetattr(fd_, &got) != 0) throw CException(errno);
  if (cfgetospeed(&got) != code || cfgetispeed(&got) != code) throw CException(EINVAL);
}

std::uint32_t CComDevice::GetTimeout() const {
  assert(IsOpen());
  return timeout_ms_;
}

void CComDevice::SetTimeout(std::uint32_t timeout_ms) {
  assert(IsOpen());
  timeout_ms_ = timeout_ms;
}

void CComDevice::Transfer(std::uint8_t* data, std::uint32_t size, bool reading) {
  assert(IsOpen());
  if (!IsOpen()) throw CBasicDevice::CException();
  using std::chrono::steady_clock;
  const auto deadline = steady_clock::now() + std::chrono::milliseconds(timeout_ms_);
  std::uint32_t done = 0;
  while (done < size) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - steady_clock::now());
    if (left.count() < 0) throw CBasicDevice::CException();
    pollfd entry{fd_, static_cast<short>(reading ? POLLIN : POLLOUT), 0};
    // The wait is cut into slices so that the clock's idle hook runs while a
    // silent scanner keeps the line quiet for up to the whole time-out.
    const auto slice = std::min<std::int64_t>(left.count(), kIdleSliceMs);
    const int ready = poll(&entry, 1, static_cast<int>(slice));
    if (ready < 0) {
      if (errno == EINTR) continue;
      throw CBasicDevice::CException();
    }
    if (ready == 0) {
      if (left.count() == 0) throw CBasicDevice::CException();
      CurrentClock().Idle();
      continue;  // the deadline decides
    }
    const short wanted = reading ? POLLIN : POLLOUT;
    if (!(entry.revents & wanted)) throw CBasicDevice::CException();  // hang-up or error only
    const ssize_t moved = reading ? read(fd_, data + done, size - done) : write(fd_, data + done, size - done);
    if (moved > 0) {
      done += static_cast<std::uint32_t>(moved);
    } else if (moved == 0) {
      throw CBasicDevice::CException();  // the line hung up
    } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
      throw CBasicDevice::CException();
    }
  }
}

void CComDevice::Write(const std::uint8_t* data, std::uint32_t size) {
  assert(data != NULL);
  assert(size > 0);
  Transfer(const_cast<std::uint8_t*>(data), size, false);
}

void CComDevice::WriteByte(std::uint8_t byte) { Transfer(&byte, 1, false); }

void CComDevice::Read(std::uint8_t* data, std::uint32_t size) {
  assert(data != NULL);
  assert(size > 0);
  Transfer(data, size, true);
}

std::uint8_t CComDevice::ReadByte() {
  std::uint8_t byte = 0;
  Transfer(&byte, 1, true);
  return byte;
}

void CComDevice::ClearError() {}

void CComDevice::PurgeInput() {
  assert(IsOpen());
  if (tcflush(fd_, TCIFLUSH) != 0) throw CBasicDevice::CException();
}

void CComDevice::PurgeOutput() {
  assert(IsOpen());
  if (tcflush(fd_, TCOFLUSH) != 0) throw CBasicDevice::CException();
}

void OpenDevice(CComDevice* device, const std::string& path, std::uint32_t baud, std::uint32_t timeout_ms) {
  assert(device != NULL);
  device->Open(path);
  device->SetSpeed(baud);
  device->SetTimeout(timeout_ms);
}

}  // namespace tavrik
