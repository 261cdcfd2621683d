#include "model/slots.h"

#include "model/catalogue.h"
#include "model/editor_state.h"
#include "model/flash_image.h"

namespace tavufe {

void resetSlots(EditorState& state) {
  for (int n = 0; n < kCatalogueSize; ++n) setCatalogueEntry(state, n, 0, 0, 0, "");
  for (int i = 0; i <= kLastLoadableSlot; ++i) {
    CodeGroupSlot& slot = state.slots[std::size_t(i)];
    slot.startAddress = 0;
    slot.endAddress = 0;
    slot.length = 0;
    slot.cgNumber = kCgEmpty;
    slot.description.clear();
    slot.damaged = false;
  }
  computeRegionBounds(state);
}

bool isSlotInUse(const EditorState& state, int slot) { return isSlotInUse(state.slots, slot); }

bool isSlotInUse(const SlotTable& slots, int slot) {
  if (slot < 0 || slot >= kSlotCount) return false;
  const std::int32_t n = slots[std::size_t(slot)].cgNumber;
  return n >= 0 && n <= kCgFbl;
}

bool isFbuSlotInUse(const EditorState& state, int slot) {
  if (slot != kFbuSlot) return false;
  const CodeGroupSlot& s = state.slots[kFbuSlot];
  return s.cgNumber == kCgFbu && s.endAddress > s.startAddress;
}

bool isFlashAddressValid(std::uint32_t address) {
  return address >= kFlashFirst && address < kFlashEnd;
}

std::uint32_t imageOffsetFor(bool ramdldArea, std::uint32_t address) {
  return ramdldArea ? kRamdldOffset : address & kAddressMask;
}

bool hasFlexBytes(const EditorState& state) {
  const CodeGroupSlot& flex = state.slots[1];
  return state.lastSlot >= 1 && flex.cgNumber == kCgFlex && flex.recordLength > 0;
}

void computeRegionBounds(EditorState& state) {
  RegionBounds b;
  b.ramdldOffset = kRamdldOffset;
  // Slot 20 is not looked at; later slots override earlier ones.
  for (int i = 0; i <= kLastBoundsSlot; ++i) {
    const CodeGroupSlot& slot = state.slots[std::size_t(i)];
    const std::uint32_t s = slot.startAddress & kAddressMask;
    const std::uint32_t e = slot.endAddress & kAddressMask;
    switch (slot.cgNumber) {
      case kCgRamdld: b.hasRamdld = true; break;
      case kCgFirmware:
        b.firmwareStart = s;
        b.firmwareEnd = e;
        b.hasFirmware = true;
        break;
      case kCgFlex:
        b.flexStart = s;
        b.flexEnd = e;
        b.hasFlex = true;
        break;
      case kCgLanguage:
        b.languageStart = s;
        b.languageEnd = e;
        b.hasLanguage = true;
        break;
      default: break;
    }
  }
  state.bounds = b;
}

}  // namespace tavufe
