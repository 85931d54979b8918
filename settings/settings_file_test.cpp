#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "settings/SettingsFile.h"
#include "settings/update_settings_def.h"
#include "testsupport/TempDir.h"

namespace tavrik {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }
  void TearDown() override { ResetProcessState(); }
  std::string Path(const std::string& name) const { return temp_.Path(name); }

  static void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  static Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  // "QDX0" followed by the image of `s`, declared size `size`, `length` image bytes.
  static Bytes FileBytes(const Settings& s, std::int16_t size, std::size_t length, std::uint8_t version = 1) {
    std::array<std::uint8_t, kPlacementSize> image{};
    InitPlacement(image.data(), &s);
    image[0] = version;
    SetPlacementSize(image.data(), size);
    Bytes out = {'Q', 'D', 'X', '0'};
    for (std::size_t i = 0; i < length; ++i) out.push_back(i < image.size() ? image[i] : 0xA5);
    return out;
  }
  static Settings Edited() {
    Settings s{};
    LoadDefaults(s);
    s.code128_enabled = false;
    s.barcode_interface = uart;
    s.barcode_prefix_ascii = {3, {'A', 'B', 'C'}};
    s.inter_barcode_delay = 4321;
    s.lens_lower = -7;
    return s;
  }

  // A record unlike `s` in every field a reader could touch.
  static Settings DistinctFrom(const Settings& s) {
    Settings r = s;
    r.code128_enabled = !s.code128_enabled;
    r.volume = 1;
    r.inter_barcode_delay = 7;
    r.barcode_prefix_ascii = {1, {'Z'}};
    return r;
  }

  test::TempDir temp_{"tavrik-settings"};
  const fs::path& dir_ = temp_.path();
};

TEST_F(SettingsFileTest, WrittenFileIsSignatureAndCurrentImage) {
  const Settings s = Edited();
  ASSERT_EQ(WriteSettingsFile(Path("a.qdx"), s), FileResult::ok);
  const Bytes bytes = ReadBytes(Path("a.qdx"));
  ASSERT_EQ(bytes.size(), 272u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 7), (Bytes{'Q', 'D', 'X', '0', 0x01, 0x0C, 0x01}));
  EXPECT_EQ(bytes[4 + 265], 4321 & 0xFF);
  EXPECT_EQ(bytes[4 + kReservedOffset], 0) << "a fresh image's reserved byte is 0";

  Settings back{};
  LoadDefaults(back);
  ASSERT_EQ(ReadSettingsFile(Path("a.qdx"), back), FileResult::ok);
  EXPECT_TRUE(back == s);
  // Nothing but the file is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(SettingsFileTest, ReaderErrorsLeaveTheRecordUntouched) {
  const Settings s = Edited();
  Bytes valid = FileBytes(s, 268, 268);
  Bytes one_more = valid;
  one_more.push_back(0);
  Bytes bad_signature = valid;
  bad_signature[3] = '1';
  struct Case {
    const char* name;
    Bytes bytes;
    FileResult expected;
  };
  const Case cases[] = {
      /*0*/ {"empty", {}, FileResult::read_error},
      /*1*/ {"short signature", {'Q', 'D'}, FileResult::read_error},
      /*2*/ {"signature only", {'Q', 'D', 'X', '0'}, FileResult::read_error},
      /*3*/ {"no size", {'Q', 'D', 'X', '0', 1, 0x0C}, FileResult::read_error},
      /*4*/ {"not a settings file", {'P', 'K', 3, 4, 1, 2, 3, 4, 5}, FileResult::signature_error},
      /*5*/ {"wrong signature digit", bad_signature, FileResult::signature_error},
      /*6*/ {"size 268 but 271 bytes", FileBytes(s, 268, 267), FileResult::corrupt},
      /*7*/ {"one byte appended", one_more, FileResult::corrupt},
      /*8*/ {"size with the top bit set", FileBytes(s, static_cast<std::int16_t>(0x810C), 268), FileResult::corrupt},
      /*9*/ {"version 2", FileBytes(s, 268, 268, 2), FileResult::newer_version},
      /*10*/ {"version 0x7F before a bad size", FileBytes(s, 5, 268, 0x7F), FileResult::newer_version},
      /*11*/ {"version 3", FileBytes(s, 268, 268, 3), FileResult::newer_version},
      // No program writes a negative version; 0xFF is erased memory: damaged, as in a scanner.
      /*12*/ {"erased version byte 0xFF", FileBytes(s, 268, 268, 0xFF), FileResult::corrupt},
      /*13*/ {"version 0x80", FileBytes(s, 268, 268, 0x80), FileResult::corrupt},
      /*14*/ {"version 0xFE", FileBytes(s, 268, 268, 0xFE), FileResult::corrupt},
      // Past the largest image its size field can declare: refused without reading it whole.
      /*15*/ {"one byte over the largest file", FileBytes(s, 0x7FFF, 0x7FFF + 1), FileResult::corrupt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Path("f.qdx"), c.bytes);
    Settings record = DistinctFrom(s);
    const Settings before = record;
    EXPECT_EQ(ReadSettingsFile(Path("f.qdx"), record), c.expected);
    EXPECT_TRUE(record == before);
  }
  Settings record{};
  EXPECT_EQ(ReadSettingsFile(Path("missing.qdx"), record), FileResult::open_error);
  EXPECT_EQ(ReadSettingsFile(dir_.string(), record), FileResult::open_error);
}

