#include "generator_exception.h"

#include <cassert>

namespace tavrik::aztecgen {

const char* generator_exception::what() const noexcept
{
    switch (_error_code) {
    case no_input_data:
        return "no input data";
    case too_much_input_data:
        return "too much input data";
    default:
        assert(false);
        return "unknown error_code";
    }
}

} // namespace tavrik::aztecgen
