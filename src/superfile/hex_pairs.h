#pragma once

// Runs of hex pairs, as S-record data lines carry them: decoded and encoded many at a time with
// the widest vector unit the processor has. The plain loops are the reference; every other
// variant gives the same bytes and the same sums.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/hex.h"

namespace tavufe {

struct HexSums {
  std::uint32_t bytes = 0;  // the bytes' values, which a record's checksum covers
  std::uint32_t chars = 0;  // the characters' codes, which an SHX file's running sum covers
};

// Decodes `count` pairs from `digits` (2 * count characters) into `out` and returns the sum of
// the bytes. A pair with any character that is not a hex digit decodes as 0xFF, as
// hexPairToByte does.
using DecodePairsFn = std::uint32_t (*)(const std::uint8_t* digits, std::size_t count,
                                        std::uint8_t* out);
// Encodes `count` bytes as upper-case pairs into `out` (2 * count characters) and adds them to
// `sums`.
using EncodePairsFn = void (*)(const std::uint8_t* bytes, std::size_t count, char* out,
                               HexSums& sums);

struct HexKernels {
  const char* name;
  DecodePairsFn decode;
  EncodePairsFn encode;
};

namespace detail {

struct PairTable {
  std::array<std::array<char, 2>, 256> pairs{};
  // The two characters' codes added together, so a line's sums need no second pass.
  std::array<std::uint16_t, 256> charSums{};
};

constexpr PairTable makePairTable() {
  PairTable t;
  for (int v = 0; v < 256; ++v) {
    const char high = kHexDigits[v >> 4];
    const char low = kHexDigits[v & 0x0F];
    t.pairs[std::size_t(v)] = {high, low};
    t.charSums[std::size_t(v)] = std::uint16_t(high + low);
  }
  return t;
}

inline constexpr PairTable kPairs = makePairTable();

}  // namespace detail

// One byte as its upper-case pair, added to `sums`: for the few fields around a line's data.
inline char* encodePair(std::uint8_t value, char* out, HexSums& sums) {
  out[0] = detail::kPairs.pairs[value][0];
  out[1] = detail::kPairs.pairs[value][1];
  sums.bytes += value;
  sums.chars += detail::kPairs.charSums[value];
  return out + 2;
}

std::uint32_t decodePairsScalar(const std::uint8_t* digits, std::size_t count, std::uint8_t* out);
void encodePairsScalar(const std::uint8_t* bytes, std::size_t count, char* out, HexSums& sums);

// The index of the first character of `text` that is not a hex digit (either case), or its
// size: sixteen characters a step where the processor has SSE2 or WebAssembly SIMD.
std::size_t firstNonHexDigit(std::span<const std::uint8_t> text);

// Whether any of `bytes` is 0xFF, as every pair with a character that is not a hex digit
// decodes.
bool holdsFF(std::span<const std::uint8_t> bytes);

// The fastest variant this processor runs, chosen on first use.
const HexKernels& hexKernels();
// Every variant this processor runs, the scalar reference first.
std::vector<const HexKernels*> supportedHexKernels();

}  // namespace tavufe
