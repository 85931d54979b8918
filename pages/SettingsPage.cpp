#include "pages/SettingsPage.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "aztecgen/include/ag_matrix_ptr_def.h"
#include "barcodes/Code128.h"
#include "barcodes/GroupBarcode.h"
#include "barcodes/ProgrammingSheet.h"
#include "core/Dialogs.h"
#include "core/Messages.h"
#include "device/ScannerInterface.h"
#include "pages/DeviceAction.h"
#include "pages/PageForm.h"
#include "pages/SheetPainter.h"
#include "transfers/SettingsActions.h"

namespace tavrik {
namespace {

// Controls no code refers to by the template's ids; these name them so the
// controls they label can point at them.
enum : int {
  kBarcodeCaptionId = 21601,
  kFirstLabelId,
  kFirstBarcodeId,
  kZoomLabelId,
  kSecondLabelId,
  kFirmwareNoteId,
  kPrintSheetId,
  kZoomTextId,
};
constexpr int kLinkId = 1222;
constexpr int kModelListId = 1143;
constexpr int kPreviewId = 1218;
constexpr int kZoomId = 1221;
constexpr int kExcludeLensId = 1097;
constexpr int kDefaultsId = 1034;
constexpr int kSaveFileId = 1035;
constexpr int kLoadFileId = 1036;
constexpr int kSaveBarcodeId = 1098;

// Template 216. The barcode area below the third separator is laid out so
// that the preview has room for 250 pixels a side at the default font.
constexpr Placement kPlacements[] = {
    {0, PlacementKind::label, 9, 1, 175, 10, u"Полный актуальный набор настроек можно найти"},
    {kLinkId, PlacementKind::link, 181, 1, 25, 11, u"здесь"},
    {0, PlacementKind::separator, 7, 15, 256, 1},
    {1142, PlacementKind::label, 9, 22, 65, 8, u"Для устройства:"},
    {kModelListId, PlacementKind::combo, 127, 21, 136, 100, u"", 1142},
    {kDefaultsId, PlacementKind::button, 163, 39, 100, 14, u"Установить по умолчанию"},
    {0, PlacementKind::separator, 7, 59, 256, 1},
    {kLoadFileId, PlacementKind::button, 7, 66, 100, 14, u"Загрузить из файла"},
    {kSaveFileId, PlacementKind::button, 163, 66, 100, 14, u"Сохранить в файл"},
    {0, PlacementKind::separator, 7, 87, 256, 1},
    {kBarcodeCaptionId, PlacementKind::label, 9, 92, 254, 9, u"Настройки в виде штрихкода: cчитайте сначала 1, потом 2."},
    {kFirstLabelId, PlacementKind::label, 9, 104, 10, 8, u"1."},
    {kFirstBarcodeId, PlacementKind::picture, 20, 103, 124, 36, u"", kFirstLabelId},
    {kZoomLabelId, PlacementKind::label, 163, 103, 100, 8, u"Маштабирование"},
    {kZoomId, PlacementKind::track_bar, 163, 111, 100, 12, u"", kZoomLabelId},
    {kSaveBarcodeId, PlacementKind::button, 163, 125, 100, 14, u"Сохранить в виде ШК"},
    // Below the firmware note, the one free place in reach of the barcode buttons.
    {kPrintSheetId, PlacementKind::button, 193, 196, 70, 14, u"Печать..."},
    {kSecondLabelId, PlacementKind::label, 9, 143, 10, 8, u"2."},
    {kPreviewId, PlacementKind::picture, 20, 142, 168, 164, u"", kSecondLabelId},
    {kFirmwareNoteId, PlacementKind::label, 193, 143, 70, 30, u"Поддерживается в прошивках 7.60 и выше."},
    {kExcludeLensId, PlacementKind::check, 193, 180, 70, 10, u"Исключить объектив"},
    // What the zoom gives on this screen: whole screen pixels a module.
    {kZoomTextId, PlacementKind::label, 193, 174, 70, 18, u""},
};

// The first barcode is drawn 185 pixels wide like the program's bitmap, but
// lower, so that the preview below it keeps its room.
constexpr int kFirstBarcodeDrawnHeight = 52;

// Each module as a square of `module` device pixels, dark where the module
// is 1: one line a module row, copied to the rows below it.
QImage ModuleImage(const ag_matrix& matrix, int module) {
  const int width = static_cast<int>(matrix.width) * module;
  const int height = static_cast<int>(matrix.height) * module;
  QImage image(width, height, QImage::Format_RGB32);
  const std::size_t line_bytes = static_cast<std::size_t>(width) * sizeof(QRgb);
  for (std::uint32_t row = 0; row < matrix.height; ++row) {
    const std::uint8_t* modules = matrix.data + static_cast<std::size_t>(row) * matrix.width;
    const int top = static_cast<int>(row) * module;
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(top));
    for (std::uint32_t x = 0; x < matrix.width; ++x) {
      std::fill_n(line + x * module, module, modules[x] == 1 ? 0xFF000000u | kPixelDark : 0xFF000000u | kPixelLight);
    }
    for (int y = 1; y < module; ++y) std::memcpy(image.scanLine(top + y), line, line_bytes);
  }
  return image;
}

QImage ToImage(const PixelImage& pixels) {
  QImage image(pixels.width, pixels.height, QImage::Format_RGB32);
  for (int y = 0; y < pixels.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < pixels.width; ++x) line[x] = 0xFF000000u | pixels.at(x, y);
  }
  return image;
}

}  // namespace

