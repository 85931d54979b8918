// The programming sheet printed from the settings page: the QPainter painter
// against the layout, and the print preview behind "Печать..." printing
// the same sheet through Qt's own PDF printer.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QLabel>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "barcodes/ProgrammingSheet.h"
#include "core/ScriptedDialogs.h"
#include "pages/SettingsPage.h"
#include "pages/SheetPainter.h"
#include "pages/test_parent.h"
#include "settings/init_settings_def.h"
#include "testsupport/CommandOutput.h"
#include "testsupport/TempDir.h"

namespace tavrik {
namespace {

// Ten pixels a millimetre: every module edge of the layout is a pixel edge.
constexpr double kDpi = 254;

bool Dark(const QImage& image, double x_mm, double y_mm) {
  const int x = static_cast<int>(x_mm * kDpi / 25.4);
  const int y = static_cast<int>(y_mm * kDpi / 25.4);
  return qGray(image.pixel(x, y)) < 128;
}

// Every module of every symbol where the layout puts it: the centre of each
// dark module is dark, of each light one light, and the quiet zone around
// the symbol is light.
void ExpectSymbolsOfTheLayout(const QImage& image, const SheetPage& page) {
  ASSERT_NEAR(image.width(), kSheetWidthMm * kDpi / 25.4, 1);
  ASSERT_FALSE(page.symbols.empty());
  for (const SheetSymbol& s : page.symbols) {
    SCOPED_TRACE("symbol " + std::to_string(static_cast<int>(s.kind)));
    int wrong = 0;
    for (int row = 0; row < s.rows; ++row) {
      for (int column = 0; column < s.columns; ++column) {
        const double x = s.x_mm + (column + 0.5) * s.module_width_mm;
        const double y = s.y_mm + (row + 0.5) * s.module_height_mm;
        wrong += Dark(image, x, y) != s.dark(column, row);
      }
    }
    EXPECT_EQ(wrong, 0);
    // Just inside the quiet zone, left and right of the symbol's middle.
    const double q = s.quiet_zone_modules * s.module_width_mm;
    const double middle = s.y_mm + s.rows * s.module_height_mm / 2;
    EXPECT_FALSE(Dark(image, s.x_mm - q + 0.2, middle));
    EXPECT_FALSE(Dark(image, s.x_mm + s.columns * s.module_width_mm + q - 0.2, middle));
  }
}

// Some ink where each text run starts, and no run wider in Qt's drawing than
// the layout measured it.
void ExpectTextsOfTheLayout(const QImage& image, const SheetPage& page) {
  for (const SheetText& t : page.texts) {
    SCOPED_TRACE(t.text);
    QFont font(QString::fromUtf8(kSheetFontFamily));
    font.setPixelSize(static_cast<int>(std::lround(t.size_pt * kPointMm * kDpi / 25.4)));
    font.setBold(t.bold);
    const double drawn_mm = QFontMetricsF(font, &image).horizontalAdvance(QString::fromStdString(t.text)) * 25.4 / kDpi;
    EXPECT_LE(drawn_mm, SheetTextWidthMm(t.text, t.size_pt, t.bold));
    const double height = t.size_pt * kPointMm;
    const double width = std::min(SheetTextWidthMm(t.text, t.size_pt, t.bold), 20.0);
    const double left = t.align == SheetAlign::right ? t.x_mm - width : t.x_mm;
    int ink = 0;
    for (double y = t.y_mm - height * 0.7; y < t.y_mm; y += 0.1) {
      for (double x = left; x < left + width; x += 0.1) ink += Dark(image, x, y);
    }
    EXPECT_GT(ink, 0);
  }
}

class SheetPrintingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    SetCurrentModel(156);
    LoadDefaults(CurrentSettings());
    CurrentSettings().code39_enabled = !CurrentSettings().code39_enabled;
    CurrentSettings().barcode_interface = usb_cdc;
    parent_.page = &page_;
    page_.SetParentDlg(&parent_);
    page_.Create(nullptr, QRect(0, 0, 411, 460));
    page_.Load();
    page_.show();
    page_.OnShow();
  }
  void TearDown() override { ResetProcessState(); }

