#pragma once
// Where the user meets each setting of the record: the page and the control
// that show a field, and the text the user reads there; and which pages hold
// a text the user searches for. The search and the marks of changed pages ask
// only this piece. The page, control and caption of each field come from the
// settings catalogue; the search also reads the texts the pages show.

#include <QString>

#include <span>
#include <vector>

#include "settings/SettingsCatalog.h"
#include "settings/init_settings_def.h"

class QWidget;

namespace tavrik {

class CPageT;

struct SettingPlace {
  const SettingRow* field;  // the field's row of the catalogue
  CPageT* page;             // the page of the tree that shows it
  QWidget* control;         // the control that shows it; null when only the page is known
  QString caption;          // what the user reads there (the page's caption without a control)
  QString page_path;        // the page, and the tab within it ("Интерфейс с ПК / USB CDC")
};

// A page that holds what was searched for, and where its first match is.
struct SearchHit {
  CPageT* page;
  QWidget* focus;  // the control to give the keyboard focus; null for the page's first
};

class CSettingsIndex {
 public:
  // Places the catalogue's rows on `pages` (the pages of the tree, created,
  // with their tab pages); touches neither the pages nor the record.
  void Build(std::span<CPageT* const> pages);
  bool IsBuilt() const { return built_; }

  const std::vector<SettingPlace>& Places() const { return places_; }
  std::vector<const SettingPlace*> PlacesOf(const CPageT* page) const;
  // The fields of `page` whose values differ between `a` and `b`.
  std::vector<const SettingPlace*> Differences(const CPageT* page, const Settings& a, const Settings& b) const;

  // Every page, in the order given to Build, that holds `text` (ignoring case
  // and line breaks) in a caption, label or note or in the name of one of its
  // fields; empty for an empty text.
  std::vector<SearchHit> Find(const QString& text) const;

 private:
  std::vector<CPageT*> pages_;
  std::vector<SettingPlace> places_;
  bool built_ = false;
};

// Whether field `f` holds the same value in both records.
bool SameField(const SettingRow& f, const Settings& a, const Settings& b);
// Copies field `f` from `from` into `to`.
void CopyField(const SettingRow& f, const Settings& from, Settings& to);
// The value as the page shows it: the caption of a radio button or list entry,
// a number in the unit the user types, "да" or "нет", or the bytes of a
// sequence in hexadecimal.
QString FieldValueText(const SettingRow& f, const Settings& s);

// Shows the tab that holds `control` and gives it the keyboard focus.
void RevealAndFocus(QWidget* control);

}  // namespace tavrik
