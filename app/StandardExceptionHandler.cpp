#include "app/StandardExceptionHandler.h"

#include <cassert>
#include <exception>
#include <string>

#include "app/ShellTexts.h"
#include "core/Dialogs.h"
#include "device/object_description.h"

namespace tavrik {

void HandleException([[maybe_unused]] HandlerMode mode) {
  assert(mode == show_exception_mode);
  // A bare rethrow without an exception would end the program.
  if (!std::current_exception()) return;
  std::string message;
  try {
    throw;
  } catch (const object_description& e) {
    message = e.GetText();
  } catch (const std::exception& e) {
    message = e.what();
  } catch (...) {
    message = kShellText.unknown_exception;
  }
  MessageBox box;
  box.text = message;
  box.caption = kShellText.exception_caption;
  box.icon = Icon::error;
  box.ownerless = true;
  CurrentDialogs().Show(box);
}

}  // namespace tavrik
