#pragma once

#include <array>
#include <string>
#include <vector>

#include "inspect/number_format.h"
#include "model/editor_state.h"

namespace tavufe {

inline constexpr std::array<const char*, 9> kCodeGroupGridTitles = {
    "CG", "Name", "Start Addr", "End Addr", "CG Header Info", "Size", "Ckbuf", "Ckhdr", "Code"};

using CodeGroupGridRow = std::array<std::string, 9>;

// Keeps slot 0 and moves the Flex code group to slot 1; every other slot is dropped.
void reduceToRamdldAndFlex(EditorState& state);
// Exchange sort by code-group number, then FBL moved back to slot 1.
void sortSlots(EditorState& state);
bool hasDuplicateCodeGroups(const EditorState& state);

// The nine cells of the row of each slot 0 to lastSlot, sizes written as `numbers` has them.
std::vector<CodeGroupGridRow> codeGroupGridRows(const EditorState& state,
                                                const NumberFormat& numbers);

// Whether cut, save-selected and replace apply to the slot.
bool canCutSlot(const EditorState& state, int slot);
// Cuts the slot onto the undo stack; false when it cannot act.
bool cutSlot(EditorState& state, int slot);
// Puts the last cut slot back; false when the stack is empty or no slot is free.
bool undoCut(EditorState& state);

}  // namespace tavufe
