#include "superfile/hex_pairs.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#define TAVUFE_HEX_PAIRS_X86 1
#elif defined(__aarch64__) && defined(__ARM_NEON)
#define TAVUFE_HEX_PAIRS_NEON 1
#elif defined(__wasm_simd128__)
#define TAVUFE_HEX_PAIRS_WASM 1
#endif

#if defined(__SSE2__)
#include <emmintrin.h>
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

namespace tavufe {

#ifdef TAVUFE_HEX_PAIRS_X86
namespace detail {
// The vector variants, in a file of their own (hex_pairs_x86.cpp).
extern const HexKernels kSsse3HexKernels;
extern const HexKernels kAvx2HexKernels;
}  // namespace detail
#endif
#ifdef TAVUFE_HEX_PAIRS_NEON
namespace detail {
// Every 64-bit Arm processor runs it (hex_pairs_arm.cpp).
extern const HexKernels kNeonHexKernels;
}  // namespace detail
#endif
#ifdef TAVUFE_HEX_PAIRS_WASM
namespace detail {
// Every engine that loads a module built with SIMD runs it (hex_pairs_wasm.cpp).
extern const HexKernels kSimd128HexKernels;
}  // namespace detail
#endif

namespace {

constexpr HexKernels kScalarHexKernels{"scalar", decodePairsScalar, encodePairsScalar};

#ifdef TAVUFE_HEX_PAIRS_X86
bool runsAvx2() { return __builtin_cpu_supports("avx2"); }
bool runsSsse3() { return __builtin_cpu_supports("ssse3"); }
#endif

const HexKernels& chooseHexKernels() {
#ifdef TAVUFE_HEX_PAIRS_X86
  if (runsAvx2()) return detail::kAvx2HexKernels;
  if (runsSsse3()) return detail::kSsse3HexKernels;
#endif
#ifdef TAVUFE_HEX_PAIRS_NEON
  return detail::kNeonHexKernels;
#endif
#ifdef TAVUFE_HEX_PAIRS_WASM
  return detail::kSimd128HexKernels;
#endif
  return kScalarHexKernels;
}

}  // namespace

std::uint32_t decodePairsScalar(const std::uint8_t* digits, std::size_t count, std::uint8_t* out) {
  std::uint32_t sum = 0;
  for (std::size_t k = 0; k < count; ++k) {
    const std::uint8_t b = hexPairToByte(digits[2 * k], digits[2 * k + 1]);
    out[k] = b;
    sum += b;
  }
  return sum;
}

void encodePairsScalar(const std::uint8_t* bytes, std::size_t count, char* out, HexSums& sums) {
  for (std::size_t k = 0; k < count; ++k) out = encodePair(bytes[k], out, sums);
}

const HexKernels& hexKernels() {
  static const HexKernels& chosen = chooseHexKernels();
  return chosen;
}

std::vector<const HexKernels*> supportedHexKernels() {
  std::vector<const HexKernels*> all{&kScalarHexKernels};
#ifdef TAVUFE_HEX_PAIRS_X86
  if (runsSsse3()) all.push_back(&detail::kSsse3HexKernels);
  if (runsAvx2()) all.push_back(&detail::kAvx2HexKernels);
#endif
#ifdef TAVUFE_HEX_PAIRS_NEON
  all.push_back(&detail::kNeonHexKernels);
#endif
#ifdef TAVUFE_HEX_PAIRS_WASM
  all.push_back(&detail::kSimd128HexKernels);
#endif
  return all;
}

}  // namespace tavufe

namespace tavufe {

std::size_t firstNonHexDigit(std::span<const std::uint8_t> text) {
  std::size_t at = 0;
#if defined(__SSE2__)
  // A character is a digit when c - '0' < 10, a letter when (c | 0x20) - 'a' < 6, both as
  // unsigned bytes: min(x, bound) == x is that test in SSE2.
  const __m128i zero = _mm_set1_epi8('0');
  const __m128i nine = _mm_set1_epi8(9);
  const __m128i lower = _mm_set1_epi8(0x20);
  const __m128i a = _mm_set1_epi8('a');
  const __m128i five = _mm_set1_epi8(5);
  for (; text.size() - at >= 16; at += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    const __m128i d = _mm_sub_epi8(v, zero);
    const __m128i l = _mm_sub_epi8(_mm_or_si128(v, lower), a);
    const __m128i ok = _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(d, nine), d),
                                    _mm_cmpeq_epi8(_mm_min_epu8(l, five), l));
    const int mask = _mm_movemask_epi8(ok);
    if (mask != 0xFFFF) return at + std::size_t(__builtin_ctz(unsigned(~mask) & 0xFFFFu));
  }
#elif defined(__wasm_simd128__)
  // The same test, with the unsigned comparison WebAssembly has.
  const v128_t zero = wasm_u8x16_splat('0');
  const v128_t nine = wasm_u8x16_splat(9);
  const v128_t lower = wasm_u8x16_splat(0x20);
  const v128_t a = wasm_u8x16_splat('a');
  const v128_t five = wasm_u8x16_splat(5);
  for (; text.size() - at >= 16; at += 16) {
    const v128_t v = wasm_v128_load(text.data() + at);
    const v128_t ok = wasm_v128_or(wasm_u8x16_le(wasm_i8x16_sub(v, zero), nine),
                                   wasm_u8x16_le(wasm_i8x16_sub(wasm_v128_or(v, lower), a), five));
    const std::uint32_t mask = wasm_i8x16_bitmask(ok);
    if (mask != 0xFFFF) return at + std::size_t(__builtin_ctz(~mask & 0xFFFFu));
  }
#endif
  for (; at < text.size(); ++at) {
    if (detail::kNibble[text[at]] & 0xF0) return at;
  }
  return text.size();
}

bool holdsFF(std::span<const std::uint8_t> bytes) {
#if defined(__wasm_simd128__)
  // Sixteen bytes a step, the last step overlapping the one before: the libc's memchr goes a
  // word at a time here, and a data line's seventy bytes are searched on every line.
  if (bytes.size() >= 16) {
    const v128_t ff = wasm_u8x16_splat(0xFF);
    v128_t found = wasm_u8x16_splat(0);
    for (std::size_t at = 0; at < bytes.size(); at += 16) {
      const std::size_t from = std::min(at, bytes.size() - 16);
      found = wasm_v128_or(found, wasm_i8x16_eq(wasm_v128_load(bytes.data() + from), ff));
    }
    return wasm_v128_any_true(found);
  }
#endif
  // (An empty span may have no data, which memchr may not be given.)
  return !bytes.empty() && std::memchr(bytes.data(), 0xFF, bytes.size()) != nullptr;
}

}  // namespace tavufe
