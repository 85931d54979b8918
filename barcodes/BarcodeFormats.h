#pragma once
// The file formats a configuration barcode can be saved in: the enhanced
// metafile of old, and SVG, PDF and PNG for printing from any program.

#include <optional>
#include <string_view>

#include "core/Dialogs.h"

namespace tavrik {

enum class BarcodeFormat { emf, svg, pdf, png };

struct BarcodeFormatSpec {
  BarcodeFormat format;
  const char* extension;    // without the dot, as the dialog appends it
  const char* filter_name;  // the save dialog's filter
  const char* pattern;
};

// In the order of the save dialog's filters; the first is the default.
inline constexpr BarcodeFormatSpec kBarcodeFormats[] = {
    {BarcodeFormat::emf, "emf", "Метафайлы (*.emf)", "*.emf"},
    {BarcodeFormat::svg, "svg", "SVG (*.svg)", "*.svg"},
    {BarcodeFormat::pdf, "pdf", "PDF (*.pdf)", "*.pdf"},
    {BarcodeFormat::png, "png", "PNG (*.png)", "*.png"},
};

const BarcodeFormatSpec& BarcodeFormatSpecOf(BarcodeFormat format);

// The format of filter `index` of the save dialog; the default (metafiles)
// for an index outside the list.
BarcodeFormat BarcodeFormatFromFilter(int index);
// What follows the last dot of the path's last part ("" for "scan."), or
// nothing when that part has no dot.
std::optional<std::string_view> FileNameExtension(std::string_view path);
// The format named by the extension of the file name (case does not matter),
// or nothing when the name has none of the four.
std::optional<BarcodeFormat> BarcodeFormatFromName(std::string_view path);
// What a save dialog's answer means: an extension of the four wins, since the
// file must be what its name says; otherwise the chosen filter decides.
BarcodeFormat ChosenBarcodeFormat(std::string_view path, int filter_index);

// The save dialog of "Сохранить в виде ШК": the four filters, "emf" appended
// to a name typed without extension.
FileDialog BarcodeSaveDialog();

}  // namespace tavrik
