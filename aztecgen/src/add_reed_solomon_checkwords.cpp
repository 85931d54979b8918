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
    const std::size_t nd = words->size();
    words->resize(nd + check_word_count, 0);
    rs_encode(words->data(), nd, check_word_count, field->field_size, field->primitive_polynomial);
}

} // namespace tavrik::aztecgen