CSettingsPage::CSettingsPage() : CPageImpl(kTemplateId), SelectedModel(kNoModel) {}

CSettingsPage::~CSettingsPage() = default;

void CSettingsPage::CreateControls(CPageForm& form) { form.Place(kPlacements); }

void CSettingsPage::OnInitDialog() {
  model_list_ = ControlAs<QComboBox>(kModelListId);
  preview_ = ControlAs<QLabel>(kPreviewId);
  zoom_ = ControlAs<QSlider>(kZoomId);
  zoom_->setRange(kMinZoom, kMaxZoom);
  zoom_->setValue(kInitialZoom);
  zoom_->setAccessibleName(QStringLiteral("Маштабирование"));
  zoom_text_ = ControlAs<QLabel>(kZoomTextId);
  zoom_text_->setWordWrap(true);
  // The hidden check box of the template: bound, never shown.
  Control(kExcludeLensId)->hide();

  auto* link = ControlAs<QLabel>(kLinkId);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(14);
  font.setBold(true);
  font.setUnderline(true);
  link->setFont(font);
  link->installEventFilter(this);

  // The pictures stand beside their numbers.
  preview_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* first = ControlAs<QLabel>(kFirstBarcodeId);
  first->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  first->setPixmap(QPixmap::fromImage(ToImage(FirstBarcodePicture(kFirstBarcodeDrawnHeight))));

  connect(ControlAs<QPushButton>(kDefaultsId), &QPushButton::clicked, this, &CSettingsPage::OnSetDefaults);
  connect(ControlAs<QPushButton>(kSaveFileId), &QPushButton::clicked, this, &CSettingsPage::OnSaveToFile);
  connect(ControlAs<QPushButton>(kLoadFileId), &QPushButton::clicked, this, &CSettingsPage::OnLoadFromFile);
  connect(ControlAs<QPushButton>(kSaveBarcodeId), &QPushButton::clicked, this, &CSettingsPage::OnSaveAsBarcode);
  connect(ControlAs<QPushButton>(kPrintSheetId), &QPushButton::clicked, this, &CSettingsPage::OnPrintSheet);
  connect(model_list_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
    Q_ASSERT_X(index >= 0, "model list", "nIndex != CB_ERR");
    if (index >= 0) SelectedModel = static_cast<std::uint8_t>(model_list_->itemData(index).toUInt());
    // The "changed" marks compare with this model's defaults now.
    ParentDlg().ActionEnded({});
  });
  // The thumb released, or a step by keyboard or a click on the groove.
  connect(zoom_, &QSlider::sliderReleased, this, [this] { RebuildPreview(zoom_->value()); });
  connect(zoom_, &QSlider::valueChanged, this, [this](int value) {
    if (!zoom_->isSliderDown() && isVisible()) RebuildPreview(value);
  });
  DataExchange(Direction::load, ALL_CONTROLS);
}

void CSettingsPage::Bindings(CBindings& b) { b.BindCheck(kExcludeLensId, exclude_lens); }

