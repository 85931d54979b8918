/* Aztec Code symbol generator: flat interface.
 *
 * ag_generate turns any byte string into one Aztec Code symbol and hands back
 * its module matrix; ag_free_matrix gives the matrix back. Both return one of
 * the ag_* result codes and never let an exception out. The generator keeps
 * no state between calls, so calls on different data may run in parallel.
 */
#ifndef AZTECGEN_H
#define AZTECGEN_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define AG_NOEXCEPT noexcept
extern "C" {
#else
#define AG_NOEXCEPT
#endif

/* Result codes of ag_generate and ag_free_matrix. */
enum ag_result_code {
    ag_ok = 0,
    ag_invalid_parameter = 1,   /* an argument or a settings value is out of range */
    ag_out_of_memory = 2,       /* an allocation failed */
    ag_unknown_error = 3,
    ag_no_input_data = 4,       /* size was 0 */
    ag_too_much_input_data = 5  /* no allowed symbol size holds the data */
};

/* Bits of ag_settings.mask: which of the following fields the caller sets.
 * A field whose bit is clear keeps its default, whatever it holds; other
 * bits are ignored. */
enum ag_settings_mask {
    ag_mask_initialization_symbol = 1,
    ag_mask_symbol_choice = 2,
    ag_mask_error_correction_redundancy = 4
};

typedef struct ag_settings {
    uint32_t mask;
    /* 1 asks for a reader-initialisation (programming) symbol; default 0, valid 0 or 1. */
    uint8_t initialization_symbol;
    /* 0: any size; 1: compact sizes only; 2: full-range sizes only; 3 to 38:
     * exactly one size: 3 compact 1 layer, 4 full-range 1 layer, 5 compact 2,
     * 6 full-range 2, 7 compact 3, 8 full-range 3, 9 compact 4, 10 full-range 4,
     * 11 to 38 full-range 5 to 32 layers. Default 0. */
    uint8_t symbol_choice;
    /* Percentage of the symbol reserved for check words on top of a fixed
     * 3 check words; default 23, valid 0 to 99. */
    uint8_t error_correction_redundancy;
} ag_settings;

/* The module matrix: width x height bytes row by row, element y * width + x
 * is column x of row y; 1 is a dark module, 0 a light one. data is null when
 * width or height is 0. Symbols are square, 15 to 151 modules a side. With
 * row 0 drawn at the top, the three dark orientation modules lie at the
 * bottom-left corner of the mode ring: the top-to-bottom mirror image of the
 * drawing in ISO/IEC 24778, which readers accept as it is.
 * Owned by the caller after ag_generate; give it back with ag_free_matrix. */
typedef struct ag_matrix {
    uint8_t* data;
    uint32_t width;
    uint32_t height;
} ag_matrix;

/* Encodes size bytes from data into one symbol. settings may be null (all
 * defaults); data may be null only when size is 0. On ag_ok *result holds a
 * new matrix. Argument and settings errors, no input and too much input leave
 * *result untouched; when the result itself cannot be allocated, *result is
 * set to null and ag_out_of_memory returned. */
int ag_generate(ag_matrix** result, const uint8_t* data, size_t size,
                const ag_settings* settings) AG_NOEXCEPT;

/* Frees a matrix made by ag_generate. Null is accepted and does nothing. */
int ag_free_matrix(ag_matrix* matrix) AG_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif /* AZTECGEN_H */
