#include "settings/init_settings_def.h"

#include "core/Messages.h"

#include "settings/update_settings_def.h"

namespace tavrik {
namespace {

struct InterfaceRow {
  const char* name;
  SequenceClass sequence_class;
};

constexpr InterfaceRow kInterfaces[kInterfaceCount] = {
    {"UART (RS232)", SequenceClass::ascii_class},
    {"USB CDC", SequenceClass::ascii_class},
    {"USB HID", SequenceClass::hid_class},
    {"USB HID Only", SequenceClass::hid_class},
    {"BT HID", SequenceClass::hid_class},
    {"BT POS HID", SequenceClass::pos_class},
    {"BT Classic HID", SequenceClass::hid_class},
    {"BT SPP", SequenceClass::ascii_class},
    {"USB POS HID", SequenceClass::pos_class},
};

constexpr SequenceSlots kSlots[] = {
    // ascii_class
    {&Settings::barcode_prefix_ascii, &Settings::barcode_suffix_ascii, &Settings::currency_prefix_ascii,
     &Settings::currency_suffix_ascii},
    // hid_class
    {&Settings::barcode_prefix_hid, &Settings::barcode_suffix_hid, &Settings::currency_prefix_hid,
     &Settings::currency_suffix_hid},
    // pos_class
    {&Settings::barcode_prefix_pos, &Settings::barcode_suffix_pos, &Settings::currency_prefix_pos,
     &Settings::currency_suffix_pos},
};

Settings& Record() {
  static Settings settings = [] {
    Settings s{};
    LoadDefaults(s);
    return s;
  }();
  return settings;
}

std::uint8_t current_model = 0;
std::uint16_t current_firmware_version = 0;

}  // namespace

SequenceClass SequenceClassOf(std::uint8_t code) {
  return code < kInterfaceCount ? kInterfaces[code].sequence_class : SequenceClass::hid_class;
}

const char* InterfaceName(std::uint8_t code) {
  return code < kInterfaceCount ? kInterfaces[code].name : kUnknownInterfaceText;
}

const SequenceSlots& SlotsOf(SequenceClass c) { return kSlots[static_cast<int>(c)]; }

Settings& CurrentSettings() { return Record(); }
std::uint8_t CurrentModel() { return current_model; }
void SetCurrentModel(std::uint8_t model) { current_model = model; }
std::uint16_t CurrentFirmwareVersion() { return current_firmware_version; }
void SetCurrentFirmwareVersion(std::uint16_t version) { current_firmware_version = version; }

void ResetProcessState() {
  current_model = 0;
  current_firmware_version = 0;
  LoadDefaults(Record());
}

void LoadDefaults(Settings& settings) { SettingsFromPlacement(settings, nullptr); }

}  // namespace tavrik
