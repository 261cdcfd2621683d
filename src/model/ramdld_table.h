#pragma once

#include <cstdint>

namespace tavufe {

// The RAMDLD's address table: the window patched before a save, and its first entry. Each entry
// is a start and an end address, big-endian.
inline constexpr std::uint32_t kRamdldTableWindowStart = 240;
inline constexpr std::uint32_t kRamdldTableWindowEnd = 415;  // inclusive
inline constexpr std::uint32_t kRamdldTableFirstEntry = 248;
inline constexpr std::uint32_t kRamdldTableEntrySize = 8;
// Entries exist for code groups 0 to 20 only.
inline constexpr std::int32_t kRamdldTableLastEntry = 20;

}  // namespace tavufe