void CSettingsPage::Load() {
  CPageImpl::Load();
  model_list_->clear();
  for (std::uint8_t code : ModelChoices) {
    model_list_->addItem(QString::fromStdString(ModelText(code, true)), QVariant(static_cast<unsigned>(code)));
  }
  SelectModelInList(SelectedModel);
}

void CSettingsPage::SelectModelInList(std::uint8_t model) {
  model_list_->setCurrentIndex(model_list_->findData(QVariant(static_cast<unsigned>(model))));
}

bool CSettingsPage::Store() {
  ReleasePreview();
  return true;
}

void CSettingsPage::OnShow() { RebuildPreview(Zoom()); }

int CSettingsPage::Zoom() const { return zoom_ ? zoom_->value() : kInitialZoom; }

QPixmap CSettingsPage::Preview() const { return preview_ ? preview_->pixmap() : QPixmap(); }

void CSettingsPage::ReleasePreview() {
  if (preview_) preview_->clear();
}

int CSettingsPage::ModulePixels(int zoom, qreal ratio) {
  return std::max(1, static_cast<int>(std::lround(zoom * ratio)));
}

bool CSettingsPage::RebuildPreview(int zoom) {
  DataExchange(Direction::save, ALL_CONTROLS);
  ag_matrix_ptr symbol;
  if (BuildGroupBarcode(symbol) != GroupBarcodeResult::ok) return false;
  if (zoom < 1 || symbol->width * static_cast<unsigned>(zoom) > kPreviewMaxSide ||
      symbol->height * static_cast<unsigned>(zoom) > kPreviewMaxSide) {
    return false;
  }
  // A module is a whole number of the screen's pixels, so that no module is
  // wider than its neighbour and none has grey edges at any scale factor.
  const qreal ratio = preview_->devicePixelRatioF();
  const int module = ModulePixels(zoom, ratio);
  QPixmap pixmap = QPixmap::fromImage(ModuleImage(*symbol, module));
  pixmap.setDevicePixelRatio(ratio);
  preview_->setPixmap(pixmap);
  zoom_text_->setText(QStringLiteral("Масштаб: %1 пикс. экрана на модуль").arg(module));
  return true;
}

void CSettingsPage::OnSetDefaults() {
  if (!SetDefaults(SelectedModel)) return;
  RebuildPreview(Zoom());
  ParentDlg().ActionEnded(
      ActionNote::Done(kStatusDefaultsSet, QString::fromStdString(ModelText(SelectedModel, false))));
}

void CSettingsPage::OnSaveToFile() {
  switch (SaveSettingsToFile()) {
    case FileAction::done: ParentDlg().ActionEnded(ActionNote::Done(kStatusSavedToFile).Kept()); break;
    case FileAction::failed: ParentDlg().ActionEnded(ActionNote::Failed(kStatusFileSaveFailed)); break;
    case FileAction::cancelled: break;
  }
}

void CSettingsPage::OnLoadFromFile() {
  const FileAction result = LoadSettingsFromFile();
  if (result != FileAction::failed) RebuildPreview(Zoom());
  switch (result) {
    case FileAction::done: ParentDlg().ActionEnded(ActionNote::Done(kStatusLoadedFromFile).Kept()); break;
    case FileAction::failed: ParentDlg().ActionEnded(ActionNote::Failed(kStatusFileLoadFailed)); break;
    case FileAction::cancelled: break;
  }
}

void CSettingsPage::OnSaveAsBarcode() {
  RebuildPreview(Zoom());
  DataExchange(Direction::save, ALL_CONTROLS);
  switch (SaveAsBarcode(exclude_lens, WindowScreen())) {
    case FileAction::done: ParentDlg().ActionEnded(ActionNote::Done(kStatusBarcodesSaved)); break;
    case FileAction::failed: ParentDlg().ActionEnded(ActionNote::Failed(kStatusBarcodesFailed)); break;
    case FileAction::cancelled: break;
  }
}

SheetResult CSettingsPage::MakeSheet(SheetLayout& layout) {
  DataExchange(Direction::save, ALL_CONTROLS);
  SheetRequest request;
  request.model_text = ModelText(CurrentModel(), false);
  if (CurrentFirmwareVersion() != 0) request.model_text += " (v." + VersionText(CurrentFirmwareVersion()) + ")";
  request.date = SheetDateToday();
  request.exclude_lens = exclude_lens;
  Settings defaults{};
  LoadDefaults(defaults);  // of the current model, as "Установить по умолчанию" made them
  return LayoutProgrammingSheet(request, CurrentSettings(), defaults, layout);
}

