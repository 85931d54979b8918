#include "transfers/ExceptionReport.h"

#include <cassert>
#include <exception>

#include "core/Dialogs.h"
#include "device/object_description.h"

namespace tavrik {

std::string CurrentExceptionText() {
  // Re-throwing with no exception in flight would end the program.
  assert(std::current_exception() && "called inside a catch block");
  if (!std::current_exception()) return kUnknownExceptionText;
  try {
    throw;
  } catch (const object_description& e) {
    return e.GetText();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return kUnknownExceptionText;
  }
}

void HandleException(int mode) {
  assert(mode == show_exception_mode && "mode == show_exception_mode");
  (void)mode;
  MessageBox box{CurrentExceptionText(), kExceptionReport.caption, kExceptionReport.icon, kExceptionReport.buttons,
                 kExceptionReport.default_answer};
  box.ownerless = true;
  CurrentDialogs().Show(box);
}

}  // namespace tavrik
