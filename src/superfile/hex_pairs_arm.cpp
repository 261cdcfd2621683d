// The NEON variant of the hex pair kernels. Every 64-bit Arm processor has NEON, so unlike the
// x86 variants it needs no question to the processor; the plain loops remain the reference.

#if defined(__aarch64__) && defined(__ARM_NEON)

#include <arm_neon.h>

#include "superfile/hex_pairs.h"

namespace tavufe::detail {

namespace {

// Characters to nibbles: '0'-'9' give 0-9, 'A'-'F' and 'a'-'f' give 10-15, anything else 0xFF.
inline uint8x16_t nibbles(uint8x16_t c) {
  const uint8x16_t digit = vsubq_u8(c, vdupq_n_u8('0'));
  const uint8x16_t isDigit = vcleq_u8(digit, vdupq_n_u8(9));
  // Setting bit 5 folds upper case onto lower case and nothing else onto 'a'-'f'.
  const uint8x16_t letter = vsubq_u8(vorrq_u8(c, vdupq_n_u8(0x20)), vdupq_n_u8('a'));
  const uint8x16_t isLetter = vcleq_u8(letter, vdupq_n_u8(5));
  return vbslq_u8(isDigit, digit,
                  vbslq_u8(isLetter, vaddq_u8(letter, vdupq_n_u8(10)), vdupq_n_u8(0xFF)));
}

std::uint32_t decodeNeon(const std::uint8_t* digits, std::size_t count, std::uint8_t* out) {
  std::uint64_t sum = 0;
  std::size_t k = 0;
  for (; k + 16 <= count; k += 16) {
    // The load splits the pairs: first characters in one register, second in the other.
    const uint8x16x2_t pairs = vld2q_u8(digits + 2 * k);
    const uint8x16_t high = nibbles(pairs.val[0]);
    const uint8x16_t low = nibbles(pairs.val[1]);
    // A pair with a character that is not a hex digit gives 0xFF, as hexPairToByte does.
    const uint8x16_t invalid = vcgtq_u8(vorrq_u8(high, low), vdupq_n_u8(0x0F));
    const uint8x16_t bytes = vorrq_u8(vorrq_u8(vshlq_n_u8(high, 4), low), invalid);
    vst1q_u8(out + k, bytes);
    sum += vaddlvq_u8(bytes);
  }
  return std::uint32_t(sum) + decodePairsScalar(digits + 2 * k, count - k, out + k);
}

void encodeNeon(const std::uint8_t* bytes, std::size_t count, char* out, HexSums& sums) {
  static constexpr std::uint8_t kDigits[16] = {'0', '1', '2', '3', '4', '5', '6', '7',
                                               '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
  const uint8x16_t digits = vld1q_u8(kDigits);
  std::uint64_t byteSum = 0;
  std::uint64_t charSum = 0;
  std::size_t k = 0;
  for (; k + 16 <= count; k += 16) {
    const uint8x16_t b = vld1q_u8(bytes + k);
    uint8x16x2_t chars;
    chars.val[0] = vqtbl1q_u8(digits, vshrq_n_u8(b, 4));
    chars.val[1] = vqtbl1q_u8(digits, vandq_u8(b, vdupq_n_u8(0x0F)));
    // The store interleaves them back into pairs.
    vst2q_u8(reinterpret_cast<std::uint8_t*>(out + 2 * k), chars);
    byteSum += vaddlvq_u8(b);
    charSum += std::uint64_t(vaddlvq_u8(chars.val[0])) + vaddlvq_u8(chars.val[1]);
  }
  sums.bytes += std::uint32_t(byteSum);
  sums.chars += std::uint32_t(charSum);
  encodePairsScalar(bytes + k, count - k, out + 2 * k, sums);
}

}  // namespace

extern const HexKernels kNeonHexKernels{"neon", decodeNeon, encodeNeon};

}  // namespace tavufe::detail

#endif
