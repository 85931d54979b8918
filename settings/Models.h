#pragma once
// The scanner models, one row each: the code the scanner reports, its kind and
// name, whether it has Bluetooth, and the defaults that differ between models.
// A code without a row (0 for "no model yet", or a model this program does not
// know) takes the defaults of kOtherModel.

#include <cstdint>
#include <span>
#include <string>

#include "settings/init_settings_def.h"

namespace tavrik {

enum class ModelKind : std::uint8_t { none, stationary, handheld, embedded };

struct ModelSpec {
  std::uint8_t code;
  ModelKind kind;
  const char* name;
  bool bluetooth;
  // Defaults of the fields that depend on the model.
  std::uint8_t barcode_interface;  // uart models also end their HID-slot suffix with CR LF
  bool decodes_2d;                 // datamatrix_enabled, qrcode_enabled; config barcodes mode 1, else 2
  bool databar14;                  // databar14_enabled
  std::uint8_t trigger_mode;
  std::uint8_t currency_start_mode;
  std::uint8_t illumination_mode;
};

// Defaults of a code without a row.
inline constexpr ModelSpec kOtherModel{0, ModelKind::none, "", false, usb_hid, true, true, 4, 2, 0};

std::span<const ModelSpec> Models();

// The settings page's model list offers these, in this order; 255 stands for
// "no model chosen".
inline constexpr std::uint8_t ModelChoices[] = {100, 151, 152, 153, 201, 203, 204, 202, 154, 155, 156,
                                                157, 205, 206, 207, 210, 208, 211, 209, 158, 159, 255};
inline constexpr std::uint8_t kNoModel = 255;

// "Ручной сканер \"name\"" (long form) or the name alone (short form); unknown
// codes give "Неизвестная модель (code)" in both forms.
std::string ModelText(std::uint8_t model, bool short_form);
// The row of `code`, or nullptr.
const ModelSpec* FindModelSpec(std::uint8_t code);
// The row of `code`, or kOtherModel.
const ModelSpec& ModelDefaults(std::uint8_t code);

}  // namespace tavrik
