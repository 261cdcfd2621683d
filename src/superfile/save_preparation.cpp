#include "superfile/save_preparation.h"

#include <algorithm>
#include <array>
#include <vector>

#include "model/byte_order.h"
#include "model/finalise.h"

namespace tavufe {

namespace {

constexpr std::size_t kTableWindowSize = kRamdldTableWindowEnd - kRamdldTableWindowStart + 1;
using TableWindow = std::array<std::uint8_t, kTableWindowSize>;
// The header bytes come from before the window, so the patch never changes them.
static_assert(kRamdldTableWindowStart >= std::tuple_size_v<HeaderBytes>);

void putTableEntry(TableWindow& window, std::int32_t cgNumber, std::uint32_t start,
                   std::uint32_t end) {
  std::uint8_t* entry = window.data() + (kRamdldTableFirstEntry - kRamdldTableWindowStart) +
                        kRamdldTableEntrySize * std::size_t(cgNumber);
  write32be(entry, start);
  write32be(entry + 4, end);
}

// The table window as the save writes it: erased but for one entry per code group saved.
TableWindow tableWindow(const EditorState& state, const SavePlan& plan) {
  std::vector<TableGroup> groups;
  const int last = std::min(plan.lastSlot, kSlotCount - 1);
  for (int s = 1; s <= last; ++s) {
    if (!isSlotInUse(plan.slots, s)) continue;
    const CodeGroupSlot& slot = plan.slots[std::size_t(s)];
    groups.push_back({slot.cgNumber, slot.startAddress, slot.endAddress});
  }
  const RamdldTable table =
      ramdldTableFor(state.catalogue, groups, plan.slots[1].cgNumber == kCgFbl);
  TableWindow window;
  window.fill(kErased);
  for (std::size_t n = 0; n < table.size(); ++n) {
    if (table[n].written) putTableEntry(window, std::int32_t(n), table[n].start, table[n].end);
  }
  return window;
}

}  // namespace

RamdldTable ramdldTableFor(const CodeGroupCatalogue& catalogue, std::span<const TableGroup> groups,
                           bool bootLoader) {
  RamdldTable table{};
  if (bootLoader) {
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

SavePlan planSave(const EditorState& state) {
  SavePlan plan;
  plan.slots = state.slots;
  plan.lastSlot = state.lastSlot;
  plan.firmwareHalves = state.firmwareHalves;
  for (int i = 0; i <= plan.lastSlot && i <= kLastLoadableSlot; ++i) {
    (void)finaliseSlot(state.image, plan.slots[std::size_t(i)], plan.firmwareHalves,
                       FinaliseFrom::Record);
  }
  return plan;
}

StatusCode checkRamdldForSave(const FlashImage& image, const SavePlan& plan) {
  const CodeGroupSlot& rdl = plan.slots[0];
  if (rdl.cgNumber != kCgRamdld || (rdl.headerBytes[kRamdldVersionAt] == kErased &&
                                    rdl.headerBytes[kRamdldVersionAt + 1] == kErased)) {
    return StatusCode::RdlBlankOrMissing;
  }
  if (!image.exists()) return StatusCode::BufferError;
  return StatusCode::None;
}

StatusCode prepareSave(const EditorState& state, SavePlan& plan) {
  plan.ramdld.clear();
  if (!state.image.exists()) return StatusCode::BufferError;
  CodeGroupSlot& rdl = plan.slots[0];
  const std::span<const std::uint8_t> ramdld = state.image.read(kRamdldOffset, rdl.length);
  if (ramdld.size() != rdl.length) return StatusCode::AddressRange;

  // The window's part that lies within the RAMDLD's bytes is laid over a copy of them.
  const TableWindow window = tableWindow(state, plan);
  plan.ramdld.assign(ramdld.begin(), ramdld.end());
  if (plan.ramdld.size() > kRamdldTableWindowStart) {
    const std::size_t count = std::min(window.size(), plan.ramdld.size() - kRamdldTableWindowStart);
    std::copy_n(window.begin(), count, plan.ramdld.begin() + kRamdldTableWindowStart);
  }

  const std::span<const std::uint8_t> area =
      state.image.read(kRamdldOffset, rdl.headerBytes.size());
  std::copy(area.begin(), area.end(), rdl.headerBytes.begin());
  rdl.bufferChecksum = byteSum(plan.ramdld);
  return StatusCode::None;
}

StatusCode writeSuperfile(const FlashImage& image, const SavePlan& plan,
                          const std::string& dateText, ByteSink& out, Progress& progress,
                          SuperfileEncoder& encoder) {
  encoder.writeHeader(buildHeaderBlock(plan, dateText), out);
  const int last = std::min(plan.lastSlot, kSlotCount - 1);
  progress.setMaximum(plan.lastSlot + 2);
  for (int i = 0; i <= last && !out.failed(); ++i) {
    if (isSlotInUse(plan.slots, i)) {
      if (const StatusCode s = encoder.writeGroup(image, plan, i, out); s != StatusCode::None) {
        return s;
      }
    }
    progress.step();
  }
  return StatusCode::None;
}

}  // namespace tavufe
