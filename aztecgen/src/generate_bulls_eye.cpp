#include "generate_bulls_eye.h"

#include <cassert>

namespace tavrik::aztecgen {

void generate_bulls_eye(bits* bulls_eye, const symbol_info& info)
{
    assert(bulls_eye != nullptr);
    assert(info.bulls_eye.layer_width == 1);
    assert(info.bulls_eye.layers > 0);
    const auto& be = info.bulls_eye;

    bulls_eye->assign(static_cast<std::size_t>(be.first_layer_height) * be.first_layer_height, be.centre_value);
    for (std::size_t i = 0; i + 1 < be.layers; ++i)
        bulls_eye->insert(bulls_eye->end(), 8 * i + 4 * be.first_layer_height + 4,
                          static_cast<std::uint8_t>((be.centre_value + i + 1) % 2));
}

} // namespace tavrik::aztecgen
