#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/codes.h"
#include "model/flash_image.h"
#include "model/progress.h"
#include "superfile/byte_sink.h"
#include "superfile/hex_pairs.h"
#include "superfile/save_plan.h"

namespace tavufe {

inline constexpr char kShxGroupOpenLine[] = "S00600004844521B\r\n";  // 18 bytes
inline constexpr char kShxTerminatorLine[] = "S70500000000FA\r\n";   // 16 bytes
inline constexpr std::size_t kShxDataPerLine = 64;
// "S3", count, address, 64 data bytes, checksum: two characters per byte, then CR LF.
inline constexpr std::size_t kShxMaxLineSize = 2 + 2 * (1 + 4 + kShxDataPerLine + 1) + 2;

// Builds the S3 line of `count` (at most kShxDataPerLine) data bytes at `address` in `line`
// and returns its size; adds its characters to `charSum`.
std::size_t buildShxDataLine(const HexKernels& hex, std::uint32_t address, const std::uint8_t* data,
                             std::size_t count, char* line, std::uint32_t& charSum);

// The line that closes an SHX file: an S7 record whose address field is "CS" and the running
// 16-bit sum of every byte before it.
std::array<char, 14> shxChecksumTrailer(std::uint16_t runningChecksum);

// Writes a prepared plan's slots 0 to lastSlot as an SHX superfile, ending in the checksum
// line; `dateText` is the header's date. BufferAddressOverflow stops the save; a failed write
// shows in `out`.
[[nodiscard]] StatusCode writeShx(const FlashImage& image, const SavePlan& plan,
                                  const std::string& dateText, ByteSink& out, Progress& progress);

}  // namespace tavufe
