#include "decode_helper.h"

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

namespace tavrik::aztecgen::test {

std::optional<decoded> decode(const ag_matrix& mtx)
{
    constexpr int kQuiet = 3;
    constexpr int kScale = 3;
    const int modules = static_cast<int>(mtx.width) + 2 * kQuiet;
    const int side = modules * kScale;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side) * static_cast<std::size_t>(side), 255);
    for (std::uint32_t y = 0; y < mtx.height; ++y)
        for (std::uint32_t x = 0; x < mtx.width; ++x)
            if (mtx.data[y * mtx.width + x])
                for (int dy = 0; dy < kScale; ++dy)
                    for (int dx = 0; dx < kScale; ++dx)
                        pixels[static_cast<std::size_t>((static_cast<int>(y) + kQuiet) * kScale + dy) * side +
                               static_cast<std::size_t>((static_cast<int>(x) + kQuiet) * kScale + dx)] = 0;

    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Aztec);
    hints.setIsPure(true);
    hints.setTryRotate(false);
    hints.setTryDownscale(false);
    const ZXing::Result result =
        ZXing::ReadBarcode(ZXing::ImageView(pixels.data(), side, side, ZXing::ImageFormat::Lum), hints);
    if (!result.isValid())
        return std::nullopt;
    decoded out;
    out.bytes.assign(result.bytes().begin(), result.bytes().end());
    out.reader_init = result.readerInit();
    return out;
}

} // namespace tavrik::aztecgen::test
