// The settings page and the connection page on real widgets: the model list,
// the defaults, files and barcodes through the Dialogs seam, the preview and
// its zoom, the documentation link, and the connection page's three buttons
// against scanner emulators on real ptys.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "aztecgen/include/ag_matrix_ptr_def.h"
#include "barcodes/GroupBarcode.h"
#include "core/ScriptedDialogs.h"
#include "device/ScannerInterface.h"
#include "pages/ConnectPage.h"
#include "pages/SettingsPage.h"
#include "pages/PageTable.h"
#include "pages/accessibility_check.h"
#include "pages/test_parent.h"
#include "settings/init_settings_def.h"
#include "settings/update_settings_def.h"
#include "device/testing/ScannerEmulator.h"
#include "transfers/ConnectionParams.h"
#include "transfers/SettingsActions.h"

namespace tavrik {
namespace {

constexpr Answer Y = Answer::yes;
constexpr Answer N = Answer::no;

class PageFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    ResetConnectionParams();
  }
  void TearDown() override {
    CConnectPage::SetPortLister({});
    ResetProcessState();
    ResetConnectionParams();
  }
  void Place(CPageT& page) {
    parent_.page = &page;
    page.SetParentDlg(&parent_);
    page.Create(nullptr, QRect(0, 0, 411, 460));
    page.Load();
    page.show();
    page.OnShow();
  }
  static void Press(CPageT& page, int id) { QTest::mouseClick(page.ControlAs<QPushButton>(id), Qt::LeftButton); }

  ScriptedDialogs dialogs_;
  NoParent parent_;
};

// ---- the settings page ----

class SettingsPageTest : public PageFixture {
 protected:
  void SetUp() override {
    PageFixture::SetUp();
    Place(page_);
  }
  QComboBox* Models() { return page_.ControlAs<QComboBox>(1143); }
  QSlider* Zoom() { return page_.ControlAs<QSlider>(1221); }
  void Choose(std::uint8_t model) {
    Models()->setFocus();
    QTest::keyClick(Models(), Qt::Key_Home);
    while (Models()->currentData().toUInt() != model) {
      const int before = Models()->currentIndex();
      QTest::keyClick(Models(), Qt::Key_Down);
      ASSERT_NE(Models()->currentIndex(), before) << "model " << int(model) << " is in the list";
    }
  }
  std::string dir_ = [] {
    char tmpl[] = "/tmp/tavrik-settings-page-XXXXXX";
    return std::string(::mkdtemp(tmpl));
  }();
  ~SettingsPageTest() override { std::filesystem::remove_all(dir_); }

  CSettingsPage page_;
};

TEST_F(SettingsPageTest, ModelListHoldsTheChoicesAndStartsWithNoModel) {
  ASSERT_EQ(Models()->count(), 22);
  for (int i = 0; i < 22; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Models()->itemData(i).toUInt(), ModelChoices[i]);
    EXPECT_EQ(Models()->itemText(i).toStdString(), ModelText(ModelChoices[i], true));
  }
  EXPECT_EQ(Models()->currentIndex(), 21) << "the last entry, code 255";
  EXPECT_TRUE(Models()->itemText(21).startsWith(QStringLiteral("Неизвестная модель")));

  // Defaults without a model refuse; choosing a model changes nothing else.
  Press(page_, 1034);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Необходимо выбрать тип устройства"});
  const Settings before = CurrentSettings();
  Choose(204);
  EXPECT_EQ(page_.SelectedModel, 204);
  EXPECT_EQ(CurrentModel(), 0);
  EXPECT_TRUE(CurrentSettings() == before);
}

