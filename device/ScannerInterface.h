#pragma once
// The scanner's command protocol over a CBasicDevice and the device operations
// built on it.
//
// Frame, the same both ways: 0x02, length L (1..256, 256 sent as 0x00), L payload
// bytes, check byte = L XOR every payload byte. Request payload: command code,
// parameters. Response payload: the command code echoed, a status, data.
// Every operation returns a result code: 0 success, negative from the host side,
// positive the scanner's status byte as it came.

#include <cstdint>
#include <string>

#include "device/ComDevice.h"
#include "device/object_description.h"
#include "settings/Models.h"

namespace tavrik {

// Model code and firmware word as the scanner reports them (command 0x9E).
struct DeviceInfo {
  std::uint16_t firmware_version = 0;  // major in the high byte
  std::uint16_t reserved = 0;          // bytes 2 and 3, not used by the program
  std::uint8_t model = 0;
};

// The scanner's 4-byte state word (command 0x9F). Bits the program gives no
// meaning to are carried along unchanged.
struct DeviceState {
  std::uint8_t bytes[4] = {0, 0, 0, 0};
};
// Byte 0 and byte 1: the two mode flags, always written equal.
inline constexpr std::uint8_t kModeFlagMask = 0x02;
// Byte 3: the scanner is ready in the mode that was set.
inline constexpr std::uint8_t kReadyFlagMask = 0x80;
// Byte 0: the two-bit field set to the pattern 10 before a settings transfer.
inline constexpr std::uint8_t kTransferFieldMask = 0x30;
inline constexpr std::uint8_t kTransferFieldValue = 0x20;
inline void MarkSettingsTransfer(DeviceState& state) {
  state.bytes[0] = static_cast<std::uint8_t>((state.bytes[0] & ~kTransferFieldMask) | kTransferFieldValue);
}

// Line speeds of the scanner, exchanged as an index. 9600 (index 2) stands in
// wherever a speed cannot be matched.
inline constexpr std::uint32_t SpeedTable[] = {2400, 4800, 9600, 19200, 38400, 57600, 115200};
inline constexpr int speeds_size = 7;
inline constexpr std::uint8_t kDefaultSpeedIndex = 2;

// The settings image in device memory: version byte, 16-bit little-endian size
// at +1, then the fields. Settings move in blocks of this size.
inline constexpr std::uint32_t SETTINGS_ADDRESS = 0xFE0000;
inline constexpr std::uint32_t SETTINGS_BLOCK_SIZE = 128;

// Called after every block of ReadMemory/WriteMemory with the whole buffer, the
// bytes done so far, the total and the caller's value.
using ProgressCallback = void (*)(const std::uint8_t* buffer, std::uint32_t done,
                                  std::uint32_t total, void* user);

class CScannerInterface {
 public:
  // Result codes.
  enum : std::int32_t {
    // A successful answer carried a value the program has no use for (a speed
    // index above 6, an interface above 2).
    bad_answer_value = -3,
    bad_answer_length = -2,
    no_connection = -1,
    no_error = 0,
    not_ready = 2,
    bad_parameters = 4,
    not_supported = 8,
    not_supported_in_mode = 115,
    bad_block_size = 144,
    address_out_of_range = 145,
    block_alignment_error = 146,
    flash_write_error = 147,
  };

  static constexpr std::uint32_t max_size = 256;             // largest frame payload
  static constexpr std::uint32_t max_w_block_size = 251;     // code, 4 address bytes, data
  static constexpr std::uint32_t max_r_block_size = 254;     // echo and status take the rest
  static constexpr int attempts = 3;
  static constexpr std::uint32_t busy_pause_ms = 60;

  // Command codes.
  enum : std::uint8_t {
    cmd_pressed = 0x9A,
    cmd_has_been_pressed = 0x9B,
    cmd_write_block = 0x9C,
    cmd_read_block = 0x9D,
    cmd_device_info = 0x9E,
    cmd_device_state = 0x9F,
    cmd_speed = 0xA1,
    cmd_interface = 0xA4,
  };

  CScannerInterface() = default;
  explicit CScannerInterface(CBasicDevice* device) : m_pDevice(device) {}

