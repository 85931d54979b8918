#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <string>

#include "settings/FieldRanges.h"
#include "settings/update_settings_def.h"

namespace tavrik {
namespace {

const FieldSpec* ImageField(std::string_view name) {
  for (const FieldSpec& f : ImageFields()) {
    if (name == f.name) return &f;
  }
  return nullptr;
}

std::uint64_t WidthMax(FieldType type) {
  switch (type) {
    case FieldType::boolean: return 1;
    case FieldType::i16: return std::numeric_limits<std::int16_t>::max();
    default: return (std::uint64_t{1} << (8 * FieldWidth(type))) - 1;
  }
}

// Each row must name a real field, follow image order, and store every typed
// value it allows within the field's width.
TEST(FieldRanges, RowsFitTheirFields) {
  int last_offset = -1;
  std::set<std::string> names;
  for (const FieldRange& range : FieldRanges()) {
    SCOPED_TRACE(range.name);
    const FieldSpec* field = ImageField(range.name);
    ASSERT_NE(field, nullptr) << "no such field";
    EXPECT_NE(field->type, FieldType::byte_seq);
    EXPECT_NE(field->type, FieldType::boolean);
    EXPECT_TRUE(names.insert(range.name).second) << "two rows";
    EXPECT_GT(field->offset, last_offset) << "out of image order";
    last_offset = field->offset;
    EXPECT_LE(range.min, range.max);
    EXPECT_GE(range.min, 0);
    EXPECT_TRUE(InRange(range, range.min));
    EXPECT_TRUE(InRange(range, range.max));
    EXPECT_LE(*TypedToStored(range, range.max), WidthMax(field->type));
    EXPECT_EQ(FindFieldRange(range.name), &range);
  }
  EXPECT_EQ(FindFieldRange("code128_enabled"), nullptr);
  EXPECT_EQ(FindFieldRange("no_such_field"), nullptr);
}

TEST(FieldRanges, TypedToStoredRoundsHalvesUpAndRefusesOutside) {
  struct Case {
    const char* field;
    std::int64_t typed;
    std::optional<std::uint32_t> stored;
  };
  const Case cases[] = {
      /*0*/ {"addon_timeout", 49, std::nullopt},
      /*1*/ {"addon_timeout", 50, 1},
      /*2*/ {"addon_timeout", 12750, 255},
      /*3*/ {"addon_timeout", 12751, std::nullopt},
      /*4*/ {"addon_timeout", 74, 1},
      /*5*/ {"addon_timeout", 75, 2},
      /*6*/ {"redecode_timeout", 0, 0},
      /*7*/ {"redecode_timeout", 24, 0},
      /*8*/ {"redecode_timeout", 25, 1},
      /*9*/ {"redecode_timeout", -1, std::nullopt},
      /*10*/ {"structured_append_timeout", 499, std::nullopt},
      /*11*/ {"structured_append_timeout", 500, 1},
      /*12*/ {"structured_append_timeout", 749, 1},
      /*13*/ {"structured_append_timeout", 750, 2},
      /*14*/ {"structured_append_timeout", 127500, 255},
      /*15*/ {"pharmacode_min_value", 2, std::nullopt},
      /*16*/ {"pharmacode_min_value", 131070, 131070},
      /*17*/ {"bt_pin", 9999, 9999},
      /*18*/ {"bt_pin", 10000, std::nullopt},
      /*19*/ {"sleep_timeout", 255, 255},
      /*20*/ {"sleep_timeout", 256, std::nullopt},
      /*21*/ {"bt_power_off_minutes", 0, std::nullopt},
      /*22*/ {"bt_power_off_minutes", 60000, 60000},
      /*23*/ {"bt_power_off_minutes", 60001, std::nullopt},
      /*24*/ {"currency_exit_timeout", 255, 255},
      /*25*/ {"inter_barcode_delay", 5001, std::nullopt},
      /*26*/ {"hid_key_delay", 120, 120},
      /*27*/ {"hid_key_delay", 125, std::nullopt},  // the list holds multiples of 10 only
      /*28*/ {"hid_poll_interval", 0, std::nullopt},
      /*29*/ {"barcode_interface", 9, std::nullopt},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    const Case& c = cases[row];
    SCOPED_TRACE(testing::Message() << "row " << row << " " << c.field << " " << c.typed);
    const FieldRange* range = FindFieldRange(c.field);
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(TypedToStored(*range, c.typed), c.stored);
  }
}

TEST(FieldRanges, StoredToTypedAndClamp) {
  const FieldRange& addon = *FindFieldRange("addon_timeout");
  EXPECT_EQ(StoredToTyped(addon, 6), 300);
  EXPECT_EQ(ClampStored(addon, 0), 1u);  // an old file's 0 shows as 50 ms
  const FieldRange& append = *FindFieldRange("structured_append_timeout");
  EXPECT_EQ(StoredToTyped(append, 255), 127500);
  EXPECT_EQ(ClampStored(append, 0), 1u);
  const FieldRange& delay = *FindFieldRange("inter_barcode_delay");
  EXPECT_EQ(ClampStored(delay, 6000), 5000u);
  EXPECT_EQ(ClampStored(*FindFieldRange("bt_pin"), 12000), 9999u);
  EXPECT_EQ(ClampStored(*FindFieldRange("volume"), 9), 8u);
}

TEST(FieldRanges, RangeText) {
  EXPECT_EQ(RangeText(*FindFieldRange("addon_timeout")), "50..12750 ms");
  EXPECT_EQ(RangeText(*FindFieldRange("bt_pin")), "0..9999");
  EXPECT_EQ(RangeText(*FindFieldRange("bt_power_off_minutes")), "1..60000 min");
  EXPECT_EQ(RangeText(*FindFieldRange("hid_key_delay")), "0..500 ms, шаг 10");
}

}  // namespace
}  // namespace tavrik
