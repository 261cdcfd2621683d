#pragma once

#include <array>
#include <cstdint>

#include "model/editor_state.h"
#include "model/progress.h"

namespace tavufe {

inline constexpr std::array<std::uint8_t, 9> kSbfStartMarker = {0x02, 0x00, 0x00, 0x00, 0x00,
                                                                 0x00, 0x03, 0x02, 0x01};
inline constexpr std::array<std::uint8_t, 8> kSbfEndMarker = {0x03, 0x02, 0x02, 0x00,
                                                               0x00, 0x00, 0x00, 0x03};
// Marker, length, address, data, reserved word, marker.
inline constexpr std::size_t kSbfRecordOverhead = 29;

// Loads the SBF superfile at currentPath into the image and slots, finalises every slot and
// writes the report into state.report. Failures set the status.
void readSbf(EditorState& state, Progress& progress);

}  // namespace tavufe
