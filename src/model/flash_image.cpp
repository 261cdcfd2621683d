// Three speed mechanisms, each measured to save more than a tenth of an open or a save:
// - The image is allocated on 2 MiB pages where the system offers them, so that the first
//   write of each 2 MiB faults in one page instead of 512.
// - The whole-image erase is lazy. Invariant: a chunk's bytes from pendingFrom_ on are not yet
//   erased, and every path that hands out bytes (read, write, lend, byteAt) erases what it hands
//   out first, so no caller ever sees a byte that is neither erased nor written since the fill.
//   lend() alone hands out unerased bytes, to a caller that sets every one of them itself.
// - takeOver() lays a PagedBuffer's data by moving its whole pages into the image, where the
//   system can, instead of copying them. Invariant: the image is one mapping of its own, the
//   pages moved lie wholly inside the range lent for the data, and the buffer never touches
//   them again.
#include "model/flash_image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

// The core's system calls: its own mapping, the huge-page advice and the move of a buffer's
// pages. Without them the image works the same, only slower.
#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace tavufe {

namespace {

constexpr std::size_t kHugePageSize = std::size_t(2) << 20;
static_assert(kRamdldOffset % kHugePageSize == 0);
constexpr std::size_t kAllocatedSize =
    (std::size_t(kImageSize) + kHugePageSize - 1) / kHugePageSize * kHugePageSize;

}  // namespace

void FlashImage::Free::operator()(std::uint8_t* bytes) const {
#ifdef __linux__
  ::munmap(bytes, kAllocatedSize);
#else
  std::free(bytes);
#endif
}

namespace {

// The image's memory: on Linux a mapping of its own, so that pages may be moved into it.
std::uint8_t* allocateImage() {
#ifdef __linux__
  const std::size_t size = kAllocatedSize + kHugePageSize;
  void* at = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (at == MAP_FAILED) return nullptr;
  // Aligned for huge pages; the slack on either side goes back.
  auto* raw = static_cast<std::uint8_t*>(at);
  const std::size_t lead = (kHugePageSize - std::uintptr_t(raw) % kHugePageSize) % kHugePageSize;
  if (lead > 0) ::munmap(raw, lead);
  ::munmap(raw + lead + kAllocatedSize, kHugePageSize - lead);
  return raw + lead;
#else
  return static_cast<std::uint8_t*>(std::aligned_alloc(kHugePageSize, kAllocatedSize));
#endif
}

}  // namespace

bool FlashImage::allocate() {
  bytes_.reset(allocateImage());
#ifdef MADV_HUGEPAGE
  // Not the RAMDLD's short area past the flash: a huge page there would hold some kilobytes.
  if (bytes_) ::madvise(bytes_.get(), kRamdldOffset, MADV_HUGEPAGE);
#endif
  wholeDirty_ = true;
  written_.clear();
  setPending(false);
  return exists();
}

void FlashImage::release() {
  bytes_.reset();
  written_.clear();
  wholeDirty_ = true;
  setPending(false);
}

void FlashImage::setPending(bool all) {
  for (std::size_t c = 0; c < kChunkCount; ++c) pendingFrom_[c] = all ? chunkBegin(c) : chunkEnd(c);
}

void FlashImage::fill() {
  if (!exists()) return;
  if (wholeDirty_) {
    // Deferred to the first access of each chunk: most files touch a few chunks of 33.
    setPending(true);
  } else {
    // Whole chunks wait for the lazy erase like the rest, so that a next file laying the same
    // megabytes does not erase them first; the edges of a range are erased now.
    for (const Range& r : written_) eraseRange(r.begin, r.end);
  }
  written_.clear();
  wholeDirty_ = false;
}

void FlashImage::fillPending(std::uint64_t offset, std::uint64_t count) const {
  if (count == 0) return;
  const std::size_t last = std::size_t((offset + count - 1) / kChunkSize);
  for (std::size_t c = std::size_t(offset / kChunkSize); c <= last; ++c) {
    const std::uint32_t from = pendingFrom_[c];
    if (from >= chunkEnd(c)) continue;
    std::memset(bytes_.get() + from, kErased, chunkEnd(c) - from);
    pendingFrom_[c] = chunkEnd(c);
  }
}

void FlashImage::eraseRange(std::uint64_t begin, std::uint64_t end) {
  while (begin < end) {
    const std::size_t c = std::size_t(begin / kChunkSize);
    const std::uint64_t to = std::min<std::uint64_t>(end, chunkEnd(c));
    const std::uint32_t from = pendingFrom_[c];
    if (to >= from) {
      pendingFrom_[c] = std::min(from, std::uint32_t(begin));
    } else {
      std::memset(bytes_.get() + begin, kErased, std::size_t(to - begin));
    }
    begin = to;
  }
}

void FlashImage::giveBack(std::uint64_t offset, std::uint64_t count) {
  if (holds(offset, count)) eraseRange(offset, offset + count);
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
  return {bytes_.get() + offset, std::size_t(count)};
}

std::span<std::uint8_t> FlashImage::lend(std::uint64_t offset, std::uint64_t count) {
  if (!holds(offset, count) || count == 0) return {};
  const std::uint64_t end = offset + count;
  for (std::size_t c = std::size_t(offset / kChunkSize); c * kChunkSize < end; ++c) {
    if (chunkBegin(c) < offset) {
      fillPending(offset, 1);
    } else {
      // Every byte of it up to `end` is the caller's to set; past that it may still wait, so
      // that space lent far beyond what the caller lays leaves the rest of the chunk untouched.
      pendingFrom_[c] = std::max<std::uint32_t>(
          pendingFrom_[c], std::uint32_t(std::min<std::uint64_t>(end, chunkEnd(c))));
    }
  }
  markWritten(offset, count);
  return {bytes_.get() + offset, std::size_t(count)};
}

std::span<std::uint8_t> FlashImage::takeOver(std::uint64_t offset,
                                             std::span<const std::uint8_t> data,
                                             PagedBuffer& from) {
  const std::span<std::uint8_t> target = lend(offset, data.size());
  if (target.empty()) return target;
  std::size_t head = data.size();  // what is copied before the pages moved
  std::size_t moved = 0;
#ifdef __linux__
  const auto page = std::size_t(::sysconf(_SC_PAGESIZE));
  const auto source = std::uintptr_t(data.data());
  const auto destination = std::uintptr_t(target.data());
  if (from.mapped_ != nullptr && from.movedSize_ == 0 && page > 0 &&
      source % page == destination % page) {
    head = std::min(data.size(), (page - destination % page) % page);
    moved = (data.size() - head) / page * page;
    if (moved > 0 && ::mremap(const_cast<std::uint8_t*>(data.data()) + head, moved, moved,
                              MREMAP_MAYMOVE | MREMAP_FIXED, target.data() + head) != MAP_FAILED) {
      from.movedFrom_ = std::size_t(data.data() + head - static_cast<std::uint8_t*>(from.mapped_));
      from.movedSize_ = moved;
    } else {
      head = data.size();
      moved = 0;
    }
  }
#else
  (void)from;
#endif
  std::memcpy(target.data(), data.data(), head);
  std::memcpy(target.data() + head + moved, data.data() + head + moved, data.size() - head - moved);
  return target;
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
