#pragma once

#include "model/editor_state.h"

namespace tavufe {

inline constexpr std::int32_t kRamdldTableWindowStart = 240;
inline constexpr std::int32_t kRamdldTableWindowEnd = 415;  // inclusive
inline constexpr std::int32_t kRamdldTableFirstEntry = 248;

// Patches the RAMDLD's address table for the code groups being saved and refreshes slot 0's
// header bytes and checksum. A RAMDLD longer than its area sets AddressRange.
void prepareSave(EditorState& state);

}  // namespace tavufe
