#pragma once

#include <cstdint>
#include <span>

#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/read_result.h"
#include "superfile/sbf_tokenizer.h"

namespace tavufe {

// Lays an SBF superfile's records into a freshly erased image and the slots, and finalises
// every slot.
ReadResult readSbf(EditorState& state, std::span<const std::uint8_t> file, Progress& progress);

}  // namespace tavufe
