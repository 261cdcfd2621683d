#pragma once

#include <cstdint>

#include "model/editor_state.h"

namespace tavufe {

// Brings a slot into agreement with its bytes in the image: range check, padding trim,
// header bytes, byte sum, firmware halves and region bounds. With writeRaw the code group's
// bytes alone are also written to currentPath. Failures only set the status; a failing slot
// is left unchanged.
void finaliseSlot(EditorState& state, int slot, bool useSlotRange, bool writeRaw);

// 16-bit sum of unsigned bytes, wrapping.
std::uint16_t byteSum(const std::uint8_t* bytes, std::size_t count);

}  // namespace tavufe