TEST_F(SettingsPageTest, DefaultsAnsweredNoKeepAndYesReplace) {
  Choose(204);
  CurrentSettings().volume = 1;
  const Settings edited = CurrentSettings();
  dialogs_.answers = {N};
  Press(page_, 1034);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].caption, "Внимание");
  EXPECT_NE(dialogs_.shown[0].text.find(ModelText(204, false)), std::string::npos);
  EXPECT_TRUE(CurrentSettings() == edited);
  EXPECT_EQ(CurrentModel(), 0);

  dialogs_.answers = {Y};
  Press(page_, 1034);
  Settings expected{};
  SetCurrentModel(204);
  LoadDefaults(expected);
  EXPECT_TRUE(CurrentSettings() == expected);
  EXPECT_EQ(CurrentModel(), 204);
  EXPECT_FALSE(page_.Preview().isNull());
}

TEST_F(SettingsPageTest, FileRoundTripThroughTheButtons) {
  CurrentSettings().volume = 2;
  CurrentSettings().code128_enabled = false;
  const Settings saved = CurrentSettings();
  dialogs_.files = {dir_ + "/mine.qdx"};
  Press(page_, 1035);
  ASSERT_EQ(dialogs_.file_dialogs.size(), 1u);
  EXPECT_EQ(dialogs_.file_dialogs[0].default_extension, "qdx");
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/mine.qdx"));

  LoadDefaults(CurrentSettings());
  page_.Store();  // the preview released, as when the page is left
  dialogs_.files = {dir_ + "/mine.qdx"};
  Press(page_, 1036);
  EXPECT_TRUE(CurrentSettings() == saved);
  EXPECT_FALSE(page_.Preview().isNull()) << "a load rebuilds the preview";

  // A cancelled open dialog rebuilds it too; a reported error does not.
  page_.Store();
  Press(page_, 1036);
  EXPECT_FALSE(page_.Preview().isNull());
  page_.Store();
  dialogs_.files = {dir_ + "/missing.qdx"};
  Press(page_, 1036);
  EXPECT_TRUE(page_.Preview().isNull());
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Ошибка открытия файла"});
}

TEST_F(SettingsPageTest, SaveAsBarcodeWritesBothFilesOrReportsTheFolder) {
  dialogs_.files = {dir_ + "/scan.emf"};
  Press(page_, 1098);
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/scan_Old.emf"));
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/scan_New.emf"));
  EXPECT_EQ(dialogs_.file_dialogs.at(0).filters.at(0).pattern, "*.emf");

  dialogs_.files = {dir_ + "/gone/scan.emf"};
  Press(page_, 1098);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Не удалось сохранить данные в файл"});
  EXPECT_EQ(dialogs_.shown[0].icon, Icon::error);
}

// Settings that compress badly give a group barcode too large for zoom 4.
void FillWithNoise() {
  std::uint8_t image[kPlacementSize] = {};
  InitPlacement(image, &CurrentSettings());
  std::mt19937 random(7);
  for (std::size_t i = 3; i < kPlacementSize; ++i) image[i] = static_cast<std::uint8_t>(random());
  SettingsFromPlacement(CurrentSettings(), image);
}

TEST_F(SettingsPageTest, PreviewFollowsTheZoomAndRefusesAbove250Pixels) {
  struct Case {
    bool noisy;
    int zoom;
  };
  const Case cases[] = {
      /*0*/ {false, 2},
      /*1*/ {false, 3},
      /*2*/ {false, 4},
      /*3*/ {true, 3},
      /*4*/ {true, 4},  // the largest group barcode still fits at 4 pixels a module
  };
  EXPECT_EQ(Zoom()->minimum(), 2);
  EXPECT_EQ(Zoom()->maximum(), 4);
  EXPECT_EQ(Zoom()->value(), 3);
  EXPECT_EQ(Zoom()->tickInterval(), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zoom);
    if (c.noisy) FillWithNoise();
    ag_matrix_ptr symbol;
    ASSERT_EQ(BuildGroupBarcode(symbol), GroupBarcodeResult::ok);
    const int side = static_cast<int>(symbol->width);
    // Keyboard steps rebuild the preview as the thumb's release does.
    Zoom()->setFocus();
    while (Zoom()->value() != c.zoom) QTest::keyClick(Zoom(), c.zoom > Zoom()->value() ? Qt::Key_Right : Qt::Key_Left);
    const int module = CSettingsPage::ModulePixels(c.zoom, page_.devicePixelRatioF());
    EXPECT_EQ(page_.Preview().size(), QSize(side * module, side * module));
  }
  // Beyond 250 pixels a side the preview keeps its picture.
  const QSize shown = page_.Preview().size();
  EXPECT_FALSE(page_.RebuildPreview(5));
  EXPECT_EQ(page_.Preview().size(), shown);
  EXPECT_TRUE(page_.Store());
  EXPECT_TRUE(page_.Preview().isNull()) << "Store releases the preview";
  page_.OnShow();
  EXPECT_FALSE(page_.Preview().isNull());
}

