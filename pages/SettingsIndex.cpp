#include "pages/SettingsIndex.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTabWidget>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "pages/Page.h"
#include "settings/FieldRanges.h"

namespace tavrik {
namespace {

std::size_t WidthOf(const SettingRow& f) {
  return f.type == FieldType::byte_seq ? sizeof(ByteSeq) : FieldWidth(f.type);
}

const unsigned char* At(const Settings& s, const SettingRow& f) {
  return reinterpret_cast<const unsigned char*>(&s) + f.member;
}
unsigned char* At(Settings& s, const SettingRow& f) { return reinterpret_cast<unsigned char*>(&s) + f.member; }

// The unit a page shows its number in, as the user reads it.
QString UnitText(const char* unit) {
  struct Name {
    const char* unit;
    const char16_t* text;
  };
  static constexpr Name kNames[] = {{"ms", u"мс"}, {"s", u"с"}, {"min", u"мин"}};
  for (const Name& n : kNames) {
    if (std::strcmp(n.unit, unit) == 0) return QString::fromUtf16(n.text);
  }
  return QString::fromUtf8(unit);
}

// Text as the search compares it: no mnemonic marks, no line breaks.
QString Plain(QString text) {
  text.remove(QLatin1Char('&'));
  return text.simplified();
}

bool Contains(const QString& haystack, const QString& needle) {
  return Plain(haystack).contains(needle, Qt::CaseInsensitive);
}

// Hidden on purpose (a control of a template that is never shown), rather than
// on a page or a tab out of view.
bool HiddenForGood(const QWidget* w, const QWidget* page) {
  for (; w && w != page; w = w->parentWidget()) {
    const bool explicitly = w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden);
    if (explicitly && !qobject_cast<const QStackedWidget*>(w->parentWidget()) && !qobject_cast<const CPageT*>(w)) {
      return true;
    }
  }
  return false;
}

bool TakesFocus(const QWidget* w) { return (w->focusPolicy() & Qt::TabFocus) && w->isEnabled(); }

// The texts a user reads on a widget.
QStringList TextsOf(const QWidget* w) {
  QStringList texts;
  if (const auto* label = qobject_cast<const QLabel*>(w)) texts << label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(w)) texts << button->text();
  if (const auto* box = qobject_cast<const QGroupBox*>(w)) texts << box->title();
  if (const auto* tabs = qobject_cast<const QTabWidget*>(w)) {
    for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
  }
  const QVariant caption = w->property(kCaptionProperty);
  if (caption.isValid()) texts << caption.toString();
  return texts;
}

// Where the keyboard goes for a matching widget: the widget itself, the
// control a label names, the first control of a group, or the next control
// after a note.
QWidget* FocusFor(QWidget* match, const QList<QWidget*>& widgets) {
  if (TakesFocus(match)) return match;
  if (auto* label = qobject_cast<QLabel*>(match); label && label->buddy()) return label->buddy();
  if (qobject_cast<QGroupBox*>(match)) {
    for (QWidget* child : match->findChildren<QWidget*>()) {
      if (TakesFocus(child)) return child;
    }
  }
  for (qsizetype i = widgets.indexOf(match) + 1; i < widgets.size(); ++i) {
    if (TakesFocus(widgets[i]) && !qobject_cast<QTabWidget*>(widgets[i])) return widgets[i];
  }
  return nullptr;
}

// The control a note stands beside: of the fields with that note, the one whose
// control comes last before it.
QWidget* NotedControl(const QWidget* w, const QList<QWidget*>& widgets, const std::vector<const SettingPlace*>& places) {
  const auto* label = qobject_cast<const QLabel*>(w);
  if (!label || label->buddy()) return nullptr;
  const QString text = Plain(label->text());
  const qsizetype at = widgets.indexOf(const_cast<QWidget*>(w));
  QWidget* best = nullptr;
  qsizetype best_at = -1;
  for (const SettingPlace* p : places) {
    if (!p->control || Plain(QString::fromUtf8(p->field->note)) != text) continue;
    const qsizetype control_at = widgets.indexOf(p->control);
    if (control_at >= 0 && control_at < at && control_at > best_at) {
      best = p->control;
      best_at = control_at;
    }
  }
  return best;
}

// The page and its child pages, the page first.
void WithChildren(CPageT* page, std::vector<CPageT*>& out) {
  out.push_back(page);
  for (CPageT* child : page->ChildPages()) WithChildren(child, out);
}

}  // namespace

