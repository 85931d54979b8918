#pragma once
// Turns the exception being handled into one message box: the text of an
// object_description, the what() of a standard exception, or "Неизвестное
// исключение" for anything else; caption "Внимание", error icon, no owner.

namespace tavrik {

enum HandlerMode { show_exception_mode = 0 };

// Call only from inside a catch block: the exception is re-raised to be
// classified and is consumed. Outside one it shows nothing.
void HandleException(HandlerMode mode = show_exception_mode);

}  // namespace tavrik
