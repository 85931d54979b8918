#include "pages/PrefixesSuffixesPage.h"

#include <QLabel>
#include <QLineEdit>

#include "pages/PageForm.h"
#include "settings/ByteSequenceText.h"

namespace tavrik {
namespace {

// The four edits, each over one slot of the set of its interface's class; the
// catalogue row of the hid_class slot carries the edit's id and label.
struct SequenceEdit {
  ByteSeq Settings::*hid_slot;
  bool currency;  // the set of currency_interface, else of barcode_interface
  ByteSeq Settings::* SequenceSlots::* slot;
  int Id() const { return SettingOf(hid_slot).control_id; }
};
constexpr SequenceEdit kSequenceEdits[] = {
    {&Settings::barcode_prefix_hid, false, &SequenceSlots::barcode_prefix},
    {&Settings::barcode_suffix_hid, false, &SequenceSlots::barcode_suffix},
    {&Settings::currency_prefix_hid, true, &SequenceSlots::currency_prefix},
    {&Settings::currency_suffix_hid, true, &SequenceSlots::currency_suffix},
};

std::uint8_t InterfaceOf(const Settings& s, bool currency) {
  return currency ? s.currency_interface : s.barcode_interface;
}

ByteSeq& SequenceOf(Settings& s, const SequenceEdit& edit) {
  const SequenceSlots& set = SlotsOf(SequenceClassOf(InterfaceOf(s, edit.currency)));
  return s.*(set.*edit.slot);
}

QString ForInterface(std::uint8_t interface_code) {
  return QStringLiteral("(Для интерфейса: ") + QString::fromUtf8(InterfaceName(interface_code)) +
         u')';
}

// The interface labels beside the group titles.
constexpr int kBarcodeInterfaceLabel = 1224;
constexpr int kCurrencyInterfaceLabel = 1223;

// A label and an edit that takes the rest of the row: ten bytes in the text
// form are wide.
void SequenceRow(CPageForm& form, const SequenceEdit& sequence) {
  const SettingRow& row = SettingOf(sequence.hid_slot);
  const QString label = QString::fromUtf8(row.caption);
  form.BeginRow();
  auto* text = static_cast<QLabel*>(form.Add(new QLabel(label)));
  auto* edit = static_cast<QLineEdit*>(form.Add(new QLineEdit, row.control_id));
  edit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  text->setBuddy(edit);
  edit->setAccessibleName(label);
  form.EndRow();
}

}  // namespace

void ShowSequence(CPageT& page, int id, const ByteSeq& seq) {
  page.ControlAs<QLineEdit>(id)->setText(QString::fromStdString(FormatSequence(seq)));
}

bool ReadSequence(CPageT& page, int id, ByteSeq& seq) {
  if (ParseSequence(page.ControlAs<QLineEdit>(id)->text().toStdString(), seq)) return true;
  page.OnValidateError(id);
  return false;
}

void AddSequenceNotes(CPageForm& form, const QString& first, const QString& held_keys,
                      const QString& last) {
  form.Label(first);
  form.Label(QStringLiteral("Пример:\t 0x0A\t10"));
  form.Label(QStringLiteral(
      "Значение интерпретируется в зависимости от выбранного интерфейса сканера:"));
  form.Label(QStringLiteral(
      "• Для USB HID значения элементов интерпретируются как скан-коды USB HID клавиатуры."));
  form.Label(held_keys);
  form.Label(QStringLiteral(
      "• Для USB CDC и RS232 значения элементов интерпретируются как коды ASCII."));
  // The table is in the program's own guide, which the link "здесь" of the settings page opens.
  form.Label(QStringLiteral("Примечание №2.\nТаблица скан-кодов USB HID клавиатуры приведена в "
                            "руководстве пользователя (ссылка «здесь» на странице «Настройки»)."));
  form.Label(last);
}

CPrefixesSuffixesPage::CPrefixesSuffixesPage() : CPageImpl(kTemplateId) {}

void CPrefixesSuffixesPage::CreateControls(CPageForm& form) {
  form.BeginGroup(QString::fromUtf8(SettingOf(kSequenceEdits[0].hid_slot).group));
  form.Label(QString(), kBarcodeInterfaceLabel);
  SequenceRow(form, kSequenceEdits[0]);
  SequenceRow(form, kSequenceEdits[1]);
  form.EndGroup();
  form.BeginGroup(QString::fromUtf8(SettingOf(kSequenceEdits[2].hid_slot).group));
  form.Label(QString(), kCurrencyInterfaceLabel);
  SequenceRow(form, kSequenceEdits[2]);
  SequenceRow(form, kSequenceEdits[3]);
  form.EndGroup();
  AddSequenceNotes(
      form,
      QStringLiteral("Примечание №1.\nПрефиксы, суффиксы задаются в виде набора байт в "
                     "шестнадцатеричном или десятичном формате."),
      QStringLiteral("При наличии скан-кодов клавиш Ctrl, Alt, Shift и GUI (Win) эти клавиши "
                     "удерживаются нажатыми до окончания передачи всех элементов префикса и "
                     "суффикса. Это позволяет задать в качестве префика, например, такое "
                     "сочетание клавиш как Сtrl + F7."),
      QStringLiteral("Примечание №3.\nМаксимальная длина префикса или суффикса: 10 символов"));
}

void CPrefixesSuffixesPage::Bindings(CBindings&) {}

void CPrefixesSuffixesPage::Load() {
  CPageImpl::Load();
  Settings& s = CurrentSettings();
  for (const SequenceEdit& edit : kSequenceEdits) ShowSequence(*this, edit.Id(), SequenceOf(s, edit));
  ControlAs<QLabel>(kBarcodeInterfaceLabel)->setText(ForInterface(s.barcode_interface));
  ControlAs<QLabel>(kCurrencyInterfaceLabel)->setText(ForInterface(s.currency_interface));
}

bool CPrefixesSuffixesPage::Store() {
  if (!CPageImpl::Store()) return false;
  Settings& s = CurrentSettings();
  // In edit order, each straight into the record: a refused edit leaves the
  // ones before it stored and the ones after it as they were.
  for (const SequenceEdit& edit : kSequenceEdits) {
    if (!ReadSequence(*this, edit.Id(), SequenceOf(s, edit))) return false;
  }
  return true;
}

}  // namespace tavrik
