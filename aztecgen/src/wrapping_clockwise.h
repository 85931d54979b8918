// Lays a bit sequence into square rings around the centre, innermost first.
#pragma once

#include <cassert>
#include <cstdint>

#include "base/bin_dec_conversion.h"
#include "symbol_matrix.h"

namespace tavrik::aztecgen {

// Rings are layer_width modules wide; the first has the outer height
// first_layer_height, each next one is 2 * layer_width higher. Each side of a
// ring covers first_layer_height - layer_width positions along it and ends in
// the corner where the next side begins; across the ring the inner module
// comes first. The sequence must end at the start of a ring.
//
// View is the view's own type, so that a final view's set is bound without
// a virtual call for every module; any symbol_matrix works.
template <typename View>
void wrapping_clockwise(View* mtx, const bits& data, std::uint8_t layer_width, std::uint8_t first_layer_height)
{
    assert(mtx != nullptr);
    assert(data.size() > 0);
    assert(layer_width > 0);
    assert((first_layer_height == layer_width && layer_width == 1) || first_layer_height >= 2 * layer_width);

    const int c = layer_width;
    const std::uint8_t* next = data.data();
    const std::uint8_t* const end = data.data() + data.size();
    for (int h = first_layer_height; next != end; h += 2 * c) {
        if (h == c) {
            // The single centre module.
            mtx->set(0, 0, *next++);
            continue;
        }
        const int a = c - h / 2;
        const int b = h - h / 2 - c;
        const int e = h % 2 == 0 ? 1 : 0;
        const int along = h - c;
        assert(end - next >= 4 * along * c);
        if (end - next < 4 * along * c)
            return;
        for (int j = 0; j < along; ++j)
            for (int k = 0; k < c; ++k)
                mtx->set(a + j, b + k, *next++);
        for (int j = 0; j < along; ++j)
            for (int k = 0; k < c; ++k)
                mtx->set(b + k, -(a + j) - e, *next++);
        for (int j = 0; j < along; ++j)
            for (int k = 0; k < c; ++k)
                mtx->set(-(a + j) - e, -(b + k) - e, *next++);
        for (int j = 0; j < along; ++j)
            for (int k = 0; k < c; ++k)
                mtx->set(-(b + k) - e, a + j, *next++);
    }
}

} // namespace tavrik::aztecgen
