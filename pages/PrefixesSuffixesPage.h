#pragma once
// The page "Префиксы/Суффиксы": prefixes and suffixes around transmitted data,
// and the text form of a byte sequence in an edit, which the up-button page
// shares.

#include "pages/Page.h"
#include "settings/init_settings_def.h"

namespace tavrik {

class CPrefixesSuffixesPage : public CPageImpl<CPrefixesSuffixesPage> {
 public:
  static constexpr int kTemplateId = page_id::prefixes_suffixes;

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

// The notes under a page's sequence edits, in their order: the page's own
// first note, the example and what the bytes mean for each interface (with
// the page's own text on held keys), where the scan codes are listed, and the
// page's own note on the length.
void AddSequenceNotes(CPageForm& form, const QString& first, const QString& held_keys,
                      const QString& last);

}  // namespace tavrik
