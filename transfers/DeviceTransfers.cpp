#include "transfers/DeviceTransfers.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <cstddef>
#include <cstring>
#include <vector>

#include "core/Dialogs.h"
#include "device/ComDevice.h"
#include "device/ScannerInterface.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "transfers/ConnectionParams.h"
#include "transfers/ExceptionReport.h"

namespace tavrik {
namespace {

// The wait cursor for one action.
class BusyScope {
 public:
  explicit BusyScope(const TransferHooks& hooks) : hooks_(hooks) {
    if (hooks_.busy) hooks_.busy(true);
  }
  ~BusyScope() {
    if (hooks_.busy) hooks_.busy(false);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  const TransferHooks& hooks_;
};

void ShowError(const std::string& text) { ShowFailure(text); }

bool AskNewerVersion(const Message& question) { return Ask(question); }

void ShowBadVersion() { Show(kBadVersion); }

void ShowBadSize(std::uint16_t size) { Show(kBadSize, Fill(kBadSize, size)); }

void Progress(const std::uint8_t*, std::uint32_t done, std::uint32_t total, void* user) {
  const auto* hooks = static_cast<const TransferHooks*>(user);
  hooks->progress(done, total);
}

// The progress hook as the protocol's callback, when there is one.
ProgressCallback CallbackOf(const TransferHooks& hooks) { return hooks.progress ? &Progress : nullptr; }
void* UserOf(const TransferHooks& hooks) { return const_cast<TransferHooks*>(&hooks); }

// Steps shared by both transfers: the connection page, the port, the protocol,
// the mode switch and the transfer bits of the state word.
// `params` is read after the connection page has been stored into it.
void CommonStart(const TransferHooks& hooks, const ConnectionParamsT& params, CComDevice& port,
                 CScannerInterface& scanner) {
  if (hooks.store_connect_page) hooks.store_connect_page();
  OpenDevice(&port, params.port, params.speed, params.timeout);
  scanner.SetDevice(&port);
  SwitchDeviceMode(scanner, false);
  DeviceState state;
  CScannerInterface::CheckError(scanner.GetDeviceState(&state));
  MarkSettingsTransfer(state);
  CScannerInterface::CheckError(scanner.SetDeviceState(state));
}

std::int8_t ReadVersion(CScannerInterface& scanner) {
  std::uint8_t version = 0;
  CScannerInterface::CheckError(scanner.ReadMemory(SETTINGS_ADDRESS, &version, 1));
  return static_cast<std::int8_t>(version);
}

std::uint16_t ReadSize(CScannerInterface& scanner) {
  std::uint8_t size[2] = {0, 0};
  CScannerInterface::CheckError(scanner.ReadMemory(SETTINGS_ADDRESS + 1, size, 2));
  return static_cast<std::uint16_t>(size[0] | (size[1] << 8));
}

// 0xFF is erased memory; no firmware writes any other negative version, so
// the whole range is a damaged header, as it is in a settings file.
bool BadVersion(std::int8_t version) { return version < 0; }

// A size no settings image can have: empty, or negative as the image's own
// signed size field (which would make every field read as its default).
bool BadSize(std::uint16_t size) { return size == 0 || size >= 0x8000; }

// The question to ask before a save that moves the scanner's link to the
// host, from the values `image` (the scanner's own bytes) holds for them:
// null when none of them changes.
struct InterfaceQuestion {
  const Message* question = nullptr;
  std::string text;
};

InterfaceQuestion InterfaceQuestionOf(const Settings& settings, const std::uint8_t* image) {
  // The values as the scanner holds them now, whatever its settings version.
  auto held = [image](std::size_t member) { return ImageValue(image, member); };
  const std::uint32_t scanner_interface = held(offsetof(Settings, barcode_interface));
  const bool changes = settings.barcode_interface != scanner_interface ||
                       settings.currency_interface != held(offsetof(Settings, currency_interface)) ||
                       settings.hid_poll_interval != held(offsetof(Settings, hid_poll_interval)) ||
                       std::uint32_t{settings.cdc_static_port} != held(offsetof(Settings, cdc_static_port));
  InterfaceQuestion q;
  if (!changes) return q;
  q.question = &kInterfaceChangeQuestion;
  if (settings.barcode_interface != scanner_interface &&
      ((settings.barcode_interface == uart) != (scanner_interface == uart))) {
    q.question = &kCableQuestion;
    q.text = Fill(kCableQuestion, CableInterfaceText(settings.barcode_interface));
  }
  return q;
}

// A newer layout cannot be read, so nothing of it is kept: the scanner gets
// our whole image with our own version and size in its header, which it reads
// as an older version, never our fields under its newer header. The layout
// only ever grew at its end, so the scanner's link to the host is read where
// ours keeps it, and a change of it is asked and announced as in every save.
SaveResult OverwriteNewerVersion(CScannerInterface& scanner, const TransferHooks& hooks, const Settings& settings) {
  std::uint8_t held[kPlacementSize] = {};
  InitPlacement(held, &settings);
  const std::uint16_t size = ReadSize(scanner);
  const std::uint32_t count = BadSize(size) ? kPlacementSize : std::min<std::uint32_t>(size, kPlacementSize);
  CScannerInterface::CheckError(scanner.ReadMemory(SETTINGS_ADDRESS, held, count));
  const InterfaceQuestion change = InterfaceQuestionOf(settings, held);
  if (change.question && !Ask(*change.question, change.text)) return SaveResult::declined;

  std::uint8_t image[kPlacementSize] = {};
  InitPlacement(image, &settings);
  if (hooks.before_write && !hooks.before_write({}, image)) return SaveResult::declined;
  CScannerInterface::CheckError(
      scanner.WriteMemory(SETTINGS_ADDRESS, image, kPlacementSize, CallbackOf(hooks), UserOf(hooks)));
  if (change.question) Show(kRestartNotice);
  return SaveResult::saved;
}

}  // namespace

std::string CableInterfaceText(std::uint8_t code) {
  if (code == uart) return InterfaceName(uart);
  if (code >= usb_cdc && code <= usb_hid_only) return kCableUsbText;
  return kUnknownInterfaceText;
}

LoadResult LoadFromDevice(const TransferHooks& hooks) {
  const ConnectionParamsT& params = ConnectionParams();
  BusyScope busy(hooks);
  try {
    CComDevice port;
    CScannerInterface scanner;
    CommonStart(hooks, params, port, scanner);
    if (!Ask(kLoadQuestion)) return load_declined;

    DeviceInfo info;
    CScannerInterface::CheckError(scanner.GetDeviceInfo(&info, false));
    if (hooks.select_model) hooks.select_model(info.model);
    SetCurrentModel(info.model);
    SetCurrentFirmwareVersion(info.firmware_version);

    std::uint8_t image[kPlacementSize] = {};
    InitPlacement(image, nullptr);
    const std::int8_t version = ReadVersion(scanner);
    if (BadVersion(version)) {
      ShowBadVersion();
      return load_bad_version;
    }
    if (version >= 2) {
      if (!AskNewerVersion(kNewerVersionQuestion)) return load_newer_declined;
      if (hooks.defaults_taken) hooks.defaults_taken();
    } else {
      const std::uint16_t size = ReadSize(scanner);
      if (BadSize(size)) {
        ShowBadSize(size);
        return load_failed;
      }
      const std::uint32_t count = std::min<std::uint32_t>(size, kPlacementSize);
      CScannerInterface::CheckError(
          scanner.ReadMemory(SETTINGS_ADDRESS, image, count, CallbackOf(hooks), UserOf(hooks)));
    }
    SettingsFromPlacement(CurrentSettings(), image);
    if (hooks.load_active_page) hooks.load_active_page();
    return load_ok;
  } catch (...) {
    // A port that fails mid-way (a scanner unplugged) may throw more than the
    // protocol's errors; every one of them ends the action with its message.
    ShowError(CurrentExceptionText());
    return load_failed;
  }
}

SaveResult SaveToDevice(const TransferHooks& hooks) {
  return SaveToDevice(CurrentSettings(), ConnectionParams(), hooks);
}

SaveResult SaveToDevice(Settings& settings, const ConnectionParamsT& params, const TransferHooks& hooks) {
  BusyScope busy(hooks);
  try {
    CComDevice port;
    CScannerInterface scanner;
    CommonStart(hooks, params, port, scanner);
    if (!Ask(kSaveQuestion)) return SaveResult::declined;
    // The scanner must get what the user sees: an invalid field stops the save.
    if (hooks.store_active_page && !hooks.store_active_page()) {
      Show(kInvalidField);
      return SaveResult::failed;
    }

    const std::int8_t version = ReadVersion(scanner);
    if (BadVersion(version)) {
      ShowBadVersion();
      return SaveResult::failed;
    }
    if (version >= 2) {
      if (!AskNewerVersion(kNewerVersionSaveQuestion)) return SaveResult::declined;
      return OverwriteNewerVersion(scanner, hooks, settings);
    }

    const std::uint16_t size = ReadSize(scanner);
    if (BadSize(size)) {
      ShowBadSize(size);
      return SaveResult::failed;
    }

    // Older scanners know only the hid_class slots; the copy is undone on every way out.
    std::optional<ShortLayoutSlotCopy> slot_copy;
    if (size <= kShortPlacementSize) slot_copy.emplace(settings);

    std::uint8_t image[kPlacementSize] = {};
    InitPlacement(image, &settings);
    std::vector<std::uint8_t> large;
    if (size <= kPlacementSize) {
      CScannerInterface::CheckError(scanner.ReadMemory(SETTINGS_ADDRESS, image, size, CallbackOf(hooks), UserOf(hooks)));
    } else {
      large.resize(size);
      CScannerInterface::CheckError(
          scanner.ReadMemory(SETTINGS_ADDRESS, large.data(), size, CallbackOf(hooks), UserOf(hooks)));
      std::memcpy(image, large.data(), kPlacementSize);
    }

    const InterfaceQuestion change = InterfaceQuestionOf(settings, image);
    if (change.question && !Ask(*change.question, change.text)) return SaveResult::declined;

    // The scanner keeps its header and its lens settings.
    Settings scanner_record{};
    SettingsFromPlacement(scanner_record, image);
    Settings outgoing = settings;
    outgoing.lens_upper = scanner_record.lens_upper;
    outgoing.lens_lower = scanner_record.lens_lower;
    outgoing.lens_frequency = scanner_record.lens_frequency;
    const std::uint8_t header[3] = {image[0], image[1], image[2]};
    std::uint8_t as_read[kPlacementSize];
    std::memcpy(as_read, image, sizeof as_read);
    SettingsToPlacement(image, &outgoing);
    std::memcpy(image, header, sizeof header);
    // Past the first 268 bytes a larger image is written back as it was read.
    const std::size_t compared = std::min<std::size_t>(size, kPlacementSize);
    if (hooks.before_write && !hooks.before_write(std::span<const std::uint8_t>(as_read, compared),
                                                  std::span<const std::uint8_t>(image, compared)))
      return SaveResult::declined;

    if (size > kPlacementSize) {
      std::memcpy(large.data(), image, kPlacementSize);
      CScannerInterface::CheckError(
          scanner.WriteMemory(SETTINGS_ADDRESS, large.data(), size, CallbackOf(hooks), UserOf(hooks)));
    } else {
      CScannerInterface::CheckError(scanner.WriteMemory(SETTINGS_ADDRESS, image, size, CallbackOf(hooks), UserOf(hooks)));
    }
    slot_copy.reset();
    if (change.question) Show(kRestartNotice);
    return SaveResult::saved;
  } catch (...) {
    ShowError(CurrentExceptionText());
    return SaveResult::failed;
  }
}

std::string TitleAfterLoad(LoadResult result, const std::string& base_title, const std::string& current_title) {
  switch (result) {
    case load_ok:
      return base_title + " -> \"" + ModelText(CurrentModel(), true) + "\" (v." +
             VersionText(CurrentFirmwareVersion()) + ")";
    case load_failed: return base_title;
    default: return current_title;
  }
}

}  // namespace tavrik