bool SameField(const SettingRow& f, const Settings& a, const Settings& b) {
  return std::memcmp(At(a, f), At(b, f), WidthOf(f)) == 0;
}

void CopyField(const SettingRow& f, const Settings& from, Settings& to) {
  std::memcpy(At(to, f), At(from, f), WidthOf(f));
}

QString FieldValueText(const SettingRow& f, const Settings& s) {
  if (f.type == FieldType::byte_seq) {
    ByteSeq seq;
    std::memcpy(&seq, At(s, f), sizeof seq);
    if (seq.length == 0) return QStringLiteral("(пусто)");
    QStringList bytes;
    for (int i = 0; i < seq.length && i < 10; ++i) bytes << QStringLiteral("%1").arg(seq.data[i], 2, 16, QLatin1Char('0')).toUpper();
    return bytes.join(QLatin1Char(' '));
  }
  const std::int64_t stored = FieldNumber(f, s);
  if (const std::string choice = ChoiceText(f, stored); !choice.empty()) return QString::fromStdString(choice);
  if (f.type == FieldType::boolean) return stored ? QStringLiteral("да") : QStringLiteral("нет");
  if (f.HasRange()) {
    const QString unit = UnitText(f.range.typed_unit);
    const QString number = QString::number(StoredToTyped(f.range, static_cast<std::uint32_t>(stored)));
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
  }
  return QString::number(stored);
}

void CSettingsIndex::Build(std::span<CPageT* const> pages) {
  pages_.assign(pages.begin(), pages.end());
  places_.clear();
  for (CPageT* page : pages_) {
    std::vector<CPageT*> parts;
    WithChildren(page, parts);
    for (CPageT* part : parts) {
      for (const SettingRow& row : SettingsCatalog()) {
        if (row.page != part->TemplateId()) continue;
        // A check box that is never shown takes no focus: its page's first control does.
        QWidget* control =
            row.control_id != 0 && row.control != ControlKind::hidden_check ? part->Control(row.control_id) : nullptr;
        const QString path = QString::fromStdString(PagePath(row.page));
        QString caption = QString::fromStdString(FieldCaption(row));
        if (caption.isEmpty()) caption = path.isEmpty() ? page->Caption() : path;
        places_.push_back({&row, page, control, caption, path.isEmpty() ? page->Caption() : path});
      }
    }
  }
  built_ = true;
}

std::vector<const SettingPlace*> CSettingsIndex::PlacesOf(const CPageT* page) const {
  std::vector<const SettingPlace*> out;
  for (const SettingPlace& p : places_) {
    if (p.page == page) out.push_back(&p);
  }
  return out;
}

std::vector<const SettingPlace*> CSettingsIndex::Differences(const CPageT* page, const Settings& a,
                                                             const Settings& b) const {
  std::vector<const SettingPlace*> out;
  for (const SettingPlace* p : PlacesOf(page)) {
    if (!SameField(*p->field, a, b)) out.push_back(p);
  }
  return out;
}

std::vector<SearchHit> CSettingsIndex::Find(const QString& text) const {
  std::vector<SearchHit> hits;
  const QString needle = Plain(text);
  if (needle.isEmpty()) return hits;
  for (CPageT* page : pages_) {
    const QList<QWidget*> widgets = page->findChildren<QWidget*>();
    std::optional<SearchHit> hit;
    for (QWidget* w : widgets) {
      if (HiddenForGood(w, page)) continue;
      const QStringList texts = TextsOf(w);
      if (std::any_of(texts.begin(), texts.end(), [&](const QString& t) { return Contains(t, needle); })) {
        QWidget* noted = NotedControl(w, widgets, PlacesOf(page));
        hit = SearchHit{page, noted ? noted : FocusFor(w, widgets)};
        break;
      }
    }
    if (!hit) {
      for (const SettingPlace* p : PlacesOf(page)) {
        if (QString::fromLatin1(p->field->name).contains(needle, Qt::CaseInsensitive) ||
            Contains(QString::fromStdString(p->field->note), needle) || Contains(p->caption, needle)) {
          hit = SearchHit{page, p->control};
          break;
        }
      }
    }
    if (!hit && Contains(page->Caption(), needle)) hit = SearchHit{page, nullptr};
    if (hit) hits.push_back(*hit);
  }
  return hits;
}

void RevealAndFocus(QWidget* control) {
  for (QWidget* w = control; w; w = w->parentWidget()) {
    auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
    if (!stack) continue;
    if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget())) tabs->setCurrentWidget(w);
  }
  control->setFocus(Qt::ShortcutFocusReason);
}

}  // namespace tavrik
