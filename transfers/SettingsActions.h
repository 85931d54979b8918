#pragma once
// The settings page's defaults action, free of widgets.

#include <cstdint>

namespace tavrik {

// The model list offers these, in this order; 255 stands for "no model chosen".
inline constexpr std::uint8_t ModelChoices[] = {100, 151, 152, 153, 201, 203, 204, 202, 154, 155, 156,
                                                157, 205, 206, 207, 210, 208, 211, 209, 158, 159, 255};
inline constexpr std::uint8_t kNoModel = 255;


// Replaces Settings by the defaults of `selected_model` after asking; the
// chosen model becomes CurrentModel. Declined: CurrentModel is put back and
// Settings stay. Returns whether Settings were replaced.
bool SetDefaults(std::uint8_t selected_model);

}  // namespace tavrik
