#include "superfile/sbf_writer.h"

#include <array>

#include "model/flash_image.h"
#include "superfile/byte_order.h"
#include "superfile/save_preparation.h"
#include "superfile/sbf_reader.h"

namespace tavufe {

void writeSbfCodeGroup(EditorState& state, int slotIndex, OutputFile& out) {
  if (slotIndex < 0 || slotIndex >= kSlotCount || !state.image.exists()) return;
  const CodeGroupSlot& slot = state.slots[slotIndex];
  // The RAMDLD's bytes sit in their own area whatever its load address says.
  const std::int64_t offset = slotIndex == 0
                                  ? std::int64_t(kRamdldOffset)
                                  : std::int64_t(std::uint32_t(slot.startAddress) & kAddressMask);
  if (slot.length < 0 || offset + slot.length > kImageSize) {
    // Reading past the image would put foreign bytes into a flash file.
    state.status = StatusCode::BufferAddressOverflow;
    return;
  }

  std::array<std::uint8_t, 4> length{};
  std::array<std::uint8_t, 4> address{};
  write32be(length.data(), std::uint32_t(slot.length));
  write32be(address.data(), std::uint32_t(slot.startAddress));
  const std::array<std::uint8_t, 4> reserved{};

  out.write(kSbfStartMarker.data(), kSbfStartMarker.size());
  out.write(length.data(), length.size());
  out.write(address.data(), address.size());
  out.write(state.image.data() + offset, std::size_t(slot.length));
  out.write(reserved.data(), reserved.size());
  out.write(kSbfEndMarker.data(), kSbfEndMarker.size());
}

void saveSbf(EditorState& state, Progress& progress) {
  saveSuperfile(state, progress, writeSbfCodeGroup);
}

}  // namespace tavufe
