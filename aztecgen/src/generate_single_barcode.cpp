#include "generate_single_barcode.h"

#include <cassert>
#include <memory>

#include "generate_bulls_eye.h"
#include "generate_data_message.h"
#include "generate_mode_message.h"
#include "symbol_matrix.h"
#include "wrapping_clockwise.h"

namespace tavrik::aztecgen {

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
    std::unique_ptr<symbol_matrix> view;
    if (info.compact)
        view = std::make_unique<symbol_matrix>(barcode);
    else
        view = std::make_unique<full_symbol_matrix>(barcode);

    wrapping_clockwise(view.get(), data_message, info.data_message.layer_width, info.data_message.first_layer_height);
    wrapping_clockwise(view.get(), mode_message, info.mode_message.layer_width, info.mode_message.first_layer_height);
    wrapping_clockwise(view.get(), bulls_eye, info.bulls_eye.layer_width, info.bulls_eye.first_layer_height);
}

} // namespace tavrik::aztecgen