TEST(PreviewModuleTest, AModuleIsAWholeNumberOfDevicePixels) {
  struct Case {
    int zoom;
    qreal ratio;
    int pixels;
  };
  const Case cases[] = {
      /*0*/ {3, 1.0, 3},
      /*1*/ {3, 1.25, 4},  // 3.75
      /*2*/ {2, 1.5, 3},
      /*3*/ {3, 1.5, 5},   // 4.5, halves up
      /*4*/ {4, 2.0, 8},
      /*5*/ {2, 0.25, 1},  // never less than one
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zoom * 100 + c.ratio);
    EXPECT_EQ(CSettingsPage::ModulePixels(c.zoom, c.ratio), c.pixels);
  }
}

// On the screen (this runs at several scale factors): every run of dark or
// light in the drawn symbol is a whole number of modules of whole device
// pixels, and nothing is grey. The zoom text names the module's pixels.
TEST_F(SettingsPageTest, PreviewIsDrawnInWholeDevicePixelsAndSaysItsZoom) {
  const qreal ratio = page_.devicePixelRatioF();
  for (int zoom = CSettingsPage::kMinZoom; zoom <= CSettingsPage::kMaxZoom; ++zoom) {
    SCOPED_TRACE(zoom);
    ASSERT_TRUE(page_.RebuildPreview(zoom));
    const int module = CSettingsPage::ModulePixels(zoom, ratio);
    EXPECT_EQ(page_.Preview().devicePixelRatio(), ratio);
    auto* text = page_.findChild<QLabel*>(QStringLiteral("control21608"));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->text().contains(QStringLiteral(" %1 пикс.").arg(module))) << text->text().toStdString();

    QWidget* preview = page_.Control(1218);
    const QImage shot = page_.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect area = QRectF(QPointF(preview->pos()) * ratio, QSizeF(preview->size()) * ratio).toAlignedRect();
    // The symbol: the box of black and white pixels inside the picture's area.
    QRect box;
    for (int y = area.top(); y <= area.bottom() && y < shot.height(); ++y) {
      for (int x = area.left(); x <= area.right() && x < shot.width(); ++x) {
        const QRgb p = shot.pixel(x, y) & 0xFFFFFF;
        if (p == 0 || p == 0xFFFFFF) box |= QRect(x, y, 1, 1);
      }
    }
    ASSERT_EQ(box.width(), page_.Preview().width());
    ASSERT_EQ(box.height(), page_.Preview().height());
    int bad_runs = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
      int run = 0;
      QRgb colour = shot.pixel(box.left(), y) & 0xFFFFFF;
      for (int x = box.left(); x <= box.right() + 1; ++x) {
        const QRgb p = x <= box.right() ? shot.pixel(x, y) & 0xFFFFFF : 0x123456;
        if (x <= box.right() && p != 0 && p != 0xFFFFFF) ++bad_runs;  // grey
        if (p == colour) {
          ++run;
          continue;
        }
        if (run % module != 0) ++bad_runs;
        colour = p;
        run = 1;
      }
    }
    EXPECT_EQ(bad_runs, 0) << module << " pixels a module at ratio " << ratio;
  }
}

