#include "model/flash_image.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tavufe {

bool FlashImage::allocate() {
  bytes_.reset(new (std::nothrow) std::uint8_t[kImageSize]);
  wholeDirty_ = true;
  written_.clear();
  return exists();
}

void FlashImage::release() {
  bytes_.reset();
  written_.clear();
  wholeDirty_ = true;
}

void FlashImage::fill() {
  if (!exists()) return;
  if (wholeDirty_) {
    std::memset(bytes_.get(), kErased, kImageSize);
  } else {
    for (const Range& r : written_) std::memset(bytes_.get() + r.begin, kErased, r.end - r.begin);
  }
  written_.clear();
  wholeDirty_ = false;
}

void FlashImage::markWritten(std::uint64_t offset, std::uint64_t count) {
  if (wholeDirty_ || count == 0) return;
  const auto begin = std::uint32_t(offset);
  const auto end = std::uint32_t(offset + count);
  // Readers write front to back, so a write usually continues or repeats the last range.
  if (!written_.empty()) {
    Range& last = written_.back();
    if (begin >= last.begin && begin <= last.end) {
      last.end = std::max(last.end, end);
      return;
    }
  }
  if (written_.size() == kMaxDirtyRanges) {
    wholeDirty_ = true;
    written_.clear();
    return;
  }
  written_.push_back({begin, end});
}

std::uint64_t FlashImage::nextWritten(std::uint64_t offset) const {
  if (wholeDirty_) return offset;
  std::uint64_t next = kImageSize;
  for (const Range& r : written_) {
    if (r.end > offset)
      next = std::min<std::uint64_t>(next, std::max<std::uint64_t>(r.begin, offset));
  }
  return std::max(next, offset);
}

std::span<const std::uint8_t> FlashImage::read(std::uint64_t offset, std::uint64_t count) const {
  if (!holds(offset, count)) return {};
  return {bytes_.get() + offset, std::size_t(count)};
}

std::span<std::uint8_t> FlashImage::write(std::uint64_t offset, std::uint64_t count) {
  if (!holds(offset, count)) return {};
  markWritten(offset, count);
  return {bytes_.get() + offset, std::size_t(count)};
}

bool FlashImage::clipRange(std::int64_t offset, std::int64_t count, std::uint64_t& first,
                           std::uint64_t& clipped) const {
  if (!exists() || count <= 0) return false;
  const std::int64_t begin = std::max<std::int64_t>(offset, 0);
  const std::int64_t end = std::min<std::int64_t>(offset + count, kImageSize);
  if (begin >= end) return false;
  first = std::uint64_t(begin);
  clipped = std::uint64_t(end - begin);
  return true;
}

std::span<const std::uint8_t> FlashImage::readClipped(std::int64_t offset,
                                                      std::int64_t count) const {
  std::uint64_t first = 0;
  std::uint64_t clipped = 0;
  return clipRange(offset, count, first, clipped) ? read(first, clipped)
                                                  : std::span<const std::uint8_t>{};
}

std::span<std::uint8_t> FlashImage::writeClipped(std::int64_t offset, std::int64_t count) {
  std::uint64_t first = 0;
  std::uint64_t clipped = 0;
  return clipRange(offset, count, first, clipped) ? write(first, clipped)
                                                  : std::span<std::uint8_t>{};
}

std::uint8_t FlashImage::byteAt(std::int64_t offset) const {
  if (offset < 0 || !holds(std::uint64_t(offset), 1)) return kErased;
  return bytes_[std::size_t(offset)];
}

}  // namespace tavufe
