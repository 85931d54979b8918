// The main window's two device buttons against the scanner emulator on a real
// pty: the title after a load, the model list, what a save writes, and the
// window kept blocked but drawn while an action runs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTime>
#include <QTreeWidget>

#include <optional>
#include <string>
#include <vector>

#include "app/MainDlg.h"
#include "core/ScriptedDialogs.h"
#include "device/Clock.h"
#include "device/ScannerInterface.h"
#include "pages/ConnectPage.h"
#include "pages/DeviceAction.h"
#include "pages/PortDoctorDialog.h"
#include "pages/SettingsPage.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "device/testing/ScannerEmulator.h"
#include "transfers/ConnectionParams.h"
#include "core/Messages.h"

namespace tavrik {
namespace {

constexpr Answer Y = Answer::yes;
constexpr Answer N = Answer::no;
constexpr std::size_t kSettingsRow = 1;
constexpr std::size_t kCode128Row = 9;

class DeviceButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    dlg_.emplace();
    dlg_->show();
    // The start-up warning comes first, once the window is drawn.
    for (int i = 0; i < 200 && dialogs_.shown.empty(); ++i) QTest::qWait(10);
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    dialogs_.shown.clear();
  }
  void TearDown() override {
    dlg_.reset();
    scanner_.reset();
    ResetProcessState();
    ResetConnectionParams();
  }

  // A scanner, and its port typed into the connection page.
  ScannerEmulator& Start(EmulatorConfig c) {
    scanner_.emplace(c);
    auto* port = dlg_->ConnectPage().ControlAs<QComboBox>(1040);
    port->lineEdit()->clear();
    QTest::keyClicks(port->lineEdit(), QString::fromStdString(scanner_->PortPath()));
    Type(dlg_->ConnectPage().ControlAs<QLineEdit>(1042), "300");
    return *scanner_;
  }
  static void Type(QLineEdit* edit, const char* text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromLatin1(text));
  }
  void ShowPage(std::size_t row) {
    QTreeWidget* tree = dlg_->Tree();
    tree->scrollToItem(dlg_->ItemAt(row));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(dlg_->ItemAt(row)).center());
    QApplication::processEvents();
  }
  // A button of the window itself, or of the settings page.
  void Press(int id) {
    auto* button = dlg_->findChild<QPushButton*>(QStringLiteral("control%1").arg(id), Qt::FindDirectChildrenOnly);
    if (!button) button = dlg_->SettingsPage().ControlAs<QPushButton>(id);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
  }
  // The status line: `text`, then the time of day.
  bool StatusSays(const QString& text) const {
    const QString line = dlg_->StatusText();
    return line.startsWith(text) && QTime::fromString(line.mid(text.size()), QStringLiteral("HH:mm")).isValid();
  }
  QComboBox* ModelList() const { return dlg_->SettingsPage().ControlAs<QComboBox>(1143); }
  QString Title() const { return dlg_->windowTitle(); }
  std::size_t WriteRequests() const {
    std::size_t n = 0;
    for (const Request& r : scanner_->Requests()) n += !r.empty() && r[0] == CScannerInterface::cmd_write_block;
    return n;
  }

  ScriptedDialogs dialogs_;
  std::optional<CMainDlg> dlg_;
  std::optional<ScannerEmulator> scanner_;
};

