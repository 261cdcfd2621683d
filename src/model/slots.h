#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tavufe {

inline constexpr int kSlotCount = 22;
inline constexpr int kLastLoadableSlot = 20;
inline constexpr int kFbuSlot = 21;
// The region bounds and the save check look at slots 0 to 19 only.
inline constexpr int kLastBoundsSlot = 19;

inline constexpr int kCatalogueSize = 258;
inline constexpr std::int32_t kCgRamdld = 0;
inline constexpr std::int32_t kCgFirmware = 1;
inline constexpr std::int32_t kCgFlex = 2;
inline constexpr std::int32_t kCgLanguage = 4;
inline constexpr std::int32_t kCgFbl = 256;
inline constexpr std::int32_t kCgFbu = 257;
inline constexpr std::int32_t kCgEmpty = -1;

inline constexpr std::uint32_t kFlashFirst = 0x10000000;
inline constexpr std::uint32_t kFlashEnd = 0x14000000;

using HeaderBytes = std::array<std::uint8_t, 16>;

// One loaded code group. Addresses are flash addresses as the superfile states them.
struct CodeGroupSlot {
  std::string description;
  std::string label;
  HeaderBytes headerBytes{};
  std::int32_t cgNumber = 0;
  std::uint32_t startAddress = 0;
  std::uint32_t endAddress = 0;
  // end - start + 1 in 32 bits: a range is its 32-bit length.
  std::uint32_t length = 0;
  std::uint32_t recordAddress = 0;
  std::uint32_t recordLength = 0;
  std::uint16_t bufferChecksum = 0;
  std::uint16_t headerChecksum = 0;
  std::uint16_t headerCode = 0;
  std::uint8_t trimPadding = 0;
  // A rescue read could not read it whole and soundly: a save writes nothing of it.
  bool damaged = false;

  bool operator==(const CodeGroupSlot&) const = default;
};

using SlotTable = std::array<CodeGroupSlot, kSlotCount>;
// The firmware as the two header entries that describe it: its first 200 bytes and the rest.
using FirmwareHalves = std::array<CodeGroupSlot, 2>;
inline constexpr std::uint32_t kFirmwareFirstHalfSize = 200;
// The second half's header bytes start four bytes before its range: the entries overlap.
inline constexpr std::uint32_t kFirmwareRestHeaderAt = 196;
// The RAMDLD's version word, bytes 14 and 15 of it; FF FF there means no RAMDLD.
inline constexpr std::size_t kRamdldVersionAt = 14;

// Image offsets of the regions the report and the folder scan look at, and which of their code
// groups the slots hold. A region whose code group is not held has no bounds: whatever the
// image holds there belongs to another code group, or to no file.
struct RegionBounds {
  std::uint32_t flashBaseOffset = 0;
  std::uint32_t ramdldOffset = 0x4000000;
  std::uint32_t firmwareStart = 0;
  std::uint32_t firmwareEnd = 0;
  std::uint32_t flexStart = 0;
  std::uint32_t flexEnd = 0;
  std::uint32_t languageStart = 0;
  std::uint32_t languageEnd = 0;
  bool hasRamdld = false;
  bool hasFirmware = false;
  bool hasFlex = false;
  bool hasLanguage = false;

  bool operator==(const RegionBounds&) const = default;
};

struct EditorState;

// Empties the catalogue's names, ranges and flags (labels stay), slots 0 to 20 and the region
// bounds taken from them. Slot 21, the firmware halves and lastSlot are left as they are.
void resetSlots(EditorState& state);

bool isSlotInUse(const EditorState& state, int slot);
bool isSlotInUse(const SlotTable& slots, int slot);
bool isFbuSlotInUse(const EditorState& state, int slot);
bool isFlashAddressValid(std::uint32_t address);

// Whether slot 1 holds the Flex code group with at least one byte read from the file: what a
// save writes and the folder erase works on. A Flex at flash address 0x10000000 starts at image
// offset 0, so the region bounds alone cannot tell it from no Flex.
bool hasFlexBytes(const EditorState& state);

// Sets the region bounds afresh from slots 0 to 19: nothing is kept from earlier slots.
void computeRegionBounds(EditorState& state);

// Image offset of a code group's first byte. A code group in the RAMDLD's place sits in its
// own area whatever its address; every other at its flash address without the top nibble.
// The readers and writers take the first slot for the RAMDLD's place, finalisation takes
// code group 0.
std::uint32_t imageOffsetFor(bool ramdldArea, std::uint32_t address);

}  // namespace tavufe
