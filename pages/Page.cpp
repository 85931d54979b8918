#include "pages/Page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>

#include "core/Dialogs.h"
#include "pages/PageForm.h"
#include "pages/PageTable.h"

namespace tavrik {

ActionNote ActionNote::Done(const char* format, const QString& value) {
  QString text = QString::fromUtf8(format);
  text.replace(QStringLiteral("%s"), value);
  return {text, false, false};
}

ActionNote ActionNote::Failed(const char* format) { return {QString::fromUtf8(format), true, false}; }

CPageT::CPageT(int template_id, const QString& caption) : template_id_(template_id) {
  setWindowTitle(caption);
  setObjectName(QStringLiteral("page%1").arg(template_id));
}

CPageT::CPageT(int template_id) : CPageT(template_id, PageCaption(template_id)) {
  Q_ASSERT_X(!windowTitle().isEmpty(), "CPageT", "a page of the page table");
}

CPageT::~CPageT() = default;

void CPageT::SetParentDlg(CParentDlg* value) {
  Q_ASSERT_X(value != nullptr, "SetParentDlg", "value != NULL");
  parent_dlg_ = value;
}

CParentDlg& CPageT::ParentDlg() const {
  Q_ASSERT_X(parent_dlg_ != nullptr, "ParentDlg", "value != NULL");
  return *parent_dlg_;
}

void CPageT::Create(QWidget* parent, const QRect& area) {
  Q_ASSERT_X(!created_, "Create", "!created_");
  hide();
  setParent(parent);
  if (!area.isEmpty()) setGeometry(area);
  {
    CPageForm form(*this);
    CreateControls(form);
  }
  created_ = true;
  OnInitDialog();
}

void CPageT::AddChildPage(CPageT* child) {
  Q_ASSERT_X(child && child != this, "AddChildPage", "a page of its own");
  if (parent_dlg_) child->SetParentDlg(parent_dlg_);
  children_.push_back(child);
}

void CPageT::AddControl(QWidget* control, int id, bool group_start) {
  if (id != 0) {
    Q_ASSERT_X(!Control(id), "AddControl", "control id unique on its page");
    control->setProperty(kControlIdProperty, id);
    control->setObjectName(QStringLiteral("control%1").arg(id));
  }
  QButtonGroup* radio_group = nullptr;
  if (auto* radio = qobject_cast<QRadioButton*>(control)) {
    // A radio button outside any group starts one, as a dialog's first button has to.
    if (group_start || !current_radio_group_) {
      group_start = true;
      current_radio_group_ = new QButtonGroup(this);
    }
    radio_group = current_radio_group_;
    radio_group->addButton(radio);
  } else if (group_start) {
    current_radio_group_ = nullptr;
  }
  controls_.push_back(control);
  entries_.push_back({control, id, group_start, radio_group});
}

void CPageT::MarkGroupStart(QWidget* control) {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [control](const Entry& e) { return e.control == control; });
  if (it == entries_.end() || it->group_start) return;
  it->group_start = true;
  if (!it->radio_group) {
    if (control == controls_.back()) current_radio_group_ = nullptr;
    return;
  }
  // A radio button with the group style begins a group of its own: it and the
  // buttons after it leave the group they were added to.
  QButtonGroup* old_group = it->radio_group;
  auto* new_group = new QButtonGroup(this);
  for (auto e = it; e != entries_.end() && !(e != it && e->group_start); ++e) {
    if (e->radio_group != old_group) continue;
    auto* radio = static_cast<QRadioButton*>(e->control);
    old_group->removeButton(radio);
    new_group->addButton(radio);
    e->radio_group = new_group;
  }
  if (current_radio_group_ == old_group) current_radio_group_ = new_group;
}

QWidget* CPageT::Control(int id) const {
  for (const Entry& e : entries_) {
    if (e.id == id) return e.control;
  }
  return nullptr;
}

bool CPageT::StartsGroup(const QWidget* control) const {
  for (const Entry& e : entries_) {
    if (e.control == control) return e.group_start;
  }
  return false;
}

QButtonGroup* CPageT::RadioGroupOf(const QWidget* first) const {
  for (const Entry& e : entries_) {
    if (e.control == first) return e.radio_group;
  }
  return nullptr;
}

void CPageT::OnExchangeError(int id) { FailAt(id); }
void CPageT::OnValidateError(int id) { FailAt(id); }

