#pragma once
// The base of every settings page: its panel, its link to the main dialog,
// the three operations the shell calls (Load, Store, OnShow) and the binding
// list that moves values between the page's controls and the settings record.
//
// A page is built in two steps, as a dialog from a template: the object is
// constructed with the main dialog, and its controls are created when the main
// dialog places it (Create). Every control that the page binds carries its
// control id as the dynamic property "controlId", so code and tests find it by id.
//
// A page's form places rows of the settings catalogue, which carry each
// control's id, caption, range and values; the page's binding list binds the
// rows the form placed:
//
//   void CCode128Page::CreateControls(CPageForm& form) { form.Field(&Settings::code128_enabled); }
//   void CCode128Page::Bindings(CBindings& b) { b.BindPlaced(); }
//
// Work beyond the bindings (filling lists, converting units, rules across
// fields) goes into overrides of Load and Store that call the CPageImpl ones;
// what a dialog does on its initialisation message goes into OnInitDialog.

#include <QString>
#include <QWidget>

#include "settings/FieldRanges.h"
#include "settings/SettingsCatalog.h"
#include "settings/init_settings_def.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <span>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class QButtonGroup;

namespace tavrik {

class CPageT;
class CPageForm;

// How an action of a page ended, for the window's status line.
struct ActionNote {
  // What was done, or what failed; the window adds the time.
  QString text;
  bool failed = false;
  // The settings now equal what a file or the scanner holds, so closing the
  // window loses nothing.
  bool settings_kept = false;

  // `format` (UTF-8, one "%s" or none) with `value` in place of "%s".
  static ActionNote Done(const char* format, const QString& value = {});
  static ActionNote Failed(const char* format);
  ActionNote& Kept() {
    settings_kept = true;
    return *this;
  }
};

// What a page may ask of the main dialog.
class CParentDlg {
 public:
  // The page shown now; never missing once the tree is built.
  virtual CPageT& GetActivePage() = 0;
  // Copies the connection page's port, speed and time-out controls into the
  // connection parameters; the result is not used.
  virtual void StoreConnectPage() = 0;
  // A file, barcode, defaults or connection action of a page has ended.
  virtual void ActionEnded(const ActionNote& note) { (void)note; }

 protected:
  ~CParentDlg() = default;
};

enum class Direction { load, save };
inline constexpr int ALL_CONTROLS = -1;

// The name of the dynamic property that holds a control's id.
inline constexpr char kControlIdProperty[] = "controlId";
// The name of the dynamic property that holds the exact caption of a check box
// or radio button, whose text may carry line breaks of its own to fit the page.
inline constexpr char kCaptionProperty[] = "caption";

class CPageT : public QWidget {
  Q_OBJECT

 public:
  // `template_id` names the page's dialog template; `caption` is its tree
  // label and header text. A page of the tree takes its caption from the page table.
  explicit CPageT(int template_id);
  CPageT(int template_id, const QString& caption);
  ~CPageT() override;

  // Copies the values into the controls.
  virtual void Load() {}
  // Reads and checks the controls and copies them into the values; false when
  // a control holds an invalid value (the page has beeped and focused it).
  virtual bool Store() { return true; }
  // Runs after the page has been made visible.
  virtual void OnShow() {}

  // Set once before the page is created.
  void SetParentDlg(CParentDlg* value);
  CParentDlg& ParentDlg() const;

  // Creates the page's controls as a hidden child of `parent` covering `area`.
  // An empty `area` leaves the geometry to the parent's layout (a tab page).
  void Create(QWidget* parent, const QRect& area);

  // Child pages (the tabs of a tab host): created by the page's form, loaded
  // after the page's own bindings and stored after them, in the order added.
  void AddChildPage(CPageT* child);
  const std::vector<CPageT*>& ChildPages() const { return children_; }
  bool IsCreated() const { return created_; }

  int TemplateId() const { return template_id_; }
  QString Caption() const { return windowTitle(); }

  // The control with this id, or nullptr.
  QWidget* Control(int id) const;
  template <class W>
  W* ControlAs(int id) const {
    return qobject_cast<W*>(Control(id));
  }
  // The control of a record member's catalogue row, or nullptr.
  template <class T>
  QWidget* FieldControl(T Settings::*member) const {
    return Control(SettingOf(member).control_id);
  }
  template <class W, class T>
  W* FieldControlAs(T Settings::*member) const {
    return qobject_cast<W*>(FieldControl(member));
  }
  // The controls in dialog order (the order they were created in).
  const std::vector<QWidget*>& Controls() const { return controls_; }
  // Whether the control starts a group, as the first button of a radio group does.
  bool StartsGroup(const QWidget* control) const;

  // Failure hooks of the numeric bindings: a text that is not a number, and a
  // number outside its range. Both beep and focus the control, without a message.
  virtual void OnExchangeError(int id);
  virtual void OnValidateError(int id);