  // Not owned; the device outlives the interface.
  void SetDevice(CBasicDevice* device) { m_pDevice = device; }
  CBasicDevice* GetDevice() const { return m_pDevice; }
  // Asserts a device that is open.
  void CheckDevice() const;

  // One frame out; 1 <= size <= max_size. Throws CBasicDevice::CException.
  void SendFrame(const std::uint8_t* data, std::uint32_t size);
  // One frame in. *size: in the capacity, out the bytes stored (a longer payload
  // is cut). Throws CBasicDevice::CException on a dead line or a bad frame, after
  // draining the line.
  void ReceiveFrame(std::uint8_t* data, std::uint32_t* size);
  // One transaction: request `code` with `ssize` parameter bytes, expect exactly
  // `rsize` data bytes on success. Up to 3 attempts; never throws for transport
  // failures (they end in no_connection).
  std::int32_t Command(std::uint8_t code, std::uint8_t* rdata, std::uint32_t rsize,
                       const std::uint8_t* sdata, std::uint32_t ssize);

  // The text of a result code; "Неизвестная ошибка" for codes without one.
  static const char* ErrorName(std::int32_t code);
  // Nothing for no_error; otherwise throws object_description "(code) name".
  static void CheckError(std::int32_t code);

  // Device operations. Out values are written only on no_error.
  std::int32_t GetDeviceInfo(DeviceInfo* info, bool verifying = false);
  std::int32_t GetDeviceState(DeviceState* state);
  std::int32_t SetDeviceState(const DeviceState& state);
  std::int32_t GetSpeedIndex(std::uint8_t* speed);
  std::int32_t SetSpeedIndex(std::uint8_t speed);  // speed < speeds_size
  std::int32_t GetInterface(std::uint8_t* interfc);  // 0 uart, 1 usb_cdc, 2 usb_hid
  std::int32_t GetPressed(bool* pressed);
  std::int32_t SetPressed(bool pressed);
  std::int32_t GetHasBeenPressed(bool* has_been_pressed);
  std::int32_t SetHasBeenPressed(bool has_been_pressed);
  // One block: 1..251 bytes written, 1..254 bytes read.
  std::int32_t WriteBlock(std::uint32_t address, const std::uint8_t* block, std::uint32_t block_size);
  std::int32_t ReadBlock(std::uint32_t address, std::uint8_t* block, std::uint32_t block_size);
  // A region block by block (block_size 1..251 for writes, 1..254 for reads);
  // stops at the first failing block and returns its code. 0 bytes send nothing.
  std::int32_t WriteMemory(std::uint32_t address, const std::uint8_t* data, std::uint32_t size,
                           ProgressCallback callback = nullptr, void* user = nullptr,
                           std::uint32_t block_size = SETTINGS_BLOCK_SIZE);
  std::int32_t ReadMemory(std::uint32_t address, std::uint8_t* data, std::uint32_t size,
                          ProgressCallback callback = nullptr, void* user = nullptr,
                          std::uint32_t block_size = SETTINGS_BLOCK_SIZE);

 private:
  void DrainAndFail();
  // Reads away whatever is still coming until the line is silent.
  void SettleLine();

  CBasicDevice* m_pDevice = nullptr;
};

// Writes the mode flags (both on or both off) and polls the state word every
// 100 ms for up to 5 s until the scanner reports them (and, when on, its
// readiness). Lost answers while polling are not errors. Throws object_description.
void SwitchDeviceMode(CScannerInterface& scanner, bool on);

// Moves the scanner, and the port when the device is a CComDevice, to speed
// index `index` (< speeds_size) and checks the link at the new speed. With
// tolerate_unsupported a scanner that does not know the speed command is left
// alone. Throws object_description (a CheckError text or "Ошибка смены скорости").
void ChangeSpeed(CScannerInterface& scanner, std::uint8_t index, bool tolerate_unsupported);

// "major.minor" of a firmware word.
std::string VersionText(std::uint16_t version);
bool HasBluetooth(std::uint8_t model);
bool IsModelUnset(std::uint8_t model);

// The index of `baud` in SpeedTable, or -1.
int SpeedIndexOf(std::uint32_t baud);

// SpeedTable as text, the rates joined by `separator` ("2400, 4800, ...").
std::string SpeedList(const char* separator);

}  // namespace tavrik
