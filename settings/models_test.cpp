// The model table: one row per code, and the rows the rest of the program names.

#include <gtest/gtest.h>

#include <set>

#include "settings/Models.h"

namespace tavrik {
namespace {

TEST(ModelTableTest, OneRowPerCodeWithAKindAndAName) {
  std::set<int> codes;
  for (const ModelSpec& m : Models()) {
    SCOPED_TRACE(static_cast<int>(m.code));
    EXPECT_TRUE(codes.insert(m.code).second) << "a code twice";
    EXPECT_NE(m.kind, ModelKind::none);
    EXPECT_STRNE(m.name, "");
    EXPECT_LE(m.barcode_interface, bt_hid);
  }
  EXPECT_EQ(codes.size(), 23u);
  EXPECT_EQ(FindModelSpec(0), nullptr);
  EXPECT_EQ(FindModelSpec(255), nullptr);
  EXPECT_EQ(&ModelDefaults(0), &kOtherModel);
  EXPECT_EQ(ModelDefaults(159).barcode_interface, bt_hid);
}

}  // namespace
}  // namespace tavrik
