#include "generate_data_message.h"

#include <cassert>

#include "add_reed_solomon_checkwords.h"

namespace tavrik::aztecgen {

std::size_t data_message_size(const symbol_info& info)
{
    const auto& dm = info.data_message;
    return static_cast<std::uint16_t>(4 * dm.layer_width * dm.layers *
                                      (dm.first_layer_height + dm.layer_width * (dm.layers - 2)));
}

void generate_data_message(bits* data_message, const symbol_info& info, const codewords& words)
{
    assert(data_message != nullptr);
    assert(words.size() <= info.data_message.codeword_count);

    codewords data_with_crc;
    data_with_crc.reserve(info.data_message.codeword_count);
    data_with_crc.assign(words.begin(), words.end());
    // The check words take every codeword position that the data leaves.
    add_reed_solomon_checkwords(&data_with_crc, info.data_message.codeword_size,
                                info.data_message.codeword_count - words.size());

    const std::size_t size = data_message_size(info);
    const std::size_t codeword_size = info.data_message.codeword_size;
    assert(size >= data_with_crc.size() * codeword_size);
    data_message->assign(size, 0);
    // Readers take the layers from the outside in, padding first: the words
    // go in reversed, the last bit of the last check word first.
    auto out = data_message->begin() + static_cast<std::ptrdiff_t>(data_with_crc.size() * codeword_size);
    for (std::uint16_t word : data_with_crc) {
        for (std::size_t i = 0; i < codeword_size; ++i) {
            --out;
            *out = static_cast<std::uint8_t>((word >> (codeword_size - 1 - i)) & 1u);
        }
    }
}

} // namespace tavrik::aztecgen
