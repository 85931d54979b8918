#include "pages/PageForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "pages/DialogUnits.h"
#include "pages/Page.h"

namespace tavrik {

CPageForm::CPageForm(CPageT& page) : page_(page) {
  auto* top = new QVBoxLayout(&page);
  top->setContentsMargins(8, 4, 8, 4);
  top->setSpacing(6);
  layouts_.push_back(top);
  containers_.push_back(&page);
}

CPageForm::~CPageForm() {
  // The number edits of a page stand in one column: their notes are as wide
  // as the widest.
  int widest = 0;
  for (QLabel* note : notes_) widest = std::max(widest, note->sizeHint().width());
  for (QLabel* note : notes_) note->setMinimumWidth(widest);
  // Controls gather at the top of the page area, as on a dialog template.
  layouts_.front()->addStretch(1);
}

template <class W>
W* CPageForm::Put(W* control, int id, bool group_start, int stretch) {
  Layout()->addWidget(control, stretch);
  page_.AddControl(control, id, group_start);
  last_ = control;
  return control;
}

namespace {

// Names a control for assistive technology by its label's text as it stands,
// and lets the label's mnemonic focus it.
void NameBy(QWidget* control, QLabel* label) {
  label->setBuddy(control);
  control->setAccessibleName(label->text());
}

}  // namespace

QLabel* CPageForm::RowLabel(const QString& text) {
  auto* label = new QLabel(text, Container());
  label->setWordWrap(true);
  Layout()->addWidget(label, 1);
  page_.AddControl(label, 0, false);
  return label;
}

QString CPageForm::Fit(const QString& text) const {
  const QFontMetrics metrics(page_.font());
  // Page margins, the frame and margins of each open group box, the indicator.
  int groups = 0;
  for (QWidget* c : containers_) groups += qobject_cast<QGroupBox*>(c) ? 1 : 0;
  const int room = page_.width() - 16 - groups * 20 - 28;
  if (room <= 0) return text;
  // Each break takes the place of one blank, and only before a word that
  // follows some text on its line: double blanks and a blank at the end of a
  // line of the caption's own stay as they are.
  QStringList lines;
  for (const QString& paragraph : text.split(u'\n')) {
    const QStringList words = paragraph.split(u' ');
    QString line = words.front();
    for (qsizetype i = 1; i < words.size(); ++i) {
      const QString candidate = line + u' ' + words[i];
      if (!words[i].isEmpty() && !line.trimmed().isEmpty() &&
          metrics.horizontalAdvance(candidate) > room) {
        lines << line;
        line = words[i];
      } else {
        line = candidate;
      }
    }
    lines << line;
  }
  return lines.join(u'\n');
}

template <class Button>
Button* CPageForm::Captioned(const QString& text) {
  auto* button = new Button(Fit(text), Container());
  button->setProperty(kCaptionProperty, text);
  button->setAccessibleName(text);
  return button;
}

QCheckBox* CPageForm::Check(int id, const QString& text) {
  return Put(Captioned<QCheckBox>(text), id, false);
}

QWidget* CPageForm::Field(const SettingRow& row, const QStringList& items) {
  Q_ASSERT_X(row.page == page_.TemplateId(), "CPageForm::Field", "a row of this page");
  const QString caption = QString::fromUtf8(row.caption);
  const QString note = QString::fromUtf8(row.note);
  const FieldRange& range = row.range;
  QWidget* made = nullptr;
  switch (row.control) {
    case ControlKind::check: made = Check(row.control_id, caption); break;
    case ControlKind::hidden_check:
      made = Check(row.control_id, caption);
      made->hide();
      break;
    case ControlKind::radio:
      BeginGroup(caption);
      Radios(row, 0, row.choices.size());
      EndGroup();
      return page_.Control(row.control_id);
    case ControlKind::number_edit:
    case ControlKind::clamped_edit: made = NumberEdit(row.control_id, caption, note); break;
    case ControlKind::combo:
      if (!row.choices.empty()) {
        QStringList entries;
        for (const Choice& c : row.choices) entries << QString::fromUtf8(c.caption);
        made = Combo(row.control_id, caption, entries);
      } else if (!items.isEmpty()) {
        made = Combo(row.control_id, caption, items);
      } else {
        made = NumberCombo(row.control_id, caption, static_cast<int>(range.min), static_cast<int>(range.max),
                           static_cast<int>(range.step));
      }
      break;
    case ControlKind::track_bar:
      BeginGroup(caption);
      made = TrackBar(row.control_id, static_cast<int>(range.min), static_cast<int>(range.max));
      EndGroup();
      break;
    case ControlKind::interface_combo: made = Combo(row.control_id, caption); break;
    case ControlKind::sequence_edit: made = TextEdit(row.control_id, caption); break;
    case ControlKind::none: break;
  }
  page_.AddPlacedRow(row);
  return made;
}

void CPageForm::Radios(const SettingRow& row, std::size_t first, std::size_t last) {
  Q_ASSERT_X(row.control == ControlKind::radio && last <= row.choices.size(), "CPageForm::Radios",
             "buttons of a radio row");
  for (std::size_t i = first; i < last; ++i) {
    const Choice& c = row.choices[i];
    if (i == 0) RadioGroup(c.id, QString::fromUtf8(c.caption));
    else Radio(c.id, QString::fromUtf8(c.caption));
  }
  if (first == 0) page_.AddPlacedRow(row);
}

QRadioButton* CPageForm::RadioGroup(int id, const QString& text) {
  return Put(Captioned<QRadioButton>(text), id, true);
}

QRadioButton* CPageForm::Radio(int id, const QString& text) {
  return Put(Captioned<QRadioButton>(text), id, false);
}

QLineEdit* CPageForm::NumberEdit(int id, const QString& label, const QString& note) {
  BeginRow();
  QLabel* row_label = label.isEmpty() ? nullptr : RowLabel(label);
  auto* edit = new QLineEdit(Container());
  if (row_label) NameBy(edit, row_label);
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  edit->setMaxLength(10);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
  Put(edit, id, false);
  if (!note.isEmpty()) {
    auto* n = new QLabel(note, Container());
    Layout()->addWidget(n);
    page_.AddControl(n, 0, false);
    notes_.push_back(n);
  }
  if (label.isEmpty()) Layout()->addStretch(1);
  EndRow();
  last_ = edit;
  return edit;
}

QLineEdit* CPageForm::TextEdit(int id, const QString& label) {
  BeginRow();
  QLabel* row_label = label.isEmpty() ? nullptr : RowLabel(label);
  if (row_label) row_label->setWordWrap(false);
  auto* edit = Put(new QLineEdit(Container()), id, false, 1);
  if (row_label) NameBy(edit, row_label);
  EndRow();
  last_ = edit;
  return edit;
}

QComboBox* CPageForm::Combo(int id, const QString& label, const QStringList& items) {
  BeginRow();
  QLabel* row_label = label.isEmpty() ? nullptr : RowLabel(label);
  auto* combo = Put(new QComboBox(Container()), id, false);
  if (row_label) NameBy(combo, row_label);
  combo->addItems(items);
  combo->setMaxVisibleItems(16);
  combo->setMinimumWidth(combo->fontMetrics().horizontalAdvance(QStringLiteral("USB POS HID")) +
                         40);
  if (label.isEmpty()) Layout()->addStretch(1);
  EndRow();
  last_ = combo;
  return combo;
}

QComboBox* CPageForm::NumberCombo(int id, const QString& label, int first, int last, int step) {
  QStringList items;
  for (int n = first; n <= last; n += step) items << QString::number(n);
  return Combo(id, label, items);
}

QSlider* CPageForm::TrackBar(int id, int min, int max, const QString& low, const QString& high) {
  BeginRow();
  if (!low.isEmpty()) Layout()->addWidget(new QLabel(low, Container()));
  auto* slider = Put(new QSlider(Qt::Horizontal, Container()), id, false, 1);
  slider->setRange(min, max);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setTickInterval(1);
  slider->setPageStep(1);
  if (auto* box = qobject_cast<QGroupBox*>(Container())) slider->setAccessibleName(box->title());
  if (!high.isEmpty()) Layout()->addWidget(new QLabel(high, Container()));
  EndRow();
  last_ = slider;
  return slider;
}

QTabWidget* CPageForm::TabHost(int id) {
  tab_host_ = Put(new QTabWidget(Container()), id, false, 1);
  return tab_host_;
}

void CPageForm::Tab(CPageT& child, const QString& text) {
  Q_ASSERT_X(tab_host_, "Tab", "a tab host");
  child.Create(tab_host_, QRect());
  tab_host_->addTab(&child, text);
  child.setAccessibleName(text);
  page_.AddChildPage(&child);
}

QWidget* CPageForm::Make(const Placement& p) {
  QWidget* parent = &page_;
  const QString text = QString::fromUtf16(p.text);
  switch (p.kind) {
    case PlacementKind::label: {
      auto* label = new QLabel(text, parent);
      label->setWordWrap(true);
      return label;
    }
    case PlacementKind::link: {
      auto* label = new QLabel(text, parent);
      label->setCursor(Qt::PointingHandCursor);
      label->setFocusPolicy(Qt::TabFocus);
      label->setAccessibleName(text);
      return label;
    }
    case PlacementKind::separator: {
      auto* line = new QFrame(parent);
      line->setFrameShape(QFrame::HLine);
      line->setFrameShadow(QFrame::Sunken);
      return line;
    }
    case PlacementKind::button: {
      auto* button = new QPushButton(text, parent);
      button->setAutoDefault(false);
      return button;
    }
    case PlacementKind::check: {
      auto* box = new QCheckBox(text, parent);
      box->setProperty(kCaptionProperty, text);
      return box;
    }
    case PlacementKind::edit:
      return new QLineEdit(parent);
    case PlacementKind::number_edit: {
      auto* edit = new QLineEdit(parent);
      edit->setValidator(
          new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
      edit->setMaxLength(10);
      return edit;
    }
    case PlacementKind::readonly_edit: {
      auto* edit = new QLineEdit(parent);
      edit->setReadOnly(true);
      return edit;
    }
    case PlacementKind::combo:
      return new QComboBox(parent);
    case PlacementKind::editable_combo: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      return combo;
    }
    case PlacementKind::track_bar: {
      auto* slider = new QSlider(Qt::Horizontal, parent);
      slider->setTickPosition(QSlider::TicksBelow);
      slider->setTickInterval(1);
      slider->setPageStep(1);
      return slider;
    }
    case PlacementKind::picture: {
      auto* picture = new QLabel(parent);
      picture->setAlignment(Qt::AlignCenter);
      return picture;
    }
    case PlacementKind::group_box:
      return new QGroupBox(text, parent);
    case PlacementKind::custom:
      return new QWidget(parent);
  }
  return nullptr;
}

void CPageForm::Place(std::span<const Placement> placements) {
  const DialogUnits du(page_.font());
  for (const Placement& p : placements) {
    QWidget* control = Make(p);
    QRect r = du.Rect(p.x, p.y, p.width, p.height);
    // A separator is a line however tall its row; a drop-down list is as tall
    // as the style makes it.
    if (p.kind == PlacementKind::separator) r.setHeight(2);
    if (p.kind == PlacementKind::combo || p.kind == PlacementKind::editable_combo) {
      r.setHeight(control->sizeHint().height());
    }
    control->setGeometry(r);
    page_.AddControl(control, p.id, false);
    last_ = control;
  }
  for (const Placement& p : placements) {
    if (p.label_id == 0 || p.id == 0) continue;
    auto* label = qobject_cast<QLabel*>(page_.Control(p.label_id));
    QWidget* control = page_.Control(p.id);
    if (label && control) NameBy(control, label);
  }
}

QPushButton* CPageForm::Button(int id, const QString& text) {
  auto* button = new QPushButton(text, Container());
  button->setAutoDefault(false);
  return Put(button, id, false);
}

QLabel* CPageForm::Label(const QString& text, int id) {
  auto* label = new QLabel(text, Container());
  label->setWordWrap(true);
  return Put(label, id, false);
}

QWidget* CPageForm::Add(QWidget* control, int id, bool group_start) {
  if (!control->parentWidget()) control->setParent(Container());
  return Put(control, id, group_start);
}

QWidget* CPageForm::At(QWidget* control, int id, int x, int y, int width, int height,
                       bool group_start) {
  control->setParent(&page_);
  control->setGeometry(DialogUnits(page_.font()).Rect(x, y, width, height));
  page_.AddControl(control, id, group_start);
  last_ = control;
  return control;
}

QGroupBox* CPageForm::BeginGroup(const QString& title, int id) {
  auto* box = Put(new QGroupBox(title, Container()), id, false);
  auto* inner = new QVBoxLayout(box);
  inner->setSpacing(4);
  layouts_.push_back(inner);
  containers_.push_back(box);
  return box;
}

void CPageForm::EndGroup() {
  Q_ASSERT_X(containers_.size() > 1 && qobject_cast<QGroupBox*>(containers_.back()), "EndGroup",
             "an open group");
  layouts_.pop_back();
  containers_.pop_back();
}

void CPageForm::BeginRow() {
  auto* row = new QHBoxLayout;
  row->setSpacing(6);
  Layout()->addLayout(row);
  layouts_.push_back(row);
  containers_.push_back(containers_.back());
}

void CPageForm::EndRow() {
  Q_ASSERT_X(layouts_.size() > 1, "EndRow", "an open row");
  layouts_.pop_back();
  containers_.pop_back();
}

void CPageForm::Spacing(int pixels) { Layout()->addSpacing(pixels); }
void CPageForm::Stretch() { Layout()->addStretch(1); }

void CPageForm::MarkGroupStart() {
  if (last_) page_.MarkGroupStart(last_);
}

}  // namespace tavrik
