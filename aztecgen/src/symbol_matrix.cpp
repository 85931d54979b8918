#include "symbol_matrix.h"

#include <cassert>

namespace tavrik::aztecgen {

namespace {

constexpr int kGridSpacing = 16;

bool on_grid_line(int v)
{
    return v % kGridSpacing == 0;
}

} // namespace

symbol_matrix::symbol_matrix(matrix* mtx) : _mtx(mtx)
{
    assert(mtx != nullptr);
    _cells = mtx->cells();
    _width = mtx->width();
    _centre_x = static_cast<int>(mtx->width() / 2);
    _centre_y = static_cast<int>(mtx->height() / 2);
}

void symbol_matrix::get_rect(symbol_rect* rect) const
{
    assert(rect != nullptr);
    rect->left = static_cast<std::int16_t>(-static_cast<int>(_mtx->width() / 2));
    rect->top = static_cast<std::int16_t>(-static_cast<int>(_mtx->height() / 2));
    rect->right = static_cast<std::int16_t>(rect->left + static_cast<int>(_mtx->width()));
    rect->bottom = static_cast<std::int16_t>(rect->top + static_cast<int>(_mtx->height()));
}

full_symbol_matrix::full_symbol_matrix(matrix* mtx) : symbol_matrix(mtx)
{
    for (int v = -kMapOffset; v < kMapOffset; ++v)
        _to_symbol[static_cast<std::size_t>(v + kMapOffset)] = static_cast<std::int16_t>(to_symbol(v));

    // Grid lines alternate dark and light, dark on even coordinates, so
    // they cross dark, the centre included. Rows are drawn before columns.
    symbol_rect rect;
    get_rect(&rect);
    for (int y = rect.top; y < rect.bottom; ++y) {
        if (on_grid_line(y)) {
            for (int x = rect.left; x < rect.right; ++x)
                symbol_matrix::set(x, y, x % 2 == 0 ? 1 : 0);
            continue;
        }
        // left is never positive, so truncation gives the first grid column.
        for (int x = rect.left / kGridSpacing * kGridSpacing; x < rect.right; x += kGridSpacing)
            symbol_matrix::set(x, y, y % 2 == 0 ? 1 : 0);
    }
}

} // namespace tavrik::aztecgen
