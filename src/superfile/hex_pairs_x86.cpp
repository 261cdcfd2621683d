// The SSSE3 and AVX2 variants of the hex pair kernels. Each function carries its own target, so
// the rest of the program still runs on any x86-64; hexKernels() calls these only after asking
// the processor what it has.

#if defined(__x86_64__)

#include <immintrin.h>

#include "superfile/hex_pairs.h"

#define TAVUFE_SSSE3 __attribute__((target("ssse3")))
#define TAVUFE_AVX2 __attribute__((target("avx2")))

namespace tavufe::detail {

namespace {

// Characters to nibbles: '0'-'9' give 0-9, 'A'-'F' and 'a'-'f' give 10-15, anything else 0xFF.
TAVUFE_SSSE3 inline __m128i nibbles(__m128i c) {
  const __m128i digit = _mm_sub_epi8(c, _mm_set1_epi8('0'));
  const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(digit, _mm_set1_epi8(9)), digit);
  // Setting bit 5 folds upper case onto lower case and nothing else onto 'a'-'f'.
  const __m128i letter = _mm_sub_epi8(_mm_or_si128(c, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
  const __m128i isLetter = _mm_cmpeq_epi8(_mm_min_epu8(letter, _mm_set1_epi8(5)), letter);
  const __m128i value =
      _mm_or_si128(_mm_and_si128(isDigit, digit),
                   _mm_and_si128(isLetter, _mm_add_epi8(letter, _mm_set1_epi8(10))));
  return _mm_or_si128(value, _mm_andnot_si128(_mm_or_si128(isDigit, isLetter), _mm_set1_epi8(-1)));
}

// Sixteen pairs to sixteen bytes. Each pair becomes high * 16 + low in a 16-bit lane; a 0xFF
// nibble takes the lane past 255, and the unsigned saturating pack turns that into 0xFF, which
// is what the scalar decoder gives an invalid pair.
TAVUFE_SSSE3 inline __m128i decode16(const std::uint8_t* digits) {
  const __m128i weights = _mm_set1_epi16(0x0110);
  const __m128i a = nibbles(_mm_loadu_si128(reinterpret_cast<const __m128i*>(digits)));
  const __m128i b = nibbles(_mm_loadu_si128(reinterpret_cast<const __m128i*>(digits + 16)));
  return _mm_packus_epi16(_mm_maddubs_epi16(a, weights), _mm_maddubs_epi16(b, weights));
}

TAVUFE_SSSE3 inline std::uint64_t horizontalSum(__m128i sums) {
  return std::uint64_t(_mm_cvtsi128_si64(sums)) +
         std::uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
}

// Decodes pairs `k` to `count` (at least sixteen in all) sixteen at a time and returns their
// sum. The last sixteen are taken again, overlapping the ones done, rather than a slow plain
// loop over the few left (six on a full data line); only the new bytes join the sum.
TAVUFE_SSSE3 inline std::uint64_t decodeRest(const std::uint8_t* digits, std::size_t count,
                                             std::size_t k, std::uint8_t* out) {
  const __m128i zero = _mm_setzero_si128();
  __m128i sums = zero;
  for (; k + 16 <= count; k += 16) {
    const __m128i bytes = decode16(digits + 2 * k);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), bytes);
    sums = _mm_add_epi64(sums, _mm_sad_epu8(bytes, zero));
  }
  if (k < count) {
    const std::size_t from = count - 16;
    const __m128i bytes = decode16(digits + 2 * from);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + from), bytes);
    const __m128i lane = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i fresh = _mm_cmpgt_epi8(lane, _mm_set1_epi8(char(k - from - 1)));
    sums = _mm_add_epi64(sums, _mm_sad_epu8(_mm_and_si128(bytes, fresh), zero));
  }
  return horizontalSum(sums);
}

TAVUFE_SSSE3 std::uint32_t decodeSsse3(const std::uint8_t* digits, std::size_t count,
                                       std::uint8_t* out) {
  if (count < 16) return decodePairsScalar(digits, count, out);
  return std::uint32_t(decodeRest(digits, count, 0, out));
}

// Sixteen bytes to thirty-two upper-case characters, with both sums.
TAVUFE_SSSE3 inline void encode16(const std::uint8_t* bytes, char* out, __m128i& byteSums,
                                  __m128i& charSums) {
  const __m128i digits =
      _mm_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F');
  const __m128i low4 = _mm_set1_epi8(0x0F);
  const __m128i zero = _mm_setzero_si128();
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  const __m128i high = _mm_shuffle_epi8(digits, _mm_and_si128(_mm_srli_epi16(b, 4), low4));
  const __m128i low = _mm_shuffle_epi8(digits, _mm_and_si128(b, low4));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(high, low));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi8(high, low));
  byteSums = _mm_add_epi64(byteSums, _mm_sad_epu8(b, zero));
  charSums =
      _mm_add_epi64(charSums, _mm_add_epi64(_mm_sad_epu8(high, zero), _mm_sad_epu8(low, zero)));
}

