#include "superfile/save_preparation.h"

#include <algorithm>
#include <cstring>

#include "model/finalise.h"
#include "model/flash_image.h"
#include "superfile/byte_order.h"
#include "superfile/header_block.h"

namespace tavufe {

namespace {

// Entries exist for code groups 0 to 20 only.
constexpr std::int32_t kLastTableEntry = 20;

void putTableEntry(std::uint8_t* ramdld, std::int32_t cgNumber, std::int32_t start,
                   std::int32_t end) {
  std::uint8_t* entry = ramdld + kRamdldTableFirstEntry + 8 * cgNumber;
  write32be(entry, std::uint32_t(start));
  write32be(entry + 4, std::uint32_t(end));
}

}  // namespace

void prepareSave(EditorState& state) {
  if (!state.image.exists()) return;
  std::uint8_t* ramdld = state.image.data() + kRamdldOffset;

  std::memset(ramdld + kRamdldTableWindowStart, kErased,
              std::size_t(kRamdldTableWindowEnd - kRamdldTableWindowStart + 1));

  if (state.slots[1].cgNumber == kCgFbl) {
    // A boot-loader save describes only the region the boot loader may write.
    const CatalogueEntry& fbu = state.catalogue[kCgFbu];
    putTableEntry(ramdld, 0, fbu.startAddress, fbu.endAddress);
  } else {
    const int last = std::min(state.lastSlot, kSlotCount - 1);
    for (int s = 1; s <= last; ++s) {
      if (!isSlotInUse(state, s)) continue;
      const CodeGroupSlot& slot = state.slots[s];
      const std::int32_t n = slot.cgNumber;
      if (n > kLastTableEntry) continue;
      const CatalogueEntry& known = state.catalogue[n];
      // A code group at its usual start is given its whole region, not just its data.
      const std::int32_t end =
          slot.startAddress == known.startAddress ? known.endAddress : slot.endAddress;
      putTableEntry(ramdld, n, slot.startAddress, end);
    }
  }

  CodeGroupSlot& rdl = state.slots[0];
  if (std::int64_t(kRamdldOffset) + rdl.length > kImageSize) {
    state.status = StatusCode::AddressRange;
    return;
  }
  std::memcpy(rdl.headerBytes.data(), ramdld, rdl.headerBytes.size());
  rdl.bufferChecksum = rdl.length > 0 ? byteSum(ramdld, std::size_t(rdl.length)) : 0;
}

bool beginSuperfileSave(EditorState& state, OutputFile& out) {
  state.status = StatusCode::None;
  state.systemError = 0;
  const CodeGroupSlot& rdl = state.slots[0];
  if (rdl.cgNumber != kCgRamdld ||
      (rdl.headerBytes[14] == kErased && rdl.headerBytes[15] == kErased)) {
    state.status = StatusCode::RdlBlankOrMissing;
    return false;
  }
  if (!state.image.exists()) {
    state.status = StatusCode::BufferError;
    return false;
  }
  if (!out.open(state.currentPath)) {
    state.status = StatusCode::FileNotOpened;
    state.systemError = out.error();
    return false;
  }
  state.runningChecksum = 0;
  prepareSave(state);
  // A file of the header alone would look like a superfile that lost its code groups, so a
  // failed preparation leaves the destination as it was.
  if (state.status != StatusCode::None) {
    out.discard();
    return false;
  }
  return true;
}

void saveSuperfile(EditorState& state, Progress& progress, CodeGroupWriter writeGroup) {
  OutputFile out;
  if (!beginSuperfileSave(state, out)) return;
  writeHeaderBlock(state, out);
  const int last = std::min(state.lastSlot, kSlotCount - 1);
  progress.setMaximum(state.lastSlot + 2);
  for (int i = 0; i <= last && !out.failed(); ++i) {
    if (isSlotInUse(state, i)) writeGroup(state, i, out);
    if (state.status != StatusCode::None) return;
    progress.step();
  }
  if (!out.commit()) {
    state.status = StatusCode::FileWriteError;
    state.systemError = out.error();
  }
}

}  // namespace tavufe
