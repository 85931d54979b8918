#include "settings/ByteSequenceText.h"

#include <algorithm>
#include <cstdio>

namespace tavrik {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// One integer as "%i" reads it: optional sign, then 0x/0X hexadecimal, a
// leading 0 octal, or decimal. Returns false when no digit is there. The value
// saturates far above a byte so that a long number cannot overflow.
bool ReadInteger(std::string_view text, std::size_t& pos, long long& value) {
  std::size_t p = pos;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
    negative = text[p] == '-';
    ++p;
  }
  int base = 10;
  if (p + 2 < text.size() && text[p] == '0' && (text[p + 1] == 'x' || text[p + 1] == 'X') &&
      DigitValue(text[p + 2]) < 16) {
    base = 16;
    p += 2;
  } else if (p < text.size() && text[p] == '0') {
    base = 8;
  }
  const std::size_t first = p;
  long long v = 0;
  while (p < text.size() && DigitValue(text[p]) < base) {
    v = std::min(v * base + DigitValue(text[p]), 1LL << 32);
    ++p;
  }
  if (p == first) return false;
  value = negative ? -v : v;
  pos = p;
  return true;
}

}  // namespace

std::string FormatSequence(const std::uint8_t* data, std::size_t length) {
  std::string text;
  char byte[8];
  for (std::size_t i = 0; i < length; ++i) {
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(data[i]));
    if (i > 0) text += "    ";
    text += byte;
  }
  return text;
}

std::string FormatSequence(const ByteSeq& seq) {
  return FormatSequence(seq.data, std::min<std::size_t>(seq.length, kSequenceCapacity));
}

bool ParseSequence(std::string_view text, std::uint8_t* data, std::uint8_t& length,
                   std::size_t capacity) {
  length = 0;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t before = pos;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos == text.size()) return true;
    if (length > 0 && pos == before) return false;  // a number runs into something else
    long long value = 0;
    if (!ReadInteger(text, pos, value)) return false;
    if (value < 0 || value > 255) return false;
    if (length >= capacity) return false;
    data[length] = static_cast<std::uint8_t>(value);
    ++length;
  }
}

bool ParseSequence(std::string_view text, ByteSeq& seq) {
  return ParseSequence(text, seq.data, seq.length);
}

}  // namespace tavrik
