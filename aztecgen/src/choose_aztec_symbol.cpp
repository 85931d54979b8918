#include "choose_aztec_symbol.h"

#include <cassert>

#include "generate_codeword_stream.h"
#include "generator_exception.h"

namespace tavrik::aztecgen {

namespace {

constexpr std::uint8_t kAnySize = 0;
constexpr std::uint8_t kCompactOnly = 1;
constexpr std::uint8_t kFullRangeOnly = 2;
constexpr std::uint8_t kFirstFixedSize = 3;
constexpr std::uint8_t kMinCheckWords = 3;

constexpr std::uint8_t kMaxCompactInitLayers = 1;
constexpr std::uint8_t kMaxFullRangeInitLayers = 22;

bool choice_allows(std::uint8_t symbol_choice, std::size_t index)
{
    const symbol_table_entry& entry = symbol_table[index];
    switch (symbol_choice) {
    case kAnySize:
        return true;
    case kCompactOnly:
        return entry.compact != 0;
    case kFullRangeOnly:
        return entry.compact == 0;
    default:
        return index == static_cast<std::size_t>(symbol_choice - kFirstFixedSize);
    }
}

// Data and check words together: at least 3 check words plus r % of the
// total, exactly, rounded up.
std::size_t needed_total(std::size_t n, std::uint8_t error_correction_redundancy)
{
    const std::size_t share = 100u - error_correction_redundancy;
    return (100u * (n + kMinCheckWords) + share - 1) / share;
}

} // namespace

bool allows_initialization_symbol(const symbol_table_entry& entry)
{
    return entry.layers <= (entry.compact ? kMaxCompactInitLayers : kMaxFullRangeInitLayers);
}

void choose_aztec_symbol(symbol_info* info, const bits& bit_stream, std::uint8_t error_correction_redundancy,
                         std::uint8_t symbol_choice, std::uint8_t initialization_symbol,
                         codewords* chosen_codewords)
{
    assert(info != nullptr);
    assert(error_correction_redundancy < 100);
    if (bit_stream.empty())
        throw generator_exception(generator_exception::no_input_data);

    codewords stream;
    std::uint8_t last_codeword_size = 0;
    std::size_t n = 0;
    std::size_t data_with_crc_codeword_count = 0;

    for (std::size_t index = 0; index < symbol_table_size; ++index) {
        if (!choice_allows(symbol_choice, index))
            continue;
        const symbol_table_entry& entry = symbol_table[index];
        // Readers take the flag only in compact 1-layer and full-range
        // symbols of up to 22 layers; in the other sizes the flagged length
        // field would declare more data codewords than the symbol holds.
        if (initialization_symbol && !allows_initialization_symbol(entry))
            continue;

        // Stuffing only adds codewords, so the bare bit count gives a lower
        // bound of the need; an entry below it is skipped without building
        // the stream for its size.
        const std::size_t least_n = (bit_stream.size() + entry.codeword_size - 1) / entry.codeword_size;
        if (entry.codeword_count < needed_total(least_n, error_correction_redundancy))
            continue;

        if (entry.codeword_size != last_codeword_size) {
            // Bit stuffing makes n depend on the codeword size.
            generate_codeword_stream(&stream, bit_stream, entry.codeword_size);
            last_codeword_size = entry.codeword_size;
            n = stream.size();
            data_with_crc_codeword_count = needed_total(n, error_correction_redundancy);
        }
        if (entry.codeword_count < data_with_crc_codeword_count)
            continue;

        // The mode message holds n - 1 in a field of bits_on_message_length bits.
        const symbol_kind& kind = symbol_kinds[entry.compact ? 1 : 0];
        const std::size_t length_limit = std::size_t{1} << kind.mode_bits_on_message_length;
        if (n > length_limit)
            continue;

        generate_symbol_info(info, entry, initialization_symbol);
        if (initialization_symbol) {
            // The flag is the top bit of the length field; a flagged field
            // must not be readable as an ordinary length of this symbol.
            const std::size_t length = n - 1;
            const std::size_t initialization_symbol_mask = length_limit >> 1;
            if ((length & initialization_symbol_mask) != 0 ||
                (length | initialization_symbol_mask) + 1 <= entry.codeword_count)
                continue;
        }
        if (chosen_codewords != nullptr)
            chosen_codewords->swap(stream);
        return;
    }
    throw generator_exception(generator_exception::too_much_input_data);
}

} // namespace tavrik::aztecgen
