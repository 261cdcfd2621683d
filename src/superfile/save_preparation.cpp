#include "superfile/save_preparation.h"

#include <algorithm>

#include "model/byte_order.h"
#include "model/finalise.h"

namespace tavufe {

namespace {

void putTableEntry(FlashImage& image, std::int32_t cgNumber, std::uint32_t start,
                   std::uint32_t end) {
  const std::span<std::uint8_t> entry = image.write(
      kRamdldOffset + kRamdldTableFirstEntry + kRamdldTableEntrySize * std::uint32_t(cgNumber),
      kRamdldTableEntrySize);
  write32be(entry.data(), start);
  write32be(entry.data() + 4, end);
}

}  // namespace

RamdldTable ramdldTableFor(const CodeGroupCatalogue& catalogue,
                           std::span<const TableGroup> groups) {
  RamdldTable table{};
  if (!groups.empty() && groups.front().cgNumber == kCgFbl) {
    // A boot-loader save describes only the region the boot loader may write.
    const CatalogueEntry& fbu = catalogue[kCgFbu];
    table[0] = {true, fbu.startAddress, fbu.endAddress};
    return table;
  }
  for (const TableGroup& g : groups) {
    if (g.cgNumber < 0 || g.cgNumber > kRamdldTableLastEntry) continue;
    const CatalogueEntry& known = catalogue[std::size_t(g.cgNumber)];
    // A code group at its usual start is given its whole region, not just its data.
    table[std::size_t(g.cgNumber)] = {true, g.start,
                                      g.start == known.startAddress ? known.endAddress : g.end};
  }
  return table;
}

StatusCode checkRamdldForSave(const EditorState& state) {
  const CodeGroupSlot& rdl = state.slots[0];
  if (rdl.cgNumber != kCgRamdld || (rdl.headerBytes[kRamdldVersionAt] == kErased &&
                                    rdl.headerBytes[kRamdldVersionAt + 1] == kErased)) {
    return StatusCode::RdlBlankOrMissing;
  }
  if (!state.image.exists()) return StatusCode::BufferError;
  return StatusCode::None;
}

StatusCode prepareSave(EditorState& state) {
  if (!state.image.exists()) return StatusCode::BufferError;
  const std::span<std::uint8_t> window = state.image.write(
      kRamdldOffset + kRamdldTableWindowStart, kRamdldTableWindowEnd - kRamdldTableWindowStart + 1);
  std::fill(window.begin(), window.end(), kErased);

  if (state.slots[1].cgNumber == kCgFbl) {
    // A boot-loader save describes only the region the boot loader may write.
    const CatalogueEntry& fbu = state.catalogue[kCgFbu];
    putTableEntry(state.image, 0, fbu.startAddress, fbu.endAddress);
  } else {
    const int last = std::min(state.lastSlot, kSlotCount - 1);
    for (int s = 1; s <= last; ++s) {
      if (!isSlotInUse(state, s)) continue;
      const CodeGroupSlot& slot = state.slots[std::size_t(s)];
      const std::int32_t n = slot.cgNumber;
      if (n > kRamdldTableLastEntry) continue;
      const CatalogueEntry& known = state.catalogue[std::size_t(n)];
      // A code group at its usual start is given its whole region, not just its data.
      const std::uint32_t end =
          slot.startAddress == known.startAddress ? known.endAddress : slot.endAddress;
      putTableEntry(state.image, n, slot.startAddress, end);
    }
  }

  CodeGroupSlot& rdl = state.slots[0];
  const std::span<const std::uint8_t> ramdld = state.image.read(kRamdldOffset, rdl.length);
  if (ramdld.size() != rdl.length) return StatusCode::AddressRange;
  const std::span<const std::uint8_t> area =
      state.image.read(kRamdldOffset, rdl.headerBytes.size());
  std::copy(area.begin(), area.end(), rdl.headerBytes.begin());
  rdl.bufferChecksum = byteSum(ramdld);
  return StatusCode::None;
}

StatusCode writeSuperfile(EditorState& state, ByteSink& out, Progress& progress,
                          SuperfileEncoder& encoder) {
  // A file of the header alone would look like a superfile that lost its code groups, so a
  // failed preparation writes nothing.
  if (const StatusCode prepared = prepareSave(state); prepared != StatusCode::None) {
    return prepared;
  }
  encoder.writeHeader(buildHeaderBlock(state, headerDateText()), out);
  const int last = std::min(state.lastSlot, kSlotCount - 1);
  progress.setMaximum(state.lastSlot + 2);
  for (int i = 0; i <= last && !out.failed(); ++i) {
    if (isSlotInUse(state, i)) {
      if (const StatusCode s = encoder.writeGroup(state, i, out); s != StatusCode::None) return s;
    }
    progress.step();
  }
  return StatusCode::None;
}

}  // namespace tavufe
