#pragma once

#include "model/editor_state.h"
#include "model/output_file.h"
#include "model/progress.h"

namespace tavufe {

// Writes slots 0 to lastSlot as an SBF superfile at currentPath, atomically; statuses as for
// saveShx.
void saveSbf(EditorState& state, Progress& progress);
void writeSbfCodeGroup(EditorState& state, int slot, OutputFile& out);

}  // namespace tavufe
