#include "generate_single_barcode.h"

#include <cassert>

#include "generate_bulls_eye.h"
#include "generate_data_message.h"
#include "generate_mode_message.h"
#include "symbol_matrix.h"
#include "wrapping_clockwise.h"

namespace tavrik::aztecgen {

namespace {

template <typename View>
void place(View* view, const symbol_info& info, const bits& data_message, const bits& mode_message,
           const bits& bulls_eye)
{
    wrapping_clockwise(view, data_message, info.data_message.layer_width, info.data_message.first_layer_height);
    wrapping_clockwise(view, mode_message, info.mode_message.layer_width, info.mode_message.first_layer_height);
    wrapping_clockwise(view, bulls_eye, info.bulls_eye.layer_width, info.bulls_eye.first_layer_height);
}

} // namespace

void generate_single_barcode(matrix* barcode, const symbol_info& info, const codewords& words)
{
    assert(barcode != nullptr);

    bits data_message;
    generate_data_message(&data_message, info, words);
    bits mode_message;
    generate_mode_message(&mode_message, info, words.size());
    bits bulls_eye;
    generate_bulls_eye(&bulls_eye, info);

    barcode->assign(info.size, info.size, 0);
    if (info.compact) {
        symbol_matrix view(barcode);
        place(&view, info, data_message, mode_message, bulls_eye);
    } else {
        full_symbol_matrix view(barcode);
        place(&view, info, data_message, mode_message, bulls_eye);
    }
}

} // namespace tavrik::aztecgen
