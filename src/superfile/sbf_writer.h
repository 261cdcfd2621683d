#pragma once

#include "model/codes.h"
#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/byte_sink.h"

namespace tavufe {

// Writes slots 0 to lastSlot as an SBF superfile, after checkRamdldForSave. AddressRange or
// BufferAddressOverflow stop the save; a failed write shows in `out`.
[[nodiscard]] StatusCode writeSbf(EditorState& state, ByteSink& out, Progress& progress);

}  // namespace tavufe
