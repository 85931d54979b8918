#pragma once
// The settings catalogue: one constant row per field of the settings image, in
// image order, holding everything the program knows of that setting: its name
// and record member, image offset and type, default rule, the stored unit and
// the range the page accepts, its old-form command, and where the window shows
// it (page, control ids, captions, note). The image conversions, the command
// generation, the ranges, the command-line tool and the pages all read it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "settings/init_settings_def.h"

namespace tavrik {

// The image this program writes ends after the last row; byte 143 belongs to no field.
inline constexpr std::size_t kPlacementSize = 268;
inline constexpr std::size_t kReservedOffset = 143;

enum class FieldType : std::uint8_t { boolean, u8, i16, u16, u32, byte_seq };
// The model rules of the defaults; `constant` takes the row's value.
enum class Rule : std::uint8_t { constant, d1, d2, d3, d4, d5, d6, d7, d8 };

// Default values of the ByteSeq rows.
inline constexpr std::int32_t kSeqEmpty = 0;  // all zero
inline constexpr std::int32_t kSeqCrLf = 1;   // 0x0D 0x0A, then zeros
inline constexpr std::int32_t kSeqEnter = 2;  // 0x28, then zeros

// The values a person may give a range-checked field, in the unit they type
// (milliseconds, seconds, ...), and the unit the record stores.
struct FieldRange {
  const char* name = nullptr;      // the field's name; null for a field without a range
  std::int64_t min = 0;            // typed
  std::int64_t max = 0;            // typed
  std::uint32_t unit = 1;          // typed units per stored unit (50 for 50 ms units)
  std::uint32_t step = 1;          // a typed value is a multiple of it (a list of 0, 10, .. 500)
  const char* typed_unit = "";     // "ms", "s", "min", or "" for a plain number
  const char* stored_unit = "";    // "50 ms", "ms", ..., or ""
};

// How the old barcode form carries a field.
enum class CommandForm : std::uint8_t {
  none,      // not carried
  byte,      // the value, brought into 0..255
  flag,      // 1 when set
  number,    // the value times the range's unit, as digit commands
  sequence,  // length, then position and byte per byte, under code and code + 1, from the
             // set of the class the slot's interface selects
};
struct OldCommand {
  std::uint8_t code = 0;
  CommandForm form = CommandForm::none;
  std::uint8_t rank = 0;  // the position in the command list, which the scanner expects in its own order
  bool lens = false;      // left out of a list that keeps the scanner's lens values
};

// The control a page binds the field to.
enum class ControlKind : std::uint8_t {
  none,             // no page edits the field
  check,            // a check box with the caption
  hidden_check,     // a check box that travels with its page but is never shown
  radio,            // a radio group titled by the caption: one button per choice
  number_edit,      // labelled number edit, refused outside the range
  clamped_edit,     // the same; a stored value outside the range is pulled in on load
  combo,            // labelled drop-down list: one entry per choice, or the range's numbers
  track_bar,        // a track bar over the range, in a group box titled by the caption
  interface_combo,  // labelled list of interface names that the page fills
  sequence_edit,    // a byte-sequence edit; a prefix edit shows the set its interface selects
};

// One radio button or list entry: its id (0 for a list entry), caption and the
// value it stands for.
struct Choice {
  int id;
  const char* caption;
  std::int32_t value;
};

struct SettingRow {
  const char* name;
  std::uint16_t offset;  // in the image
  FieldType type;
  std::size_t member;    // offset of the member inside Settings
  Rule rule;
  std::int32_t value;    // the default when `rule` is constant
  FieldRange range;
  OldCommand command;
  // Where the window shows it; page 0 when no page does.
  int page = 0;
  ControlKind control = ControlKind::none;
  int control_id = 0;         // the first button of a radio group
  const char* caption = "";   // check box text, the label of an edit or list, a group's title
  const char* group = "";     // the title of the group box the control stands in
  std::span<const Choice> choices = {};
  const char* note = "";      // the text beside an edit ("макс. 12750 мс")

  bool HasRange() const { return range.name != nullptr; }
  bool Shown() const { return page != 0; }
};

// The templates of the pages that show settings.
namespace page_id {
inline constexpr int ean_upc = 202;
inline constexpr int i2of5 = 209;
inline constexpr int code39 = 211;
inline constexpr int code128 = 212;
inline constexpr int symbolics = 213;
inline constexpr int power = 215;
inline constexpr int settings = 216;
inline constexpr int connect = 217;
inline constexpr int prefixes_suffixes = 221;
inline constexpr int aztec = 222;
inline constexpr int sound = 223;
inline constexpr int pdf417 = 232;
inline constexpr int trigger = 233;
inline constexpr int illumination = 235;
inline constexpr int datamatrix = 236;
inline constexpr int aim_leds = 237;
inline constexpr int configuration = 238;
inline constexpr int qrcode = 239;
inline constexpr int ocr = 240;
inline constexpr int pharmacode = 241;
inline constexpr int code93 = 242;
inline constexpr int databar = 243;
inline constexpr int codabar = 244;
inline constexpr int interfaces = 248;
inline constexpr int hid_tab = 253;
inline constexpr int uart_tab = 255;
inline constexpr int usb_cdc_tab = 257;
inline constexpr int validation = 258;
inline constexpr int bluetooth_tab = 259;
inline constexpr int up_button = 260;
}  // namespace page_id

// A page of the window: its template, title (tree label, header or tab text)
// and the page it hangs under (0 at the top level). The tree pages come first,
// in tree order; the tab pages of the interface page follow, in tab order.
struct PageTitle {
  int template_id;
  const char* title;
  int parent;
  bool tab = false;
};

// Every row, in image order.
std::span<const SettingRow> SettingsCatalog();
std::span<const PageTitle> PageTitles();

const SettingRow* FindSetting(std::string_view name);
const SettingRow* FindSettingByMember(std::size_t member_offset);
// The row whose control (or radio button) `control_id` stands on page `page`.
const SettingRow* FindSettingByControl(int page, int control_id);
const PageTitle* FindPageTitle(int template_id);
// The title of a page; a tab page's is preceded by its host's ("Интерфейс с ПК / USB CDC").
std::string PagePath(int template_id);

// What the page calls the field: the caption, after the title of the group box
// it stands in ("Структурированное соединение (Structured Append): Использовать").
// Empty for a field no page shows.
std::string FieldCaption(const SettingRow& row);
// The text the page shows for a stored value of a radio group or list: the
// caption of its choice, or empty when the field has no choices or no choice stands
// for the value.
std::string ChoiceText(const SettingRow& row, std::int64_t value);

std::size_t FieldWidth(FieldType type);

// A number field's value in the record (a bool counts 0 or 1), and its
// assignment, cut to the field's width; both do nothing for a sequence.
std::int64_t FieldNumber(const SettingRow& row, const Settings& settings);
void SetFieldNumber(const SettingRow& row, std::int64_t value, Settings& settings);

// The offset of a member in Settings, for a lookup by member pointer.
template <class T>
std::size_t MemberOffset(T Settings::*member) {
  static const Settings probe{};
  return static_cast<std::size_t>(reinterpret_cast<const char*>(&(probe.*member)) -
                                  reinterpret_cast<const char*>(&probe));
}
template <class T>
const SettingRow& SettingOf(T Settings::*member) {
  return *FindSettingByMember(MemberOffset(member));
}

}  // namespace tavrik
