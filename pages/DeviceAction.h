#pragma once
// How the window blocks while a device action runs on its one thread.
//
// A search over several ports or a silent scanner takes many seconds. The
// action keeps the user-interface thread, but between protocol steps (the
// protocol's pauses, and every slice of a wait for the line) the window
// handles paint and window-manager events, never user input: the desktop
// sees a live window and the progress texts are drawn, while no click or key
// reaches the window until the action is over. Input that arrives meanwhile
// is dropped, not replayed afterwards. Message boxes and file dialogs the
// action shows take input as usual and show the normal cursor over them.

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

namespace tavrik {

class CDeviceAction {
 public:
  // Blocks `window` (the top-level window of the widget given) for the
  // lifetime of the object, under the wait cursor.
  explicit CDeviceAction(QWidget* widget);
  ~CDeviceAction();
  CDeviceAction(const CDeviceAction&) = delete;
  CDeviceAction& operator=(const CDeviceAction&) = delete;

  // Lets the window repaint and handle window-manager events now.
  static void Pump();
  // Whether a device action is running.
  static bool Running();

  // Told each time a device action ends after it showed the message of a port
  // that would not open: the moment to offer the port diagnosis. `context`
  // ends the subscription when it is destroyed.
  static void OnPortFailure(QObject* context, std::function<void()> handler);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tavrik
