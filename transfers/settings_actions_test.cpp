// The settings page's file and barcode actions through scripted dialogs:
// what each dialog offers, what is written and read, and every message.

#include <gtest/gtest.h>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "barcodes/BarcodeFormats.h"
#include "barcodes/GroupBarcode.h"
#include "barcodes/tests/test_images.h"
#include "core/ScriptedDialogs.h"
#include "settings/SettingsFile.h"
#include "settings/init_settings_def.h"
#include "transfers/SettingsActions.h"

namespace tavrik {
namespace {

class SettingsActionsTest : public test::TempDirTest {
 protected:
  void SetUp() override { ResetProcessState(); }
  void TearDown() override {
    ResetProcessState();
    test::TempDirTest::TearDown();
  }
  void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(dir_ + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  ScriptedDialogs dialogs_;
};

TEST_F(SettingsActionsTest, FileDialogsOfferTheSettingsFilters) {
  const FileDialog save = SettingsSaveDialog();
  ASSERT_EQ(save.filters.size(), 1u);
  EXPECT_EQ(save.filters[0].name, "Файлы настроек (*.qdx)");
  EXPECT_EQ(save.filters[0].pattern, "*.qdx");
  EXPECT_EQ(save.default_extension, "qdx");
  const FileDialog open = SettingsOpenDialog();
  ASSERT_EQ(open.filters.size(), 2u);
  EXPECT_EQ(open.filters[0].pattern, "*.qdx");
  EXPECT_EQ(open.filters[1].name, "Все файлы (*.*)");
  EXPECT_EQ(open.filters[1].pattern, "*.*");
  EXPECT_EQ(open.default_extension, "qdx");
  const FileDialog barcodes = BarcodeSaveDialog();
  ASSERT_GE(barcodes.filters.size(), 1u);
  EXPECT_EQ(barcodes.filters[0].name, "Метафайлы (*.emf)");
  EXPECT_EQ(barcodes.filters[0].pattern, "*.emf");
  EXPECT_EQ(barcodes.default_extension, "emf");
}

TEST_F(SettingsActionsTest, FileRoundTripThroughTheDialogs) {
  CurrentSettings().volume = 3;
  CurrentSettings().code128_enabled = false;
  const Settings saved = CurrentSettings();
  dialogs_.files = {dir_ + "/mine.qdx"};
  EXPECT_EQ(SaveSettingsToFile(), FileAction::done);
  ASSERT_EQ(dialogs_.file_dialogs.size(), 1u);
  EXPECT_EQ(dialogs_.file_dialogs[0].filters.size(), 1u);
  EXPECT_EQ(std::filesystem::file_size(dir_ + "/mine.qdx"), 272u);

  LoadDefaults(CurrentSettings());
  dialogs_.files = {dir_ + "/mine.qdx"};
  EXPECT_EQ(LoadSettingsFromFile(), FileAction::done);
  EXPECT_EQ(dialogs_.file_dialogs.back().filters.size(), 2u);
  EXPECT_TRUE(CurrentSettings() == saved);
  EXPECT_TRUE(dialogs_.shown.empty());

  // Cancelled dialogs: nothing shown, nothing changed.
  LoadDefaults(CurrentSettings());
  const Settings before = CurrentSettings();
  EXPECT_EQ(SaveSettingsToFile(), FileAction::cancelled);
  EXPECT_EQ(LoadSettingsFromFile(), FileAction::cancelled);
  EXPECT_TRUE(CurrentSettings() == before);
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(SettingsActionsTest, FileErrorsShowTheirMessageAndKeepTheRecord) {
  std::vector<std::uint8_t> good;
  {
    ASSERT_EQ(WriteSettingsFile(dir_ + "/good.qdx", CurrentSettings()), FileResult::ok);
    good = test::ReadFileBytes(dir_ + "/good.qdx");
  }
  auto with = [&](std::size_t offset, std::uint8_t value) {
    auto b = good;
    b[offset] = value;
    return b;
  };
  auto longer = good;
  longer.push_back(0);
  WriteBytes("signature.qdx", with(0, 'X'));
  WriteBytes("short.qdx", {'Q', 'D', 'X', '0'});
  WriteBytes("longer.qdx", longer);
  WriteBytes("newer.qdx", with(4, 2));
  struct Case {
    std::string name;
    const char* text;
  };
  const Case cases[] = {
      /*0*/ {"missing.qdx", "Ошибка открытия файла"},
      /*1*/ {"short.qdx", "Ошибка чтения из файла"},
      /*2*/ {"signature.qdx", "Ошибка сигнатуры файла"},
      /*3*/ {"longer.qdx", "Данные в файле повреждены"},
      /*4*/ {"newer.qdx", "Новая версия настроек. Для загрузки необходимо обновить программу"},
  };
  CurrentSettings().volume = 2;
  const Settings before = CurrentSettings();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs_.shown.clear();
    dialogs_.files = {dir_ + "/" + c.name};
    EXPECT_EQ(LoadSettingsFromFile(), FileAction::failed);
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].text, c.text);
    EXPECT_EQ(dialogs_.shown[0].icon, Icon::error);
    EXPECT_EQ(dialogs_.shown[0].caption, "");
    EXPECT_TRUE(CurrentSettings() == before);
  }

