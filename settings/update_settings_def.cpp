#include "settings/Models.h"
#include "settings/update_settings_def.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstring>

namespace tavrik {
namespace {

std::int32_t RuleValue(Rule rule, std::int32_t value, std::uint8_t code) {
  const ModelSpec& m = ModelDefaults(code);
  switch (rule) {
    case Rule::constant: return value;
    case Rule::d1: return m.barcode_interface;
    case Rule::d2: return m.decodes_2d ? 1 : 0;
    case Rule::d3: return m.databar14 ? 1 : 0;
    // A model that talks UART by default ends the suffix of the shorter image's single slot with CR LF.
    case Rule::d4: return m.barcode_interface == uart ? kSeqCrLf : kSeqEnter;
    case Rule::d5: return m.decodes_2d ? 1 : 2;
    case Rule::d6: return m.trigger_mode;
    case Rule::d7: return m.currency_start_mode;
    case Rule::d8: return m.illumination_mode;
  }
  return value;
}

std::uint8_t SequenceLength(std::uint8_t length) {
  return std::min<std::uint8_t>(length, sizeof(ByteSeq::data));
}

// The record's member as image bytes (little-endian); bools become 0 or 1.
void RecordToBytes(const FieldSpec& f, const Settings& s, std::uint8_t* out) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&s) + f.member;
  switch (f.type) {
    case FieldType::boolean: {
      bool b;
      std::memcpy(&b, p, 1);
      out[0] = b ? 1 : 0;
      return;
    }
    case FieldType::byte_seq:
      std::memcpy(out, p, sizeof(ByteSeq));
      out[0] = SequenceLength(out[0]);
      return;
    default: break;
  }
  std::uint32_t v = 0;
  std::memcpy(&v, p, FieldWidth(f.type));  // the host is little-endian too
  for (std::size_t i = 0; i < FieldWidth(f.type); ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Image bytes into the record's member. Any non-zero byte is a true bool, and
// a sequence length above the ten data bytes is read as ten, so a damaged
// image never puts an invalid bool or sequence into the record (nor, through
// it, into a file or a scanner).
void BytesToRecord(const FieldSpec& f, const std::uint8_t* in, Settings& s) {
  auto* p = reinterpret_cast<std::uint8_t*>(&s) + f.member;
  switch (f.type) {
    case FieldType::boolean: {
      bool b = in[0] != 0;
      std::memcpy(p, &b, 1);
      return;
    }
    case FieldType::byte_seq: {
      ByteSeq seq;
      std::memcpy(&seq, in, sizeof seq);
      seq.length = SequenceLength(seq.length);
      std::memcpy(p, &seq, sizeof seq);
      return;
    }
    default: break;
  }
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < FieldWidth(f.type); ++i) v |= static_cast<std::uint32_t>(in[i]) << (8 * i);
  std::memcpy(p, &v, FieldWidth(f.type));
}

}  // namespace

std::uint32_t ImageValue(const std::uint8_t* placement, std::size_t member_offset) {
  for (const FieldSpec& f : ImageFields()) {
    if (f.member != member_offset) continue;
    const std::size_t width = f.type == FieldType::byte_seq ? 1 : FieldWidth(f.type);
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v |= static_cast<std::uint32_t>(placement[f.offset + i]) << (8 * i);
    return v;
  }
  assert(!"a field of the record");
  return 0;
}

