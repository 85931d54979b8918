// The failures of the generator that the flat interface reports as result codes.
#pragma once

#include <exception>

namespace tavrik::aztecgen {

class generator_exception : public std::exception {
public:
    enum : int {
        no_input_data = 1,
        too_much_input_data = 2,
    };

    explicit generator_exception(int error_code) noexcept : _error_code(error_code) {}

    int error_code() const noexcept { return _error_code; }
    const char* what() const noexcept override;

private:
    int _error_code;
};

} // namespace tavrik::aztecgen
