#pragma once

#include "model/editor_state.h"
#include "model/progress.h"

namespace tavufe {

// Loads the SHX superfile at currentPath into the image and slots, finalises every slot and
// writes the report into state.report. Failures set the status.
void readShx(EditorState& state, Progress& progress);

}  // namespace tavufe
