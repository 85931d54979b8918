#include "settings/FieldRanges.h"

#include <algorithm>

namespace tavrik {
const std::vector<std::reference_wrapper<const FieldRange>>& FieldRanges() {
  static const std::vector<std::reference_wrapper<const FieldRange>> ranges = [] {
    std::vector<std::reference_wrapper<const FieldRange>> list;
    for (const SettingRow& row : SettingsCatalog()) {
      if (row.HasRange()) list.push_back(std::cref(row.range));
    }
    return list;
  }();
  return ranges;
}

const FieldRange* FindFieldRange(std::string_view name) {
  const SettingRow* row = FindSetting(name);
  return row && row->HasRange() ? &row->range : nullptr;
}

bool InRange(const FieldRange& range, std::int64_t typed) {
  return typed >= range.min && typed <= range.max && typed % range.step == 0;
}

std::optional<std::uint32_t> TypedToStored(const FieldRange& range, std::int64_t typed) {
  if (!InRange(range, typed)) return std::nullopt;
  return static_cast<std::uint32_t>((typed + range.unit / 2) / range.unit);
}

std::int64_t StoredToTyped(const FieldRange& range, std::uint32_t stored) {
  return static_cast<std::int64_t>(stored) * range.unit;
}

std::uint32_t ClampStored(const FieldRange& range, std::uint32_t stored) {
  const std::uint32_t low = *TypedToStored(range, range.min);
  const std::uint32_t high = *TypedToStored(range, range.max);
  return std::clamp(stored, low, high);
}

std::string RangeText(const FieldRange& range) {
  std::string text = std::to_string(range.min) + ".." + std::to_string(range.max);
  if (*range.typed_unit) text += std::string(" ") + range.typed_unit;
  if (range.step > 1) text += ", шаг " + std::to_string(range.step);
  return text;
}

}  // namespace tavrik
