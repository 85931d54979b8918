#pragma once
// The compact builder that stands in for a page's dialog template: each call
// adds one control (registered with its id on the page, in dialog order) to a
// top-to-bottom layout; group boxes and rows nest.

#include <QString>
#include <QStringList>

#include "settings/SettingsCatalog.h"

#include <cstddef>
#include <span>
#include <vector>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QWidget;

namespace tavrik {

class CPageT;

// A control placed at a fixed position of a dialog template, in dialog units
// of the page's font. One row per control, in dialog (tab) order.
enum class PlacementKind {
  label,        // static text
  link,         // static text that reports clicks (a QLabel with a pointing hand)
  separator,    // a horizontal line; the height is ignored
  button,       // push button
  check,        // check box
  edit,         // edit field
  number_edit,  // edit field that takes digits only
  readonly_edit,
  combo,        // drop-down list
  editable_combo,
  track_bar,
  picture,      // a static picture (QLabel showing a pixmap)
  group_box,
  custom,  // a control its owner makes itself (a tree, a frame): only the place is used
};
struct Placement {
  int id;  // 0: a control no code refers to
  PlacementKind kind;
  int x, y, width, height;
  const char16_t* text = u"";
  // For edits, lists, track bars and pictures: the id of the label that names
  // them for assistive technology and whose mnemonic focuses them.
  int label_id = 0;
};

class CPageForm {
 public:
  explicit CPageForm(CPageT& page);
  ~CPageForm();
  CPageForm(const CPageForm&) = delete;
  CPageForm& operator=(const CPageForm&) = delete;

  // Captions of check boxes and radio buttons wider than the page are broken
  // into lines at blanks, each break in place of one blank; the exact caption
  // stays in the property kCaptionProperty.
  QCheckBox* Check(int id, const QString& text);
  // A catalogue row's control with its id, caption, note, range and entries:
  // a check box, a radio group in a group box titled by the row's caption, a
  // labelled number edit or list, a track bar in its group box. `items` fills
  // a list whose entries the row does not name. The row is registered on the
  // page for its binding list.
  QWidget* Field(const SettingRow& row, const QStringList& items = {});
  template <class T>
  QWidget* Field(T Settings::*member, const QStringList& items = {}) {
    return Field(SettingOf(member), items);
  }
  // The buttons first..last-1 of a radio row, outside any group box of their
  // own: for a group that the page lays out in parts. The first part registers the row.
  void Radios(const SettingRow& row, std::size_t first, std::size_t last);
  // The first button of a radio group (it carries the group style).
  QRadioButton* RadioGroup(int id, const QString& text);
  // A further button of the current radio group.
  QRadioButton* Radio(int id, const QString& text);
  // A row: the label, a short edit for a number, then the note ("макс. 255 сек").
  // The edit takes digits only.
  QLineEdit* NumberEdit(int id, const QString& label, const QString& note = {});
  // A row: the label (if any), then an edit that takes the rest of the row.
  QLineEdit* TextEdit(int id, const QString& label = {});
  // A row: the label (if any), then a drop-down list, filled with `items`.
  QComboBox* Combo(int id, const QString& label = {}, const QStringList& items = {});
  // A drop-down list of the numbers first, first + step, .. last.
  QComboBox* NumberCombo(int id, const QString& label, int first, int last, int step = 1);
  // A horizontal track bar over min..max with a tick at every value, between
  // its two end labels; named for assistive technology by the group box it
  // stands in.
  QSlider* TrackBar(int id) { return TrackBar(id, 0, 99); }
  QSlider* TrackBar(int id, int min, int max, const QString& low = QStringLiteral("Ниже"),
                    const QString& high = QStringLiteral("Выше"));
  // A tab control whose tabs are child pages: each Tab creates the child page
  // inside it; the page that holds the host loads and stores the children.
  QTabWidget* TabHost(int id);
  void Tab(CPageT& child, const QString& text);
  // Controls at fixed places, from a table (the whole page or a part of it).
  void Place(std::span<const Placement> placements);
  QPushButton* Button(int id, const QString& text);
  // Text, wrapped to the page width; with an id when the page changes it.
  QLabel* Label(const QString& text, int id = 0);
  // Any other control, registered as the others are.
  QWidget* Add(QWidget* control, int id = 0, bool group_start = false);
  // A control at a fixed place of the page, in dialog units of the page's
  // font, outside the top-to-bottom flow.
  QWidget* At(QWidget* control, int id, int x, int y, int width, int height,
              bool group_start = false);

  // A framed group box with a title; controls go inside until EndGroup.
  QGroupBox* BeginGroup(const QString& title, int id = 0);
  void EndGroup();
  // Controls side by side until EndRow.
  void BeginRow();
  void EndRow();
  void Spacing(int pixels);
  void Stretch();

  // Gives the last control the group style: it ends the radio group before it.
  void MarkGroupStart();

  QBoxLayout* Layout() const { return layouts_.back(); }
  QWidget* Container() const { return containers_.back(); }

 private:
  template <class W>
  W* Put(W* control, int id, bool group_start, int stretch = 0);
  QWidget* Make(const Placement& p);
  QLabel* RowLabel(const QString& text);
  // A check box or radio button with `text` fitted to the page.
  template <class Button>
  Button* Captioned(const QString& text);
  // `text` with line breaks so that no line is wider than the room left for a
  // caption beside a check box or radio indicator at the current nesting.
  QString Fit(const QString& text) const;

  CPageT& page_;
  std::vector<QBoxLayout*> layouts_;
  std::vector<QWidget*> containers_;
  QWidget* last_ = nullptr;
  QTabWidget* tab_host_ = nullptr;
  std::vector<QLabel*> notes_;
};

}  // namespace tavrik
