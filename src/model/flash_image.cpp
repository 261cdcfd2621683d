#include "model/flash_image.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tavufe {

bool FlashImage::allocate() {
  bytes_.reset(new (std::nothrow) std::uint8_t[kImageSize]);
  return exists();
}

void FlashImage::release() { bytes_.reset(); }

void FlashImage::fill() {
  if (exists()) std::memset(bytes_.get(), kErased, kImageSize);
}

std::span<const std::uint8_t> FlashImage::read(std::uint64_t offset, std::uint64_t count) const {
  if (!holds(offset, count)) return {};
  return {bytes_.get() + offset, std::size_t(count)};
}

std::span<std::uint8_t> FlashImage::write(std::uint64_t offset, std::uint64_t count) {
  if (!holds(offset, count)) return {};
  return {bytes_.get() + offset, std::size_t(count)};
}

std::span<std::uint8_t> FlashImage::clip(std::int64_t offset, std::int64_t count) {
  if (!exists() || count <= 0) return {};
  const std::int64_t first = std::max<std::int64_t>(offset, 0);
  const std::int64_t end = std::min<std::int64_t>(offset + count, kImageSize);
  if (first >= end) return {};
  return write(std::uint64_t(first), std::uint64_t(end - first));
}

std::uint8_t FlashImage::byteAt(std::int64_t offset) const {
  if (offset < 0 || !holds(std::uint64_t(offset), 1)) return kErased;
  return bytes_[std::size_t(offset)];
}

}  // namespace tavufe
