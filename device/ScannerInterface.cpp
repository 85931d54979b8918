#include "device/ScannerInterface.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <string>

#include "device/Clock.h"
#include "settings/Models.h"

namespace tavrik {
namespace {

constexpr std::uint8_t kStx = 0x02;
// The host interfaces the scanner reports: 0 uart, 1 usb_cdc, 2 usb_hid.
constexpr std::uint8_t kLastReportedInterface = 2;

struct ResultText {
  std::int32_t code;
  const char* text;
};
constexpr ResultText kResultTexts[] = {
    {CScannerInterface::bad_answer_value, "Неверное значение в ответе"},
    {CScannerInterface::bad_answer_length, "Неверная длина ответа"},
    {CScannerInterface::no_connection, "Нет связи"},
    {CScannerInterface::no_error, "Ошибок нет"},
    {CScannerInterface::not_ready, "Команда не может быть выполнена в данный момент"},
    {CScannerInterface::bad_parameters, "Некорректные параметры в команде"},
    {CScannerInterface::not_supported, "Команда не поддерживается"},
    {CScannerInterface::not_supported_in_mode, "Команда не поддерживается в данном режиме"},
    {CScannerInterface::bad_block_size, "Неправильный размер блока"},
    {CScannerInterface::address_out_of_range, "Адрес вышел из допустимого диапазона"},
    {CScannerInterface::block_alignment_error, "Ошибка выравнивания блока"},
    {CScannerInterface::flash_write_error, "Ошибка записи во флеш-память"},
};
constexpr const char* kUnknownErrorText = "Неизвестная ошибка";


std::uint8_t CheckByte(const std::uint8_t* payload, std::uint32_t size) {
  std::uint8_t check = static_cast<std::uint8_t>(size % 256);
  for (std::uint32_t i = 0; i < size; ++i) check ^= payload[i];
  return check;
}

void PutAddress(std::uint8_t* out, std::uint32_t address) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(address >> (8 * i));
}

}  // namespace

void CScannerInterface::CheckDevice() const {
  assert(m_pDevice != NULL);
  assert(m_pDevice->IsOpen());
}

void CScannerInterface::SendFrame(const std::uint8_t* data, std::uint32_t size) {
  CheckDevice();
  assert(data != NULL);
  assert(size > 0 && size <= max_size);
  // Start, length, the payload in one write, check byte: the caller's bytes are
  // sent from where they are, so no size can overrun a buffer of ours.
  m_pDevice->WriteByte(kStx);
  m_pDevice->WriteByte(static_cast<std::uint8_t>(size % 256));
  const std::uint8_t check = CheckByte(data, size);
  m_pDevice->Write(data, size);
  m_pDevice->WriteByte(check);
}

void CScannerInterface::DrainAndFail() {
  // Whatever follows a bad frame belongs to it; it is read away (this normally
  // ends in a time-out once the line is silent) so that it cannot pass for the
  // start of an answer.
  std::uint8_t scratch[max_size];
  try {
    m_pDevice->Read(scratch, sizeof scratch);
  } catch (const CBasicDevice::CException&) {
  }
  throw CBasicDevice::CException();
}

void CScannerInterface::SettleLine() {
  // Ends in a time-out once the line has been quiet for one time-out; a line
  // that never stops talking is given up after a few frames' worth.
  std::uint8_t scratch[max_size];
  try {
    for (int i = 0; i < 8; ++i) m_pDevice->Read(scratch, sizeof scratch);
  } catch (...) {
  }
}

void CScannerInterface::ReceiveFrame(std::uint8_t* data, std::uint32_t* size) {
  CheckDevice();
  assert(data != NULL);
  assert(size != NULL);
  // One stray byte before the start is line noise and tolerated; a second one
  // means the line carries something else.
  int strays = 0;
  while (m_pDevice->ReadByte() != kStx) {
    if (++strays >= 2) DrainAndFail();
  }
  const std::uint8_t length_byte = m_pDevice->ReadByte();
  const std::uint32_t length = length_byte == 0 ? max_size : length_byte;
  std::uint8_t payload[max_size];
  m_pDevice->Read(payload, length);
  if (m_pDevice->ReadByte() != CheckByte(payload, length)) DrainAndFail();
  if (*size > length) *size = length;
  std::memcpy(data, payload, *size);
}

