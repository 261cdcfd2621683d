#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/byte_order.h"

namespace tavufe {

// A read position in a file's bytes. Every read checks first that the bytes are there, with
// length tests that cannot overflow; a read that does not fit takes nothing and fails.
class ByteCursor {
 public:
  explicit ByteCursor(std::span<const std::uint8_t> bytes, std::size_t position = 0)
      : bytes_(bytes), position_(std::min(position, bytes.size())) {}

  std::size_t position() const { return position_; }
  std::size_t remaining() const { return bytes_.size() - position_; }
  bool atEnd() const { return position_ == bytes_.size(); }
  bool has(std::size_t count) const { return count <= remaining(); }

  // The next `count` bytes, or an empty span (and no move) when the bytes end first.
  std::span<const std::uint8_t> take(std::size_t count) {
    if (!has(count)) return {};
    const auto out = bytes_.subspan(position_, count);
    position_ += count;
    return out;
  }
  // The same bytes without moving.
  std::span<const std::uint8_t> peek(std::size_t count) const {
    return has(count) ? bytes_.subspan(position_, count) : std::span<const std::uint8_t>{};
  }
  bool skip(std::size_t count) {
    if (!has(count)) return false;
    position_ += count;
    return true;
  }

  // Takes the marker when the next bytes are exactly it; a marker cut off by the end of the
  // bytes does not match.
  template <std::size_t N>
  bool takeMarker(const std::array<std::uint8_t, N>& marker) {
    const auto at = peek(N);
    if (at.size() != N || !std::equal(marker.begin(), marker.end(), at.begin())) return false;
    position_ += N;
    return true;
  }

  bool takeU32be(std::uint32_t& value) {
    const auto at = take(4);
    if (at.empty()) return false;
    value = read32be(at.data());
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_;
};

}  // namespace tavufe
