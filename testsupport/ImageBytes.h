#pragma once
// For tests: the settings image of a record laid out from the field table
// alone, byte by byte, without the conversions under test; what a scanner or
// a file should hold for that record.

#include <cstdint>
#include <cstring>
#include <vector>

#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"

namespace tavrik::test {

// Header version 1 and size 268, every field's member bytes at its offset
// (a bool as 0 or 1), the reserved byte `reserved`.
inline std::vector<std::uint8_t> ImageLaidOut(const Settings& s, std::uint8_t reserved = 0) {
  std::vector<std::uint8_t> image(kPlacementSize, 0);
  image[0] = 0x01;
  image[1] = 0x0C;
  image[2] = 0x01;
  image[kReservedOffset] = reserved;
  const auto* record = reinterpret_cast<const std::uint8_t*>(&s);
  for (const FieldSpec& f : ImageFields()) {
    const std::size_t width = FieldWidth(f.type);
    // The test machines are little-endian, as the image is.
    std::memcpy(image.data() + f.offset, record + f.member, width);
    if (f.type == FieldType::boolean) image[f.offset] = image[f.offset] != 0 ? 1 : 0;
  }
  return image;
}

}  // namespace tavrik::test