TAVUFE_SSSE3 void encodeSsse3(const std::uint8_t* bytes, std::size_t count, char* out,
                              HexSums& sums) {
  __m128i byteSums = _mm_setzero_si128();
  __m128i charSums = _mm_setzero_si128();
  std::size_t k = 0;
  for (; k + 16 <= count; k += 16) encode16(bytes + k, out + 2 * k, byteSums, charSums);
  sums.bytes += std::uint32_t(horizontalSum(byteSums));
  sums.chars += std::uint32_t(horizontalSum(charSums));
  encodePairsScalar(bytes + k, count - k, out + 2 * k, sums);
}

TAVUFE_AVX2 inline __m256i nibbles(__m256i c) {
  const __m256i digit = _mm256_sub_epi8(c, _mm256_set1_epi8('0'));
  const __m256i isDigit = _mm256_cmpeq_epi8(_mm256_min_epu8(digit, _mm256_set1_epi8(9)), digit);
  const __m256i letter =
      _mm256_sub_epi8(_mm256_or_si256(c, _mm256_set1_epi8(0x20)), _mm256_set1_epi8('a'));
  const __m256i isLetter = _mm256_cmpeq_epi8(_mm256_min_epu8(letter, _mm256_set1_epi8(5)), letter);
  const __m256i value =
      _mm256_or_si256(_mm256_and_si256(isDigit, digit),
                      _mm256_and_si256(isLetter, _mm256_add_epi8(letter, _mm256_set1_epi8(10))));
  return _mm256_or_si256(
      value, _mm256_andnot_si256(_mm256_or_si256(isDigit, isLetter), _mm256_set1_epi8(-1)));
}

TAVUFE_AVX2 inline std::uint64_t horizontalSum(__m256i sums) {
  const __m128i half =
      _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
  return std::uint64_t(_mm_cvtsi128_si64(half)) +
         std::uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(half, half)));
}

TAVUFE_AVX2 std::uint32_t decodeAvx2(const std::uint8_t* digits, std::size_t count,
                                     std::uint8_t* out) {
  const __m256i weights = _mm256_set1_epi16(0x0110);
  const __m256i zero = _mm256_setzero_si256();
  __m256i sums = zero;
  std::size_t k = 0;
  for (; k + 32 <= count; k += 32) {
    const std::uint8_t* at = digits + 2 * k;
    const __m256i a = nibbles(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)));
    const __m256i b = nibbles(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32)));
    // The pack works within each 128-bit half; the permute puts the four quarters in order.
    const __m256i packed =
        _mm256_packus_epi16(_mm256_maddubs_epi16(a, weights), _mm256_maddubs_epi16(b, weights));
    const __m256i bytes = _mm256_permute4x64_epi64(packed, 0xD8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), bytes);
    sums = _mm256_add_epi64(sums, _mm256_sad_epu8(bytes, zero));
  }
  if (count < 16) return decodePairsScalar(digits, count, out);
  const std::uint64_t rest = k < count ? decodeRest(digits, count, k, out) : 0;
  return std::uint32_t(horizontalSum(sums) + rest);
}

TAVUFE_AVX2 void encodeAvx2(const std::uint8_t* bytes, std::size_t count, char* out,
                            HexSums& sums) {
  const __m256i digits = _mm256_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A',
                                          'B', 'C', 'D', 'E', 'F', '0', '1', '2', '3', '4', '5',
                                          '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F');
  const __m256i low4 = _mm256_set1_epi8(0x0F);
  const __m256i zero = _mm256_setzero_si256();
  __m256i byteSums = zero;
  __m256i charSums = zero;
  std::size_t k = 0;
  for (; k + 32 <= count; k += 32) {
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + k));
    const __m256i high =
        _mm256_shuffle_epi8(digits, _mm256_and_si256(_mm256_srli_epi16(b, 4), low4));
    const __m256i low = _mm256_shuffle_epi8(digits, _mm256_and_si256(b, low4));
    // The interleave works within each 128-bit half: bytes 0-7 and 16-23, then 8-15 and 24-31.
    const __m256i first = _mm256_unpacklo_epi8(high, low);
    const __m256i second = _mm256_unpackhi_epi8(high, low);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * k),
                        _mm256_permute2x128_si256(first, second, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * k + 32),
                        _mm256_permute2x128_si256(first, second, 0x31));
    byteSums = _mm256_add_epi64(byteSums, _mm256_sad_epu8(b, zero));
    charSums = _mm256_add_epi64(
        charSums, _mm256_add_epi64(_mm256_sad_epu8(high, zero), _mm256_sad_epu8(low, zero)));
  }
  sums.bytes += std::uint32_t(horizontalSum(byteSums));
  sums.chars += std::uint32_t(horizontalSum(charSums));
  encodeSsse3(bytes + k, count - k, out + 2 * k, sums);
}

}  // namespace

extern const HexKernels kSsse3HexKernels{"ssse3", decodeSsse3, encodeSsse3};
extern const HexKernels kAvx2HexKernels{"avx2", decodeAvx2, encodeAvx2};

}  // namespace tavufe::detail

#endif
