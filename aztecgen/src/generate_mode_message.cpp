#include "generate_mode_message.h"

#include <cassert>

#include "add_reed_solomon_checkwords.h"

namespace tavrik::aztecgen {

void generate_mode_message(bits* mode_message, const symbol_info& info, std::size_t codewords_count)
{
    assert(mode_message != nullptr);
    assert(codewords_count > 0);
    const auto& mm = info.mode_message;

    const unsigned short symbol_size = static_cast<unsigned short>(info.data_message.layers - 1);
    unsigned short message_length = static_cast<unsigned short>(codewords_count - 1);
    if (info.initialization_symbol) {
        // Readers see the flag in the top bit of the length field.
        const unsigned short initialization_symbol_mask =
            static_cast<unsigned short>(1u << (mm.bits_on_message_length - 1));
        assert((message_length & initialization_symbol_mask) == 0);
        message_length = static_cast<unsigned short>(message_length | initialization_symbol_mask);
        assert(message_length + 1 > info.data_message.codeword_count);
    }
    assert(symbol_size < static_cast<unsigned short>(1) << info.mode_message.bits_on_symbol_size);
    assert(message_length < static_cast<unsigned short>(1) << info.mode_message.bits_on_message_length);

    bits data_bits;
    data_bits.reserve(16);
    append_bits(data_bits, symbol_size, mm.bits_on_symbol_size);
    append_bits(data_bits, message_length, mm.bits_on_message_length);
    assert(data_bits.size() % info.mode_message.codeword_size == 0);

    codewords words;
    words.reserve(mm.codeword_count);
    bin_to_dec_seq<std::uint16_t>(data_bits.begin(), data_bits.end(), std::back_inserter(words), mm.codeword_size);
    add_reed_solomon_checkwords(&words, mm.codeword_size, mm.codeword_count - words.size());

    bits message(words.size() * mm.codeword_size);
    dec_seq_to_bin(words.begin(), words.end(), message.begin(), mm.codeword_size);
    assert(message.size() % 4 == 0);
    const std::size_t q = message.size() / 4;

    // The orientation modules at the ring's corners: three dark at one
    // corner, two and one at the next two, none at the fourth, so that a
    // reader finds the rotation and the start of the message. One run comes
    // before each quarter of the message and one closes the ring.
    struct orientation_run {
        std::uint8_t count;
        std::uint8_t value[3];
    };
    static constexpr orientation_run kOrientation[5] = {
        {1, {1}}, {3, {0, 1, 1}}, {3, {1, 0, 0}}, {3, {0, 0, 0}}, {2, {1, 1}},
    };
    mode_message->clear();
    mode_message->reserve(message.size() + 12);
    for (std::size_t side = 0; side <= 4; ++side) {
        const orientation_run& run = kOrientation[side];
        mode_message->insert(mode_message->end(), run.value, run.value + run.count);
        if (side < 4)
            mode_message->insert(mode_message->end(), message.begin() + static_cast<std::ptrdiff_t>(side * q),
                                 message.begin() + static_cast<std::ptrdiff_t>((side + 1) * q));
    }
}

} // namespace tavrik::aztecgen
