// The WebAssembly SIMD variant of the hex pair kernels, for the browser page. A module built with
// -msimd128 only loads where the engine has SIMD, so like NEON it needs no question at run time;
// the plain loops remain the reference.

#if defined(__wasm_simd128__)

#include <wasm_simd128.h>

#include "superfile/hex_pairs.h"

namespace tavufe::detail {

namespace {

// Characters to nibbles: '0'-'9' give 0-9, 'A'-'F' and 'a'-'f' give 10-15, anything else 0xFF.
inline v128_t nibbles(v128_t c) {
  const v128_t digit = wasm_i8x16_sub(c, wasm_u8x16_splat('0'));
  const v128_t isDigit = wasm_u8x16_le(digit, wasm_u8x16_splat(9));
  // Setting bit 5 folds upper case onto lower case and nothing else onto 'a'-'f'.
  const v128_t letter =
      wasm_i8x16_sub(wasm_v128_or(c, wasm_u8x16_splat(0x20)), wasm_u8x16_splat('a'));
  const v128_t isLetter = wasm_u8x16_le(letter, wasm_u8x16_splat(5));
  return wasm_v128_bitselect(digit,
                             wasm_v128_bitselect(wasm_i8x16_add(letter, wasm_u8x16_splat(10)),
                                                 wasm_u8x16_splat(0xFF), isLetter),
                             isDigit);
}

// Eight pairs of nibbles, first character in the low byte of each 16-bit lane, as high * 16 +
// low: a 0xFF nibble makes the lane 255 or more.
inline v128_t pairValues(v128_t n) {
  return wasm_i16x8_add(wasm_i16x8_shl(wasm_v128_and(n, wasm_u16x8_splat(0x00FF)), 4),
                        wasm_u16x8_shr(n, 8));
}

// Sixteen bytes summed into four 32-bit lanes, which wrap as the scalar sum does.
inline v128_t laneSums(v128_t bytes) {
  return wasm_u32x4_extadd_pairwise_u16x8(wasm_u16x8_extadd_pairwise_u8x16(bytes));
}

inline std::uint32_t horizontalSum(v128_t sums) {
  return wasm_u32x4_extract_lane(sums, 0) + wasm_u32x4_extract_lane(sums, 1) +
         wasm_u32x4_extract_lane(sums, 2) + wasm_u32x4_extract_lane(sums, 3);
}

// Sixteen pairs to sixteen bytes. The saturating narrow turns a lane past 255 into 0xFF, which
// is what the scalar decoder gives an invalid pair.
inline v128_t decode16(const std::uint8_t* digits) {
  const v128_t a = nibbles(wasm_v128_load(digits));
  const v128_t b = nibbles(wasm_v128_load(digits + 16));
  return wasm_u8x16_narrow_i16x8(pairValues(a), pairValues(b));
}

std::uint32_t decodeSimd128(const std::uint8_t* digits, std::size_t count, std::uint8_t* out) {
  if (count < 16) return decodePairsScalar(digits, count, out);
  v128_t sums = wasm_u32x4_splat(0);
  std::size_t k = 0;
  for (; k + 16 <= count; k += 16) {
    const v128_t bytes = decode16(digits + 2 * k);
    wasm_v128_store(out + k, bytes);
    sums = wasm_i32x4_add(sums, laneSums(bytes));
  }
  if (k < count) {
    // The last sixteen pairs again, overlapping the ones done, rather than a slow plain loop
    // over the few left (six on a full data line); only the new bytes join the sum.
    const std::size_t from = count - 16;
    const v128_t bytes = decode16(digits + 2 * from);
    wasm_v128_store(out + from, bytes);
    const v128_t lane = wasm_u8x16_make(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const v128_t fresh = wasm_u8x16_ge(lane, wasm_u8x16_splat(std::uint8_t(k - from)));
    sums = wasm_i32x4_add(sums, laneSums(wasm_v128_and(bytes, fresh)));
  }
  return horizontalSum(sums);
}

void encodeSimd128(const std::uint8_t* bytes, std::size_t count, char* out, HexSums& sums) {
  const v128_t digits = wasm_i8x16_make('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B',
                                        'C', 'D', 'E', 'F');
  v128_t byteSums = wasm_u32x4_splat(0);
  v128_t charSums = wasm_u32x4_splat(0);
  std::size_t k = 0;
  for (; k + 16 <= count; k += 16) {
    const v128_t b = wasm_v128_load(bytes + k);
    const v128_t high = wasm_i8x16_swizzle(digits, wasm_u8x16_shr(b, 4));
    const v128_t low = wasm_i8x16_swizzle(digits, wasm_v128_and(b, wasm_u8x16_splat(0x0F)));
    wasm_v128_store(out + 2 * k, wasm_i8x16_shuffle(high, low, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5,
                                                    21, 6, 22, 7, 23));
    wasm_v128_store(out + 2 * k + 16, wasm_i8x16_shuffle(high, low, 8, 24, 9, 25, 10, 26, 11, 27,
                                                         12, 28, 13, 29, 14, 30, 15, 31));
    byteSums = wasm_i32x4_add(byteSums, laneSums(b));
    charSums = wasm_i32x4_add(charSums, wasm_i32x4_add(laneSums(high), laneSums(low)));
  }
  sums.bytes += horizontalSum(byteSums);
  sums.chars += horizontalSum(charSums);
  encodePairsScalar(bytes + k, count - k, out + 2 * k, sums);
}

}  // namespace

extern const HexKernels kSimd128HexKernels{"simd128", decodeSimd128, encodeSimd128};

}  // namespace tavufe::detail

#endif