void CPageT::FailAt(int id) {
  CurrentDialogs().Beep();
  if (QWidget* control = Control(id)) control->setFocus(Qt::OtherFocusReason);
}

bool ParseDecimal(const QString& text, bool is_signed, std::int64_t& number) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && text[i].isSpace()) ++i;
  bool negative = false;
  if (i < n && text[i] == u'-') {
    if (!is_signed) return false;
    negative = true;
    ++i;
  }
  const qsizetype first_digit = i;
  std::int64_t magnitude = 0;
  for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    magnitude = magnitude * 10 + (text[i].unicode() - u'0');
    if (magnitude > (std::int64_t{1} << 32)) return false;  // far outside any 32-bit value
  }
  if (i == first_digit) return false;
  while (i < n && text[i].isSpace()) ++i;
  if (i != n) return false;
  const std::int64_t value = negative ? -magnitude : magnitude;
  const std::int64_t lowest = is_signed ? std::numeric_limits<std::int32_t>::min() : 0;
  const std::int64_t highest = is_signed ? std::numeric_limits<std::int32_t>::max()
                                         : std::numeric_limits<std::uint32_t>::max();
  if (value < lowest || value > highest) return false;
  number = value;
  return true;
}

CBindings::CBindings(CPageT& page, Direction direction, int id)
    : page_(page), direction_(direction), id_(id) {}

void CBindings::Finish() {
  if (ok_) {
    for (auto& write : pending_) write();
  }
  pending_.clear();
}

int CBindings::PositionOf(std::int64_t value, std::span<const int> values) {
  if (values.empty()) return value >= 0 && value <= std::numeric_limits<int>::max() ? static_cast<int>(value) : -1;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] == value) return static_cast<int>(i);
  }
  return -1;
}

int CBindings::ComboPositionOf(int id, std::int64_t value, const ComboMap& map) const {
  auto* combo = qobject_cast<QComboBox*>(Require(id));
  if (!combo) return -1;
  int position = -1;
  if (!map.values.empty()) {
    position = PositionOf(value, map.values);
  } else if (map.scale != 0 && (value - map.offset) % map.scale == 0) {
    const std::int64_t p = (value - map.offset) / map.scale;
    if (p >= 0 && p < combo->count()) position = static_cast<int>(p);
  }
  // A position the list does not have selects nothing.
  return position < combo->count() ? position : -1;
}

void CBindings::TrackBarPosition(int id, int& position) {
  auto* slider = qobject_cast<QSlider*>(Require(id));
  if (!slider) return;
  if (direction_ == Direction::load) {
    slider->setValue(position);
  } else {
    position = slider->value();
  }
}

QWidget* CBindings::Require(int id) const {
  QWidget* control = page_.Control(id);
  Q_ASSERT_X(control, "CBindings", "bound control exists on its page");
  return control;
}

void CBindings::BindCheck(int id, bool& value) {
  if (!Applies(id)) return;
  auto* box = qobject_cast<QCheckBox*>(Require(id));
  if (!box) return;
  if (direction_ == Direction::load) {
    box->setCheckState(value ? Qt::Checked : Qt::Unchecked);
  } else {
    value = box->checkState() == Qt::Checked;
  }
}

namespace {

// Calls `f` with the record's member of `row`, as its own type.
template <class F>
void WithMember(const SettingRow& row, Settings& s, F&& f) {
  auto* p = reinterpret_cast<unsigned char*>(&s) + row.member;
  switch (row.type) {
    case FieldType::boolean: f(*reinterpret_cast<bool*>(p)); return;
    case FieldType::u8: f(*reinterpret_cast<std::uint8_t*>(p)); return;
    case FieldType::i16: f(*reinterpret_cast<std::int16_t*>(p)); return;
    case FieldType::u16: f(*reinterpret_cast<std::uint16_t*>(p)); return;
    case FieldType::u32: f(*reinterpret_cast<std::uint32_t*>(p)); return;
    case FieldType::byte_seq: return;
  }
}

}  // namespace

