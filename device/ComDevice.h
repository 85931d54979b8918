#pragma once
// The byte stream to the scanner: an abstract device for the protocol layer and
// its implementation over a serial port (an RS-232 port or the USB CDC virtual
// port of a scanner, /dev/ttyACM*), on POSIX termios.
//
// A CComDevice lives for one user action: opened at its start by OpenDevice,
// closed when it goes out of scope, also when the action ends with an exception.

#include <cstdint>
#include <exception>
#include <string>

#include "core/Messages.h"
#include "device/object_description.h"

namespace tavrik {

class CBasicDevice {
 public:
  // A transfer, a purge or error clearing failed, or fewer bytes than asked for
  // were moved within the time-out. Carries no text: the protocol layer turns it
  // into retries and finally into the result no_connection. Should one reach a
  // handler that shows what(), the text is the generic "Unknown exception".
  class CException : public std::exception {
   public:
    const char* what() const noexcept override { return "Unknown exception"; }
  };

  virtual ~CBasicDevice() = default;

  virtual bool IsOpen() const = 0;
  // Moves all `size` bytes (size > 0) within the time-out or throws CException.
  virtual void Write(const std::uint8_t* data, std::uint32_t size) = 0;
  virtual void WriteByte(std::uint8_t byte) = 0;
  // Fills all `size` bytes (size > 0) within the time-out or throws CException;
  // the bytes that did come are consumed and lost.
  virtual void Read(std::uint8_t* data, std::uint32_t size) = 0;
  virtual std::uint8_t ReadByte() = 0;
  virtual void ClearError() = 0;
  // Drop what is waiting in the input or output queue.
  virtual void PurgeInput() = 0;
  virtual void PurgeOutput() = 0;
};

// The message for an errno of a port operation (any other errno gives
// "Ошибка открытия COM-порта (N)" with the errno).
std::string PortErrorText(int error_number);
// Whether a message is one of a port that is there but would not open (missing,
// busy, denied, another error of opening): the trouble a host check explains.
// A port not given at all is not one of them.
bool IsPortErrorText(const std::string& text);

class CComDevice : public CBasicDevice {
 public:
  // Opening, configuring or querying the port failed; GetText() (and what())
  // give the message for the user. The error number is not kept.
  class CException : public CBasicDevice::CException, public object_description {
   public:
    // From the errno of the failing call.
    explicit CException(int error_number);
    // With a message of its own (an empty port name).
    explicit CException(std::string text);
    const char* what() const noexcept override;
  };

  // Line speed right after Open, whatever the port had before.
  static constexpr std::uint32_t kInitialSpeed = 9600;
  // Time-out of a new port until SetTimeout.
  static constexpr std::uint32_t kInitialTimeout = 1000;

  CComDevice() = default;
  ~CComDevice() override;
  CComDevice(const CComDevice&) = delete;
  CComDevice& operator=(const CComDevice&) = delete;

  bool IsOpen() const override;
  void Write(const std::uint8_t* data, std::uint32_t size) override;
  void WriteByte(std::uint8_t byte) override;
  void Read(std::uint8_t* data, std::uint32_t size) override;
  std::uint8_t ReadByte() override;
  // The line keeps no error state to clear here: never fails.
  void ClearError() override;
  void PurgeInput() override;
  void PurgeOutput() override;

  // Opens the port at `path` (such as /dev/ttyACM0) exclusively: raw 8N1, no
  // flow control, DTR and RTS low, 9600 baud. An open device is closed first.
  // Throws CComDevice::CException; a failed Open leaves the device closed.
  void Open(const std::string& path);
  void Close();

  // Preconditions of the rest: IsOpen().
  const std::string& GetPortName() const;
  // Baud rates (2400, 9600, 115200...). SetSpeed of a rate the port does not
  // know throws CComDevice::CException.
  std::uint32_t GetSpeed() const;
  void SetSpeed(std::uint32_t baud);
  // T in ms: each Read or Write moves all its bytes within T ms of its start.
  std::uint32_t GetTimeout() const;
  void SetTimeout(std::uint32_t timeout_ms);

 private:
  void Transfer(std::uint8_t* data, std::uint32_t size, bool reading);

  int fd_ = -1;
  std::string port_name_;
  std::uint32_t timeout_ms_ = kInitialTimeout;
};

}  // namespace tavrik

#include "device/ComDeviceFunctionsDef.h"
