#pragma once
// The ranges of the settings catalogue: the values a person may give each
// range-checked field, in the unit they type, and the conversions to the unit
// the record stores.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingsCatalog.h"

namespace tavrik {

// One row per field, in image order.
const std::vector<std::reference_wrapper<const FieldRange>>& FieldRanges();
// Null for a field without a range (a bool, a sequence, a value carried as is).
const FieldRange* FindFieldRange(std::string_view name);

bool InRange(const FieldRange& range, std::int64_t typed);
// The stored value of a typed one, rounded to the nearest unit, halves up;
// nothing when the typed value is outside the range or off its step.
std::optional<std::uint32_t> TypedToStored(const FieldRange& range, std::int64_t typed);
std::int64_t StoredToTyped(const FieldRange& range, std::uint32_t stored);
// A stored value pulled into the stored values the range allows (what a page
// shows for a damaged or foreign record).
std::uint32_t ClampStored(const FieldRange& range, std::uint32_t stored);
// "50..12750 ms", "0..9999", "0..500 ms, шаг 10".
std::string RangeText(const FieldRange& range);

}  // namespace tavrik
