#include "pages/PageForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
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
W* CPageForm::Place(W* control, int id, bool group_start, int stretch) {
  Layout()->addWidget(control, stretch);
  page_.AddControl(control, id, group_start);
  last_ = control;
  return control;
}

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
  return button;
}

QCheckBox* CPageForm::Check(int id, const QString& text) {
  return Place(Captioned<QCheckBox>(text), id, false);
}

QRadioButton* CPageForm::RadioGroup(int id, const QString& text) {
  return Place(Captioned<QRadioButton>(text), id, true);
}

QRadioButton* CPageForm::Radio(int id, const QString& text) {
  return Place(Captioned<QRadioButton>(text), id, false);
}

QLineEdit* CPageForm::NumberEdit(int id, const QString& label, const QString& note) {
  BeginRow();
  if (!label.isEmpty()) RowLabel(label);
  auto* edit = new QLineEdit(Container());
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  edit->setMaxLength(10);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
  Place(edit, id, false);
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
  if (!label.isEmpty()) RowLabel(label)->setWordWrap(false);
  auto* edit = Place(new QLineEdit(Container()), id, false, 1);
  EndRow();
  last_ = edit;
  return edit;
}

QComboBox* CPageForm::Combo(int id, const QString& label) {
  BeginRow();
  if (!label.isEmpty()) RowLabel(label);
  auto* combo = Place(new QComboBox(Container()), id, false);
  combo->setMinimumWidth(combo->fontMetrics().horizontalAdvance(QStringLiteral("USB POS HID")) +
                         40);
  if (label.isEmpty()) Layout()->addStretch(1);
  EndRow();
  last_ = combo;
  return combo;
}

QSlider* CPageForm::TrackBar(int id, const QString& low, const QString& high) {
  BeginRow();
  if (!low.isEmpty()) Layout()->addWidget(new QLabel(low, Container()));
  auto* slider = Place(new QSlider(Qt::Horizontal, Container()), id, false, 1);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setPageStep(1);
  if (!high.isEmpty()) Layout()->addWidget(new QLabel(high, Container()));
  EndRow();
  last_ = slider;
  return slider;
}

QPushButton* CPageForm::Button(int id, const QString& text) {
  auto* button = new QPushButton(text, Container());
  button->setAutoDefault(false);
  return Place(button, id, false);
}

QLabel* CPageForm::Label(const QString& text, int id) {
  auto* label = new QLabel(text, Container());
  label->setWordWrap(true);
  return Place(label, id, false);
}

QWidget* CPageForm::Add(QWidget* control, int id, bool group_start) {
  if (!control->parentWidget()) control->setParent(Container());
  return Place(control, id, group_start);
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
  auto* box = Place(new QGroupBox(title, Container()), id, false);
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