TEST_F(DeviceButtonsTest, LoadSetsTheTitleAndTheModelButKeepsTheListSelection) {
  EmulatorConfig c;
  c.model = 150;
  c.firmware = 0x0103;
  Start(c);
  // The user had chosen a model in the list before.
  ShowPage(kSettingsRow);
  ModelList()->setFocus();
  QTest::keyClick(ModelList(), Qt::Key_Home);
  ASSERT_EQ(dlg_->SettingsPage().SelectedModel, 100);
  ShowPage(kCode128Row);

  dialogs_.answers = {Y};
  Press(1038);
  ASSERT_EQ(dialogs_.Texts().size(), 1u) << (dialogs_.shown.empty() ? "" : dialogs_.shown.back().text);
  const QString base = dlg_->BaseTitle();
  EXPECT_EQ(Title(), base + QStringLiteral(" -> \"") + QString::fromStdString(ModelText(150, true)) +
                         QStringLiteral("\" (v.1.3)"));
  EXPECT_EQ(dlg_->windowIconText(), base) << "the task bar keeps the bare title";
  EXPECT_EQ(dlg_->SettingsPage().SelectedModel, 150);
  EXPECT_EQ(ModelList()->currentData().toUInt(), 100u) << "150 is not offered: the list keeps its entry";
  EXPECT_EQ(CurrentModel(), 150);
  EXPECT_EQ(CurrentFirmwareVersion(), 0x0103);
  const QString loaded = QStringLiteral("Настройки загружены из устройства \"%1\" в ")
                             .arg(QString::fromStdString(ModelText(150, true)));
  EXPECT_TRUE(StatusSays(loaded)) << dlg_->StatusText().toStdString();

  // Shown again, the list has no entry for 150; the defaults are those of 150.
  ShowPage(kSettingsRow);
  EXPECT_EQ(ModelList()->currentIndex(), -1);
  dialogs_.shown.clear();
  dialogs_.answers = {N};
  Press(1034);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_NE(dialogs_.shown[0].text.find(ModelText(150, false)), std::string::npos);

  // Declined: the title stays; failed: the model part goes.
  dialogs_.answers = {N};
  Press(1038);
  EXPECT_TRUE(Title().startsWith(base + QStringLiteral(" -> ")));
  scanner_->AddFault({FaultKind::silence});
  dialogs_.shown.clear();
  Press(1038);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"(-1) Нет связи"});
  EXPECT_EQ(dialogs_.shown[0].icon, Icon::error);
  EXPECT_EQ(dialogs_.shown[0].caption, "");
  EXPECT_EQ(Title(), base);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor is gone on every way out";
  EXPECT_TRUE(StatusSays(QStringLiteral("Настройки из устройства не загружены в "))) << dlg_->StatusText().toStdString();
}

TEST_F(DeviceButtonsTest, SaveWritesExactlyTheEditedField) {
  EmulatorConfig c;
  c.model = 204;
  c.firmware = 0x073C;
  ScannerEmulator& scanner = Start(c);
  dialogs_.answers = {Y};
  Press(1038);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  const std::vector<std::uint8_t> before = scanner.ReadMemory(SETTINGS_ADDRESS, kPlacementSize);
  EXPECT_FALSE(dlg_->HasUnsavedChanges()) << "what was loaded is the reference";

  // Declined: nothing is written.
  ShowPage(kCode128Row);
  auto* box = dlg_->PageAt(kCode128Row).ControlAs<QCheckBox>(1027);
  ASSERT_TRUE(box->isChecked());
  box->click();
  scanner.ClearRequests();
  dialogs_.answers = {N};
  Press(1037);
  EXPECT_EQ(WriteRequests(), 0u);

  const QString title = Title();
  dialogs_.shown.clear();
  dialogs_.answers = {Y};
  Press(1037);
  EXPECT_EQ(dialogs_.shown.size(), 1u) << "only the save question; success is silent";
  EXPECT_FALSE(CurrentSettings().code128_enabled) << "the page in view was stored";
  const std::vector<std::uint8_t> after = scanner.ReadMemory(SETTINGS_ADDRESS, kPlacementSize);
  std::vector<std::size_t> changed;
  for (std::size_t i = 0; i < after.size(); ++i)
    if (after[i] != before[i]) changed.push_back(i);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(before[changed[0]], 1);
  EXPECT_EQ(after[changed[0]], 0);
  EXPECT_EQ(Title(), title) << "a save leaves the title";
  EXPECT_FALSE(dlg_->HasUnsavedChanges()) << "what was saved is the reference";
  EXPECT_TRUE(StatusSays(QStringLiteral("Настройки сохранены в устройство в "))) << dlg_->StatusText().toStdString();
}

TEST_F(DeviceButtonsTest, CableQuestionAnsweredNoWritesNothing) {
  EmulatorConfig c;
  c.model = 204;
  ScannerEmulator& scanner = Start(c);
  dialogs_.answers = {Y};
  Press(1038);
  CurrentSettings().barcode_interface = CurrentSettings().barcode_interface == uart ? usb_cdc : uart;
  scanner.ClearRequests();
  dialogs_.shown.clear();
  dialogs_.answers = {Y, N};
  Press(1037);
  ASSERT_EQ(dialogs_.shown.size(), 2u);
  EXPECT_NE(dialogs_.shown[1].text.find("Убедитесь в наличии соответствующего кабеля."), std::string::npos);
  EXPECT_EQ(WriteRequests(), 0u);
}

