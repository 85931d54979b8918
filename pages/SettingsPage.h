#pragma once
// The page "Настройки": the whole configuration as one unit: model defaults,
// settings files, configuration barcodes and the device transfers.

#include <QPixmap>

#include <cstdint>

#include "barcodes/BarcodeRendering.h"
#include "barcodes/ProgrammingSheet.h"
#include "pages/Page.h"
#include "transfers/DeviceTransfers.h"

class QComboBox;
class QLabel;
class QSlider;

namespace tavrik {

class CSettingsPage : public CPageImpl<CSettingsPage> {
 public:
  static constexpr int kTemplateId = page_id::settings;
  // The zoom of the preview, in pixels a module.
  static constexpr int kMinZoom = 2;
  static constexpr int kMaxZoom = 4;
  static constexpr int kInitialZoom = 3;

  CSettingsPage();
  ~CSettingsPage() override;
  void Bindings(CBindings& b);

  void Load() override;
  // Releases the preview.
  bool Store() override;
  void OnShow() override;

  // The model chosen in the list; kNoModel until one is chosen or loaded.
  std::uint8_t SelectedModel;
  // Leaves the lens commands out of the old-form symbol.
  bool exclude_lens = true;

  // The device transfers that the main window's buttons start. Both block the
  // window while they run (see DeviceAction.h).
  LoadResult LoadFromDevice();
  SaveResult SaveToDevice();

  // The buttons and the link.
  void OnSetDefaults();
  void OnSaveToFile();
  void OnLoadFromFile();
  void OnSaveAsBarcode();
  // "Печать...": the programming sheet in a print preview, from which the
  // user prints at 1:1 or saves a PDF. The preview is window-modal and
  // deletes itself when closed.
  void OnPrintSheet();
  // The sheet of the current settings against the current model's defaults.
  SheetResult MakeSheet(SheetLayout& layout);
  // The preview's title, which tells the user how the sheet prints.
  static constexpr const char16_t* kSheetPreviewTitleText =
      u"Лист настройки: печать в масштабе 1:1, штрихкоды в натуральную величину";
  static constexpr const char16_t* kSheetPreviewNoteText =
      u"Лист печатается в масштабе 1:1: штрихкоды в натуральную величину. "
      u"Не включайте в диалоге печати масштабирование \"по размеру страницы\".";
  void OpenDocumentation();

  // The group barcode of the current settings at `zoom` pixels a module into
  // the preview; false (the preview keeps its picture) when it cannot be
  // built or is larger than the preview.
  bool RebuildPreview(int zoom);
  // The track bar's position.
  int Zoom() const;
  // The device pixels a module takes at `zoom` on a screen of `ratio` device
  // pixels a logical one: a whole number, at least 1.
  static int ModulePixels(int zoom, qreal ratio);
  // The preview shown now; a null pixmap when released.
  QPixmap Preview() const;

  // The user guide: beside the program when installed, in the sources when
  // run from the build tree. Empty when neither is there.
  static QString GuidePath();
  // The metrics of the screen the window is on, for the metafile frame.
  ScreenMetrics WindowScreen() const;

 protected:
  void CreateControls(CPageForm& form) override;
  void OnInitDialog() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TransferHooks Hooks();
  void SelectModelInList(std::uint8_t model);
  void ReleasePreview();

  QComboBox* model_list_ = nullptr;
  QLabel* preview_ = nullptr;
  QSlider* zoom_ = nullptr;
  QLabel* zoom_text_ = nullptr;
};

}  // namespace tavrik
