// The text form of a prefix, a suffix or the up-button message over any text:
// no crash, never more than ten bytes, and a text that parses shows again as
// a text that parses to the same bytes.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "settings/ByteSequenceText.h"
#include "settings/init_settings_def.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tavrik::ByteSeq seq{};
  std::memset(seq.data, 0xA5, sizeof seq.data);
  const bool ok = tavrik::ParseSequence(text, seq);
  if (seq.length > tavrik::kSequenceCapacity) std::abort();
  // Bytes behind the accepted ones keep what they held.
  for (std::size_t i = seq.length; i < sizeof seq.data; ++i) {
    if (seq.data[i] != 0xA5) std::abort();
  }
  if (!ok) return 0;
  tavrik::ByteSeq again{};
  if (!tavrik::ParseSequence(tavrik::FormatSequence(seq), again)) std::abort();
  if (again.length != seq.length || std::memcmp(again.data, seq.data, seq.length) != 0) std::abort();
  return 0;
}
