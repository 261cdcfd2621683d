#pragma once

#include <cstdint>

#include "model/editor_state.h"

namespace tavufe {

// Sets every image byte to the erased value. Does nothing without an image.
void fillImage(EditorState& state);

// Empties the catalogue's names, ranges and flags (labels stay) and slots 0 to 20.
// Slot 21, the firmware halves and lastSlot are left as they are.
void resetSlots(EditorState& state);

bool isSlotInUse(const EditorState& state, int slot);
bool isFbuSlotInUse(const EditorState& state, int slot);
bool isFlashAddressValid(std::int32_t address);

// Image offset of a code group's first byte: the RAMDLD always sits in its own area.
std::int64_t imageOffsetFor(std::int32_t cgNumber, std::int32_t address);

void computeRegionBounds(EditorState& state);

}  // namespace tavufe