  // A folder that does not exist cannot take the file.
  dialogs_.shown.clear();
  dialogs_.files = {dir_ + "/no/such/folder.qdx"};
  EXPECT_EQ(SaveSettingsToFile(), FileAction::failed);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Ошибка открытия файла"});
}

// The metafile drawn by an independent renderer, then read by the decoder.
test::Decoded DecodeMetafile(const std::string& path, const ag_matrix& symbol, const std::string& work) {
  const int scale = 3, side = static_cast<int>(symbol.width) * scale, page = side + 8 * scale;
  const std::string offset = std::to_string(4 * scale);
  const std::string command = "emf2svg-conv -i '" + path + "' -o '" + work + ".svg' >/dev/null 2>&1 && " +
                              "rsvg-convert -z 3 -b white --left " + offset + " --top " + offset +
                              " --page-width " + std::to_string(page) + " --page-height " + std::to_string(page) +
                              " -o '" + work + ".png' '" + work + ".svg' 2>/dev/null";
  if (std::system(command.c_str()) != 0) return {};
  const auto image = test::ReadPng(work + ".png");
  return image ? test::DecodeAztec(*image) : test::Decoded{};
}

TEST_F(SettingsActionsTest, SaveAsBarcodeWritesBothFilesThatDecode) {
  ASSERT_TRUE(test::OnPath("emf2svg-conv") && test::OnPath("rsvg-convert"));
  CurrentSettings().volume = 4;
  dialogs_.files = {dir_ + "/scan.emf"};
  ASSERT_EQ(SaveAsBarcode(false), FileAction::done);
  EXPECT_TRUE(dialogs_.shown.empty());
  ASSERT_EQ(dialogs_.file_dialogs.size(), 1u);
  EXPECT_EQ(dialogs_.file_dialogs[0].default_extension, "emf");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"scan_New.emf", "scan_Old.emf"}));

  const std::string text = OldFormText(false);
  ag_matrix_ptr old_form, group;
  ASSERT_EQ(GenerateConfigBarcode(old_form, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}), ag_ok);
  ASSERT_EQ(BuildGroupBarcode(group), GroupBarcodeResult::ok);
  const test::Decoded old_decoded = DecodeMetafile(dir_ + "/scan_Old.emf", *old_form, dir_ + "/o");
  ASSERT_TRUE(old_decoded.valid);
  EXPECT_EQ(std::string(old_decoded.bytes.begin(), old_decoded.bytes.end()), text);
  const test::Decoded group_decoded = DecodeMetafile(dir_ + "/scan_New.emf", *group, dir_ + "/n");
  ASSERT_TRUE(group_decoded.valid);
  EXPECT_EQ(group_decoded.bytes, *PackGroupPayload(GroupBarcodePlain(CurrentSettings())));
}

TEST_F(SettingsActionsTest, SaveAsBarcodeTakesThePrintFormatOfTheChosenFilter) {
  dialogs_.files = {dir_ + "/print.svg"};
  dialogs_.chosen_filters = {1};
  ASSERT_EQ(SaveAsBarcode(false), FileAction::done);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"print_New.svg", "print_Old.svg"}));
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(SettingsActionsTest, SaveAsBarcodeKeepsTheOldPairWhenOneFileCannotBeWritten) {
  const std::vector<std::uint8_t> earlier = {'o', 'l', 'd'};
  WriteBytes("scan_Old.emf", earlier);
  std::filesystem::create_directory(dir_ + "/scan_New.emf");
  dialogs_.files = {dir_ + "/scan.emf"};
  EXPECT_EQ(SaveAsBarcode(false), FileAction::failed);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Не удалось сохранить данные в файл"});
  std::ifstream in(dir_ + "/scan_Old.emf", std::ios::binary);
  EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), earlier) << "the pair still matches";
  EXPECT_TRUE(std::filesystem::is_directory(dir_ + "/scan_New.emf"));
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 2u) << "no temporary is left";
}

TEST_F(SettingsActionsTest, SaveAsBarcodeReportsAnUnwritableFolderAndCancelIsSilent) {
  EXPECT_EQ(SaveAsBarcode(false), FileAction::cancelled);
  EXPECT_TRUE(dialogs_.shown.empty());

  const std::string locked = dir_ + "/locked";
  std::filesystem::create_directory(locked);
  ::chmod(locked.c_str(), 0555);
  const auto refused_with_its_message = [this] {
    return SaveAsBarcode(false) == FileAction::failed && dialogs_.shown.size() == 1 &&
           dialogs_.shown[0].text == "Не удалось сохранить данные в файл" && dialogs_.shown[0].icon == Icon::error &&
           dialogs_.shown[0].caption.empty();
  };
  // Root passes every mode check, so a root run (CI's) tries the locked
  // folder as an ordinary user in a child process.
  ::chmod(dir_.c_str(), 0755);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(3);
    dialogs_.files = {locked + "/scan.emf"};
    ::_exit(refused_with_its_message() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: not refused as it should be; 3: the user could not be arranged";
  EXPECT_TRUE(std::filesystem::is_empty(locked));

  dialogs_.files = {dir_ + "/missing/scan.emf"};
  EXPECT_TRUE(refused_with_its_message());
  ::chmod(locked.c_str(), 0755);
}

}  // namespace
}  // namespace tavrik
