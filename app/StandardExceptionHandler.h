#pragma once
// The standard exception handler of the desktop program: HandleException turns
// the exception being handled into one message box (the text of an
// object_description, the what() of a standard exception, or "Неизвестное
// исключение"; caption "Внимание", error icon, no owner) through the Dialogs
// seam. It is free of widgets and shared with the command-line tool, so its
// one implementation lives with the device transfers; the desktop program
// installs the Qt message boxes behind the seam.

#include "transfers/ExceptionReport.h"
