#pragma once
// The program's run: the Qt texts in Russian, the desktop's message boxes,
// the main window and the one event loop.

class QApplication;

namespace tavrik {

// Runs until the main window is closed; returns the exit status, 1.
int RunTavrik(QApplication& app);

}  // namespace tavrik
