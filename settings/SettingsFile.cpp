#include "settings/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <memory>

#include "settings/update_settings_def.h"

namespace tavrik {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// A temporary file in the target's folder, removed unless committed.
class TempFile {
 public:
  explicit TempFile(const std::string& target) : path_(target + ".XXXXXX") {
    fd_ = ::mkstemp(path_.data());
    created_ = fd_ >= 0;
  }
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && created_) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  // Flushes, closes and renames over `target`.
  bool Commit(const std::string& target) {
    if (::fsync(fd_) != 0) return false;
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return false;
    if (::rename(path_.c_str(), target.c_str()) != 0) return false;
    committed_ = true;
    return true;
  }

 private:
  std::string path_;
  int fd_ = -1;
  bool committed_ = false;
  bool created_ = false;
};

}  // namespace

const char* FileResultText(FileResult result) {
  switch (result) {
    case FileResult::ok: return "";
    case FileResult::open_error: return "Ошибка открытия файла";
    case FileResult::write_error: return "Ошибка записи в файл";
    case FileResult::read_error: return "Ошибка чтения из файла";
    case FileResult::signature_error: return "Ошибка сигнатуры файла";
    case FileResult::corrupt: return "Данные в файле повреждены";
    case FileResult::newer_version: return "Новая версия настроек. Для загрузки необходимо обновить программу";
  }
  return "";
}

FileResult WriteSettingsFile(const std::string& chosen, const Settings& settings) {
  if (chosen.empty()) return FileResult::open_error;
  // Through a link the file it names is replaced, not the link.
  std::string path = chosen;
  if (char* real = ::realpath(chosen.c_str(), nullptr)) {
    path = real;
    std::free(real);
  }
  TempFile temp(path);
  if (!temp.ok()) return FileResult::open_error;
  // The file gets the permissions a newly created file would get, not mkstemp's 0600;
  // an existing file keeps its own.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    ::fchmod(temp.fd(), st.st_mode & 07777);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(temp.fd(), 0666 & ~mask);
  }
  if (!WriteAll(temp.fd(), reinterpret_cast<const std::uint8_t*>(kSettingsFileSignature), 4))
    return FileResult::write_error;
  std::uint8_t image[kPlacementSize] = {};
  InitPlacement(image, &settings);
  if (!WriteAll(temp.fd(), image, sizeof image)) return FileResult::write_error;
  if (!temp.Commit(path)) return FileResult::write_error;
  return FileResult::ok;
}

FileResult ReadSettingsFile(const std::string& path, Settings& settings) {
  File f(std::fopen(path.c_str(), "rb"));
  if (!f) return FileResult::open_error;
  struct stat st {};
  if (::fstat(::fileno(f.get()), &st) != 0 || S_ISDIR(st.st_mode)) return FileResult::open_error;

  char signature[4];
  if (std::fread(signature, 1, 4, f.get()) != 4) return FileResult::read_error;
  if (std::memcmp(signature, kSettingsFileSignature, 4) != 0) return FileResult::signature_error;

  if (std::fseek(f.get(), 0, SEEK_END) != 0) return FileResult::read_error;
  const long length = std::ftell(f.get());
  if (length < 0 || std::fseek(f.get(), 4, SEEK_SET) != 0) return FileResult::read_error;
  const long remaining = length - 4;

  std::uint8_t header[3];
  if (std::fread(header, 1, 1, f.get()) != 1) return FileResult::read_error;
  if (static_cast<std::int8_t>(header[0]) > kPlacementVersion) return FileResult::newer_version;
  if (std::fread(header + 1, 1, 2, f.get()) != 2) return FileResult::read_error;
  const std::int16_t size = PlacementSize(header);
  if (size != remaining) return FileResult::corrupt;

  if (std::fseek(f.get(), 4, SEEK_SET) != 0) return FileResult::read_error;
  std::uint8_t image[kPlacementSize] = {};
  const std::size_t want = std::min<std::size_t>(static_cast<std::uint16_t>(size), kPlacementSize);
  if (std::fread(image, 1, want, f.get()) != want) return FileResult::read_error;

  Settings read = settings;
  SettingsFromPlacement(read, image);
  settings = read;
  return FileResult::ok;
}

}  // namespace tavrik
