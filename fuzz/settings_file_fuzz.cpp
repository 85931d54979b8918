// The settings file reader over any file contents: no crash, and the record
// is exactly as it was after every error.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"

namespace {

// One file in memory, rewritten for every input: no disk, nothing left behind.
int MemoryFile() {
  static const int fd = memfd_create("tavrik-fuzz.qdx", MFD_CLOEXEC);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = MemoryFile();
  if (fd < 0 || ftruncate(fd, 0) != 0) std::abort();
  if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  const std::string path = "/proc/self/fd/" + std::to_string(fd);

  tavrik::SetCurrentModel(size > 0 ? data[size - 1] : 0);
  tavrik::Settings settings{};
  tavrik::LoadDefaults(settings);
  settings.volume = 3;  // a record the user has changed
  const tavrik::Settings before = settings;
  const tavrik::FileResult result = tavrik::ReadSettingsFile(path, settings);
  if (result != tavrik::FileResult::ok && !(settings == before)) std::abort();
  if (result == tavrik::FileResult::ok && size < 4 + 3) std::abort();
  return 0;
}