void CBindings::Bind(const SettingRow& row) {
  const int id = row.control_id;
  const FieldRange& range = row.range;
  WithMember(row, CurrentSettings(), [&](auto& field) {
    using Field = std::remove_reference_t<decltype(field)>;
    if constexpr (std::is_same_v<Field, bool>) {
      if (row.control == ControlKind::check || row.control == ControlKind::hidden_check) BindCheck(id, field);
    } else {
      switch (row.control) {
        case ControlKind::radio: {
          // The position itself unless a button stands for another value.
          std::vector<int> values;
          bool positional = true;
          for (std::size_t i = 0; i < row.choices.size(); ++i) {
            values.push_back(row.choices[i].value);
            positional = positional && row.choices[i].value == static_cast<int>(i);
          }
          if (positional) values.clear();
          BindRadio(id, field, values);
          break;
        }
        case ControlKind::number_edit: BindInt(id, field, range.min, range.max); break;
        case ControlKind::clamped_edit: BindInt(id, field, Units{range.min, range.max, range.unit}); break;
        case ControlKind::combo:
          if (row.choices.empty()) BindCombo(id, field, {.offset = range.min, .scale = range.step});
          else BindCombo(id, field);
          break;
        case ControlKind::track_bar: BindTrackBar(id, field); break;
        default: break;
      }
    }
  });
}

void CBindings::BindPlaced() {
  for (const SettingRow* row : page_.PlacedRows()) Bind(*row);
}

void CBindings::BindCheck(int id, int& value) {
  if (!Applies(id)) return;
  auto* box = qobject_cast<QCheckBox*>(Require(id));
  if (!box) return;
  // 0, 1, 2: unchecked, checked, indeterminate.
  if (direction_ == Direction::load) {
    switch (value) {
      case 1: box->setCheckState(Qt::Checked); break;
      case 2:
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
        break;
      default: box->setCheckState(Qt::Unchecked); break;
    }
  } else {
    const Qt::CheckState state = box->checkState();
    value = state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
  }
}

bool CBindings::BindNumber(int id, std::int64_t& number, bool is_signed, std::int64_t min,
                           std::int64_t max) {
  Q_ASSERT_X(min < max, "BindInt", "min != max");
  if (!Applies(id)) return false;
  auto* edit = qobject_cast<QLineEdit*>(Require(id));
  if (!edit) return false;
  if (direction_ == Direction::load) {
    edit->setText(QString::number(number));
    return false;
  }
  std::int64_t read = 0;
  if (!ParseDecimal(edit->text(), is_signed, read)) {
    ok_ = false;
    page_.OnExchangeError(id);
    return false;
  }
  if (read < min || read > max) {
    ok_ = false;
    page_.OnValidateError(id);
    return false;
  }
  number = read;
  return true;
}

void CBindings::BindRadio(int id, int& index) {
  if (!Applies(id)) return;
  QWidget* first = Require(id);
  if (!first) return;
  const auto& controls = page_.Controls();
  auto it = std::find(controls.begin(), controls.end(), first);
  std::vector<QRadioButton*> run;
  for (auto c = it; c != controls.end(); ++c) {
    if (c != it && page_.StartsGroup(*c)) break;
    if (auto* radio = qobject_cast<QRadioButton*>(*c)) run.push_back(radio);
  }
  if (direction_ == Direction::load) {
    QButtonGroup* group = page_.RadioGroupOf(first);
    // An exclusive group cannot show "none checked"; lift it while setting.
    const bool exclusive = group && group->exclusive();
    if (group) group->setExclusive(false);
    for (std::size_t i = 0; i < run.size(); ++i) {
      run[i]->setChecked(static_cast<int>(i) == index);
    }
    if (group) group->setExclusive(exclusive);
  } else {
    index = -1;
    for (std::size_t i = 0; i < run.size(); ++i) {
      if (run[i]->isChecked()) {
        index = static_cast<int>(i);
        break;
      }
    }
  }
}

void CBindings::BindText(int id, QString& text) {
  if (!Applies(id)) return;
  auto* edit = qobject_cast<QLineEdit*>(Require(id));
  if (!edit) return;
  if (direction_ == Direction::load) {
    edit->setText(text);
  } else {
    text = edit->text();
  }
}

void CBindings::BindText(int id, std::string& text) {
  QString q = QString::fromStdString(text);
  BindText(id, q);
  if (direction_ == Direction::save && Applies(id)) text = q.toStdString();
}

void CBindings::BindComboIndex(int id, int& index) {
  if (!Applies(id)) return;
  auto* combo = qobject_cast<QComboBox*>(Require(id));
  if (!combo) return;
  if (direction_ == Direction::load) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
  } else {
    index = combo->currentIndex();
  }
}

}  // namespace tavrik