std::int32_t CScannerInterface::Command(std::uint8_t code, std::uint8_t* rdata, std::uint32_t rsize,
                                        const std::uint8_t* sdata, std::uint32_t ssize) {
  CheckDevice();
  assert(rsize == 0 || rdata != NULL);
  assert(ssize == 0 || sdata != NULL);
  assert(rsize <= max_size - 2);
  assert(ssize <= max_size - 1);
  if (rsize > max_size - 2 || ssize > max_size - 1) return bad_parameters;

  std::uint8_t request[max_size];
  request[0] = code;
  if (ssize > 0) std::memcpy(request + 1, sdata, ssize);

  // An attempt that timed out may still be answered, late: that answer would
  // pass for the answer to the next command (a read block carries no address),
  // so after such an attempt the line is read away before the result goes out.
  bool maybe_answered_late = false;
  const auto settled = [&](std::int32_t result) {
    if (maybe_answered_late) SettleLine();
    return result;
  };
  for (int attempt = 0; attempt < attempts; ++attempt) {
    try {
      m_pDevice->ClearError();
      m_pDevice->PurgeInput();
      m_pDevice->PurgeOutput();
      SendFrame(request, ssize + 1);
      std::uint8_t response[max_size];
      std::uint32_t size = sizeof response;
      ReceiveFrame(response, &size);
      if (size == 0 || response[0] != code) continue;  // a stale or foreign answer
      if (size < 2) return settled(bad_answer_length);
      const std::uint8_t status = response[1];
      if (status == not_ready) {
        CurrentClock().Sleep(busy_pause_ms);
        continue;
      }
      if (status != no_error) return settled(status);
      if (size != rsize + 2) return settled(bad_answer_length);
      if (rsize > 0) std::memcpy(rdata, response + 2, rsize);
      return settled(no_error);
    } catch (...) {
      // A dead line, a short read or a bad frame (whatever the device throws for
      // it): the next attempt.
      maybe_answered_late = true;
    }
  }
  return no_connection;
}

const char* CScannerInterface::ErrorName(std::int32_t code) {
  for (const ResultText& row : kResultTexts) {
    if (row.code == code) return row.text;
  }
  return kUnknownErrorText;
}

void CScannerInterface::CheckError(std::int32_t code) {
  if (code == no_error) return;
  throw object_description("(" + std::to_string(code) + ") " + ErrorName(code));
}

std::int32_t CScannerInterface::GetDeviceInfo(DeviceInfo* info, bool verifying) {
  assert(info != NULL);
  // The scanner takes 0 when the program only checks that a new speed works.
  const std::uint8_t param = verifying ? 0 : 1;
  std::uint8_t data[5];
  const std::int32_t result = Command(cmd_device_info, data, sizeof data, &param, 1);
  if (result == no_error) {
    info->firmware_version = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
    info->reserved = static_cast<std::uint16_t>(data[2] | (data[3] << 8));
    info->model = data[4];
  }
  return result;
}

std::int32_t CScannerInterface::GetDeviceState(DeviceState* state) {
  assert(state != NULL);
  std::uint8_t data[4];
  const std::int32_t result = Command(cmd_device_state, data, sizeof data, nullptr, 0);
  if (result == no_error) std::memcpy(state->bytes, data, sizeof data);
  return result;
}

std::int32_t CScannerInterface::SetDeviceState(const DeviceState& state) {
  return Command(cmd_device_state, nullptr, 0, state.bytes, sizeof state.bytes);
}

std::int32_t CScannerInterface::GetSpeedIndex(std::uint8_t* speed) {
  assert(speed != NULL);
  std::uint8_t index = 0;
  std::int32_t result = Command(cmd_speed, &index, 1, nullptr, 0);
  if (result == no_error && index >= speeds_size) result = bad_answer_value;
  if (result == no_error) *speed = index;
  return result;
}

