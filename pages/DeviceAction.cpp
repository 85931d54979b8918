#include "pages/DeviceAction.h"

#include <QApplication>
#include <QEvent>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <vector>

#include "core/Dialogs.h"
#include "device/Clock.h"
#include "device/ComDevice.h"

namespace tavrik {
namespace {

int running_actions = 0;

struct PortFailureHandler {
  QPointer<QObject> context;
  std::function<void()> handler;
};
std::vector<PortFailureHandler>& PortFailureHandlers() {
  static std::vector<PortFailureHandler> handlers;
  return handlers;
}

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    // The window's close button is input too: the window stays until the action ends.
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

// Eats the user input addressed to one window and its controls.
class CInputBlocker final : public QObject {
 public:
  explicit CInputBlocker(QWidget* window) : window_(window) {}

 protected:
  bool eventFilter(QObject* target, QEvent* event) override {
    if (!window_ || !IsUserInput(event->type())) return false;
    if (target->isWidgetType()) {
      if (static_cast<QWidget*>(target)->window() != window_) return false;
    } else if (target != window_->windowHandle()) {
      return false;
    }
    event->ignore();
    return true;
  }

 private:
  QPointer<QWidget> window_;
};

// The system clock, with its waits spent handling the window's events.
class CPumpingClock final : public Clock {
 public:
  explicit CPumpingClock(Clock& inner) : inner_(inner) {}
  std::uint32_t TickCount() override { return inner_.TickCount(); }
  void Sleep(std::uint32_t ms) override {
    const std::uint32_t start = inner_.TickCount();
    for (;;) {
      CDeviceAction::Pump();
      const std::uint32_t spent = inner_.TickCount() - start;
      if (spent >= ms) return;
      inner_.Sleep(std::min<std::uint32_t>(ms - spent, 10));
    }
  }
  void Idle() override { CDeviceAction::Pump(); }

 private:
  Clock& inner_;
};

// The dialogs of the action show the normal cursor over themselves.
class CArrowDialogs final : public Dialogs {
 public:
  explicit CArrowDialogs(Dialogs& inner) : inner_(inner) {}
  Answer Show(const MessageBox& box) override {
    Arrow arrow;
    if (IsPortErrorText(box.text)) port_failed_ = true;
    return inner_.Show(box);
  }
  bool PortFailed() const { return port_failed_; }
  std::optional<std::string> OpenFileName(const FileDialog& dialog) override {
    Arrow arrow;
    return inner_.OpenFileName(dialog);
  }
  std::optional<std::string> SaveFileName(const FileDialog& dialog) override {
    Arrow arrow;
    return inner_.SaveFileName(dialog);
  }
  void Beep() override { inner_.Beep(); }

 private:
  struct Arrow {
    Arrow() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~Arrow() { QApplication::restoreOverrideCursor(); }
  };
  Dialogs& inner_;
  bool port_failed_ = false;
};

}  // namespace

struct CDeviceAction::Impl {
  explicit Impl(QWidget* window)
      : blocker(window), clock(CurrentClock()), scoped_clock(clock), dialogs(CurrentDialogs()) {}
  CInputBlocker blocker;
  CPumpingClock clock;
  ScopedClock scoped_clock;
  CArrowDialogs dialogs;
  Dialogs* previous_dialogs = nullptr;
};

CDeviceAction::CDeviceAction(QWidget* widget) : impl_(std::make_unique<Impl>(widget->window())) {
  ++running_actions;
  qApp->installEventFilter(&impl_->blocker);
  impl_->previous_dialogs = SetCurrentDialogs(&impl_->dialogs);
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

CDeviceAction::~CDeviceAction() {
  // What the user typed or clicked meanwhile is dropped here, while the
  // blocker still eats it.
  QCoreApplication::processEvents();
  QApplication::restoreOverrideCursor();
  SetCurrentDialogs(impl_->previous_dialogs);
  qApp->removeEventFilter(&impl_->blocker);
  --running_actions;
  if (!impl_->dialogs.PortFailed()) return;
  std::vector<PortFailureHandler>& handlers = PortFailureHandlers();
  handlers.erase(std::remove_if(handlers.begin(), handlers.end(), [](const PortFailureHandler& h) { return !h.context; }),
                 handlers.end());
  // A copy: a handler may subscribe another one.
  const std::vector<PortFailureHandler> now = handlers;
  for (const PortFailureHandler& h : now) {
    if (h.context) h.handler();
  }
}

void CDeviceAction::OnPortFailure(QObject* context, std::function<void()> handler) {
  PortFailureHandlers().push_back({context, std::move(handler)});
}

void CDeviceAction::Pump() {
  // Only the window's own thread handles its events (an emulator thread may
  // read the same clock in tests).
  if (QThread::currentThread() != qApp->thread()) return;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool CDeviceAction::Running() { return running_actions > 0; }

}  // namespace tavrik
