#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/codes.h"
#include "model/flash_image.h"
#include "model/progress.h"
#include "superfile/byte_sink.h"
#include "superfile/save_plan.h"

namespace tavufe {

inline constexpr char kShxGroupOpenLine[] = "S00600004844521B\r\n";  // 18 bytes
inline constexpr char kShxTerminatorLine[] = "S70500000000FA\r\n";   // 16 bytes
inline constexpr std::size_t kShxDataPerLine = 64;

// The line that closes an SHX file: an S7 record whose address field is "CS" and the running
// 16-bit sum of every byte before it.
std::array<char, 14> shxChecksumTrailer(std::uint16_t runningChecksum);

// Writes a prepared plan's slots 0 to lastSlot as an SHX superfile, ending in the checksum
// line; `dateText` is the header's date. BufferAddressOverflow stops the save; a failed write
// shows in `out`.
[[nodiscard]] StatusCode writeShx(const FlashImage& image, const SavePlan& plan,
                                  const std::string& dateText, ByteSink& out, Progress& progress);

}  // namespace tavufe
