#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "model/codes.h"
#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/byte_sink.h"

namespace tavufe {

inline constexpr char kShxGroupOpenLine[] = "S00600004844521B\r\n";  // 18 bytes
inline constexpr char kShxTerminatorLine[] = "S70500000000FA\r\n";   // 16 bytes
inline constexpr std::size_t kShxDataPerLine = 64;

// The line that closes an SHX file: an S7 record whose address field is "CS" and the running
// 16-bit sum of every byte before it.
std::array<char, 14> shxChecksumTrailer(std::uint16_t runningChecksum);

// Writes slots 0 to lastSlot as an SHX superfile, after checkRamdldForSave, ending in the
// checksum line. AddressRange or BufferAddressOverflow stop the save; a failed write shows in
// `out`.
[[nodiscard]] StatusCode writeShx(EditorState& state, ByteSink& out, Progress& progress);

}  // namespace tavufe
