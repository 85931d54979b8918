// The image conversions over arbitrary bytes, sizes and versions: reading any
// image into a record and writing the record back never goes outside the
// 268-byte image, no sequence length above ten reaches the record, and what
// is read is written back the same way.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  tavrik::SetCurrentModel(data[0]);
  // An exact-size buffer, so the sanitizer sees any step outside it.
  auto* image = static_cast<std::uint8_t*>(std::malloc(tavrik::kPlacementSize));
  std::memset(image, 0, tavrik::kPlacementSize);
  std::memcpy(image, data + 1, std::min(size - 1, tavrik::kPlacementSize));

  tavrik::Settings settings{};
  tavrik::SettingsFromPlacement(settings, image);
  // No sequence longer than its ten data bytes reaches the record, whatever the image says.
  for (const tavrik::FieldSpec& f : tavrik::ImageFields()) {
    if (f.type != tavrik::FieldType::byte_seq) continue;
    if (reinterpret_cast<const std::uint8_t*>(&settings)[f.member] > sizeof(tavrik::ByteSeq::data)) std::abort();
  }
  auto* written = static_cast<std::uint8_t*>(std::malloc(tavrik::kPlacementSize));
  tavrik::InitPlacement(written, &settings);
  if (written[0] != tavrik::kPlacementVersion || tavrik::PlacementSize(written) != tavrik::kPlacementSize) std::abort();
  // A record read back from what it wrote is the same record.
  tavrik::Settings again{};
  tavrik::SettingsFromPlacement(again, written);
  if (!(again == settings)) std::abort();
  tavrik::SettingsToPlacement(image, &settings);
  {
    tavrik::ShortLayoutSlotCopy copy(settings);
    tavrik::SettingsToPlacement(written, &settings);
  }
  if (!(again == settings)) std::abort();  // the slot copy is undone
  std::free(written);
  std::free(image);
  return 0;
}
