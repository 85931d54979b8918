#pragma once
// The page "Префиксы/Суффиксы": prefixes and suffixes around transmitted data,
// and the text form of a byte sequence in an edit, which the up-button page
// shares.

#include "pages/Page.h"
#include "settings/init_settings_def.h"

namespace tavrik {

class CPrefixesSuffixesPage : public CPageImpl<CPrefixesSuffixesPage> {
 public:
  static constexpr int kTemplateId = 221;

  CPrefixesSuffixesPage();
  void Bindings(CBindings& b);
  // The edits show the sets of the interfaces selected when the page loads;
  // a store writes the sets of the interfaces selected then.
  void Load() override;
  bool Store() override;

 protected:
  void CreateControls(CPageForm& form) override;
};

// Shows `seq` in the edit `id` of `page` as "0x0D    0x0A".
void ShowSequence(CPageT& page, int id, const ByteSeq& seq);
// Reads the edit `id` of `page` into `seq`. A text that is no sequence beeps,
// focuses the edit and gives false; the bytes read before the fault stay written.
bool ReadSequence(CPageT& page, int id, ByteSeq& seq);

// The notes both sequence pages show.
inline constexpr char16_t kSequenceExample[] = u"Пример:\t 0x0A\t10";
inline constexpr char16_t kSequenceByInterface[] = u"Значение интерпретируется в зависимости от выбранного интерфейса сканера:";
inline constexpr char16_t kSequenceHid[] = u"• Для USB HID значения элементов интерпретируются как скан-коды USB HID клавиатуры.";
inline constexpr char16_t kSequenceCdc[] = u"• Для USB CDC и RS232 значения элементов интерпретируются как коды ASCII.";
inline constexpr char16_t kSequenceScanCodes[] =
    u"Примечание №2.\nТаблица скан-кодов USB HID клавиатуры приведена в документе производителя сканера с настроечными штрих-кодами.";

}  // namespace tavrik
