#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "model/paged_buffer.h"

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
  // The memory is aligned for huge pages and, where the system offers them, asks for them: the
  // first fill then faults in 33 pages instead of some 16,000.
  bool allocate();
  void release();
  bool exists() const { return bytes_ != nullptr; }

  // Sets every byte to the erased value. Does nothing without an image. After the first fill
  // only the ranges handed out for writing since the last one are erased again: the rest
  // still holds 0xFF.
  //
  // A fill of the whole image is lazy: each 2 MiB chunk is erased when an access first touches
  // it, so a file that lays only a few megabytes costs only those. Every byte still reads as
  // 0xFF until written, but a span handed out before a fill must not be read after it.
  void fill();

  // Whether `count` bytes from `offset` all lie inside the image.
  bool holds(std::uint64_t offset, std::uint64_t count) const {
    return exists() && offset <= kImageSize && count <= kImageSize - offset;
  }
  // The range, or an empty span when it does not lie wholly inside the image.
  std::span<const std::uint8_t> read(std::uint64_t offset, std::uint64_t count) const;
  [[nodiscard]] std::span<std::uint8_t> write(std::uint64_t offset, std::uint64_t count);
  // The same for a caller that sets every byte of the range itself: 2 MiB chunks it covers
  // from their start are not erased first, and the rest of the last one waits for the lazy
  // erase.
  [[nodiscard]] std::span<std::uint8_t> lend(std::uint64_t offset, std::uint64_t count);
  // Part of lent space its caller did not set, back to erased: chunks wholly inside it wait for
  // the lazy erase again, so a run given far more space than its data leaves no pages touched.
  void giveBack(std::uint64_t offset, std::uint64_t count);
  // Lays `data`, which lies in `from`, at `offset`: whole pages are moved out of `from` where
  // they stand at the same place in a page as their target, the rest is copied. Returns where
  // the data lies now (empty when the range is not inside the image); `data` may no longer be
  // read.
  std::span<std::uint8_t> takeOver(std::uint64_t offset, std::span<const std::uint8_t> data,
                                   PagedBuffer& from);
  // The part of the range that lies inside the image (offsets may be negative).
  std::span<const std::uint8_t> readClipped(std::int64_t offset, std::int64_t count) const;
  std::span<std::uint8_t> writeClipped(std::int64_t offset, std::int64_t count);
  // One byte; a byte outside the image reads as erased.
  std::uint8_t byteAt(std::int64_t offset) const;

  // The whole image: erases every chunk still waiting for it, so prefer a bounded range.
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
  // The unit of the lazy fill; the huge-page size, so each chunk is one page where offered.
  static constexpr std::size_t kChunkSize = std::size_t(2) << 20;
  static constexpr std::size_t kChunkCount = (kImageSize + kChunkSize - 1) / kChunkSize;

  // Erases the chunks of [offset, offset + count) that still wait for the whole-image fill.
  // Every path that hands out bytes calls it first; the range lies inside the image.
  void fillPending(std::uint64_t offset, std::uint64_t count) const;
  // Erases [begin, end): a part of it that reaches the waiting part of its chunk joins that,
  // the rest is set to 0xFF now.
  void eraseRange(std::uint64_t begin, std::uint64_t end);

  void markWritten(std::uint64_t offset, std::uint64_t count);
  static bool addRange(std::vector<Range>& ranges, std::uint64_t offset, std::uint64_t count,
                       std::size_t most);
  // The part of the range inside the image as [first, first + count).
  bool clipRange(std::int64_t offset, std::int64_t count, std::uint64_t& first,
                 std::uint64_t& clipped) const;

  struct Free {
    void operator()(std::uint8_t* bytes) const;
  };

  std::unique_ptr<std::uint8_t, Free> bytes_;
  std::vector<Range> written_;
  bool wholeDirty_ = true;
  // Per chunk, the offset from which a whole-image fill has yet to erase it: its start when
  // all of it waits, its end when none does, and between when lent space covers its first
  // part. Mutable: the first read of a chunk erases it, which no caller can tell from an erase
  // made by the fill itself (the image is used from one thread at a time).
  mutable std::array<std::uint32_t, kChunkCount> pendingFrom_{};
  static constexpr std::uint32_t chunkBegin(std::size_t c) { return std::uint32_t(c * kChunkSize); }
  static constexpr std::uint32_t chunkEnd(std::size_t c) {
    return std::uint32_t(std::min<std::size_t>((c + 1) * kChunkSize, kImageSize));
  }
  // Every chunk waiting for the fill, or none.
  void setPending(bool all);
};

}  // namespace tavufe
