#include "superfile/hex_pairs.h"

#if defined(__x86_64__)
#define TAVUFE_HEX_PAIRS_X86 1
#elif defined(__aarch64__) && defined(__ARM_NEON)
#define TAVUFE_HEX_PAIRS_NEON 1
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
  return all;
}

}  // namespace tavufe
