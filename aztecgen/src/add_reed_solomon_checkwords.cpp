#include "add_reed_solomon_checkwords.h"

#include <cassert>

#include "base/rs_encode.h"

namespace tavrik::aztecgen {

void add_reed_solomon_checkwords(codewords* words, std::uint8_t codeword_size, std::size_t check_word_count)
{
    assert(words != nullptr);
    assert(words->size() > 0);
    const galois_field_params* field = nullptr;
    for (const galois_field_params& candidate : galois_fields)
        if (candidate.codeword_size == codeword_size)
            field = &candidate;
    if (field == nullptr) {
        assert(false);
        return;
    }
    const std::vector<std::uint16_t> check =
        rs_encode(*words, check_word_count, field->field_size, field->primitive_polynomial);
    words->insert(words->end(), check.begin(), check.end());
}

} // namespace tavrik::aztecgen