std::int32_t CScannerInterface::SetSpeedIndex(std::uint8_t speed) {
  assert(speed < speeds_size);
  if (speed >= speeds_size) return bad_parameters;
  return Command(cmd_speed, nullptr, 0, &speed, 1);
}

std::int32_t CScannerInterface::GetInterface(std::uint8_t* interfc) {
  assert(interfc != NULL);
  std::uint8_t value = 0;
  std::int32_t result = Command(cmd_interface, &value, 1, nullptr, 0);
  if (result == no_error && value > kLastReportedInterface) result = bad_answer_value;
  if (result == no_error) *interfc = value;
  return result;
}

std::int32_t CScannerInterface::GetPressed(bool* pressed) {
  assert(pressed != NULL);
  std::uint8_t value = 0;
  const std::int32_t result = Command(cmd_pressed, &value, 1, nullptr, 0);
  if (result == no_error) *pressed = value != 0;
  return result;
}

std::int32_t CScannerInterface::SetPressed(bool pressed) {
  const std::uint8_t value = pressed ? 1 : 0;
  return Command(cmd_pressed, nullptr, 0, &value, 1);
}

std::int32_t CScannerInterface::GetHasBeenPressed(bool* has_been_pressed) {
  assert(has_been_pressed != NULL);
  std::uint8_t value = 0;
  const std::int32_t result = Command(cmd_has_been_pressed, &value, 1, nullptr, 0);
  if (result == no_error) *has_been_pressed = value != 0;
  return result;
}

std::int32_t CScannerInterface::SetHasBeenPressed(bool has_been_pressed) {
  const std::uint8_t value = has_been_pressed ? 1 : 0;
  return Command(cmd_has_been_pressed, nullptr, 0, &value, 1);
}

std::int32_t CScannerInterface::WriteBlock(std::uint32_t address, const std::uint8_t* block,
                                           std::uint32_t block_size) {
  assert(block != NULL);
  assert(block_size > 0 && block_size <= max_w_block_size);
  if (block == NULL || block_size == 0 || block_size > max_w_block_size) return bad_parameters;
  std::uint8_t params[4 + max_w_block_size];
  PutAddress(params, address);
  std::memcpy(params + 4, block, block_size);
  return Command(cmd_write_block, nullptr, 0, params, block_size + 4);
}

std::int32_t CScannerInterface::ReadBlock(std::uint32_t address, std::uint8_t* block, std::uint32_t block_size) {
  assert(block != NULL);
  assert(block_size > 0 && block_size <= max_r_block_size);
  if (block == NULL || block_size == 0 || block_size > max_r_block_size) return bad_parameters;
  std::uint8_t params[5];
  PutAddress(params, address);
  params[4] = static_cast<std::uint8_t>(block_size);
  return Command(cmd_read_block, block, block_size, params, sizeof params);
}

namespace {

// `size` bytes in blocks of at most `block_size`, the progress reported after
// each; the first block that fails ends it with its result.
template <class Block>
std::int32_t InBlocks(const std::uint8_t* data, std::uint32_t size, std::uint32_t block_size,
                      ProgressCallback callback, void* user, Block&& block) {
  for (std::uint32_t done = 0; done < size;) {
    const std::uint32_t part = std::min(size - done, block_size);
    const std::int32_t result = block(done, part);
    if (result != CScannerInterface::no_error) return result;
    done += part;
    if (callback) callback(data, done, size, user);
  }
  return CScannerInterface::no_error;
}

}  // namespace

std::int32_t CScannerInterface::WriteMemory(std::uint32_t address, const std::uint8_t* data, std::uint32_t size,
                                            ProgressCallback callback, void* user, std::uint32_t block_size) {
  assert(size == 0 || data != NULL);
  assert(block_size > 0 && block_size <= max_w_block_size);
  if (size > 0 && (data == NULL || block_size == 0 || block_size > max_w_block_size)) return bad_parameters;
  return InBlocks(data, size, block_size, callback, user, [&](std::uint32_t done, std::uint32_t part) {
    return WriteBlock(address + done, data + done, part);
  });
}

