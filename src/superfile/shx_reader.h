#pragma once

#include <cstdint>
#include <span>

#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/read_result.h"

namespace tavufe {

// Lays an SHX superfile's S-record text into a freshly erased image and the slots, and
// finalises every slot.
ReadResult readShx(EditorState& state, std::span<const std::uint8_t> file, Progress& progress);

}  // namespace tavufe
