// Numbers to and from bit sequences, most significant bit first, one element per bit.
#pragma once

#include <cassert>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace tavrik::aztecgen {

// One element per bit, each 0 or 1.
using bits = std::vector<std::uint8_t>;
// Codewords of one symbol, each below 2 to the power of its codeword size.
using codewords = std::vector<std::uint16_t>;

// Writes dec into [bin_first, bin_last), most significant bit first. The bits
// that do not fit must all equal the sign: 0, or -1 for a negative value.
template <typename DecValue, typename BinIt>
void dec_to_bin(DecValue dec, BinIt bin_first, BinIt bin_last)
{
    assert(bin_last - bin_first > 0);
    BinIt it = bin_last;
    do {
        --it;
        *it = static_cast<std::uint8_t>(dec & 1);
        dec >>= 1;
    } while (it != bin_first);
    assert(dec == 0 || dec == static_cast<DecValue>(-1));
}

// Reads [bin_first, bin_last), most significant bit first, as one value.
template <typename DecValue, typename BinIt>
DecValue bin_to_dec(BinIt bin_first, BinIt bin_last)
{
    assert(bin_last - bin_first > 0 && bin_last - bin_first <= static_cast<std::ptrdiff_t>(sizeof(DecValue) * CHAR_BIT));
    DecValue dec = 0;
    for (; bin_first != bin_last; ++bin_first) {
        assert(*bin_first == 0 || *bin_first == 1);
        dec = static_cast<DecValue>((dec << 1) + *bin_first);
    }
    return dec;
}

// Writes every value of [dec_first, dec_last) in dec_size bits, one after the other.
template <typename DecIt, typename BinIt>
BinIt dec_seq_to_bin(DecIt dec_first, DecIt dec_last, BinIt bin_first, std::size_t dec_size)
{
    assert(dec_size > 0);
    for (; dec_first != dec_last; ++dec_first) {
        BinIt next = bin_first + static_cast<std::ptrdiff_t>(dec_size);
        dec_to_bin(*dec_first, bin_first, next);
        bin_first = next;
    }
    return bin_first;
}

// Reads [bin_first, bin_last) as consecutive values of dec_size bits each.
template <typename DecValue, typename BinIt, typename OutIt>
OutIt bin_to_dec_seq(BinIt bin_first, BinIt bin_last, OutIt dec_out, std::size_t dec_size)
{
    assert(dec_size > 0);
    assert(static_cast<std::size_t>(bin_last - bin_first) % dec_size == 0);
    while (bin_first != bin_last) {
        BinIt next = bin_first + static_cast<std::ptrdiff_t>(dec_size);
        *dec_out++ = bin_to_dec<DecValue>(bin_first, next);
        bin_first = next;
    }
    return dec_out;
}

// Appends dec in count bits to out.
template <typename DecValue>
void append_bits(bits& out, DecValue dec, std::size_t count)
{
    out.resize(out.size() + count);
    dec_to_bin(dec, out.end() - static_cast<std::ptrdiff_t>(count), out.end());
}

} // namespace tavrik::aztecgen