TEST_F(SettingsPageTest, MetafileFrameFollowsTheWindowsScreen) {
  const QScreen* screen = page_.window()->screen();
  ASSERT_NE(screen, nullptr);
  const ScreenMetrics m = page_.WindowScreen();
  if (screen->physicalSize().width() < 1) GTEST_SKIP() << "this platform reports no physical size";
  EXPECT_EQ(m.desktop_horz_res, static_cast<std::uint32_t>(screen->size().width() * screen->devicePixelRatio()));
  EXPECT_EQ(m.desktop_vert_res, static_cast<std::uint32_t>(screen->size().height() * screen->devicePixelRatio()));
  EXPECT_EQ(m.horz_size_mm, static_cast<std::uint32_t>(screen->physicalSize().width() + 0.5));
}

// Receives what the desktop is asked to open.
class UrlSink : public QObject {
  Q_OBJECT

 public:
  std::vector<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls.push_back(url); }
};

TEST_F(SettingsPageTest, DocumentationLinkOpensTheGuide) {
  auto* link = page_.ControlAs<QLabel>(1222);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->text(), QStringLiteral("здесь"));
  EXPECT_TRUE(link->font().bold());
  EXPECT_TRUE(link->font().underline());
  EXPECT_EQ(link->font().pixelSize(), 14);
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);

  UrlSink sink;
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &sink, "open");
  QTest::mouseClick(link, Qt::LeftButton);
  link->setFocus();
  QTest::keyClick(link, Qt::Key_Space);
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
  ASSERT_EQ(sink.urls.size(), 2u);
  const QString path = sink.urls[0].toLocalFile();
  EXPECT_TRUE(path.endsWith(QStringLiteral("guide/index.html"))) << path.toStdString();
  EXPECT_TRUE(std::filesystem::exists(path.toStdString()));
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(SettingsPageTest, ControlsAreNamedAndInDialogOrder) {
  ExpectNamedAndOrdered(page_);
  EXPECT_EQ(page_.ControlAs<QComboBox>(1143)->accessibleName(), QStringLiteral("Для устройства:"));
  EXPECT_EQ(Zoom()->accessibleName(), QStringLiteral("Маштабирование"));
  EXPECT_EQ(page_.ControlAs<QLabel>(1218)->accessibleName(), QStringLiteral("2."));
}

// The rule holds on every page of the tree, whoever writes it.
TEST(PageAccessibilityTest, EveryPageNamesItsControlsAndKeepsDialogOrder) {
  ResetProcessState();
  ScriptedDialogs dialogs;
  for (const PageEntry& entry : PageTable()) {
    SCOPED_TRACE(entry.template_id);
    std::unique_ptr<CPageT> page = entry.create();
    NoParent parent;
    parent.page = page.get();
    page->SetParentDlg(&parent);
    page->Create(nullptr, QRect(0, 0, 411, 460));
    page->Load();
    ExpectNamedAndOrdered(*page);
  }
  ResetProcessState();
}

// ---- the connection page ----

class ConnectPageTest : public PageFixture {
 protected:
  void SetUp() override { PageFixture::SetUp(); }
  void TearDown() override {
    scanners_.clear();
    PageFixture::TearDown();
  }
  ScannerEmulator& AddScanner(std::uint32_t speed, std::uint8_t model = 150, bool silent = false) {
    EmulatorConfig c;
    c.model = model;
    c.firmware = 0x0103;
    c.speed = speed;
    auto& s = scanners_.emplace_back(std::make_unique<ScannerEmulator>(c));
    if (silent) s->AddFault({FaultKind::silence});
    return *s;
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const auto& s : scanners_) paths.push_back(s->PortPath());
    return paths;
  }
  void Open() {
    const auto paths = Paths();
    CConnectPage::SetPortLister([paths] { return paths; });
    Place(page_);
  }
  QComboBox* Port() { return page_.ControlAs<QComboBox>(1040); }
  QComboBox* Speed() { return page_.ControlAs<QComboBox>(1041); }
  QLineEdit* Timeout() { return page_.ControlAs<QLineEdit>(1042); }
  QLineEdit* Device() { return page_.ControlAs<QLineEdit>(1046); }
  void TypePort(const std::string& path) {
    Port()->lineEdit()->clear();
    QTest::keyClicks(Port()->lineEdit(), QString::fromStdString(path));
  }
  void ChooseSpeed(std::uint32_t speed) {
    Speed()->setCurrentIndex(Speed()->findText(QString::number(speed)));
  }

  std::vector<std::unique_ptr<ScannerEmulator>> scanners_;
  CConnectPage page_;
};

