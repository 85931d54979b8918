#include "pages/SettingsIndex.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTabWidget>

#include <algorithm>
#include <cstring>
#include <optional>

#include "pages/Page.h"
#include "settings/FieldRanges.h"

namespace tavrik {
namespace {

std::size_t WidthOf(const FieldSpec& f) { return f.type == FieldType::byte_seq ? sizeof(ByteSeq) : FieldWidth(f.type); }

const unsigned char* At(const Settings& s, const FieldSpec& f) {
  return reinterpret_cast<const unsigned char*>(&s) + f.member;
}
unsigned char* At(Settings& s, const FieldSpec& f) { return reinterpret_cast<unsigned char*>(&s) + f.member; }

std::uint32_t NumberOf(const FieldSpec& f, const Settings& s) {
  const unsigned char* p = At(s, f);
  switch (f.type) {
    case FieldType::boolean:
    case FieldType::u8: return *p;
    case FieldType::i16: {
      std::int16_t v;
      std::memcpy(&v, p, sizeof v);
      return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
    }
    case FieldType::u16: {
      std::uint16_t v;
      std::memcpy(&v, p, sizeof v);
      return v;
    }
    case FieldType::u32: {
      std::uint32_t v;
      std::memcpy(&v, p, sizeof v);
      return v;
    }
    case FieldType::byte_seq: return 0;
  }
  return 0;
}

// Every field changed, within what its type holds: what a page stores over
// it is then told apart from what was there.
Settings Trial(const Settings& base) {
  Settings trial = base;
  for (const FieldSpec& f : ImageFields()) {
    unsigned char* p = At(trial, f);
    switch (f.type) {
      case FieldType::boolean: *p = *p ? 0 : 1; break;
      case FieldType::byte_seq: {
        ByteSeq seq;
        std::memcpy(&seq, p, sizeof seq);
        seq.length = static_cast<std::uint8_t>(seq.length % 10 + 1);
        for (auto& b : seq.data) b = static_cast<std::uint8_t>(b ^ 0x5A);
        std::memcpy(p, &seq, sizeof seq);
        break;
      }
      default: p[0] = static_cast<unsigned char>(p[0] ^ 0x01); break;
    }
  }
  return trial;
}

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

QString CaptionOf(const QWidget* control) {
  const QVariant caption = control->property(kCaptionProperty);
  if (caption.isValid() && !caption.toString().isEmpty()) return Plain(caption.toString());
  if (!control->accessibleName().isEmpty()) return Plain(control->accessibleName());
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return Plain(button->text());
  return {};
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

// The page and its child pages, the page first.
void WithChildren(CPageT* page, std::vector<CPageT*>& out) {
  out.push_back(page);
  for (CPageT* child : page->ChildPages()) WithChildren(child, out);
}

}  // namespace

bool SameField(const FieldSpec& f, const Settings& a, const Settings& b) {
  return std::memcmp(At(a, f), At(b, f), WidthOf(f)) == 0;
}

void CopyField(const FieldSpec& f, const Settings& from, Settings& to) {
  std::memcpy(At(to, f), At(from, f), WidthOf(f));
}

QString FieldValueText(const FieldSpec& f, const Settings& s) {
  if (f.type == FieldType::boolean) return NumberOf(f, s) ? QStringLiteral("да") : QStringLiteral("нет");
  if (f.type == FieldType::byte_seq) {
    ByteSeq seq;
    std::memcpy(&seq, At(s, f), sizeof seq);
    if (seq.length == 0) return QStringLiteral("(пусто)");
    QStringList bytes;
    for (int i = 0; i < seq.length && i < 10; ++i) bytes << QStringLiteral("%1").arg(seq.data[i], 2, 16, QLatin1Char('0')).toUpper();
    return bytes.join(QLatin1Char(' '));
  }
  const std::uint32_t stored = NumberOf(f, s);
  if (const FieldRange* range = FindFieldRange(f.name)) {
    const QString unit = UnitText(range->typed_unit);
    const QString number = QString::number(StoredToTyped(*range, stored));
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
  }
  return f.type == FieldType::i16 ? QString::number(static_cast<std::int32_t>(stored)) : QString::number(stored);
}

void CSettingsIndex::Build(std::span<CPageT* const> pages, std::span<CPageT* const> without_fields) {
  pages_.assign(pages.begin(), pages.end());
  std::vector<CPageT*> tried;
  for (CPageT* page : pages_) {
    if (std::find(without_fields.begin(), without_fields.end(), page) == without_fields.end()) tried.push_back(page);
  }
  places_.clear();
  const Settings saved = CurrentSettings();
  Settings base;
  LoadDefaults(base);
  const Settings trial = Trial(base);
  const auto changed_from_trial = [&] {
    std::vector<const FieldSpec*> fields;
    for (const FieldSpec& f : ImageFields()) {
      if (!SameField(f, CurrentSettings(), trial)) fields.push_back(&f);
    }
    return fields;
  };
  for (CPageT* page : tried) {
    CurrentSettings() = base;
    page->Load();
    CurrentSettings() = trial;
    page->Store();
    const std::vector<const FieldSpec*> fields = changed_from_trial();
    if (fields.empty()) continue;
    // The control of each field: the one whose own binding stores it.
    std::vector<std::pair<const FieldSpec*, QWidget*>> controls;
    std::vector<CPageT*> parts;
    WithChildren(page, parts);
    for (CPageT* part : parts) {
      for (QWidget* control : part->Controls()) {
        const int id = control->property(kControlIdProperty).toInt();
        if (id == 0) continue;
        CurrentSettings() = trial;
        part->Exchange(Direction::save, id);
        for (const FieldSpec* f : changed_from_trial()) controls.emplace_back(f, control);
      }
    }
    for (const FieldSpec* f : fields) {
      QWidget* control = nullptr;
      for (const auto& [field, widget] : controls) {
        if (field == f) {
          control = widget;
          break;
        }
      }
      QString caption = control ? CaptionOf(control) : QString();
      if (caption.isEmpty()) caption = page->Caption();
      places_.push_back({f, page, control, caption});
    }
  }
  CurrentSettings() = saved;
  for (CPageT* page : tried) page->Load();
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
        hit = SearchHit{page, FocusFor(w, widgets)};
        break;
      }
    }
    if (!hit) {
      for (const SettingPlace* p : PlacesOf(page)) {
        if (QString::fromLatin1(p->field->name).contains(needle, Qt::CaseInsensitive)) {
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
