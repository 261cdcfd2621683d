#pragma once

#include <cstddef>
#include <cstdint>

#include "model/flash_image.h"
#include "model/slots.h"
#include "superfile/header_block.h"
#include "superfile/shx_writer.h"

namespace tavufe {

// No superfile is larger than the header block followed by the whole image as SHX text in the
// writer's lines: two characters a data byte, 16 more a line ("S3", count, address, checksum,
// CR LF) for each line of 64 bytes, and for every loadable code group its open line, its
// terminator and one more line for data that ends part-way through a line. A larger file is
// refused before it is read.
inline constexpr std::size_t kShxLineOverhead = 2 + 2 * (1 + 4 + 1) + 2;
inline constexpr std::uint64_t kMaxSuperfileSize =
    kHeaderSize + 2 * std::uint64_t(kImageSize) +
    kShxLineOverhead * (std::uint64_t(kImageSize) / kShxDataPerLine) +
    std::uint64_t(kLastLoadableSlot + 1) *
        (sizeof kShxGroupOpenLine - 1 + sizeof kShxTerminatorLine - 1 + kShxLineOverhead);
static_assert(std::uint64_t(kImageSize) % kShxDataPerLine == 0);
static_assert(kMaxSuperfileSize == 151'446'534);

}  // namespace tavufe
