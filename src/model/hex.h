#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tavufe {

namespace detail {

constexpr std::array<std::uint8_t, 256> makeNibbleTable() {
  std::array<std::uint8_t, 256> t{};
  for (auto& v : t) v = 0xFF;
  for (int c = '0'; c <= '9'; ++c) t[std::size_t(c)] = std::uint8_t(c - '0');
  for (int c = 'A'; c <= 'F'; ++c) t[std::size_t(c)] = std::uint8_t(c - 'A' + 10);
  for (int c = 'a'; c <= 'f'; ++c) t[std::size_t(c)] = std::uint8_t(c - 'a' + 10);
  return t;
}

inline constexpr std::array<std::uint8_t, 256> kNibble = makeNibbleTable();
inline constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace detail

// A pair with any character that is not a hex digit reads as 0xFF, like an erased byte; the
// line checksum is what catches it.
inline std::uint8_t hexPairToByte(std::uint8_t high, std::uint8_t low) {
  const std::uint8_t h = detail::kNibble[high];
  const std::uint8_t l = detail::kNibble[low];
  if ((h | l) & 0xF0) return 0xFF;
  return std::uint8_t((h << 4) | l);
}

// Eight characters from text[pos], first pair most significant. The caller checks the bounds.
inline std::uint32_t hexToU32(const std::uint8_t* text, std::size_t pos) {
  const std::uint8_t* p = text + pos;
  return (std::uint32_t(hexPairToByte(p[0], p[1])) << 24) |
         (std::uint32_t(hexPairToByte(p[2], p[3])) << 16) |
         (std::uint32_t(hexPairToByte(p[4], p[5])) << 8) | std::uint32_t(hexPairToByte(p[6], p[7]));
}

inline void byteToHex(std::uint8_t value, char* out) {
  out[0] = detail::kHexDigits[value >> 4];
  out[1] = detail::kHexDigits[value & 0x0F];
}

inline void u32ToHex(std::uint32_t value, char* buffer, std::size_t pos) {
  byteToHex(std::uint8_t(value >> 24), buffer + pos);
  byteToHex(std::uint8_t(value >> 16), buffer + pos + 2);
  byteToHex(std::uint8_t(value >> 8), buffer + pos + 4);
  byteToHex(std::uint8_t(value), buffer + pos + 6);
}

// Upper-case text for the user: 8 digits for addresses, 4 for words, 2 per byte.
std::string hex8(std::uint32_t value);
std::string hex4(std::uint16_t value);
std::string hex2(std::uint8_t value);

}  // namespace tavufe
