#pragma once

// Runs of hex pairs, as S-record data lines carry them: decoded and encoded many at a time with
// the widest vector unit the processor has. The plain loops are the reference; every other
// variant gives the same bytes and the same sums.

#include <cstddef>
#include <cstdint>
#include <vector>

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

std::uint32_t decodePairsScalar(const std::uint8_t* digits, std::size_t count, std::uint8_t* out);
void encodePairsScalar(const std::uint8_t* bytes, std::size_t count, char* out, HexSums& sums);

// The fastest variant this processor runs, chosen on first use.
const HexKernels& hexKernels();
// Every variant this processor runs, the scalar reference first.
std::vector<const HexKernels*> supportedHexKernels();

}  // namespace tavufe
