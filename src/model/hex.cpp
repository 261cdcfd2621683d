#include "model/hex.h"

namespace tavufe {

std::string hex8(std::uint32_t value) {
  std::string s(8, '0');
  u32ToHex(value, s.data(), 0);
  return s;
}

std::string hex4(std::uint16_t value) {
  std::string s(4, '0');
  byteToHex(std::uint8_t(value >> 8), s.data());
  byteToHex(std::uint8_t(value), s.data() + 2);
  return s;
}

std::string hex2(std::uint8_t value) {
  std::string s(2, '0');
  byteToHex(value, s.data());
  return s;
}

}  // namespace tavufe
