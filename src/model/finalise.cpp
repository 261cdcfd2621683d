#include "model/finalise.h"

#include <algorithm>
#include <cstring>

#include "model/flash_image.h"
#include "model/output_file.h"

namespace tavufe {

namespace {

// Copies 16 bytes from an image offset; bytes past the image's end read as erased.
std::array<std::uint8_t, 16> imageBytes16(const EditorState& state, std::int64_t offset) {
  std::array<std::uint8_t, 16> out;
  out.fill(kErased);
  for (std::size_t k = 0; k < out.size(); ++k) {
    const std::int64_t at = offset + std::int64_t(k);
    if (at >= 0 && at < kImageSize) out[k] = state.image.data()[at];
  }
  return out;
}

std::uint16_t sumRange(const EditorState& state, std::int64_t offset, std::int64_t count) {
  const std::int64_t begin = std::clamp<std::int64_t>(offset, 0, kImageSize);
  const std::int64_t end = std::clamp<std::int64_t>(offset + count, 0, kImageSize);
  if (end <= begin) return 0;
  return byteSum(state.image.data() + begin, std::size_t(end - begin));
}

void fillFirmwareHalves(EditorState& state, const CodeGroupSlot& slot, std::int64_t offset) {
  CodeGroupSlot& first = state.firmwareHalves[0];
  CodeGroupSlot& rest = state.firmwareHalves[1];
  first.startAddress = slot.startAddress;
  first.endAddress = std::int32_t(std::uint32_t(slot.startAddress) + 199u);
  first.headerBytes = slot.headerBytes;
  // Always 200 bytes: a shorter firmware takes the bytes that follow it in the image.
  first.bufferChecksum = sumRange(state, offset, 200);
  rest.startAddress = std::int32_t(std::uint32_t(first.endAddress) + 1u);
  rest.endAddress = slot.endAddress;
  // Starts at byte 196, not 200: the two entries overlap by four bytes by design.
  rest.headerBytes = imageBytes16(state, offset + 196);
  rest.bufferChecksum = std::uint16_t(slot.bufferChecksum - first.bufferChecksum);
}

}  // namespace

std::uint16_t byteSum(const std::uint8_t* bytes, std::size_t count) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
  return std::uint16_t(sum);
}

void finaliseSlot(EditorState& state, int slotIndex, bool useSlotRange, bool writeRaw) {
  if (slotIndex < 0 || slotIndex >= kSlotCount || !state.image.exists()) return;
  CodeGroupSlot& slot = state.slots[slotIndex];

  std::int64_t last;
  std::int32_t base;
  if (useSlotRange) {
    last = std::int64_t(slot.length) - 1;
    base = slot.startAddress;
  } else {
    last = std::int64_t(slot.recordLength) - 1;
    base = slot.recordAddress;
    if (std::int64_t(slot.endAddress) - base != last || slot.startAddress != base) {
      state.status = StatusCode::AddressRange;
      return;
    }
  }

  const std::int64_t offset = imageOffsetFor(slot.cgNumber, base);
  if (offset + last >= kImageSize) {
    state.status = StatusCode::BufferAddressOverflow;
    return;
  }

  // A negative length can only come from a hostile header; treat it as an empty code group.
  if (last >= 0 && slot.trimPadding == 1) {
    const std::uint8_t* bytes = state.image.data() + offset;
    std::int64_t p = last;
    while (p >= 0 && bytes[p] == kErased) --p;
    if (p >= 0 && last - p > 32) last = p + 8;
  }

  slot.endAddress = std::int32_t(std::uint32_t(slot.startAddress) + std::uint32_t(last));
  slot.length = std::int32_t(last + 1);
  slot.headerBytes = imageBytes16(state, offset);
  slot.bufferChecksum = sumRange(state, offset, last + 1);

  if (slot.cgNumber == kCgFirmware) fillFirmwareHalves(state, slot, offset);

  computeRegionBounds(state);

  if (writeRaw && (isSlotInUse(state, slotIndex) || isFbuSlotInUse(state, slotIndex))) {
    OutputFile out;
    if (!out.open(state.currentPath)) {
      state.status = StatusCode::FileNotOpened;
      state.systemError = out.error();
      return;
    }
    if (last >= 0) out.write(state.image.data() + offset, std::size_t(last + 1));
    if (!out.commit()) {
      state.status = StatusCode::FileWriteError;
      state.systemError = out.error();
    }
  }
}

}  // namespace tavufe
