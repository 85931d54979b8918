#include "settings/Models.h"

#include <algorithm>
#include <iterator>

namespace tavrik {
namespace {

// The kinds as the window names them, in ModelKind order.
constexpr const char* kKindTexts[] = {"", "Стационарный сканер", "Ручной сканер", "Встраиваемый сканер"};
constexpr const char* kUnknownModelText = "Неизвестная модель";

constexpr auto S = ModelKind::stationary;
constexpr auto H = ModelKind::handheld;
constexpr auto E = ModelKind::embedded;

// code, kind, name, Bluetooth; barcode interface, 2D codes, DataBar 14, trigger
// mode, currency start mode, illumination mode.
constexpr ModelSpec kModels[] = {
    {100, S, "Gran S1", false, uart, true, true, 4, 2, 0},
    {150, H, "Luch H1", false, uart, true, true, 4, 2, 0},
    {151, H, "Luch H2", false, uart, true, true, 4, 2, 0},
    {152, H, "Luch H2 Plus", false, uart, true, true, 4, 2, 0},
    {153, H, "Luch H3", false, uart, true, true, 4, 2, 0},
    {154, H, "Luch H3 Plus", false, usb_hid, true, true, 4, 1, 0},
    {155, H, "Luch H4", false, usb_hid, true, true, 4, 2, 0},
    {156, H, "Luch H4 BT", true, usb_hid, true, true, 4, 2, 0},
    {157, H, "Luch H5 BT", true, usb_hid, true, true, 4, 2, 0},
    {158, H, "Luch H6", false, usb_hid, true, true, 4, 2, 0},
    {159, H, "Luch H6 BT", true, bt_hid, true, true, 4, 2, 0},
    {200, E, "Iskra E1", false, uart, false, true, 1, 2, 0},
    {201, E, "Iskra E2", false, uart, false, true, 1, 2, 0},
    {202, E, "Iskra E2 Mini", false, usb_hid, false, true, 1, 2, 0},
    {203, E, "Iskra E3", false, uart, true, true, 4, 2, 0},
    {204, E, "Iskra E3 Mini", false, uart, false, true, 2, 2, 1},
    {205, E, "Iskra E4", false, usb_hid, true, true, 4, 2, 0},
    {206, E, "Iskra E5", false, usb_hid, true, true, 4, 2, 0},
    {207, E, "Iskra E6", false, usb_hid, false, true, 2, 2, 1},
    {208, S, "Gran S2 BT", true, usb_hid, true, false, 2, 2, 0},
    {209, S, "Gran S3", false, usb_hid, true, true, 2, 2, 0},
    {210, S, "Gran S4", false, usb_hid, true, false, 2, 2, 0},
    {211, S, "Gran S5", false, usb_hid, true, true, 2, 2, 0},
};

}  // namespace

std::span<const ModelSpec> Models() { return kModels; }

const ModelSpec* FindModelSpec(std::uint8_t code) {
  auto it = std::find_if(std::begin(kModels), std::end(kModels),
                         [code](const ModelSpec& m) { return m.code == code; });
  return it == std::end(kModels) ? nullptr : &*it;
}

const ModelSpec& ModelDefaults(std::uint8_t code) {
  const ModelSpec* row = FindModelSpec(code);
  return row ? *row : kOtherModel;
}

std::string ModelText(std::uint8_t model, bool short_form) {
  const ModelSpec* row = FindModelSpec(model);
  if (!row) return std::string(kUnknownModelText) + " (" + std::to_string(model) + ")";
  if (short_form) return row->name;
  return std::string(kKindTexts[static_cast<int>(row->kind)]) + " \"" + row->name + "\"";
}

}  // namespace tavrik
