#include "generate_symbol_info.h"

#include <cassert>

namespace tavrik::aztecgen {

void generate_symbol_info(symbol_info* info, const symbol_table_entry& entry, std::uint8_t initialization_symbol)
{
    assert(info != nullptr);
    const symbol_kind& kind = symbol_kinds[entry.compact ? 1 : 0];

    info->size = static_cast<std::uint8_t>(entry.size);
    info->compact = entry.compact ? 1 : 0;
    info->initialization_symbol = initialization_symbol;

    info->bulls_eye.layer_width = kind.bulls_eye_layer_width;
    info->bulls_eye.first_layer_height = kind.bulls_eye_first_layer_height;
    info->bulls_eye.centre_value = kind.bulls_eye_centre_value;
    info->bulls_eye.layers = kind.bulls_eye_layers;

    // Each ring lies just outside the previous one, so its first height
    // follows from the rings inside it.
    info->mode_message.layer_width = kind.mode_layer_width;
    info->mode_message.first_layer_height = static_cast<std::uint8_t>(
        info->bulls_eye.first_layer_height +
        2 * ((info->bulls_eye.layers - 1) * info->bulls_eye.layer_width + info->mode_message.layer_width));
    info->mode_message.bits_on_symbol_size = kind.mode_bits_on_symbol_size;
    info->mode_message.bits_on_message_length = kind.mode_bits_on_message_length;
    info->mode_message.codeword_count = kind.mode_codeword_count;
    info->mode_message.codeword_size = kind.mode_codeword_size;

    info->data_message.layer_width = kind.data_layer_width;
    info->data_message.first_layer_height =
        static_cast<std::uint8_t>(info->mode_message.first_layer_height + 2 * info->data_message.layer_width);
    info->data_message.layers = entry.layers;
    info->data_message.codeword_count = entry.codeword_count;
    info->data_message.codeword_size = entry.codeword_size;
}

} // namespace tavrik::aztecgen
