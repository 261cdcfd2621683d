#include "model/flash_image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

// The one system call of the core, and only an advice: without it the image works the same.
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tavufe {

namespace {

constexpr std::size_t kHugePageSize = std::size_t(2) << 20;
constexpr std::size_t kAllocatedSize =
    (std::size_t(kImageSize) + kHugePageSize - 1) / kHugePageSize * kHugePageSize;

}  // namespace

void FlashImage::Free::operator()(std::uint8_t* bytes) const { std::free(bytes); }

bool FlashImage::allocate() {
  bytes_.reset(static_cast<std::uint8_t*>(std::aligned_alloc(kHugePageSize, kAllocatedSize)));
#ifdef MADV_HUGEPAGE
  if (bytes_) ::madvise(bytes_.get(), kAllocatedSize, MADV_HUGEPAGE);
#endif
  wholeDirty_ = true;
  written_.clear();
  pending_.fill(false);
  watching_ = false;
  return exists();
}

void FlashImage::release() {
  bytes_.reset();
  written_.clear();
  wholeDirty_ = true;
  pending_.fill(false);
  watching_ = false;
}

void FlashImage::fill() {
  if (!exists()) return;
  watchedAll_ = watchedAll_ || watching_;
  if (wholeDirty_) {
    // Deferred to the first access of each chunk: most files touch a few chunks of 33.
    pending_.fill(true);
  } else {
    // Chunks still pending need nothing: they are erased when first touched.
    for (const Range& r : written_) eraseRange(r.begin, r.end, false);
  }
  written_.clear();
  wholeDirty_ = false;
}

void FlashImage::fillPending(std::uint64_t offset, std::uint64_t count) const {
  if (count == 0) return;
  const std::size_t last = std::size_t((offset + count - 1) / kChunkSize);
  for (std::size_t c = std::size_t(offset / kChunkSize); c <= last; ++c) {
    if (!pending_[c]) continue;
    const std::size_t begin = c * kChunkSize;
    std::memset(bytes_.get() + begin, kErased,
                std::min<std::size_t>(kChunkSize, kImageSize - begin));
    pending_[c] = false;
  }
}

void FlashImage::eraseRange(std::uint64_t begin, std::uint64_t end, bool deferWhole) {
  while (begin < end) {
    const std::size_t c = std::size_t(begin / kChunkSize);
    const std::uint64_t chunkBegin = std::uint64_t(c) * kChunkSize;
    const std::uint64_t chunkEnd = std::min<std::uint64_t>(chunkBegin + kChunkSize, kImageSize);
    const std::uint64_t to = std::min(end, chunkEnd);
    if (deferWhole && begin == chunkBegin && to == chunkEnd) {
      pending_[c] = true;
    } else if (!pending_[c]) {
      std::memset(bytes_.get() + begin, kErased, to - begin);
    }
    begin = to;
  }
}

void FlashImage::giveBack(std::uint64_t offset, std::uint64_t count) {
  if (holds(offset, count)) eraseRange(offset, offset + count, true);
}

void FlashImage::watchWrites() {
  watching_ = true;
  watchedAll_ = false;
  watched_.clear();
}

std::vector<std::pair<std::uint64_t, std::uint64_t>> FlashImage::unwrittenSinceWatch(
    std::uint64_t offset, std::uint64_t count) const {
  std::vector<std::pair<std::uint64_t, std::uint64_t>> kept;
  if (!watching_ || watchedAll_ || count == 0) return kept;
  std::vector<Range> met;
  for (const Range& r : watched_) {
    if (r.begin < offset + count && offset < r.end) met.push_back(r);
  }
  std::sort(met.begin(), met.end(),
            [](const Range& a, const Range& b) { return a.begin < b.begin; });
  std::uint64_t at = offset;
  for (const Range& r : met) {
    if (r.begin > at) kept.emplace_back(at, r.begin);
    at = std::max<std::uint64_t>(at, r.end);
  }
  if (offset + count > at) kept.emplace_back(at, offset + count);
  return kept;
}

void FlashImage::noteWatched(std::uint64_t offset, std::uint64_t count) {
  if (!watching_ || watchedAll_ || count == 0) return;
  if (!addRange(watched_, offset, count, kMaxWatchedRanges)) watchedAll_ = true;
}

bool FlashImage::addRange(std::vector<Range>& ranges, std::uint64_t offset, std::uint64_t count,
                          std::size_t most) {
  const auto begin = std::uint32_t(offset);
  const auto end = std::uint32_t(offset + count);
  // Readers write front to back, so a write usually continues or repeats the last range.
  if (!ranges.empty()) {
    Range& last = ranges.back();
    if (begin >= last.begin && begin <= last.end) {
      last.end = std::max(last.end, end);
      return true;
    }
  }
  if (ranges.size() == most) return false;
  ranges.push_back({begin, end});
  return true;
}

void FlashImage::markWritten(std::uint64_t offset, std::uint64_t count) {
  if (wholeDirty_ || count == 0) return;
  if (!addRange(written_, offset, count, kMaxDirtyRanges)) {
    wholeDirty_ = true;
    written_.clear();
  }
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
  fillPending(offset, count);
  return {bytes_.get() + offset, std::size_t(count)};
}

std::span<std::uint8_t> FlashImage::write(std::uint64_t offset, std::uint64_t count) {
  if (!holds(offset, count)) return {};
  // Erased before it is handed out: the caller may write only part of the span.
  fillPending(offset, count);
  markWritten(offset, count);
  noteWatched(offset, count);
  return {bytes_.get() + offset, std::size_t(count)};
}

std::span<std::uint8_t> FlashImage::lend(std::uint64_t offset, std::uint64_t count) {
  if (!holds(offset, count) || count == 0) return {};
  const std::uint64_t end = offset + count;
  for (std::size_t c = std::size_t(offset / kChunkSize); c * kChunkSize < end; ++c) {
    const std::uint64_t begin = c * kChunkSize;
    if (begin >= offset && std::min<std::uint64_t>(begin + kChunkSize, kImageSize) <= end) {
      pending_[c] = false;  // every byte of it is the caller's to set
    } else {
      fillPending(std::max(begin, offset), 1);
    }
  }
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
  fillPending(std::uint64_t(offset), 1);
  return bytes_.get()[std::size_t(offset)];
}

}  // namespace tavufe
