// The Aztec symbol sizes and the parameters derived from one of them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavrik::aztecgen {

struct symbol_table_entry {
    std::uint8_t layers;
    std::uint8_t compact;          // 1 compact, 0 full-range
    std::uint16_t size;            // side length in modules
    std::uint16_t codeword_count;  // codewords the data layers hold
    std::uint8_t codeword_size;    // bits per codeword
};

// The 36 sizes of ISO/IEC 24778, by side length; where a compact and a
// full-range symbol share a side (19, 23, 27) the full-range one comes first.
// The order decides ties in the selection and numbers the fixed sizes of
// symbol_choice (entry = symbol_choice - 3).
inline constexpr symbol_table_entry symbol_table[] = {
    // layers compact size codeword_count codeword_size
    {1, 1, 15, 17, 6},       // 0
    {1, 0, 19, 21, 6},       // 1
    {2, 1, 19, 40, 6},       // 2
    {2, 0, 23, 48, 6},       // 3
    {3, 1, 23, 51, 8},       // 4
    {3, 0, 27, 60, 8},       // 5
    {4, 1, 27, 76, 8},       // 6
    {4, 0, 31, 88, 8},       // 7
    {5, 0, 37, 120, 8},      // 8
    {6, 0, 41, 156, 8},      // 9
    {7, 0, 45, 196, 8},      // 10
    {8, 0, 49, 240, 8},      // 11
    {9, 0, 53, 230, 10},     // 12
    {10, 0, 57, 272, 10},    // 13
    {11, 0, 61, 316, 10},    // 14
    {12, 0, 67, 364, 10},    // 15
    {13, 0, 71, 416, 10},    // 16
    {14, 0, 75, 470, 10},    // 17
    {15, 0, 79, 528, 10},    // 18
    {16, 0, 83, 588, 10},    // 19
    {17, 0, 87, 652, 10},    // 20
    {18, 0, 91, 720, 10},    // 21
    {19, 0, 95, 790, 10},    // 22
    {20, 0, 101, 864, 10},   // 23
    {21, 0, 105, 940, 10},   // 24
    {22, 0, 109, 1020, 10},  // 25
    {23, 0, 113, 920, 12},   // 26
    {24, 0, 117, 992, 12},   // 27
    {25, 0, 121, 1066, 12},  // 28
    {26, 0, 125, 1144, 12},  // 29
    {27, 0, 131, 1224, 12},  // 30
    {28, 0, 135, 1306, 12},  // 31
    {29, 0, 139, 1392, 12},  // 32
    {30, 0, 143, 1480, 12},  // 33
    {31, 0, 147, 1570, 12},  // 34
    {32, 0, 151, 1664, 12},  // 35
};
inline constexpr std::size_t symbol_table_size = sizeof(symbol_table) / sizeof(symbol_table[0]);
static_assert(symbol_table_size == 36);

// Ring parameters shared by all symbols of one kind.
struct symbol_kind {
    std::uint8_t data_layer_width;
    std::uint8_t mode_layer_width;
    std::uint8_t mode_bits_on_symbol_size;
    std::uint8_t mode_bits_on_message_length;
    std::uint8_t mode_codeword_count;
    std::uint8_t mode_codeword_size;
    std::uint8_t bulls_eye_layer_width;
    std::uint8_t bulls_eye_first_layer_height;
    std::uint8_t bulls_eye_centre_value;
    std::uint8_t bulls_eye_layers;
};

// Indexed by symbol_table_entry::compact.
inline constexpr symbol_kind symbol_kinds[] = {
    // data  mode  size  length  words  word  eye   first  centre  layers
    {2,      1,    5,    11,     10,    4,    1,    2,     0,      6},  // full-range
    {2,      1,    2,    6,      7,     4,    1,    1,     1,      5},  // compact
};

struct symbol_info {
    std::uint8_t size;
    std::uint8_t compact;
    std::uint8_t initialization_symbol;
    struct {
        std::uint8_t layer_width;
        std::uint8_t first_layer_height;
        std::uint8_t layers;
        std::uint16_t codeword_count;
        std::uint8_t codeword_size;
    } data_message;
    struct {
        std::uint8_t layer_width;
        std::uint8_t first_layer_height;
        std::uint8_t bits_on_symbol_size;
        std::uint8_t bits_on_message_length;
        std::uint8_t codeword_count;
        std::uint8_t codeword_size;
    } mode_message;
    struct {
        std::uint8_t layer_width;
        std::uint8_t first_layer_height;
        std::uint8_t centre_value;
        std::uint8_t layers;
    } bulls_eye;
};

void generate_symbol_info(symbol_info* info, const symbol_table_entry& entry, std::uint8_t initialization_symbol);

} // namespace tavrik::aztecgen
