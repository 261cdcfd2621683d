#pragma once

#include <cstdint>
#include <string_view>

#include "model/editor_state.h"

namespace tavufe {

// Label of a code-group number: "RDL", "FBL", "FBU" or "CG" and the number.
std::string catalogueLabel(int cgNumber);

void setCatalogueEntry(EditorState& state, int cgNumber, std::int32_t start, std::int32_t end,
                       std::uint8_t trimPadding, std::string_view name);
void setProfileRow(EditorState& state, int row, std::int32_t cgNumber, std::int32_t start,
                   std::int32_t end, std::string_view name, std::uint8_t trimPadding);
void buildDeviceProfile(EditorState& state);
void copyProfileToCatalogue(EditorState& state);
// Fills the slot from the catalogue and checks the range; a bad range only sets the status.
void placeInSlot(EditorState& state, int slot, std::int32_t cgNumber, std::int32_t start,
                 std::int32_t end);
void applyProfile(EditorState& state);

}  // namespace tavufe
