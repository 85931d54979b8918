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
// A page is its form and its binding list, one line per control:
//
//   void CCode128Page::CreateControls(CPageForm& form) {
//     form.Check(1027, QStringLiteral("Распознавать Code 128"));
//   }
//   void CCode128Page::Bindings(CBindings& b) {
//     b.BindCheck(1027, CurrentSettings().code128_enabled);
//   }
//
// Work beyond the bindings (filling lists, converting units, rules across
// fields) goes into overrides of Load and Store that call the CPageImpl ones;
// what a dialog does on its initialisation message goes into OnInitDialog.

#include <QString>
#include <QWidget>

#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

class QButtonGroup;

namespace tavrik {

class CPageT;
class CPageForm;

// What a page may ask of the main dialog.
class CParentDlg {
 public:
  // The page shown now; never missing once the tree is built.
  virtual CPageT& GetActivePage() = 0;
  // Copies the connection page's port, speed and time-out controls into the
  // connection parameters; the result is not used.
  virtual void StoreConnectPage() = 0;

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
  // label and header text.
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
  void Create(QWidget* parent, const QRect& area);
  bool IsCreated() const { return created_; }

  int TemplateId() const { return template_id_; }
  QString Caption() const { return windowTitle(); }

  // The control with this id, or nullptr.
  QWidget* Control(int id) const;
  template <class W>
  W* ControlAs(int id) const {
    return qobject_cast<W*>(Control(id));
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

  // Check box. For an int, 0, 1 and 2 are unchecked, checked and
  // indeterminate; any other value loads as 0.
  void BindCheck(int id, bool& value);
  void BindCheck(int id, int& value);

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

  // Edit field and text.
  void BindText(int id, QString& text);
  void BindText(int id, std::string& text);

  // Combo box to the selected position; -1 when nothing is selected, and -1
  // or a position beyond the entries selects nothing.
  void BindComboIndex(int id, int& index);

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

  CPageT& page_;
  Direction direction_;
  int id_;
  bool ok_ = true;
};

// The page's template and binding list: T provides
//   void Bindings(CBindings& b);  // one line per binding, in exchange order
//   void CreateControls(CPageForm& form) override;
template <class T>
class CPageImpl : public CPageT {
 public:
  using CPageT::CPageT;

  void Load() override { DataExchange(Direction::load, ALL_CONTROLS); }
  bool Store() override { return DataExchange(Direction::save, ALL_CONTROLS); }

  // Runs the bindings in their declared order, each only for ALL_CONTROLS or
  // its own id; false at the first binding that fails.
  bool DataExchange(Direction direction, int id) {
    CBindings b(*this, direction, id);
    static_cast<T*>(this)->Bindings(b);
    return b.ok();
  }
};

// Parses an edit field's text as BindInt reads it: leading blanks skipped, a
// minus sign only when signed, the 32-bit range of the signedness. Trailing
// blanks are accepted, anything else behind the digits is not.
bool ParseDecimal(const QString& text, bool is_signed, std::int64_t& number);

}  // namespace tavrik
