// The two finished pages against the settings record.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>

#include "core/ScriptedDialogs.h"
#include "pages/PageTable.h"
#include "pages/DialogUnits.h"
#include "pages/PowerManagementPage.h"
#include "settings/init_settings_def.h"
#include "pages/test_parent.h"

namespace tavrik {
namespace {


class RecordPageTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }
  void TearDown() override { ResetProcessState(); }

  void Place(CPageT& page) {
    parent.page = &page;
    page.SetParentDlg(&parent);
    page.Create(nullptr, QRect(0, 0, 411, 460));
  }

  ScriptedDialogs dialogs;
  NoParent parent;
};

TEST_F(RecordPageTest, Code128PageFollowsTheRecord) {
  const std::unique_ptr<CPageT> made = FindPageEntry(212)->create();
  CPageT& page = *made;
  Place(page);
  EXPECT_EQ(page.Caption(), QStringLiteral("Code 128"));
  auto* box = page.ControlAs<QCheckBox>(1027);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), QStringLiteral("Распознавать Code 128"));
  for (bool value : {true, false}) {
    CurrentSettings().code128_enabled = value;
    page.Load();
    EXPECT_EQ(box->isChecked(), value);
    box->setChecked(!value);
    EXPECT_TRUE(page.Store()) << "a page of check boxes never refuses";
    EXPECT_EQ(CurrentSettings().code128_enabled, !value);
  }
}

TEST_F(RecordPageTest, PowerPageStoresInOrderAndStopsAtAnInvalidField) {
  CPowerManagementPage page;
  Place(page);
  struct Case {
    const char* sleep;  // 1033
    bool dim;           // 1032
    const char* off;    // 1200
    bool ok;
    int sleep_stored, dim_stored, off_stored;  // the record afterwards
  };
  // The record holds 5, false, 30 before each row.
  const Case cases[] = {
      /* 1 */ {"0", true, "1", true, 0, 1, 1},
      /* 2 */ {"255", true, "60000", true, 255, 1, 60000},
      /* 3 */ {"256", true, "10", false, 5, 0, 30},    // 1033 fails first: nothing stored
      /* 4 */ {"300", true, "10", false, 5, 0, 30},
      /* 5 */ {"17", true, "0", false, 17, 1, 30},     // 1200 fails: 1033 and 1032 stored
      /* 6 */ {"17", true, "60001", false, 17, 1, 30},
      /* 7 */ {"17", true, "65536", false, 17, 1, 30},  // would narrow to 0
      /* 8 */ {"", true, "10", false, 5, 0, 30},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "row " << ++row);
    Settings& s = CurrentSettings();
    s.sleep_timeout = 5;
    s.sleep_dim_illumination = false;
    s.bt_power_off_minutes = 30;
    page.Load();
    EXPECT_EQ(page.ControlAs<QLineEdit>(1033)->text(), QStringLiteral("5"));
    EXPECT_EQ(page.ControlAs<QLineEdit>(1200)->text(), QStringLiteral("30"));
    page.ControlAs<QLineEdit>(1033)->setText(QString::fromUtf8(c.sleep));
    page.ControlAs<QCheckBox>(1032)->setChecked(c.dim);
    page.ControlAs<QLineEdit>(1200)->setText(QString::fromUtf8(c.off));
    dialogs.beeps = 0;
    EXPECT_EQ(page.Store(), c.ok);
    EXPECT_EQ(s.sleep_timeout, c.sleep_stored);
    EXPECT_EQ(s.sleep_dim_illumination, c.dim_stored != 0);
    EXPECT_EQ(s.bt_power_off_minutes, c.off_stored);
    EXPECT_EQ(dialogs.beeps, c.ok ? 0 : 1);
  }
}

TEST(DialogUnitsTest, ScaleByTheFontAndRoundToNearest) {
  struct Case {
    int base_x, base_y, units_x, units_y, x, y;
  };
  const Case cases[] = {
      /* 1 */ {6, 13, 431, 375, 647, 609},  // 646.5 rounds up; 609.375 down
      /* 2 */ {6, 13, 3, 4, 5, 7},          // 4.5 up, 6.5 up
      /* 3 */ {7, 16, 274, 306, 480, 612},
      /* 4 */ {7, 16, 0, 0, 0, 0},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(++row);
    const DialogUnits du(c.base_x, c.base_y);
    EXPECT_EQ(du.X(c.units_x), c.x);
    EXPECT_EQ(du.Y(c.units_y), c.y);
  }
  EXPECT_EQ(DialogFont().pointSize(), 8);
}

}  // namespace
}  // namespace tavrik
