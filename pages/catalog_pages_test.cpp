// The settings catalogue against the real pages: every row's page shows it
// with the row's id, caption, entries and range, and every bound control of
// a settings page is some row's.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

#include <map>
#include <memory>
#include <vector>

#include "core/ScriptedDialogs.h"
#include "pages/PageTable.h"
#include "pages/test_parent.h"
#include "settings/SettingsCatalog.h"

namespace tavrik {
namespace {

class CatalogPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    for (const PageEntry& entry : PageTable()) {
      pages_.push_back(entry.create());
      CPageT& page = *pages_.back();
      parent_.page = &page;
      page.SetParentDlg(&parent_);
      page.Create(nullptr, QRect(0, 0, 411, 460));
      page.Load();
      by_template_[page.TemplateId()] = &page;
      for (CPageT* tab : page.ChildPages()) by_template_[tab->TemplateId()] = tab;
    }
  }
  void TearDown() override { ResetProcessState(); }

  ScriptedDialogs dialogs_;
  NoParent parent_;
  std::vector<std::unique_ptr<CPageT>> pages_;
  std::map<int, CPageT*> by_template_;
};

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

TEST_F(CatalogPagesTest, EveryRowIsShownByItsPage) {
  for (const SettingRow& row : SettingsCatalog()) {
    if (!row.Shown()) continue;
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(by_template_.count(row.page)) << "page " << row.page;
    const CPageT& page = *by_template_.at(row.page);
    EXPECT_EQ(page.Caption(), Text(FindPageTitle(row.page)->title));
    QWidget* control = page.Control(row.control_id);
    ASSERT_NE(control, nullptr) << "control " << row.control_id;
    switch (row.control) {
      case ControlKind::check:
      case ControlKind::hidden_check: {
        auto* box = qobject_cast<QCheckBox*>(control);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->property(kCaptionProperty).toString(), Text(row.caption));
        EXPECT_EQ(box->isHidden(), row.control == ControlKind::hidden_check);
        break;
      }
      case ControlKind::radio:
        EXPECT_TRUE(page.StartsGroup(control));
        for (const Choice& c : row.choices) {
          auto* button = page.ControlAs<QRadioButton>(c.id);
          ASSERT_NE(button, nullptr) << "button " << c.id;
          EXPECT_EQ(button->property(kCaptionProperty).toString(), Text(c.caption));
          EXPECT_EQ(page.RadioGroupOf(button), page.RadioGroupOf(control)) << "one group";
        }
        break;
      case ControlKind::number_edit:
      case ControlKind::clamped_edit:
        ASSERT_NE(qobject_cast<QLineEdit*>(control), nullptr);
        EXPECT_EQ(control->accessibleName(), Text(row.caption));
        break;
      case ControlKind::combo: {
        auto* combo = qobject_cast<QComboBox*>(control);
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->accessibleName(), Text(row.caption));
        if (!row.choices.empty()) {
          ASSERT_EQ(combo->count(), static_cast<int>(row.choices.size()));
          for (std::size_t i = 0; i < row.choices.size(); ++i) {
            EXPECT_EQ(combo->itemText(static_cast<int>(i)), Text(row.choices[i].caption));
            EXPECT_EQ(row.choices[i].value, static_cast<int>(i)) << "a list stores its positions";
          }
        } else {
          ASSERT_EQ(combo->count(), (row.range.max - row.range.min) / row.range.step + 1);
          if (row.range.unit == 1 && *row.range.typed_unit) {
            EXPECT_EQ(combo->itemText(0), QString::number(row.range.min));
          }
        }
        break;
      }
      case ControlKind::track_bar: {
        auto* bar = qobject_cast<QSlider*>(control);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->minimum(), row.range.min);
        EXPECT_EQ(bar->maximum(), row.range.max);
        break;
      }
      case ControlKind::interface_combo:
        ASSERT_NE(qobject_cast<QComboBox*>(control), nullptr);
        EXPECT_EQ(control->accessibleName(), Text(row.caption));
        break;
      case ControlKind::sequence_edit:
        ASSERT_NE(qobject_cast<QLineEdit*>(control), nullptr);
        if (*row.caption) {
          EXPECT_EQ(control->accessibleName(), Text(row.caption));
        }
        break;
      case ControlKind::none: ADD_FAILURE() << "a shown row without a control"; break;
    }
  }
}

TEST_F(CatalogPagesTest, EveryBoundControlOfASettingsPageBelongsToARow) {
  for (const auto& [template_id, page] : by_template_) {
    if (template_id == page_id::connect || template_id == page_id::settings) continue;
    SCOPED_TRACE(template_id);
    for (QWidget* control : page->Controls()) {
      const int id = control->property(kControlIdProperty).toInt();
      const bool bound = qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control) ||
                         qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
                         qobject_cast<QSlider*>(control);
      if (!bound || id == 0) continue;
      EXPECT_NE(FindSettingByControl(template_id, id), nullptr) << "control " << id;
    }
  }
}

}  // namespace
}  // namespace tavrik
