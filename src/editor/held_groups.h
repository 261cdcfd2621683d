#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/save_flow.h"
#include "model/editor_state.h"

namespace tavufe {

// A code group a superfile's header lists, with its name as the catalogue gives it.
struct HeldCodeGroup {
  std::int32_t cgNumber = 0;
  std::string name;
};

// The code groups in slots 0 to lastSlot, as a read of a whole superfile leaves them.
std::vector<HeldCodeGroup> heldCodeGroups(const EditorState& state);

// The code groups the header of the superfile at `path` lists; empty for a missing file or one
// that is not a superfile. Only the header block is read.
std::vector<HeldCodeGroup> codeGroupsListedIn(const std::string& path);

// The names of the groups of `held` that saving `state` as `type` does not write: a superfile
// save writes the slots it holds, an SMG or BIN export no code group of a superfile.
std::vector<std::string> groupsASaveDrops(const EditorState& state,
                                          const std::vector<HeldCodeGroup>& held, SaveType type);

// "Firmware, DSP, Language Pack".
std::string joinedNames(const std::vector<std::string>& names);

}  // namespace tavufe
