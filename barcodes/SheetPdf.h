#pragma once
// The programming sheet as an A4 PDF drawn by cairo: real text in DejaVu Sans
// (it has Cyrillic), every module an exact rectangle of the layout's size.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "barcodes/ProgrammingSheet.h"

namespace tavrik {

// The file's bytes; nothing when cairo fails.
std::optional<std::vector<std::uint8_t>> ProgrammingSheetPdf(const SheetLayout& layout);

// Writes them through a temporary file in the same folder: the old file, or
// the new one, never a part. False on any failure.
bool WriteProgrammingSheetPdf(const std::string& file_name, const SheetLayout& layout);

}  // namespace tavrik
