// Centre-relative views of the symbol under construction.
#pragma once

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

    virtual void set(int x, int y, std::uint8_t value);
    void get_rect(symbol_rect* rect) const;

protected:
    matrix* _mtx;
};

// A full-range symbol: its construction draws the reference grid, and set
// takes placement coordinates, which number only the modules off the grid
// lines (rows and columns 0, +-16, +-32, ...).
class full_symbol_matrix : public symbol_matrix {
public:
    explicit full_symbol_matrix(matrix* mtx);

    void set(int x, int y, std::uint8_t value) override;

    // The symbol coordinate of placement coordinate v.
    static int to_symbol(int v) { return v >= 0 ? v + v / 15 + 1 : v + (v + 1) / 15; }
};

} // namespace tavrik::aztecgen
