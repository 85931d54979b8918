// The symbol under construction: one byte per module, row by row.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrik::aztecgen {

class matrix {
public:
    using value_type = std::uint8_t;

    matrix() = default;
    matrix(std::size_t width, std::size_t height, value_type fill = 0) { assign(width, height, fill); }

    void assign(std::size_t width, std::size_t height, value_type fill = 0)
    {
        _data.assign(width * height, fill);
        _width = width;
        _height = height;
    }

    std::size_t width() const { return _width; }
    std::size_t height() const { return _height; }

    value_type& at(std::size_t x, std::size_t y)
    {
        assert(x < width());
        assert(y < height());
        return _data[x + y * _width];
    }
    value_type at(std::size_t x, std::size_t y) const
    {
        assert(x < width());
        assert(y < height());
        return _data[x + y * _width];
    }

    const std::vector<value_type>& data() const { return _data; }
    value_type* cells() { return _data.data(); }

private:
    std::vector<value_type> _data;
    std::size_t _width = 0;
    std::size_t _height = 0;
};

} // namespace tavrik::aztecgen