TEST_F(ConnectPageTest, LoadShowsTheParametersAndTheLastPort) {
  AddScanner(9600);
  AddScanner(9600);
  Open();
  ASSERT_EQ(Speed()->count(), 7);
  EXPECT_EQ(Speed()->itemText(0), QStringLiteral("2400"));
  EXPECT_EQ(Speed()->currentText(), QStringLiteral("9600"));
  EXPECT_EQ(Timeout()->text(), QStringLiteral("1000"));
  EXPECT_EQ(Port()->currentText().toStdString(), Paths().back()) << "an empty port takes the last";
  EXPECT_EQ(ConnectionParams().port, Paths().back());
  EXPECT_TRUE(Device()->isReadOnly());
  ExpectNamedAndOrdered(page_);
  EXPECT_EQ(Timeout()->accessibleName(), QStringLiteral("Таймаут (мс):"));

  // A time-out out of range refuses the store; a typed port is kept while it exists.
  Timeout()->setText(QStringLiteral("99"));
  EXPECT_FALSE(page_.Store());
  Timeout()->setText(QStringLiteral("300000"));
  TypePort(Paths().front());
  EXPECT_TRUE(page_.Store());
  EXPECT_EQ(ConnectionParams().timeout, 300000u);
  ConnectionParams().port = "/tmp/tavrik-no-such-port";
  page_.Load();
  EXPECT_EQ(Port()->currentText().toStdString(), Paths().back()) << "a port that is gone: the last";
}

TEST_F(ConnectPageTest, CheckShowsTheDeviceOrNotFound) {
  ScannerEmulator& scanner = AddScanner(19200);
  Open();
  TypePort(scanner.PortPath());
  ChooseSpeed(19200);
  Timeout()->setText(QStringLiteral("300"));
  Press(page_, 1044);
  const std::string expected = ModelText(150, false) + " (v.1.3)";
  EXPECT_EQ(Device()->text().toStdString(), expected);
  EXPECT_EQ(CurrentModel(), 150);
  EXPECT_EQ(CurrentFirmwareVersion(), 0x0103);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  page_.Load();
  EXPECT_EQ(Device()->text().toStdString(), expected) << "the page keeps the check's text";

  scanner.AddFault({FaultKind::silence});
  Press(page_, 1044);
  EXPECT_EQ(Device()->text(), QStringLiteral("Устройство не обнаружено"));
  EXPECT_TRUE(dialogs_.shown.empty());

  // A time-out out of its range, or not a number, stops the check and the
  // speed change before the port: the message says what, the focus says where,
  // and the device field keeps the last check's text.
  for (const QString& timeout : {QStringLiteral("0"), QStringLiteral("50"), QStringLiteral("300001"),
                                 QStringLiteral("abc"), QString()}) {
    for (int button : {1044, 1094}) {
      SCOPED_TRACE(timeout.toStdString() + " / " + std::to_string(button));
      dialogs_.shown.clear();
      dialogs_.beeps = 0;
      const std::uint32_t speed = scanner.Speed();
      Timeout()->setText(timeout);
      Port()->setFocus(Qt::OtherFocusReason);
      Press(page_, button);
      EXPECT_EQ(Device()->text(), QStringLiteral("Устройство не обнаружено"));
      ASSERT_EQ(dialogs_.Texts(), std::vector<std::string>{"Некорректное значение поля!"});
      EXPECT_EQ(dialogs_.shown[0].icon, Icon::error);
      EXPECT_EQ(dialogs_.beeps, 1);
      EXPECT_EQ(page_.focusWidget(), Timeout());
      EXPECT_EQ(ConnectionParams().timeout, 300u) << "the last valid time-out stays";
      EXPECT_EQ(scanner.Speed(), speed);
    }
  }
}

