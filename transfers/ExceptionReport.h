#pragma once
// Turns the exception being handled into the one message box the user sees.

#include <string>

#include "core/Messages.h"

namespace tavrik {

inline constexpr int show_exception_mode = 0;

// The text of the exception being handled: an object_description's text, a
// std::exception's what(), or "Неизвестное исключение". Meant for a catch block;
// outside one it gives "Неизвестное исключение" (and asserts in debug builds).
std::string CurrentExceptionText();

// Shows CurrentExceptionText() with the caption "Внимание", the error icon and
// no owner, through the Dialogs seam. Call only inside a catch block.
void HandleException(int mode = show_exception_mode);

}  // namespace tavrik
