#pragma once

#include <cstddef>

namespace tavufe {

// Where things lie in a superfile's header block: the formats read and write it, and the report
// shows some of its texts straight from the file.
inline constexpr std::size_t kHeaderSize = 8172;
inline constexpr std::size_t kMagicTextOffset = 0;
inline constexpr std::size_t kVersionText1Offset = 256;
inline constexpr std::size_t kVersionText2Offset = 288;
inline constexpr std::size_t kDateTextOffset = 320;
inline constexpr std::size_t kGeneratorTextOffset = 448;
inline constexpr std::size_t kHabStateOffset = 718;
inline constexpr std::size_t kVersionText3Offset = 784;
inline constexpr std::size_t kEntryCountOffset = 944;
inline constexpr std::size_t kCgTableOffset = 948;
inline constexpr int kCgEntryCount = 258;

// One 28-byte code-group entry of the header's table, all fields little-endian.
inline constexpr std::size_t kCgEntrySize = 28;
inline constexpr std::size_t kEntryStartField = 0;
inline constexpr std::size_t kEntryEndField = 4;
inline constexpr std::size_t kEntryHeaderBytesField = 8;
inline constexpr std::size_t kEntryChecksumField = 24;
inline constexpr std::size_t kEntryCodeField = 26;

}  // namespace tavufe