  // Registers a control created by the page's form; `id` 0 means unbound.
  void AddControl(QWidget* control, int id, bool group_start);
  // Gives a registered control the group style after the fact.
  void MarkGroupStart(QWidget* control);
  // The button group that keeps the radio group starting at `first` exclusive.
  QButtonGroup* RadioGroupOf(const QWidget* first) const;

  // The catalogue rows the page's form placed, in placement order.
  void AddPlacedRow(const SettingRow& row) { placed_rows_.push_back(&row); }
  const std::vector<const SettingRow*>& PlacedRows() const { return placed_rows_; }

 protected:
  // Lays out the page's controls. Called once, by Create.
  virtual void CreateControls(CPageForm& form) = 0;
  // After the controls exist: what a dialog does on its initialisation message.
  virtual void OnInitDialog() {}

 private:
  void FailAt(int id);

  struct Entry {
    QWidget* control;
    int id;
    bool group_start;
    QButtonGroup* radio_group;
  };
  std::vector<QWidget*> controls_;
  std::vector<Entry> entries_;
  QButtonGroup* current_radio_group_ = nullptr;
  std::vector<CPageT*> children_;
  std::vector<const SettingRow*> placed_rows_;
  CParentDlg* parent_dlg_ = nullptr;
  int template_id_;
  bool created_ = false;
};

// One pass of a page's binding list in one direction, limited to one control
// id or ALL_CONTROLS. Each Bind call is one binding; after the first failure
// the later ones do nothing and ok() is false.
class CBindings {
 public:
  CBindings(CPageT& page, Direction direction, int id);

  bool ok() const { return ok_; }
  Direction direction() const { return direction_; }

  // From here on, every binding that converts (a radio group or a combo
  // through a table, a track bar, a number in another unit) writes the record
  // only after the whole list has succeeded, as a page holding those values in
  // members of its own would. Check boxes and plain number edits still store
  // as they go. Called once, first thing in a page's binding list.
  void CommitAfterAll() { defer_ = true; }
  // Runs the deferred writes when every binding succeeded (CPageImpl calls it).
  void Finish();

  // Check box. For an int, 0, 1 and 2 are unchecked, checked and
  // indeterminate; any other value loads as 0.
  void BindCheck(int id, bool& value);
  void BindCheck(int id, int& value);
  // A catalogue row's control to its field of CurrentSettings(), as its kind
  // binds: a check box, a radio group through the values of its buttons, a
  // number edit in the range's unit, a list, a track bar. The lists of
  // interfaces and the byte-sequence edits are bound by their pages.
  void Bind(const SettingRow& row);
  template <class T>
  void Bind(T Settings::*member) {
    Bind(SettingOf(member));
  }
  // Every row the page's form placed, in placement order.
  void BindPlaced();

  // Edit field with a decimal integer of 8, 16 or 32 bits. Without a range
  // the value's own range applies, so a number that does not fit is refused
  // rather than cut to the width.
  template <class Int>
  void BindInt(int id, Int& value) {
    BindInt(id, value, std::numeric_limits<Int>::min(), std::numeric_limits<Int>::max());
  }
  template <class Int>
  void BindInt(int id, Int& value, std::int64_t min, std::int64_t max) {
    static_assert(std::is_integral_v<Int> && !std::is_same_v<Int, bool> && sizeof(Int) <= 4);
    Q_ASSERT_X(min >= std::numeric_limits<Int>::min() && max <= std::numeric_limits<Int>::max(),
               "BindInt", "range within the value's width");
    std::int64_t number = value;
    if (BindNumber(id, number, std::is_signed_v<Int>, min, max)) value = static_cast<Int>(number);
  }

  // The first button of a radio group to the position of the checked button;
  // -1 when none is checked, and -1 unchecks all.
  void BindRadio(int id, int& index);

  // A radio group straight to a record field. `values[position]` is the value
  // a button stands for; an empty table means the position itself. A field
  // value that no button stands for checks none, and with none checked the
  // field keeps its value.
  template <class Field>
  void BindRadio(int id, Field& field, std::span<const int> values = {}) {
    if (!Applies(id)) return;
    int position = PositionOf(static_cast<std::int64_t>(field), values);
    BindRadio(id, position);
    if (direction_ == Direction::save && position >= 0) {
      Write(field, values.empty() ? position : values[static_cast<std::size_t>(position)]);
    }
  }

  // A combo box straight to a record field: entry `position` stands for
  // `values[position]`, or for offset + position * scale when no table is
  // given (poll interval 1..16 is offset 1; key delay 0..500 is scale 10).
  // A field value that no entry stands for selects nothing, and with nothing
  // selected the field keeps its value.
  struct ComboMap {
    std::int64_t offset = 0;
    std::int64_t scale = 1;
    std::span<const int> values = {};
  };
  template <class Field>
  void BindCombo(int id, Field& field, ComboMap map = {}) {
    if (!Applies(id)) return;
    int position = ComboPositionOf(id, static_cast<std::int64_t>(field), map);
    BindComboIndex(id, position);
    if (direction_ == Direction::save && position >= 0) {
      Write(field, map.values.empty() ? map.offset + position * map.scale
                                      : map.values[static_cast<std::size_t>(position)]);
    }
  }