TEST_F(SettingsFileTest, AcceptedFiles) {
  const Settings s = Edited();
  SetCurrentModel(204);
  Settings model_defaults{};
  LoadDefaults(model_defaults);
  struct Case {
    const char* name;
    Bytes bytes;
    bool all_fields;  // otherwise fields from offset 176 on take the model's defaults
  };
  const Case cases[] = {
      /*0*/ {"version 0 of an older program", FileBytes(s, 268, 268, 0), true},
      /*3*/ {"the largest image its size field can declare", FileBytes(s, 0x7FFF, 0x7FFF), true},
      /*1*/ {"older program: 176-byte image, 180-byte file", FileBytes(s, 176, 176), false},
      /*2*/ {"newer scanner: 300-byte image", FileBytes(s, 300, 300), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Path("f.qdx"), c.bytes);
    Settings record{};
    ASSERT_EQ(ReadSettingsFile(Path("f.qdx"), record), FileResult::ok);
    if (c.all_fields) {
      EXPECT_TRUE(record == s);
    } else {
      EXPECT_EQ(record.code128_enabled, s.code128_enabled);
      EXPECT_EQ(record.lens_lower, s.lens_lower);
      EXPECT_EQ(record.barcode_prefix_ascii, model_defaults.barcode_prefix_ascii);
      EXPECT_EQ(record.inter_barcode_delay, model_defaults.inter_barcode_delay);
      EXPECT_EQ(record.gs1_ai_brackets, model_defaults.gs1_ai_brackets);
    }
  }
}

// A rewrite over the image read keeps what the record cannot hold.
TEST_F(SettingsFileTest, RewriteKeepsWhatTheRecordCannotHold) {
  const Settings s = Edited();
  struct Case {
    const char* name;
    std::int16_t size;
    std::uint8_t version;
    std::size_t written;  // image bytes of the new file
  };
  const Case cases[] = {
      /*0*/ {"newer scanner's 300 bytes: the tail stays", 300, 1, 300},
      /*1*/ {"current layout", 268, 1, 268},
      /*2*/ {"older 176 bytes: grown to ours", 176, 1, 268},
      /*3*/ {"version 0 becomes ours", 268, 0, 268},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file = FileBytes(s, c.size, static_cast<std::size_t>(c.size), c.version);
    if (file.size() > 4 + kReservedOffset) file[4 + kReservedOffset] = 0x77;
    WriteBytes(Path("f.qdx"), file);
    Settings record{};
    Bytes image;
    ASSERT_EQ(ReadSettingsFile(Path("f.qdx"), record, &image), FileResult::ok);
    EXPECT_EQ(image, Bytes(file.begin() + 4, file.end()));
    record.volume = 2;
    ASSERT_EQ(WriteSettingsFile(Path("f.qdx"), record, image), FileResult::ok);
    const Bytes after = ReadBytes(Path("f.qdx"));
    ASSERT_EQ(after.size(), 4 + c.written);
    EXPECT_EQ(after[4], 1);
    EXPECT_EQ(PlacementSize(after.data() + 4), static_cast<std::int16_t>(c.written));
    EXPECT_EQ(after[4 + 51], 2) << "volume";
    EXPECT_EQ(after[4 + kReservedOffset], 0x77);
    for (std::size_t i = 4 + kPlacementSize; i < after.size(); ++i) ASSERT_EQ(after[i], 0xA5) << "byte " << i;
    Settings back{};
    ASSERT_EQ(ReadSettingsFile(Path("f.qdx"), back), FileResult::ok);
    EXPECT_TRUE(back == record);
  }
}

