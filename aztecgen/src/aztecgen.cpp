// The flat interface: argument checks, the pipeline, and the mapping of every
// failure to a result code. No exception leaves these functions.
#include "aztecgen.h"

#include <cassert>
#include <cstdint>
#include <cstring>
#include <new>

#include "base/bin_dec_conversion.h"
#include "base/matrix_def.h"
#include "choose_aztec_symbol.h"
#include "generate_bit_stream.h"
#include "generate_single_barcode.h"
#include "generate_symbol_info.h"
#include "generator_exception.h"

namespace tavrik::aztecgen {
namespace {

class invalid_parameter_exception {};

constexpr std::uint32_t required_settings_mask =
    ag_mask_initialization_symbol | ag_mask_symbol_choice | ag_mask_error_correction_redundancy;

constexpr std::uint8_t kMaxSymbolChoice = 38;
constexpr std::uint8_t kMaxRedundancy = 99;
constexpr std::uint8_t kDefaultRedundancy = 23;

// The largest symbol holds 19968 data bits; every input byte takes at least
// 8 of them, so longer input can never fit and its bit stream is not built.
constexpr std::size_t kMaxInputBytes = 19968 / 8;

// One settings field: its mask bit, default and largest valid value. The
// fields are checked in this order and the first invalid one fails the call.
struct settings_field {
    std::uint32_t mask;
    std::uint8_t ag_settings::*member;
    std::uint8_t default_value;
    std::uint8_t max_value;
};

constexpr settings_field kSettingsFields[] = {
    {ag_mask_initialization_symbol, &ag_settings::initialization_symbol, 0, 1},
    {ag_mask_symbol_choice, &ag_settings::symbol_choice, 0, kMaxSymbolChoice},
    {ag_mask_error_correction_redundancy, &ag_settings::error_correction_redundancy, kDefaultRedundancy,
     kMaxRedundancy},
};

ag_settings correct(const ag_settings* settings)
{
    ag_settings correct_settings{};
    correct_settings.mask = 0;
    for (const settings_field& field : kSettingsFields) {
        correct_settings.mask |= field.mask;
        const bool given = settings != nullptr && (settings->mask & field.mask) != 0;
        const std::uint8_t value = given ? settings->*field.member : field.default_value;
        if (value > field.max_value)
            throw invalid_parameter_exception();
        correct_settings.*field.member = value;
    }
    assert((correct_settings.mask & required_settings_mask) == required_settings_mask);
    return correct_settings;
}

int generate(ag_matrix** result, const std::uint8_t* data, std::size_t size, const ag_settings* settings)
{
    if (result == nullptr)
        throw invalid_parameter_exception();
    if (data == nullptr && size != 0)
        throw invalid_parameter_exception();
    const ag_settings correct_settings = correct(settings);

    if (size > kMaxInputBytes)
        throw generator_exception(generator_exception::too_much_input_data);
    bits bit_stream;
    generate_bit_stream(&bit_stream, data, size == 0 ? data : data + size);

    // The choice builds the codewords of the chosen size on its way.
    symbol_info info{};
    codewords words;
    choose_aztec_symbol(&info, bit_stream, correct_settings.error_correction_redundancy,
                        correct_settings.symbol_choice, correct_settings.initialization_symbol, &words);

    matrix barcode;
    generate_single_barcode(&barcode, info, words);

    const std::size_t width = barcode.width();
    const std::size_t height = barcode.height();
    ag_matrix* record = nullptr;
    if (height == 0 || SIZE_MAX / height >= width) {
        record = new (std::nothrow) ag_matrix;
        if (record != nullptr) {
            record->data = nullptr;
            if (width != 0 && height != 0) {
                record->data = new (std::nothrow) std::uint8_t[width * height];
                if (record->data == nullptr) {
                    delete record;
                    record = nullptr;
                }
            }
        }
        if (record != nullptr) {
            record->width = static_cast<std::uint32_t>(width);
            record->height = static_cast<std::uint32_t>(height);
        }
    }
    *result = record;
    if (record == nullptr)
        return ag_out_of_memory;
    if (record->data != nullptr)
        std::memcpy(record->data, barcode.data().data(), width * height);
    return ag_ok;
}

} // namespace
} // namespace tavrik::aztecgen

extern "C" int ag_generate(ag_matrix** result, const uint8_t* data, size_t size, const ag_settings* settings) noexcept
{
    using namespace tavrik::aztecgen;
    try {
        return generate(result, data, size, settings);
    } catch (const generator_exception& e) {
        switch (e.error_code()) {
        case generator_exception::no_input_data:
            return ag_no_input_data;
        case generator_exception::too_much_input_data:
            return ag_too_much_input_data;
        default:
            return ag_unknown_error;
        }
    } catch (const invalid_parameter_exception&) {
        return ag_invalid_parameter;
    } catch (const std::bad_alloc&) {
        return ag_out_of_memory;
    } catch (...) {
        return ag_unknown_error;
    }
}

extern "C" int ag_free_matrix(ag_matrix* matrix) noexcept
{
    try {
        if (matrix == nullptr)
            return ag_ok;
        if (matrix->width != 0 && matrix->height != 0)
            delete[] matrix->data;
        delete matrix;
        return ag_ok;
    } catch (...) {
        return ag_unknown_error;
    }
}