  // A track bar straight to a record field; the bar's own range clamps what it
  // shows, so a field beyond it is shown and stored at the end of the range.
  template <class Field>
  void BindTrackBar(int id, Field& field) {
    if (!Applies(id)) return;
    int position = static_cast<int>(field);
    TrackBarPosition(id, position);
    if (direction_ == Direction::save) Write(field, position);
  }

  // A number edit in one unit over a field stored in another: the user types
  // min..max (checked as typed, before conversion); the field holds
  // typed / unit rounded to the nearest unit, halves up. On load the field is
  // first clamped into the range's stored equivalent, and the clamp is written
  // back into the record (a record from an old file shows a value the page can
  // store). unit 1 gives a clamped plain number.
  struct Units {
    std::int64_t min;
    std::int64_t max;
    std::int64_t unit = 1;
  };
  template <class Field>
  void BindInt(int id, Field& field, Units units) {
    static_assert(std::is_integral_v<Field> && !std::is_same_v<Field, bool>);
    if (!Applies(id)) return;
    if (direction_ == Direction::load) {
      const std::int64_t lo = (units.min + units.unit - 1) / units.unit;
      const std::int64_t hi = units.max / units.unit;
      const std::int64_t stored = std::clamp<std::int64_t>(field, lo, hi);
      field = static_cast<Field>(stored);
      std::int64_t shown = stored * units.unit;
      BindNumber(id, shown, false, units.min, units.max);
      return;
    }
    std::int64_t typed = 0;
    if (BindNumber(id, typed, false, units.min, units.max)) {
      Write(field, (typed + units.unit / 2) / units.unit);
    }
  }

  // Edit field and text.
  void BindText(int id, QString& text);
  void BindText(int id, std::string& text);

  // Combo box to the selected position; -1 when nothing is selected, and -1
  // or a position beyond the entries selects nothing.
  void BindComboIndex(int id, int& index);

  // A tab host's child pages are loaded and stored with the page that holds
  // them (CPageImpl does it after the page's own bindings).

  // Attaches `control` to the page's control the first time it loads.
  template <class W>
  void BindControl(int id, W*& control) {
    if (!Applies(id) || direction_ != Direction::load || control) return;
    control = page_.ControlAs<W>(id);
    Q_ASSERT_X(control, "BindControl", "control of the bound kind");
  }

 private:
  bool Applies(int id) const { return ok_ && (id_ == ALL_CONTROLS || id_ == id); }
  QWidget* Require(int id) const;
  // Loads `number` into the edit or reads it back; true when it was read.
  bool BindNumber(int id, std::int64_t& number, bool is_signed, std::int64_t min,
                  std::int64_t max);
  static int PositionOf(std::int64_t value, std::span<const int> values);
  int ComboPositionOf(int id, std::int64_t value, const ComboMap& map) const;
  void TrackBarPosition(int id, int& position);
  // Stores a converted value now, or after the whole list under CommitAfterAll.
  template <class Field>
  void Write(Field& field, std::int64_t value) {
    if (defer_) {
      pending_.push_back([&field, value] { field = static_cast<Field>(value); });
    } else {
      field = static_cast<Field>(value);
    }
  }

  CPageT& page_;
  Direction direction_;
  int id_;
  bool ok_ = true;
  bool defer_ = false;
  std::vector<std::function<void()>> pending_;
};

// The page's template and binding list: T provides
//   void Bindings(CBindings& b);  // one line per binding, in exchange order
//   void CreateControls(CPageForm& form) override;
template <class T>
class CPageImpl : public CPageT {
 public:
  using CPageT::CPageT;

  // The page's bindings, then its child pages in their order.
  void Load() override {
    DataExchange(Direction::load, ALL_CONTROLS);
    for (CPageT* child : ChildPages()) child->Load();
  }
  bool Store() override {
    if (!DataExchange(Direction::save, ALL_CONTROLS)) return false;
    for (CPageT* child : ChildPages()) {
      if (!child->Store()) return false;
    }
    return true;
  }

  // Runs the bindings in their declared order, each only for ALL_CONTROLS or
  // its own id; false at the first binding that fails.
  bool DataExchange(Direction direction, int id) {
    CBindings b(*this, direction, id);
    static_cast<T*>(this)->Bindings(b);
    b.Finish();
    return b.ok();
  }
};

// Parses an edit field's text as BindInt reads it: leading blanks skipped, a
// minus sign only when signed, the 32-bit range of the signedness. Trailing
// blanks are accepted, anything else behind the digits is not.
bool ParseDecimal(const QString& text, bool is_signed, std::int64_t& number);

}  // namespace tavrik
