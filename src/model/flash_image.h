#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tavufe {

// Image layout: flash addresses 0x10000000..0x13FFFFFF map to offsets 0..0x3FFFFFF,
// the RAMDLD always lives in its own area from 0x4000000.
inline constexpr std::uint32_t kImageSize = 0x4030000;
inline constexpr std::uint32_t kRamdldOffset = 0x4000000;
inline constexpr std::uint32_t kRamdldAreaSize = 0x30000;
inline constexpr std::uint32_t kAddressMask = 0x0FFFFFFF;
inline constexpr std::uint8_t kErased = 0xFF;

// The whole handset flash plus the RAMDLD area, allocated once for the life of the editor.
//
// Every access to a range of it goes through `read`, `write` or their clipped forms, which never
// hand out a byte outside the image: offsets and counts may come straight from a hostile file.
class FlashImage {
 public:
  // Returns false when the memory cannot be had; the editor then runs on without an image.
  bool allocate();
  void release();
  bool exists() const { return bytes_ != nullptr; }

  // Sets every byte to the erased value. Does nothing without an image. After the first fill
  // only the ranges handed out for writing since the last one are erased again: the rest
  // still holds 0xFF.
  void fill();

  // Whether `count` bytes from `offset` all lie inside the image.
  bool holds(std::uint64_t offset, std::uint64_t count) const {
    return exists() && offset <= kImageSize && count <= kImageSize - offset;
  }
  // The range, or an empty span when it does not lie wholly inside the image.
  std::span<const std::uint8_t> read(std::uint64_t offset, std::uint64_t count) const;
  [[nodiscard]] std::span<std::uint8_t> write(std::uint64_t offset, std::uint64_t count);
  // The part of the range that lies inside the image (offsets may be negative).
  std::span<const std::uint8_t> readClipped(std::int64_t offset, std::int64_t count) const;
  std::span<std::uint8_t> writeClipped(std::int64_t offset, std::int64_t count);
  // One byte; a byte outside the image reads as erased.
  std::uint8_t byteAt(std::int64_t offset) const;

  std::span<const std::uint8_t> all() const { return read(0, kImageSize); }

  // The first offset from `offset` on that may hold anything but erased bytes: the offset
  // itself when it lies in a range handed out for writing since the last fill (or when that
  // is not known), else the start of the next such range, or kImageSize. Every byte before
  // it, from `offset`, is erased.
  std::uint64_t nextWritten(std::uint64_t offset) const;

 private:
  struct Range {
    std::uint32_t begin;
    std::uint32_t end;
  };
  // Past this many separate ranges the next fill erases the whole image.
  static constexpr std::size_t kMaxDirtyRanges = 64;

  void markWritten(std::uint64_t offset, std::uint64_t count);
  // The part of the range inside the image as [first, first + count).
  bool clipRange(std::int64_t offset, std::int64_t count, std::uint64_t& first,
                 std::uint64_t& clipped) const;

  std::unique_ptr<std::uint8_t[]> bytes_;
  std::vector<Range> written_;
  bool wholeDirty_ = true;
};

}  // namespace tavufe
