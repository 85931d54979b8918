// The scanner protocol and every device operation over a device whose answers
// are the fuzzer's bytes. The clock is a manual one, so the busy pauses and
// the mode poll cost no time.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "device/Clock.h"
#include "device/ScannerInterface.h"

namespace {

// A scanner that answers with the next bytes of the input and goes silent
// (a time-out) when they run out.
class ReplayDevice final : public tavrik::CBasicDevice {
 public:
  explicit ReplayDevice(FuzzedDataProvider& input) : input_(input) {}
  bool IsOpen() const override { return true; }
  void Write(const std::uint8_t* data, std::uint32_t size) override {
    if (size == 0 || data == nullptr) std::abort();
    written_ += size;
  }
  void WriteByte(std::uint8_t) override { ++written_; }
  void Read(std::uint8_t* data, std::uint32_t size) override {
    if (size == 0 || data == nullptr) std::abort();
    const std::vector<std::uint8_t> bytes = input_.ConsumeBytes<std::uint8_t>(size);
    std::copy(bytes.begin(), bytes.end(), data);
    if (bytes.size() < size) throw CException();
  }
  std::uint8_t ReadByte() override {
    if (input_.remaining_bytes() == 0) throw CException();
    return input_.ConsumeIntegral<std::uint8_t>();
  }
  void ClearError() override {}
  void PurgeInput() override {}
  void PurgeOutput() override {}

 private:
  FuzzedDataProvider& input_;
  std::uint64_t written_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using SI = tavrik::CScannerInterface;
  FuzzedDataProvider input(data, size);
  tavrik::ManualClock clock;
  tavrik::ScopedClock scoped(clock);
  ReplayDevice device(input);
  SI scanner(&device);
  try {
    tavrik::DeviceInfo info;
    scanner.GetDeviceInfo(&info, input.ConsumeBool());
    tavrik::DeviceState state;
    scanner.GetDeviceState(&state);
    scanner.SetDeviceState(state);
    std::uint8_t value = 0;
    scanner.GetSpeedIndex(&value);
    scanner.SetSpeedIndex(input.ConsumeIntegralInRange<std::uint8_t>(0, tavrik::speeds_size - 1));
    scanner.GetInterface(&value);
    bool flag = false;
    scanner.GetPressed(&flag);
    scanner.SetPressed(flag);
    scanner.GetHasBeenPressed(&flag);
    scanner.SetHasBeenPressed(flag);
    std::uint8_t memory[600];
    const std::uint32_t length = input.ConsumeIntegralInRange<std::uint32_t>(0, sizeof memory);
    const std::uint32_t block = input.ConsumeIntegralInRange<std::uint32_t>(1, SI::max_r_block_size);
    scanner.ReadMemory(tavrik::SETTINGS_ADDRESS, memory, length, nullptr, nullptr, block);
    scanner.WriteMemory(tavrik::SETTINGS_ADDRESS, memory, length, nullptr, nullptr,
                        std::min<std::uint32_t>(block, SI::max_w_block_size - 5));
    SI::ErrorName(input.ConsumeIntegral<std::int32_t>());
    tavrik::SwitchDeviceMode(scanner, input.ConsumeBool());
  } catch (const tavrik::object_description&) {
    // An error for the user: the protocol's way of failing.
  }
  try {
    tavrik::ChangeSpeed(scanner, input.ConsumeIntegralInRange<std::uint8_t>(0, tavrik::speeds_size - 1),
                        input.ConsumeBool());
  } catch (const tavrik::object_description&) {
  }
  return 0;
}
