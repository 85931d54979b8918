// Centre-relative views of the symbol under construction.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>

#include "base/matrix_def.h"

namespace tavrik::aztecgen {

struct symbol_rect {
    std::int16_t left;
    std::int16_t top;
    std::int16_t right;   // exclusive
    std::int16_t bottom;  // exclusive
};

// x counts columns and y rows from the centre module; y grows with the row index.
class symbol_matrix {
public:
    explicit symbol_matrix(matrix* mtx);
    virtual ~symbol_matrix() = default;

    symbol_matrix(const symbol_matrix&) = delete;
    symbol_matrix& operator=(const symbol_matrix&) = delete;

    virtual void set(int x, int y, std::uint8_t value)
    {
        const int xt = x + _centre_x;
        const int yt = y + _centre_y;
        assert(xt >= 0);
        assert(yt >= 0);
        assert(static_cast<std::size_t>(xt) < _mtx->width());
        assert(static_cast<std::size_t>(yt) < _mtx->height());
        _cells[static_cast<std::size_t>(yt) * _width + static_cast<std::size_t>(xt)] = value;
    }
    void get_rect(symbol_rect* rect) const;

protected:
    matrix* _mtx;

private:
    // The matrix keeps its size while a view is on it; its cells are looked
    // up once, not for every module.
    std::uint8_t* _cells;
    std::size_t _width;
    int _centre_x;
    int _centre_y;
};

// A full-range symbol: its construction draws the reference grid, and set
// takes placement coordinates, which number only the modules off the grid
// lines (rows and columns 0, +-16, +-32, ...).
class full_symbol_matrix final : public symbol_matrix {
public:
    explicit full_symbol_matrix(matrix* mtx);

    void set(int x, int y, std::uint8_t value) override
    {
        assert(x >= -kMapOffset && x < kMapOffset);
        assert(y >= -kMapOffset && y < kMapOffset);
        symbol_matrix::set(_to_symbol[static_cast<std::size_t>(x + kMapOffset)],
                           _to_symbol[static_cast<std::size_t>(y + kMapOffset)], value);
    }

    // The symbol coordinate of placement coordinate v.
    static int to_symbol(int v) { return v >= 0 ? v + v / 15 + 1 : v + (v + 1) / 15; }

private:
    // to_symbol of every placement coordinate of the largest symbol, looked
    // up for each module.
    static constexpr int kMapOffset = 80;
    std::array<std::int16_t, 2 * kMapOffset> _to_symbol;
};

} // namespace tavrik::aztecgen
