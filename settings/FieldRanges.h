#pragma once
// The values a person may give each range-checked settings field, in the unit
// they type (milliseconds, seconds, ...), and the unit the record stores. The
// pages bind their edits and lists through this table and the command-line tool
// checks with it, so every range is written once.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tavrik {

struct FieldRange {
  const char* name;         // the field's name in the image table
  std::int64_t min;         // typed
  std::int64_t max;         // typed
  std::uint32_t unit;       // typed units per stored unit (50 for 50 ms units)
  std::uint32_t step;       // a typed value is a multiple of it (a list of 0, 10, .. 500)
  const char* typed_unit;   // "ms", "s", "min", or "" for a plain number
  const char* stored_unit;  // "50 ms", "ms", ..., or ""
};

// One row per field, in image order.
std::span<const FieldRange> FieldRanges();
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
