#pragma once
// Loading the settings from a scanner and saving them into it: every step,
// question and message of the two transfers, free of any widget. The desktop
// program and the command-line tool both run these.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "core/Messages.h"

namespace tavrik {

struct ConnectionParamsT;
struct Settings;

enum LoadResult : int {
  load_ok = 0,              // Settings hold the scanner's settings (or its model's defaults)
  load_declined = 1,        // the user declined the first question
  load_bad_version = 2,     // the scanner's settings area is invalid (a negative version, 0xFF erased)
  load_newer_declined = 3,  // newer settings version, defaults declined
  load_failed = 4,          // an error was shown
};

enum class SaveResult { saved, declined, failed };

// What the transfers need from the window they run in. Every hook may be empty.
struct TransferHooks {
  // The connection page's controls into ConnectionParams; its result is not used.
  std::function<void()> store_connect_page;
  // The page in view into Settings; false when a field is invalid (the page has
  // beeped and focused it).
  std::function<bool()> store_active_page;
  // The page in view shows Settings again.
  std::function<void()> load_active_page;
  // The model list follows the scanner's model code.
  std::function<void(std::uint8_t model)> select_model;
  // The wait cursor: true at the start of the action, false on every way out.
  std::function<void(bool busy)> busy;
  // Bytes moved of the settings image so far (for a progress display).
  std::function<void(std::uint32_t done, std::uint32_t total)> progress;
  // A load took the model's defaults in place of a newer settings version.
  std::function<void()> defaults_taken;
  // A save, just before it writes: the scanner's image as it was read and the
  // image about to replace it, of the same length (`held` is empty when the
  // scanner's newer layout cannot be read). False: nothing is written and the
  // save ends as declined.
  std::function<bool(std::span<const std::uint8_t> held, std::span<const std::uint8_t> outgoing)> before_write;
};

// The interface named in the cable question: "UART (RS232)", "USB" or "Неизвестный интерфейс".
std::string CableInterfaceText(std::uint8_t interface_code);

LoadResult LoadFromDevice(const TransferHooks& hooks = {});
SaveResult SaveToDevice(const TransferHooks& hooks = {});
// The same save of `settings` over the connection `params`, touching no
// process-wide record: several threads may each save their own to a port of
// their own (each with its own ThreadDialogsScope).
SaveResult SaveToDevice(Settings& settings, const ConnectionParamsT& params, const TransferHooks& hooks = {});

// The main window title after a load: the model and firmware after a good
// load, the bare title after a failed one, unchanged otherwise.
std::string TitleAfterLoad(LoadResult result, const std::string& base_title, const std::string& current_title);

}  // namespace tavrik
