#include "generate_bit_stream.h"

#include <algorithm>
#include <cassert>

namespace tavrik::aztecgen {

namespace {

constexpr unsigned kBinaryShift = 31;  // B/S, 5 bits in the Upper mode
constexpr std::size_t kShortRunMax = 31;

std::size_t run_bits(std::size_t len)
{
    return 5 + (len <= kShortRunMax ? 5 : 16) + 8 * len;
}

} // namespace

void generate_bit_stream(bits* out, const std::uint8_t* first, const std::uint8_t* last)
{
    assert(out != nullptr);
    out->clear();
    const std::size_t size = first == last ? 0 : static_cast<std::size_t>(last - first);

    std::size_t total = 0;
    for (std::size_t done = 0; done < size; done += max_binary_shift_length)
        total += run_bits(std::min(max_binary_shift_length, size - done));
    // Room for the data bits of the largest symbol, so that the stream is
    // never reallocated while it is built.
    out->reserve(std::max<std::size_t>(20000, total));

    out->resize(total);
    auto it = out->begin();
    const auto put = [&it](unsigned value, std::ptrdiff_t count) {
        dec_to_bin(value, it, it + count);
        it += count;
    };
    for (std::size_t done = 0; done < size;) {
        const std::size_t len = std::min(max_binary_shift_length, size - done);
        put(kBinaryShift, 5);
        if (len <= kShortRunMax) {
            put(static_cast<unsigned>(len), 5);
        } else {
            put(0u, 5);
            put(static_cast<unsigned>(len - kShortRunMax), 11);
        }
        for (std::size_t i = 0; i < len; ++i)
            put(first[done + i], 8);
        done += len;
    }
    assert(it == out->end());
}

} // namespace tavrik::aztecgen
