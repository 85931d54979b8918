#include "wrapping_clockwise.h"

#include <cassert>

namespace tavrik::aztecgen {

void wrapping_clockwise(symbol_matrix* mtx, const bits& data, std::uint8_t layer_width,
                        std::uint8_t first_layer_height)
{
    assert(mtx != nullptr);
    assert(data.size() > 0);
    assert(layer_width > 0);
    assert((first_layer_height == layer_width && layer_width == 1) || first_layer_height >= 2 * layer_width);

    const int c = layer_width;
    std::size_t next = 0;
    for (int h = first_layer_height; next < data.size(); h += 2 * c) {
        if (h == c) {
            // The single centre module.
            mtx->set(0, 0, data[next++]);
            continue;
        }
        const int a = c - h / 2;
        const int b = h - h / 2 - c;
        const int e = h % 2 == 0 ? 1 : 0;
        const std::size_t ring = static_cast<std::size_t>(4 * (h - c) * c);
        assert(data.size() - next >= ring);
        if (data.size() - next < ring)
            return;
        for (int s = 0; s < 4; ++s) {
            for (int j = 0; j < h - c; ++j) {
                for (int k = 0; k < c; ++k) {
                    const std::uint8_t bit = data[next++];
                    switch (s) {
                    case 0: mtx->set(a + j, b + k, bit); break;
                    case 1: mtx->set(b + k, -(a + j) - e, bit); break;
                    case 2: mtx->set(-(a + j) - e, -(b + k) - e, bit); break;
                    default: mtx->set(-(b + k) - e, a + j, bit); break;
                    }
                }
            }
        }
    }
}

} // namespace tavrik::aztecgen