TEST_F(ConnectPageTest, SearchShowsItsProgressAndSelectsWhatItFound) {
  AddScanner(9600, 150, /*silent=*/true);
  AddScanner(19200);
  Open();
  std::vector<QString> texts;
  QObject::connect(Device(), &QLineEdit::textChanged, [&](const QString& t) {
    if (!t.isEmpty()) texts.push_back(t);
  });
  Press(page_, 1048);
  std::vector<QString> expected;
  const std::uint32_t first_port[] = {2400, 4800, 9600, 19200, 38400, 57600, 115200};
  for (std::uint32_t s : first_port) expected.push_back(QStringLiteral("Поиск на %1 (%2)...").arg(QString::fromStdString(Paths()[0])).arg(s));
  for (std::uint32_t s : {2400u, 4800u, 9600u, 19200u})
    expected.push_back(QStringLiteral("Поиск на %1 (%2)...").arg(QString::fromStdString(Paths()[1])).arg(s));
  const QString found = QStringLiteral("Найден  ") + QString::fromStdString(ModelText(150, false)) + QStringLiteral("(v.1.3)");
  expected.push_back(found);
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(Port()->currentText().toStdString(), Paths()[1]);
  EXPECT_EQ(Speed()->currentText(), QStringLiteral("19200"));
  EXPECT_EQ(Timeout()->text(), QStringLiteral("1000")) << "the field keeps its value";
  EXPECT_EQ(ConnectionParams().timeout, 100u) << "until the next exchange";
}

TEST_F(ConnectPageTest, SearchWithoutAScanner) {
  AddScanner(9600, 150, true);
  AddScanner(9600, 150, true);
  Open();
  int progress = 0;
  QObject::connect(Device(), &QLineEdit::textChanged, [&](const QString& t) { progress += t.startsWith(QStringLiteral("Поиск на ")); });
  Press(page_, 1048);
  EXPECT_EQ(progress, 14);
  EXPECT_EQ(Device()->text(), QStringLiteral("Устройство не обнаружено"));
  EXPECT_EQ(Port()->currentIndex(), 0);
  EXPECT_EQ(Speed()->currentText(), QStringLiteral("115200"));
  EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(ConnectPageTest, SetSpeedShowsThePortsRealSpeed) {
  ScannerEmulator& scanner = AddScanner(9600);
  Open();
  TypePort(scanner.PortPath());
  Timeout()->setText(QStringLiteral("300"));
  ChooseSpeed(38400);
  Press(page_, 1094);
  EXPECT_EQ(scanner.Speed(), 38400u);
  EXPECT_EQ(Speed()->currentText(), QStringLiteral("38400"));
  EXPECT_TRUE(dialogs_.shown.empty());

  // Acknowledged, but the scanner stays where it was: the list shows the port's speed.
  scanner.AddFault({FaultKind::keep_old_speed});
  ChooseSpeed(115200);
  Press(page_, 1094);
  EXPECT_EQ(dialogs_.Texts(), std::vector<std::string>{"Ошибка смены скорости"});
  EXPECT_EQ(scanner.Speed(), 38400u);
  EXPECT_EQ(Speed()->currentText(), QString::number(scanner.LineSpeed()));
}

}  // namespace
}  // namespace tavrik

#include "settings_pages_test.moc"
