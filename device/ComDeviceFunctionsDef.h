#pragma once
// Opening a port the way every device action of the program does.

#include <cstdint>
#include <string>

namespace tavrik {

class CComDevice;

// Open with `path`, then SetSpeed(baud), then SetTimeout(timeout_ms). An
// exception of any step propagates; when the speed or time-out fails the port
// stays open and the device's destructor closes it. Requires device != NULL.
void OpenDevice(CComDevice* device, const std::string& path, std::uint32_t baud,
                std::uint32_t timeout_ms);

}  // namespace tavrik
