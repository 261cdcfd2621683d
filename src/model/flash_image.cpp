#include "model/flash_image.h"

#include <cstring>
#include <new>

#include "model/catalogue.h"

namespace tavufe {

bool FlashImage::allocate() {
  // One spare byte past the image, as the image's users have always had.
  bytes_.reset(new (std::nothrow) std::uint8_t[std::size_t(kImageSize) + 1]);
  return exists();
}

void FlashImage::release() { bytes_.reset(); }

void fillImage(EditorState& state) {
  if (state.image.exists()) std::memset(state.image.data(), kErased, std::size_t(kImageSize));
}

void resetSlots(EditorState& state) {
  for (int n = 0; n < kCatalogueSize; ++n) setCatalogueEntry(state, n, 0, 0, 0, "");
  for (int i = 0; i <= kLastLoadableSlot; ++i) {
    CodeGroupSlot& slot = state.slots[i];
    slot.startAddress = 0;
    slot.endAddress = 0;
    slot.length = 0;
    slot.cgNumber = kCgEmpty;
    slot.description.clear();
  }
}

bool isSlotInUse(const EditorState& state, int slot) {
  if (slot < 0 || slot >= kSlotCount) return false;
  const std::int32_t n = state.slots[slot].cgNumber;
  return n >= 0 && n <= kCgFbl;
}

bool isFbuSlotInUse(const EditorState& state, int slot) {
  if (slot != kFbuSlot) return false;
  const CodeGroupSlot& s = state.slots[kFbuSlot];
  return s.cgNumber == kCgFbu && s.endAddress > s.startAddress;
}

bool isFlashAddressValid(std::int32_t address) {
  return address >= 0x10000000 && address < 0x14000000;
}

std::int64_t imageOffsetFor(std::int32_t cgNumber, std::int32_t address) {
  if (cgNumber == kCgRamdld) return kRamdldOffset;
  return std::int64_t(std::uint32_t(address) & kAddressMask);
}

void computeRegionBounds(EditorState& state) {
  RegionBounds& b = state.bounds;
  b.flashBaseOffset = 0;
  b.ramdldOffset = kRamdldOffset;
  // Slot 20 is not looked at; later slots override earlier ones.
  for (int i = 0; i <= 19; ++i) {
    const CodeGroupSlot& slot = state.slots[i];
    const auto s = std::int32_t(std::uint32_t(slot.startAddress) & kAddressMask);
    const auto e = std::int32_t(std::uint32_t(slot.endAddress) & kAddressMask);
    switch (slot.cgNumber) {
      case kCgFirmware: b.firmwareStart = s; b.firmwareEnd = e; break;
      case kCgFlex: b.flexStart = s; b.flexEnd = e; break;
      case kCgLanguage: b.languageStart = s; b.languageEnd = e; break;
      default: break;
    }
  }
}

}  // namespace tavufe
