#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/editor_state.h"

namespace tavufe {

inline constexpr std::array<const char*, 9> kCodeGroupGridTitles = {
    "CG", "Name", "Start Addr", "End Addr", "CG Header Info", "Size", "Ckbuf", "Ckhdr", "Code"};
inline constexpr int kCodeGroupGridShownColumns = 5;

using CodeGroupGridRow = std::array<std::string, 9>;

// Keeps slot 0 and moves the Flex code group to slot 1; every other slot is dropped.
void reduceToRamdldAndFlex(EditorState& state);
// Exchange sort by code-group number, then FBL moved back to slot 1.
void sortSlots(EditorState& state);
bool hasDuplicateCodeGroups(const EditorState& state);

// The nine cells of the grid row of each slot 0 to lastSlot (grid row = index + 1).
std::vector<CodeGroupGridRow> codeGroupGridRows(const EditorState& state);

// Whether cut, save-selected and replace apply to grid row `row` (0 is the title row).
bool canCutRow(const EditorState& state, int row);
// The cut command on grid row `row`; false when it cannot act.
bool cutSlot(EditorState& state, int row);
// The undo command; false when the stack is empty.
bool undoCut(EditorState& state);

}  // namespace tavufe