void CSettingsPage::OnPrintSheet() {
  RebuildPreview(Zoom());
  auto layout = std::make_shared<SheetLayout>();
  const SheetResult result = MakeSheet(*layout);
  if (result != SheetResult::ok) {
    ShowFailure(SheetResultText(result, SheetRequest{}.module_mm));
    return;
  }
  // The dialog owns its printer; both go when the dialog is closed.
  auto* printer = new QPrinter(QPrinter::HighResolution);
  SetUpSheetPrinter(*printer);
  auto* dialog = new QPrintPreviewDialog(printer, this);
  dialog->setObjectName(QStringLiteral("sheetPreview"));
  dialog->setWindowTitle(QString::fromUtf16(kSheetPreviewTitleText));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  // Said under the pages too, where the user looks before printing.
  if (auto* box = qobject_cast<QBoxLayout*>(dialog->layout())) {
    auto* note = new QLabel(QString::fromUtf16(kSheetPreviewNoteText), dialog);
    note->setObjectName(QStringLiteral("sheetPreviewNote"));
    note->setWordWrap(true);
    note->setContentsMargins(8, 4, 8, 4);
    box->addWidget(note);
  }
  connect(dialog, &QObject::destroyed, [printer] { delete printer; });
  connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
          [layout](QPrinter* target) { PrintSheet(*target, *layout); });
  dialog->open();
}

ScreenMetrics CSettingsPage::WindowScreen() const {
  const QScreen* screen = window()->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return kHeadlessScreen;
  const QSizeF mm = screen->physicalSize();
  const QSize pixels = screen->size() * screen->devicePixelRatio();
  if (mm.width() < 1 || mm.height() < 1 || pixels.isEmpty()) return kHeadlessScreen;
  return {static_cast<std::uint32_t>(mm.width() + 0.5), static_cast<std::uint32_t>(mm.height() + 0.5),
          static_cast<std::uint32_t>(pixels.width()), static_cast<std::uint32_t>(pixels.height())};
}

QString CSettingsPage::GuidePath() {
  const QString app_dir = QCoreApplication::applicationDirPath();
  const QString candidates[] = {
      app_dir + QStringLiteral("/guide/index.html"),
      app_dir + QStringLiteral("/../share/tavrik/guide/index.html"),
      QStringLiteral(TAVRIK_GUIDE_DIR "/index.html"),
  };
  for (const QString& path : candidates) {
    if (QFileInfo::exists(path)) return QFileInfo(path).canonicalFilePath();
  }
  return {};
}

void CSettingsPage::OpenDocumentation() {
  const QString path = GuidePath();
  // Nothing is reported when there is no guide or no program to show it.
  if (!path.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool CSettingsPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Control(kLinkId)) {
    if (event->type() == QEvent::MouseButtonRelease) {
      OpenDocumentation();
      return true;
    }
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        OpenDocumentation();
        return true;
      }
    }
  }
  return CPageImpl::eventFilter(watched, event);
}

TransferHooks CSettingsPage::Hooks() {
  TransferHooks hooks;
  hooks.store_connect_page = [this] { ParentDlg().StoreConnectPage(); };
  hooks.store_active_page = [this] {
    CPageT& page = ParentDlg().GetActivePage();
    const bool ok = page.Store();
    // The settings page stays in view: its preview comes back at once.
    if (&page == this) RebuildPreview(Zoom());
    return ok;
  };
  hooks.load_active_page = [this] { ParentDlg().GetActivePage().Load(); };
  hooks.select_model = [this](std::uint8_t model) {
    SelectedModel = model;
    const int index = model_list_->findData(QVariant(static_cast<unsigned>(model)));
    if (index >= 0) model_list_->setCurrentIndex(index);
  };
  hooks.progress = [](std::uint32_t, std::uint32_t) { CDeviceAction::Pump(); };
  return hooks;
}

LoadResult CSettingsPage::LoadFromDevice() {
  CDeviceAction action(this);
  return tavrik::LoadFromDevice(Hooks());
}

SaveResult CSettingsPage::SaveToDevice() {
  CDeviceAction action(this);
  return tavrik::SaveToDevice(Hooks());
}

}  // namespace tavrik
