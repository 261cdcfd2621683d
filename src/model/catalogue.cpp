#include "model/catalogue.h"

#include "model/flash_image.h"

namespace tavufe {

namespace {

// Names are fixed 30-byte fields in the stored formats the editor came from (28 in the profile).
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

void setCatalogueEntry(EditorState& state, int cgNumber, std::int32_t start, std::int32_t end,
                       std::uint8_t trimPadding, std::string_view name) {
  if (cgNumber < 0 || cgNumber >= kCatalogueSize) return;
  CatalogueEntry& e = state.catalogue[cgNumber];
  e.startAddress = start;
  e.endAddress = end;
  e.trimPadding = trimPadding;
  e.label = catalogueLabel(cgNumber);
  e.name = fieldText(name, 30);
}

void setProfileRow(EditorState& state, int row, std::int32_t cgNumber, std::int32_t start,
                   std::int32_t end, std::string_view name, std::uint8_t trimPadding) {
  if (row < 0 || row >= kProfileCapacity) return;
  ProfileEntry& p = state.profile.rows[row];
  p.name = fieldText(name, 28);
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
    const ProfileEntry& row = state.profile.rows[i];
    const int n = row.cgNumber < 0 ? kCgFbu : row.cgNumber;
    setCatalogueEntry(state, n, row.startAddress, row.endAddress, row.trimPadding, row.name);
  }
}

void placeInSlot(EditorState& state, int slotIndex, std::int32_t cgNumber, std::int32_t start,
                 std::int32_t end) {
  if (slotIndex < 0 || slotIndex >= kSlotCount) return;
  if (cgNumber < 0 || cgNumber >= kCatalogueSize) return;
  CodeGroupSlot& slot = state.slots[slotIndex];
  slot.startAddress = start;
  slot.endAddress = end;
  // Header ranges are untrusted: wrap as the 32-bit field would instead of overflowing.
  slot.length = std::int32_t(std::uint32_t(end) - std::uint32_t(start) + 1u);
  slot.cgNumber = cgNumber;
  const CatalogueEntry& entry = state.catalogue[cgNumber];
  slot.trimPadding = entry.trimPadding;
  slot.label = entry.label;
  slot.description = entry.name;

  if (cgNumber == kCgRamdld) {
    // The range must fit the RAMDLD area; computed wide so a hostile range cannot overflow.
    if (std::int64_t(end) - std::int64_t(start) + kRamdldOffset >= kImageSize) {
      state.status = StatusCode::BufferAddressOverflow;
    }
  } else if (!isFlashAddressValid(start) || !isFlashAddressValid(end)) {
    state.status = StatusCode::AddressRange;
  }
}

void applyProfile(EditorState& state) {
  const int count = state.profile.entryCount;
  copyProfileToCatalogue(state);
  for (int i = 0; i < count && i < kProfileCapacity; ++i) {
    const ProfileEntry& row = state.profile.rows[i];
    if (i == 0) {
      placeInSlot(state, kFbuSlot, kCgFbu, row.startAddress, row.endAddress);
    } else {
      placeInSlot(state, i - 1, row.cgNumber, row.startAddress, row.endAddress);
    }
  }
  state.lastSlot = count - 2;
}

void initialiseEditor(EditorState& state) {
  resetSlots(state);
  state.currentPath.clear();
  buildDeviceProfile(state);
  applyProfile(state);
}

}  // namespace tavufe