std::int32_t CScannerInterface::ReadMemory(std::uint32_t address, std::uint8_t* data, std::uint32_t size,
                                           ProgressCallback callback, void* user, std::uint32_t block_size) {
  assert(size == 0 || data != NULL);
  assert(block_size > 0 && block_size <= max_r_block_size);
  if (size > 0 && (data == NULL || block_size == 0 || block_size > max_r_block_size)) return bad_parameters;
  return InBlocks(data, size, block_size, callback, user, [&](std::uint32_t done, std::uint32_t part) {
    return ReadBlock(address + done, data + done, part);
  });
}

void SwitchDeviceMode(CScannerInterface& scanner, bool on) {
  constexpr std::uint32_t kPollLimitMs = 5000;
  constexpr std::uint32_t kPollIntervalMs = 100;
  DeviceState wanted;
  if (on) {
    wanted.bytes[0] |= kModeFlagMask;
    wanted.bytes[1] |= kModeFlagMask;
  }
  CScannerInterface::CheckError(scanner.SetDeviceState(wanted));

  Clock& clock = CurrentClock();
  const std::uint32_t start = clock.TickCount();
  while (static_cast<std::uint32_t>(clock.TickCount() - start) < kPollLimitMs) {
    clock.Sleep(kPollIntervalMs);
    DeviceState state;
    const std::int32_t result = scanner.GetDeviceState(&state);
    // The scanner may stay silent while it changes mode.
    if (result == CScannerInterface::no_connection) continue;
    CScannerInterface::CheckError(result);
    const bool flag0 = (state.bytes[0] & kModeFlagMask) != 0;
    const bool flag1 = (state.bytes[1] & kModeFlagMask) != 0;
    if (flag0 == on && flag1 == on && (!on || (state.bytes[3] & kReadyFlagMask) != 0)) return;
  }
  CScannerInterface::CheckError(CScannerInterface::no_connection);
}

void ChangeSpeed(CScannerInterface& scanner, std::uint8_t index, bool tolerate_unsupported) {
  assert(index < speeds_size);
  if (index >= speeds_size) throw object_description(kSpeedChangeFailedText);

  std::uint8_t current = 0;
  const std::int32_t query = scanner.GetSpeedIndex(&current);
  if (tolerate_unsupported && query == CScannerInterface::not_supported) return;
  CScannerInterface::CheckError(query);
  if (index == current) return;

  DeviceState state;
  CScannerInterface::CheckError(scanner.GetDeviceState(&state));
  if (state.bytes[0] & kModeFlagMask) {
    // In this mode the scanner keeps talking at the old speed; only its setting changes.
    CScannerInterface::CheckError(scanner.SetSpeedIndex(index));
    return;
  }

  const bool refused = scanner.SetSpeedIndex(index) != CScannerInterface::no_error;
  auto* port = dynamic_cast<CComDevice*>(scanner.GetDevice());
  if (port) port->SetSpeed(SpeedTable[index]);
  DeviceInfo info;
  if (scanner.GetDeviceInfo(&info, true) == CScannerInterface::no_error) return;
  // A scanner that took the change is at the new speed even if it does not answer
  // there; only a refused change puts the port back.
  if (port && refused) port->SetSpeed(SpeedTable[current]);
  throw object_description(kSpeedChangeFailedText);
}

std::string VersionText(std::uint16_t version) {
  return std::to_string(version >> 8) + "." + std::to_string(version & 0xFF);
}

bool HasBluetooth(std::uint8_t model) {
  if (IsModelUnset(model)) return true;
  const ModelSpec* row = FindModelSpec(model);
  return row && row->bluetooth;
}

bool IsModelUnset(std::uint8_t model) { return model == 0; }

int SpeedIndexOf(std::uint32_t baud) {
  for (int i = 0; i < speeds_size; ++i) {
    if (SpeedTable[i] == baud) return i;
  }
  return -1;
}

std::string SpeedList(const char* separator) {
  std::string out;
  for (std::uint32_t baud : SpeedTable) {
    if (!out.empty()) out += separator;
    out += std::to_string(baud);
  }
  return out;
}

}  // namespace tavrik
