#pragma once
// The time seam of the device layer: the millisecond tick count and sleeping
// that the protocol's busy pause and the mode poll use. Tests install a manual
// clock so that those waits cost no real time.

#include <atomic>
#include <cstdint>
#include <vector>
#include <mutex>

namespace tavrik {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; wraps around, compare by unsigned difference.
  virtual std::uint32_t TickCount() = 0;
  virtual void Sleep(std::uint32_t ms) = 0;
  // Called while the serial port waits for the line, at least every
  // kIdleSliceMs: a window that blocks on a device action repaints here.
  virtual void Idle() {}
};
inline constexpr std::uint32_t kIdleSliceMs = 50;

// The steady clock of the machine and a real sleep.
class SystemClock final : public Clock {
 public:
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t ms) override;
};

// A clock that only moves when it sleeps (or is advanced): every Sleep returns at
// once. Safe to read from another thread, such as a scanner emulator's.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(std::uint32_t start = 0) : now_(start) {}
  std::uint32_t TickCount() override { return now_.load(); }
  void Sleep(std::uint32_t ms) override;
  void Advance(std::uint32_t ms) { now_ += ms; }
  // Every Sleep so far, in order.
  std::vector<std::uint32_t> Sleeps() const;

 private:
  std::atomic<std::uint32_t> now_;
  mutable std::mutex mutex_;
  std::vector<std::uint32_t> sleeps_;
};

// The process-wide clock; the system clock until another is installed.
Clock& CurrentClock();
// Installs `clock` (null: the system clock again); returns the one before.
Clock* SetCurrentClock(Clock* clock);

// Installs a clock for one scope.
class ScopedClock {
 public:
  explicit ScopedClock(Clock& clock) : previous_(SetCurrentClock(&clock)) {}
  ~ScopedClock() { SetCurrentClock(previous_); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  Clock* previous_;
};

}  // namespace tavrik
