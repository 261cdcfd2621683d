#pragma once

#include <cstdint>
#include <span>

namespace tavufe {

// CRC-32C (the Castagnoli polynomial, which processors compute in one instruction), fed in
// pieces of any size: the same bytes give the same value however they are split. A save sums
// what it writes and what it reads back with it, so it must run at memory speed.
class Crc32 {
 public:
  void update(std::span<const std::uint8_t> bytes);
  std::uint32_t value() const { return ~state_; }
  // The same sum by table lookup alone, whatever the processor: what the fast path is held to.
  static std::uint32_t plain(std::span<const std::uint8_t> bytes);

 private:
  std::uint32_t state_ = 0xFFFFFFFFu;
};

}  // namespace tavufe
