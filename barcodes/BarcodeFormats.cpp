#include "barcodes/BarcodeFormats.h"

#include <cctype>
#include <string>

namespace tavrik {

const BarcodeFormatSpec& BarcodeFormatSpecOf(BarcodeFormat format) {
  for (const BarcodeFormatSpec& spec : kBarcodeFormats) {
    if (spec.format == format) return spec;
  }
  return kBarcodeFormats[0];
}

BarcodeFormat BarcodeFormatFromFilter(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kBarcodeFormats))) return kBarcodeFormats[0].format;
  return kBarcodeFormats[index].format;
}

std::optional<std::string_view> FileNameExtension(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return std::nullopt;
  return path.substr(dot + 1);
}

std::optional<BarcodeFormat> BarcodeFormatFromName(std::string_view path) {
  const std::optional<std::string_view> found = FileNameExtension(path);
  if (!found) return std::nullopt;
  std::string extension(*found);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const BarcodeFormatSpec& spec : kBarcodeFormats) {
    if (extension == spec.extension) return spec.format;
  }
  return std::nullopt;
}

BarcodeFormat ChosenBarcodeFormat(std::string_view path, int filter_index) {
  return BarcodeFormatFromName(path).value_or(BarcodeFormatFromFilter(filter_index));
}

FileDialog BarcodeSaveDialog() {
  FileDialog dialog;
  for (const BarcodeFormatSpec& spec : kBarcodeFormats) dialog.filters.push_back({spec.filter_name, spec.pattern});
  dialog.default_extension = kBarcodeFormats[0].extension;
  return dialog;
}

}  // namespace tavrik
