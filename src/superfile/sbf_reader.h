#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/read_result.h"

namespace tavufe {

inline constexpr std::array<std::uint8_t, 9> kSbfStartMarker = {0x02, 0x00, 0x00, 0x00, 0x00,
                                                                0x00, 0x03, 0x02, 0x01};
inline constexpr std::array<std::uint8_t, 8> kSbfEndMarker = {0x03, 0x02, 0x02, 0x00,
                                                              0x00, 0x00, 0x00, 0x03};
// The four bytes between a record's data and its end marker; never checked.
inline constexpr std::size_t kSbfReservedSize = 4;
// Marker, length, address, data, reserved word, marker.
inline constexpr std::size_t kSbfRecordOverhead = 29;

// Lays an SBF superfile's records into a freshly erased image and the slots, and finalises
// every slot.
ReadResult readSbf(EditorState& state, std::span<const std::uint8_t> file, Progress& progress);

}  // namespace tavufe
