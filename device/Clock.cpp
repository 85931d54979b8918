#include "device/Clock.h"

#include <chrono>
#include <thread>

namespace tavrik {
namespace {

SystemClock system_clock;
std::atomic<Clock*> current_clock{&system_clock};

}  // namespace

std::uint32_t SystemClock::TickCount() {
  const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count());
}

void SystemClock::Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void ManualClock::Sleep(std::uint32_t ms) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    sleeps_.push_back(ms);
  }
  now_ += ms;
}

std::vector<std::uint32_t> ManualClock::Sleeps() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sleeps_;
}

Clock& CurrentClock() { return *current_clock.load(); }

Clock* SetCurrentClock(Clock* clock) { return current_clock.exchange(clock ? clock : &system_clock); }

}  // namespace tavrik
