#include "model/catalogue.h"

#include <algorithm>

#include "model/editor_state.h"

namespace tavufe {

namespace {

// Names are fixed 30-byte fields in the catalogue and 28-byte fields in the profile, so a
// longer name is cut where the stored tables would cut it.
constexpr std::size_t kCatalogueNameField = 30;
constexpr std::size_t kProfileNameField = 28;

std::string fieldText(std::string_view text, std::size_t fieldSize) {
  return std::string(text.substr(0, fieldSize - 1));
}

}  // namespace

std::string catalogueLabel(int cgNumber) {
  if (cgNumber == kCgRamdld) return "RDL";
  if (cgNumber == kCgFbu) return "FBU";
  if (cgNumber == kCgFbl) return "FBL";
  return "CG" + std::to_string(cgNumber);
}

void setCatalogueEntry(EditorState& state, int cgNumber, std::uint32_t start, std::uint32_t end,
                       std::uint8_t trimPadding, std::string_view name) {
  if (cgNumber < 0 || cgNumber >= kCatalogueSize) return;
  CatalogueEntry& e = state.catalogue[std::size_t(cgNumber)];
  e.startAddress = start;
  e.endAddress = end;
  e.trimPadding = trimPadding;
  // A number's label never changes: it is built once, not on every reset of the catalogue.
  if (e.label.empty()) e.label = catalogueLabel(cgNumber);
  e.name.assign(name.data(), std::min(name.size(), kCatalogueNameField - 1));
}

void setProfileRow(EditorState& state, int row, std::int32_t cgNumber, std::uint32_t start,
                   std::uint32_t end, std::string_view name, std::uint8_t trimPadding) {
  if (row < 0 || row >= kProfileCapacity) return;
  ProfileEntry& p = state.profile.rows[std::size_t(row)];
  p.name = fieldText(name, kProfileNameField);
  p.cgNumber = cgNumber;
  p.startAddress = start;
  p.endAddress = end;
  p.trimPadding = trimPadding;
}

void buildDeviceProfile(EditorState& state) {
  state.profile.activeProfile = 0;
  state.profile.entryCount = 11;
  setProfileRow(state, 0, -1, 0x10000000, 0x11FFFFFF, "FBU", 0);
  setProfileRow(state, 1, 0, 0x03FC8000, 0x03FE7FF7, "RAMDLD", 0);
  setProfileRow(state, 2, 1, 0x10160000, 0x10EBF7FF, "Firmware", 1);
  setProfileRow(state, 3, 2, 0x11280000, 0x11F3FFFF, "Flex", 0);
  setProfileRow(state, 4, 3, 0x10100000, 0x1015FFFF, "DSP", 1);
  setProfileRow(state, 5, 4, 0x11100000, 0x1127FFFF, "Language Pack", 1);
  setProfileRow(state, 6, 7, 0x11F80000, 0x11FBFFFF, "Signature", 0);
  setProfileRow(state, 7, 8, 0x10EC0000, 0x10EFFFFF, "Splashscreen/Config", 0);
  setProfileRow(state, 8, 11, 0x10EC0000, 0x10ED2E7F, "Splashscreen", 0);
  setProfileRow(state, 9, 15, 0x10F00000, 0x110FFFFF, "DRM", 1);
  setProfileRow(state, 10, 18, 0x10EBF800, 0x10EBFFFF, "Signature", 0);
}

void copyProfileToCatalogue(EditorState& state) {
  const int count = state.profile.entryCount;
  for (int i = 0; i < count && i < kProfileCapacity; ++i) {
    const ProfileEntry& row = state.profile.rows[std::size_t(i)];
    const int n = row.cgNumber < 0 ? kCgFbu : row.cgNumber;
    setCatalogueEntry(state, n, row.startAddress, row.endAddress, row.trimPadding, row.name);
  }
}

StatusCode placeInSlot(EditorState& state, int slotIndex, std::int32_t cgNumber,
                       std::uint32_t start, std::uint32_t end) {
  if (slotIndex < 0 || slotIndex >= kSlotCount) return StatusCode::None;
  if (cgNumber < 0 || cgNumber >= kCatalogueSize) return StatusCode::None;
  CodeGroupSlot& slot = state.slots[std::size_t(slotIndex)];
  slot.startAddress = start;
  slot.endAddress = end;
  // Header ranges are untrusted: the length wraps as the 32-bit field would.
  slot.length = end - start + 1u;
  slot.cgNumber = cgNumber;
  const CatalogueEntry& entry = state.catalogue[std::size_t(cgNumber)];
  slot.trimPadding = entry.trimPadding;
  slot.label = entry.label;
  slot.description = entry.name;

  if (cgNumber == kCgRamdld) {
    // The RAMDLD has no address rule; its range must fit its area. The distance is taken in
    // 32 bits, so a range may wrap past 2^32 or cross 0x80000000; one that runs backwards is
    // an empty code group, left to finalisation.
    if (std::int32_t(end - start) >= std::int32_t(kRamdldAreaSize)) {
      return StatusCode::BufferAddressOverflow;
    }
  } else if (!isFlashAddressValid(start) || !isFlashAddressValid(end)) {
    return StatusCode::AddressRange;
  }
  return StatusCode::None;
}

void applyProfile(EditorState& state) {
  const int count = state.profile.entryCount;
  copyProfileToCatalogue(state);
  for (int i = 0; i < count && i < kProfileCapacity; ++i) {
    const ProfileEntry& row = state.profile.rows[std::size_t(i)];
    // The built-in ranges are known to be good.
    if (i == 0) {
      (void)placeInSlot(state, kFbuSlot, kCgFbu, row.startAddress, row.endAddress);
    } else {
      (void)placeInSlot(state, i - 1, row.cgNumber, row.startAddress, row.endAddress);
    }
  }
  state.lastSlot = count - 2;
}

}  // namespace tavufe