TEST_F(DeviceButtonsTest, SaveFromTheSettingsPageRebuildsItsPreviewAtOnce) {
  EmulatorConfig c;
  c.model = 204;
  Start(c);
  dialogs_.answers = {Y};
  Press(1038);
  ShowPage(kSettingsRow);
  ASSERT_FALSE(dlg_->SettingsPage().Preview().isNull());
  dialogs_.shown.clear();
  dialogs_.answers = {Y};
  Press(1037);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{kSaveQuestion.text});
  EXPECT_FALSE(dlg_->SettingsPage().Preview().isNull());
}

// While an action runs, the window repaints but takes no input, and what the
// user did meanwhile does not act afterwards.
TEST_F(DeviceButtonsTest, AnActionBlocksInputButNotPainting) {
  QPushButton* save = dlg_->findChild<QPushButton*>(QStringLiteral("control1037"));
  int clicks = 0;
  QObject::connect(save, &QPushButton::clicked, [&] { ++clicks; });
  int paints = 0;
  struct PaintCounter : QObject {
    int* count;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++*count;
      return false;
    }
  } counter;
  counter.count = &paints;
  dlg_->installEventFilter(&counter);
  {
    CDeviceAction action(&*dlg_);
    EXPECT_TRUE(CDeviceAction::Running());
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    QTest::mouseClick(save, Qt::LeftButton);
    save->setFocus();
    QTest::keyClick(save, Qt::Key_Space);
    dlg_->update();
    CurrentClock().Sleep(30);  // a protocol pause
    EXPECT_GT(paints, 0);
    EXPECT_EQ(clicks, 0);
  }
  QApplication::processEvents();
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(CDeviceAction::Running());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  QTest::mouseClick(save, Qt::LeftButton);
  EXPECT_EQ(clicks, 1) << "input reaches the window again";
}

// A device action that fails on its port keeps its message box and makes the
// connection page offer the diagnosis, which shows the checks of the page's port.
TEST_F(DeviceButtonsTest, PortErrorOffersTheDiagnosisOfThePagesPort) {
  CConnectPage& page = dlg_->ConnectPage();
  auto* diagnose = qobject_cast<QPushButton*>(
      [&]() -> QWidget* {
        for (QWidget* control : page.Controls()) {
          auto* button = qobject_cast<QPushButton*>(control);
          if (button && button->text() == QStringLiteral(u"Диагностика порта")) return button;
        }
        return nullptr;
      }());
  ASSERT_NE(diagnose, nullptr);

  // A scanner that does not answer is no port error: nothing is offered.
  EmulatorConfig c;
  Start(c).AddFault({FaultKind::silence});
  dialogs_.shown.clear();
  Press(1037);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_FALSE(page.DiagnosisOffered()) << dialogs_.shown[0].text;

  // A port that is not there: the same message box as ever, then the offer.
  const std::string missing = "/dev/tavrik-test-no-such-port";
  auto* port = page.ControlAs<QComboBox>(1040);
  port->lineEdit()->clear();
  QTest::keyClicks(port->lineEdit(), QString::fromStdString(missing));
  dialogs_.shown.clear();
  Press(1037);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{kPortUnavailableText});
  EXPECT_TRUE(page.DiagnosisOffered());
  dialogs_.shown.clear();

  QTest::mouseClick(diagnose, Qt::LeftButton);
  CPortDoctorDialog* dialog = page.Diagnosis();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->Fit());
  EXPECT_TRUE(dialog->Report().startsWith(QString::fromStdString(missing + "\n  [сбой] устройство: путь не существует\n")))
      << dialog->Report().toStdString();
  EXPECT_FALSE(page.DiagnosisOffered()) << "the offer is taken";
  EXPECT_TRUE(dialogs_.shown.empty()) << "the diagnosis shows no message box";
  dialog->reject();

  // The page's port again, now fit.
  port->lineEdit()->clear();
  QTest::keyClicks(port->lineEdit(), QString::fromStdString(scanner_->PortPath()));
  scanner_->ClearFaults();
  QTest::mouseClick(diagnose, Qt::LeftButton);
  ASSERT_NE(page.Diagnosis(), nullptr);
  EXPECT_TRUE(page.Diagnosis()->Fit()) << page.Diagnosis()->Report().toStdString();
  EXPECT_TRUE(page.Diagnosis()->Report().endsWith(QStringLiteral(u"итог: порт готов к работе\n")));
  page.Diagnosis()->reject();
}

}  // namespace
}  // namespace tavrik
