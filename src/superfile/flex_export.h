#pragma once

#include "model/editor_state.h"
#include "model/progress.h"

namespace tavufe {

// Writes slot 1's bytes alone (an SMG or BIN file) to currentPath, atomically.
void exportFlex(EditorState& state, Progress& progress);

}  // namespace tavufe
