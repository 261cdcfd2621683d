#pragma once

#include <optional>
#include <string>

#include "model/editor_state.h"
#include "model/progress.h"

namespace tavufe {

enum class InputType { Sbf, Shx };

// ".sbf" or ".shx" at the end of the path, exact case; nothing for any other name.
std::optional<InputType> inputTypeForPath(const std::string& path);

// The model side of the open command for currentPath, after the extension check: empties the
// undo stack and the report, refills the image, resets the slots, clears both codes and reads.
// On failure the slots are reset again and the status tells why; on success the table is
// reduced to RAMDLD and Flex. Returns true on success.
bool loadSuperfile(EditorState& state, InputType type, Progress& progress);

// After a good open: whether slot 1 holds the Flex code group, which is what saving needs.
bool hasFlexInSlot1(const EditorState& state);

}  // namespace tavufe
