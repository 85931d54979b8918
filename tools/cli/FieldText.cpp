#include "tools/cli/FieldText.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "settings/ByteSequenceText.h"
#include "settings/FieldRanges.h"

namespace tavrik {
namespace {

// The code names, accepted besides the shown names.
constexpr const char* kInterfaceIds[kInterfaceCount] = {"uart",       "usb_cdc",        "usb_hid",
                                                        "usb_hid_only", "bt_hid",       "bt_pos_hid",
                                                        "bt_classic_hid", "bt_spp",     "usb_pos_hid"};

// Fields that hold an `Interface` code, shown with the interface's name.
bool HoldsInterface(const FieldSpec& f) { return f.control == ControlKind::interface_combo; }

const std::uint8_t* MemberOf(const FieldSpec& f, const Settings& s) {
  return reinterpret_cast<const std::uint8_t*>(&s) + f.member;
}
std::uint8_t* MemberOf(const FieldSpec& f, Settings& s) { return reinterpret_cast<std::uint8_t*>(&s) + f.member; }

std::int64_t NumberOf(const FieldSpec& f, const Settings& s) { return FieldNumber(f, s); }
void SetNumber(const FieldSpec& f, std::int64_t value, Settings& s) { SetFieldNumber(f, value, s); }

const ByteSeq& SeqOf(const FieldSpec& f, const Settings& s) {
  return *reinterpret_cast<const ByteSeq*>(MemberOf(f, s));
}

std::int64_t WidthMin(FieldType type) { return type == FieldType::i16 ? std::numeric_limits<std::int16_t>::min() : 0; }
std::int64_t WidthMax(FieldType type) {
  switch (type) {
    case FieldType::boolean: return 1;
    case FieldType::u8: return 0xFF;
    case FieldType::i16: return std::numeric_limits<std::int16_t>::max();
    case FieldType::u16: return 0xFFFF;
    case FieldType::u32: return 0xFFFFFFFFLL;
    case FieldType::byte_seq: break;
  }
  return 0;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// A decimal integer at the start of `text`, with an optional minus; the rest
// is left in `text`. Saturates far outside every field's width.
std::optional<std::int64_t> TakeInteger(std::string_view& text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  const std::size_t first = i;
  std::int64_t v = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    v = std::min<std::int64_t>(v * 10 + (text[i] - '0'), std::int64_t{1} << 40);
    ++i;
  }
  if (i == first) return std::nullopt;
  text.remove_prefix(i);
  return negative ? -v : v;
}

std::optional<std::int64_t> InterfaceCode(std::string_view text) {
  for (int code = 0; code < kInterfaceCount; ++code) {
    if (SameIgnoringCase(text, InterfaceName(static_cast<std::uint8_t>(code))) ||
        SameIgnoringCase(text, kInterfaceIds[code]))
      return code;
  }
  return std::nullopt;
}

std::string AllowedText(const FieldSpec& f, const FieldRange* range) {
  if (!range) return std::to_string(WidthMin(f.type)) + ".." + std::to_string(WidthMax(f.type));
  std::string text = RangeText(*range);
  if (range->unit != 1) {
    text += " (" + std::to_string(*TypedToStored(*range, range->min)) + ".." +
            std::to_string(*TypedToStored(*range, range->max)) + " в единицах по " + range->stored_unit + ")";
  }
  return text;
}

std::string Refusal(const FieldSpec& f, std::string_view text, const std::string& allowed) {
  return std::string(f.name) + ": недопустимое значение \"" + std::string(text) + "\", допустимо " + allowed;
}

}  // namespace

const FieldSpec* FindImageField(std::string_view name) {
  for (const FieldSpec& f : ImageFields()) {
    if (name == f.name) return &f;
  }
  return nullptr;
}

std::string FieldText(const FieldSpec& f, const Settings& s) {
  if (f.type == FieldType::byte_seq) return FormatSequence(SeqOf(f, s));
  const std::int64_t v = NumberOf(f, s);
  if (f.type == FieldType::boolean) return v ? "true" : "false";
  std::string text = std::to_string(v);
  if (HoldsInterface(f)) return text + " (" + InterfaceName(static_cast<std::uint8_t>(v)) + ")";
  const FieldRange* range = FindFieldRange(f.name);
  if (!range || !*range->typed_unit) return text;
  if (range->unit == 1) return text + " " + range->typed_unit;
  return text + " (" + std::to_string(StoredToTyped(*range, static_cast<std::uint32_t>(v))) + " " +
         range->typed_unit + ")";
}

std::string FieldJson(const FieldSpec& f, const Settings& s) {
  if (f.type == FieldType::byte_seq) {
    const ByteSeq& seq = SeqOf(f, s);
    std::string text = "[";
    for (std::size_t i = 0; i < std::min<std::size_t>(seq.length, kSequenceCapacity); ++i) {
      if (i > 0) text += ",";
      text += std::to_string(seq.data[i]);
    }
    return text + "]";
  }
  const std::int64_t v = NumberOf(f, s);
  if (f.type == FieldType::boolean) return v ? "true" : "false";
  return std::to_string(v);
}

std::optional<std::string> AssignField(const FieldSpec& f, std::string_view raw, Settings& s) {
  const std::string_view text = Trim(raw);
  if (f.type == FieldType::byte_seq) {
    ByteSeq seq = SeqOf(f, s);  // the bytes behind the new length are carried as they are
    if (!ParseSequence(text, seq))
      return Refusal(f, text, "до 10 чисел 0..255 через пробел (0x0D, 13 или 015)");
    std::memcpy(MemberOf(f, s), &seq, sizeof seq);
    return std::nullopt;
  }
  if (f.type == FieldType::boolean) {
    if (SameIgnoringCase(text, "true") || text == "1") SetNumber(f, 1, s);
    else if (SameIgnoringCase(text, "false") || text == "0") SetNumber(f, 0, s);
    else return Refusal(f, text, "true или false");
    return std::nullopt;
  }

  const FieldRange* range = FindFieldRange(f.name);
  const std::string allowed = AllowedText(f, range);
  std::optional<std::int64_t> stored;
  std::optional<std::int64_t> typed;
  if (HoldsInterface(f)) stored = InterfaceCode(text);
  if (!stored) {
    std::string_view rest = text;
    const std::optional<std::int64_t> number = TakeInteger(rest);
    if (!number) return Refusal(f, text, allowed);
    rest = Trim(rest);
    const std::string unit = range ? range->typed_unit : "";
    if (rest.empty()) {
      stored = number;
    } else if (!unit.empty() && rest == unit) {
      typed = number;  // "250 ms": typed as on the page
    } else if (rest.size() > 2 && rest.front() == '(' && rest.back() == ')') {
      // The form that show prints: "4 (200 ms)", "2 (USB HID)"; the two halves must agree.
      stored = number;
      std::string_view inner = Trim(rest.substr(1, rest.size() - 2));
      bool agrees = false;
      if (HoldsInterface(f)) {
        agrees = InterfaceCode(inner) == number;
      } else if (range && !unit.empty()) {
        const std::optional<std::int64_t> shown = TakeInteger(inner);
        agrees = shown && Trim(inner) == unit && *number >= 0 &&
                 *shown == StoredToTyped(*range, static_cast<std::uint32_t>(*number));
      }
      if (!agrees) return Refusal(f, text, allowed);
    } else {
      return Refusal(f, text, allowed);
    }
  }

  if (typed) {
    const std::optional<std::uint32_t> converted = TypedToStored(*range, *typed);
    if (!converted) return Refusal(f, text, allowed);
    stored = *converted;
  }
  if (*stored < WidthMin(f.type) || *stored > WidthMax(f.type)) return Refusal(f, text, allowed);
  if (range && !InRange(*range, StoredToTyped(*range, static_cast<std::uint32_t>(*stored))))
    return Refusal(f, text, allowed);
  SetNumber(f, *stored, s);
  return std::nullopt;
}

}  // namespace tavrik