TEST_F(SettingsFileTest, FailedWriteKeepsTheExistingFile) {
  const Settings s = Edited();
  ASSERT_EQ(WriteSettingsFile(Path("keep.qdx"), s), FileResult::ok);
  const Bytes good = ReadBytes(Path("keep.qdx"));

  // A file size limit lets the temporary file be created but not filled: a full disk.
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  Settings other = s;
  other.code128_enabled = true;
  const FileResult full = WriteSettingsFile(Path("keep.qdx"), other);
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(full, FileResult::write_error);
  EXPECT_EQ(ReadBytes(Path("keep.qdx")), good);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1) << "no temporary left";

  // A folder that cannot take a new file cannot open the target either. Root
  // passes every mode check, so a root run (CI's) tries it as an ordinary user
  // in a child process.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0 &&
        (::chown(dir_.c_str(), kNobody, kNobody) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(3);
    }
    if (::chmod(dir_.c_str(), 0555) != 0) ::_exit(4);
    ::_exit(WriteSettingsFile(Path("keep.qdx"), other) == FileResult::open_error ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(dir_.c_str(), 0, 0), 0);
  }
  ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: not refused; 3, 4: the user could not be arranged";
  EXPECT_EQ(ReadBytes(Path("keep.qdx")), good);
  EXPECT_EQ(WriteSettingsFile(Path("no/such/folder.qdx"), other), FileResult::open_error);
  EXPECT_EQ(WriteSettingsFile("", other), FileResult::open_error);
}

TEST_F(SettingsFileTest, OverwriteKeepsPermissionsAndWritesThroughALink) {
  const Settings s = Edited();
  ASSERT_EQ(WriteSettingsFile(Path("real.qdx"), s), FileResult::ok);
  ::chmod(Path("real.qdx").c_str(), 0640);
  fs::create_symlink(Path("real.qdx"), Path("link.qdx"));
  Settings other = s;
  other.volume = 3;
  ASSERT_EQ(WriteSettingsFile(Path("link.qdx"), other), FileResult::ok);
  EXPECT_TRUE(fs::is_symlink(Path("link.qdx")));
  struct stat st {};
  ASSERT_EQ(::stat(Path("real.qdx").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  Settings back{};
  ASSERT_EQ(ReadSettingsFile(Path("real.qdx"), back), FileResult::ok);
  EXPECT_EQ(back.volume, 3);
}

TEST(SettingsFileTexts, StringTable) {
  EXPECT_STREQ(FileResultText(FileResult::open_error), "Ошибка открытия файла");
  EXPECT_STREQ(FileResultText(FileResult::write_error), "Ошибка записи в файл");
  EXPECT_STREQ(FileResultText(FileResult::read_error), "Ошибка чтения из файла");
  EXPECT_STREQ(FileResultText(FileResult::signature_error), "Ошибка сигнатуры файла");
  EXPECT_STREQ(FileResultText(FileResult::corrupt), "Данные в файле повреждены");
  EXPECT_STREQ(FileResultText(FileResult::newer_version),
               "Новая версия настроек. Для загрузки необходимо обновить программу");
}

}  // namespace
}  // namespace tavrik
