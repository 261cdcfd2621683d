#pragma once

#include <cstdint>
#include <span>

namespace tavufe {

// CRC-32 (the polynomial of zip and PNG), fed in pieces of any size: the same bytes give the
// same value however they are split.
class Crc32 {
 public:
  void update(std::span<const std::uint8_t> bytes);
  std::uint32_t value() const { return ~state_; }

 private:
  std::uint32_t state_ = 0xFFFFFFFFu;
};

}  // namespace tavufe
