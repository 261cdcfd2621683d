#include "editor/crc32.h"

#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <nmmintrin.h>
#endif

namespace tavufe {

namespace {

// Eight tables, so that the plain loop takes eight bytes a step.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables makeTables() {
  Tables t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0x82F63B78u ^ (c >> 1) : c >> 1;
    t[0][i] = c;
  }
  for (std::size_t n = 1; n < 8; ++n) {
    for (std::uint32_t i = 0; i < 256; ++i) t[n][i] = (t[n - 1][i] >> 8) ^ t[0][t[n - 1][i] & 0xFF];
  }
  return t;
}

constexpr Tables kTables = makeTables();

std::uint32_t updatePlain(std::uint32_t c, const std::uint8_t* p, std::size_t n) {
  while (n >= 8) {
    const std::uint32_t low = c ^ (std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                   std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
    c = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^ kTables[5][(low >> 16) & 0xFF] ^
        kTables[4][low >> 24] ^ kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^
        kTables[0][p[7]];
    p += 8;
    n -= 8;
  }
  while (n-- > 0) c = kTables[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
  return c;
}

#if defined(__x86_64__)
// The instruction takes three cycles but can start one every cycle, so long inputs run as
// three streams of kLane bytes side by side, joined by the rule that feeding a state kLane
// zero bytes is linear in the state: a table lookup per byte of it.
constexpr std::size_t kLane = 4096;

using ShiftTables = std::array<std::array<std::uint32_t, 256>, 4>;

__attribute__((target("sse4.2"))) ShiftTables makeShiftTables() {
  std::array<std::uint32_t, 32> basis{};
  for (std::size_t bit = 0; bit < basis.size(); ++bit) {
    std::uint64_t c = std::uint64_t(1) << bit;
    for (std::size_t k = 0; k < kLane; k += 8) c = _mm_crc32_u64(c, 0);
    basis[bit] = std::uint32_t(c);
  }
  ShiftTables t{};
  for (std::size_t part = 0; part < t.size(); ++part) {
    for (std::uint32_t b = 0; b < 256; ++b) {
      std::uint32_t v = 0;
      for (std::size_t j = 0; j < 8; ++j) {
        if ((b >> j) & 1) v ^= basis[8 * part + j];
      }
      t[part][b] = v;
    }
  }
  return t;
}

std::uint32_t shiftOverLane(const ShiftTables& t, std::uint32_t c) {
  return t[0][c & 0xFF] ^ t[1][(c >> 8) & 0xFF] ^ t[2][(c >> 16) & 0xFF] ^ t[3][c >> 24];
}

__attribute__((target("sse4.2"))) std::uint32_t updateSse42(std::uint32_t c, const std::uint8_t* p,
                                                            std::size_t n) {
  std::uint64_t wide = c;
  if (n >= 3 * kLane) {
    static const ShiftTables shift = makeShiftTables();
    while (n >= 3 * kLane) {
      std::uint64_t second = 0;
      std::uint64_t third = 0;
      for (std::size_t k = 0; k < kLane; k += 8) {
        std::uint64_t a;
        std::uint64_t b;
        std::uint64_t d;
        std::memcpy(&a, p + k, sizeof a);
        std::memcpy(&b, p + kLane + k, sizeof b);
        std::memcpy(&d, p + 2 * kLane + k, sizeof d);
        wide = _mm_crc32_u64(wide, a);
        second = _mm_crc32_u64(second, b);
        third = _mm_crc32_u64(third, d);
      }
      wide = shiftOverLane(shift, std::uint32_t(wide)) ^ second;
      wide = shiftOverLane(shift, std::uint32_t(wide)) ^ third;
      p += 3 * kLane;
      n -= 3 * kLane;
    }
  }
  while (n >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    wide = _mm_crc32_u64(wide, word);
    p += 8;
    n -= 8;
  }
  auto narrow = std::uint32_t(wide);
  while (n-- > 0) narrow = _mm_crc32_u8(narrow, *p++);
  return narrow;
}

bool hasSse42() {
  static const bool has = __builtin_cpu_supports("sse4.2");
  return has;
}
#endif

}  // namespace

void Crc32::update(std::span<const std::uint8_t> bytes) {
#if defined(__x86_64__)
  if (hasSse42()) {
    state_ = updateSse42(state_, bytes.data(), bytes.size());
    return;
  }
#endif
  state_ = updatePlain(state_, bytes.data(), bytes.size());
}

std::uint32_t Crc32::plain(std::span<const std::uint8_t> bytes) {
  return ~updatePlain(0xFFFFFFFFu, bytes.data(), bytes.size());
}

}  // namespace tavufe
