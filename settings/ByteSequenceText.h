#pragma once
// The text form in which people read and type a prefix, a suffix or the
// up-button message: the bytes as "0x0D    0x0A", typed back as decimal,
// hexadecimal (0x) or octal (leading 0) numbers separated by white space.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/init_settings_def.h"

namespace tavrik {

// The most bytes a sequence holds.
inline constexpr std::size_t kSequenceCapacity = sizeof(ByteSeq::data);

// Each byte as "0x%02X", four spaces between; an empty sequence is "".
std::string FormatSequence(const std::uint8_t* data, std::size_t length);
// A length byte above the capacity (a damaged or foreign image) shows the ten
// bytes the record has.
std::string FormatSequence(const ByteSeq& seq);

// Reads numbers 0..255 into `data` as it goes and sets `length` to the count
// accepted. Fails on a number out of range, one more number than `capacity`,
// or anything that is not a number; the bytes accepted before the failure stay
// written and counted, the data behind them keeps its contents. Numbers must
// be separated by white space, so "08" or "1+2" is refused rather than read as
// two numbers.
bool ParseSequence(std::string_view text, std::uint8_t* data, std::uint8_t& length,
                   std::size_t capacity = kSequenceCapacity);
bool ParseSequence(std::string_view text, ByteSeq& seq);

}  // namespace tavrik
