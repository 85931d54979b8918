// The line speeds a serial port can be set to and their termios codes: the
// one map the port and the scanner emulator both read. The scanner's own
// speeds (SpeedTable) are a part of these.
#pragma once

#include <termios.h>

#include <cstdint>

namespace tavrik {

struct BaudRate {
  std::uint32_t baud;
  speed_t code;
};

inline constexpr BaudRate kBaudRates[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

// The termios code of `baud` into *code; false for a rate not in the map.
inline bool SpeedCode(std::uint32_t baud, speed_t* code) {
  for (const BaudRate& rate : kBaudRates) {
    if (rate.baud == baud) {
      *code = rate.code;
      return true;
    }
  }
  return false;
}

// The baud rate of a termios code, or 0 for a code not in the map.
inline std::uint32_t BaudOf(speed_t code) {
  for (const BaudRate& rate : kBaudRates) {
    if (rate.code == code) return rate.baud;
  }
  return 0;
}

}  // namespace tavrik