void DefaultBytes(const FieldSpec& f, std::uint8_t model, std::uint8_t* out) {
  const std::int32_t v = RuleValue(f.rule, f.value, model);
  if (f.type == FieldType::byte_seq) {
    std::memset(out, 0, sizeof(ByteSeq));
    if (v == kSeqCrLf) {
      out[0] = 2;
      out[1] = 0x0D;
      out[2] = 0x0A;
    } else if (v == kSeqEnter) {
      out[0] = 1;
      out[1] = 0x28;
    }
    return;
  }
  const auto u = static_cast<std::uint32_t>(v);
  for (std::size_t i = 0; i < FieldWidth(f.type); ++i) out[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

namespace {

// The image's declared size as the conversions use it: 0 for a version above
// 1, whose layout is unknown.
std::ptrdiff_t DeclaredSize(const std::uint8_t* placement) {
  return PlacementVersion(placement) <= 1 ? PlacementSize(placement) : 0;
}

void RecordToImage(const Settings* settings, std::uint8_t* placement) {
  std::ptrdiff_t size = DeclaredSize(placement);
  if (PlacementVersion(placement) != kPlacementVersion) placement[0] = kPlacementVersion;
  if (size < static_cast<std::ptrdiff_t>(kPlacementSize)) {
    size = kPlacementSize;
    SetPlacementSize(placement, static_cast<std::int16_t>(size));
  }
  const std::uint8_t model = CurrentModel();
  std::uint8_t bytes[sizeof(ByteSeq)];
  for (const FieldSpec& f : ImageFields()) {
    const auto width = static_cast<std::ptrdiff_t>(FieldWidth(f.type));
    if (f.offset + width > size) continue;
    // The record side is whole when present, empty when absent.
    if (settings) RecordToBytes(f, *settings, bytes);
    else DefaultBytes(f, model, bytes);
    std::memcpy(placement + f.offset, bytes, width);
  }
}

void ImageToRecord(const std::uint8_t* placement, Settings& settings) {
  const std::ptrdiff_t size = placement ? DeclaredSize(placement) : 0;
  const std::uint8_t model = CurrentModel();
  std::uint8_t bytes[sizeof(ByteSeq)];
  for (const FieldSpec& f : ImageFields()) {
    const auto width = static_cast<std::ptrdiff_t>(FieldWidth(f.type));
    if (f.offset + width <= size) {
      BytesToRecord(f, placement + f.offset, settings);
    } else {
      DefaultBytes(f, model, bytes);
      BytesToRecord(f, bytes, settings);
    }
  }
}

}  // namespace

void UpdatePlacement(Settings* settings, std::uint8_t* placement, bool to_placement) {
  assert((settings || to_placement) && "settings || to_placement");
  assert((placement || !to_placement) && "placement || !to_placement");
  if (to_placement) RecordToImage(settings, placement);
  else ImageToRecord(placement, *settings);
}

void SettingsFromPlacement(Settings& settings, const std::uint8_t* placement) {
  // Reading never writes through the pointer.
  UpdatePlacement(&settings, const_cast<std::uint8_t*>(placement), false);
}

void SettingsToPlacement(std::uint8_t* placement, const Settings* settings) {
  UpdatePlacement(const_cast<Settings*>(settings), placement, true);
}

void InitPlacement(std::uint8_t* placement, const Settings* settings) {
  assert(placement && "placement");
  placement[0] = kPlacementVersion;
  placement[1] = 0;
  placement[2] = 0;
  SettingsToPlacement(placement, settings);
}

HidSlots CopySelectedSequencesToHidSlots(Settings& s) {
  HidSlots saved{s.barcode_prefix_hid, s.barcode_suffix_hid, s.currency_prefix_hid, s.currency_suffix_hid};
  const SequenceSlots& hid = SlotsOf(SequenceClass::hid_class);
  const SequenceSlots& barcode = SlotsOf(SequenceClassOf(s.barcode_interface));
  const SequenceSlots& currency = SlotsOf(SequenceClassOf(s.currency_interface));
  s.*hid.barcode_prefix = s.*barcode.barcode_prefix;
  s.*hid.barcode_suffix = s.*barcode.barcode_suffix;
  s.*hid.currency_prefix = s.*currency.currency_prefix;
  s.*hid.currency_suffix = s.*currency.currency_suffix;
  return saved;
}

void RestoreHidSlots(Settings& s, const HidSlots& saved) {
  s.barcode_prefix_hid = saved.barcode_prefix_hid;
  s.barcode_suffix_hid = saved.barcode_suffix_hid;
  s.currency_prefix_hid = saved.currency_prefix_hid;
  s.currency_suffix_hid = saved.currency_suffix_hid;
}

}  // namespace tavrik
