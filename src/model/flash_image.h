#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

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
// Every access to a range of it goes through `read`, `write` or `clip`, which never hand out a
// byte outside the image: offsets and counts may come straight from a hostile file.
class FlashImage {
 public:
  // Returns false when the memory cannot be had; the editor then runs on without an image.
  bool allocate();
  void release();
  bool exists() const { return bytes_ != nullptr; }

  // Sets every byte to the erased value. Does nothing without an image.
  void fill();

  // Whether `count` bytes from `offset` all lie inside the image.
  bool holds(std::uint64_t offset, std::uint64_t count) const {
    return exists() && offset <= kImageSize && count <= kImageSize - offset;
  }
  // The range, or an empty span when it does not lie wholly inside the image.
  std::span<const std::uint8_t> read(std::uint64_t offset, std::uint64_t count) const;
  [[nodiscard]] std::span<std::uint8_t> write(std::uint64_t offset, std::uint64_t count);
  // The part of the range that lies inside the image (offsets may be negative).
  std::span<std::uint8_t> clip(std::int64_t offset, std::int64_t count);
  // One byte; a byte outside the image reads as erased.
  std::uint8_t byteAt(std::int64_t offset) const;

  std::span<const std::uint8_t> all() const { return read(0, kImageSize); }

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
};

}  // namespace tavufe