  QPushButton* PrintButton() {
    for (auto* button : page_.findChildren<QPushButton*>()) {
      if (button->text() == QStringLiteral("Печать...")) return button;
    }
    return nullptr;
  }

  ScriptedDialogs dialogs_;
  NoParent parent_;
  CSettingsPage page_;
  test::TempDir temp_{"tavrik-sheet-printing"};
};

TEST_F(SheetPrintingTest, PainterDrawsEveryPageOfTheLayoutAtItsMillimetres) {
  SheetLayout layout;
  std::vector<SheetSetting> many(90, SheetSetting{"Страница", "Подпись", "значение"});
  SheetRequest request{"Ручной сканер", "11.12.2026", 0.4, false};
  ASSERT_EQ(LayoutProgrammingSheet(request, CurrentSettings(), many, layout), SheetResult::ok);
  ASSERT_GE(layout.pages.size(), 2u);
  const QImage first = SheetPageImage(layout.pages[0], kDpi);
  ExpectSymbolsOfTheLayout(first, layout.pages[0]);
  ExpectTextsOfTheLayout(first, layout.pages[0]);
  ExpectTextsOfTheLayout(SheetPageImage(layout.pages[1], kDpi), layout.pages[1]);
}

TEST_F(SheetPrintingTest, PrintButtonPreviewsTheSheetAndPrintsItAtOneToOne) {
  QPushButton* button = PrintButton();
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->accessibleName().isEmpty() ? button->text() : button->accessibleName(),
            QStringLiteral("Печать..."));
  QTest::mouseClick(button, Qt::LeftButton);
  QPointer<QPrintPreviewDialog> dialog = page_.findChild<QPrintPreviewDialog*>(QStringLiteral("sheetPreview"));
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->windowTitle().contains(QStringLiteral("1:1")));
  auto* note = dialog->findChild<QLabel*>(QStringLiteral("sheetPreviewNote"));
  ASSERT_NE(note, nullptr);
  EXPECT_TRUE(note->isVisible());
  EXPECT_TRUE(note->text().contains(QStringLiteral("1:1")));
  QApplication::processEvents();

  SheetLayout layout;
  ASSERT_EQ(page_.MakeSheet(layout), SheetResult::ok);
  auto* preview = dialog->findChild<QPrintPreviewWidget*>();
  ASSERT_NE(preview, nullptr);
  preview->updatePreview();
  EXPECT_EQ(preview->pageCount(), static_cast<int>(layout.pages.size()));

  // What the preview prints, to a PDF file instead of a printer.
  QPrinter* printer = dialog->printer();
  ASSERT_NE(printer, nullptr);
  const std::string pdf = temp_.str() + "/printed.pdf";
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(QString::fromStdString(pdf));
  preview->print();
  const std::string info = test::CommandOutput("pdfinfo '" + pdf + "'");
  EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
  EXPECT_NE(info.find("Pages:           " + std::to_string(layout.pages.size())), std::string::npos) << info;
  const std::string text = test::CommandOutput("pdftotext -layout '" + pdf + "' -");
  EXPECT_NE(text.find(kSheetInstructionText), std::string::npos) << text;
  EXPECT_NE(text.find("Ручной сканер \"Luch H4 BT\""), std::string::npos);
  EXPECT_NE(text.find("Интерфейс с ПК: Штрих-коды"), std::string::npos);
  EXPECT_NE(text.find("USB CDC"), std::string::npos);

  const std::string stem = temp_.str() + "/printed";
  ASSERT_EQ(std::system(("pdftoppm -r 254 -gray -png -singlefile '" + pdf + "' '" + stem + "'").c_str()), 0);
  QImage rendered(QString::fromStdString(stem + ".png"));
  ASSERT_FALSE(rendered.isNull());
  ExpectSymbolsOfTheLayout(rendered, layout.pages[0]);

  dialog->close();
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(dialog);
}

}  // namespace
}  // namespace tavrik
