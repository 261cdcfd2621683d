#include "inspect/code_group_table.h"

#include <algorithm>
#include <utility>

#include "inspect/number_format.h"
#include "model/hex.h"

namespace tavufe {

namespace {

// lastSlot as an index into the loaded slots; a damaged value never reaches past slot 20.
int lastLoadedSlot(const EditorState& state) {
  return std::min<std::int32_t>(state.lastSlot, kLastLoadableSlot);
}

std::string cgCellText(std::int32_t cgNumber) {
  if (cgNumber == kCgRamdld) return "RDL";
  if (cgNumber == kCgFbl) return "FBL";
  return std::to_string(cgNumber);
}

// Four groups of four bytes, two spaces between groups: 38 characters.
std::string headerInfoText(const HeaderBytes& bytes) {
  std::string text;
  text.reserve(38);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0 && i % 4 == 0) text += "  ";
    text += hex2(bytes[i]);
  }
  return text;
}

void pushUndo(UndoStack& undo, const CodeGroupSlot& slot) {
  undo.undoCount = std::clamp(undo.undoCount, 0, kUndoDepth);
  if (undo.undoCount == kUndoDepth) {
    // A full stack forgets its oldest copy.
    std::move(undo.copies.begin() + 1, undo.copies.end(), undo.copies.begin());
    --undo.undoCount;
  }
  undo.copies[std::size_t(undo.undoCount)] = slot;
  ++undo.undoCount;
}

}  // namespace

void reduceToRamdldAndFlex(EditorState& state) {
  if (state.lastSlot > kLastLoadableSlot) state.lastSlot = kLastLoadableSlot;
  const int n = state.lastSlot;
  // Slot 0 is kept as it is; dropped slots keep every field but their number.
  for (int i = 1; i <= n; ++i) {
    CodeGroupSlot& slot = state.slots[std::size_t(i)];
    if (slot.cgNumber == kCgFlex) {
      if (i != 1) {
        state.slots[1] = slot;
        slot.cgNumber = kCgEmpty;
      }
    } else {
      slot.cgNumber = kCgEmpty;
      --state.lastSlot;
    }
  }
}

void sortSlots(EditorState& state) {
  const int n = lastLoadedSlot(state) + 1;
  auto& slots = state.slots;
  // Equal numbers are never swapped, so their order is kept.
  for (int i = 0; i + 1 < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      if (slots[std::size_t(i)].cgNumber > slots[std::size_t(j)].cgNumber) {
        std::swap(slots[std::size_t(i)], slots[std::size_t(j)]);
      }
    }
  }
  // FBL sorts last by number but belongs right after slot 0.
  if (n >= 2 && slots[std::size_t(n - 1)].cgNumber == kCgFbl) {
    std::rotate(slots.begin() + 1, slots.begin() + (n - 1), slots.begin() + n);
  }
}

bool hasDuplicateCodeGroups(const EditorState& state) {
  const int last = lastLoadedSlot(state);
  for (int i = 0; i < last; ++i) {
    for (int j = i + 1; j <= last; ++j) {
      if (state.slots[std::size_t(i)].cgNumber == state.slots[std::size_t(j)].cgNumber) {
        return true;
      }
    }
  }
  return false;
}

std::vector<CodeGroupGridRow> codeGroupGridRows(const EditorState& state,
                                                const NumberFormat& numbers) {
  std::vector<CodeGroupGridRow> rows;
  const int last = lastLoadedSlot(state);
  for (int i = 0; i <= last; ++i) {
    const CodeGroupSlot& slot = state.slots[std::size_t(i)];
    rows.push_back({cgCellText(slot.cgNumber), slot.description, hex8(slot.startAddress),
                    hex8(slot.endAddress), headerInfoText(slot.headerBytes),
                    // The size as a signed field: a range that runs backwards shows negative.
                    formatThousands(std::int32_t(slot.length), numbers.thousandsSeparator),
                    hex4(slot.bufferChecksum), hex4(slot.headerChecksum), hex4(slot.headerCode)});
  }
  return rows;
}

bool canCutSlot(const EditorState& state, int slot) { return isSlotInUse(state, slot); }

bool cutSlot(EditorState& state, int slot) {
  const int last = lastLoadedSlot(state);
  if (last < 0 || !isSlotInUse(state, slot)) return false;
  // A slot past the last one listed is not part of the table; cutting it would drop the wrong one.
  if (slot > last) return false;

  pushUndo(state.undo, state.slots[std::size_t(slot)]);
  for (int k = slot; k < last; ++k) state.slots[std::size_t(k)] = state.slots[std::size_t(k + 1)];
  state.slots[std::size_t(last)].cgNumber = kCgEmpty;
  state.lastSlot = last - 1;
  return true;
}

bool undoCut(EditorState& state) {
  if (state.undo.undoCount <= 0) return false;
  // The copy goes into the slot after the last one; with all 21 slots in use there is none.
  const std::int32_t target = state.lastSlot + 1;
  if (target < 0 || target > kLastLoadableSlot) return false;

  state.undo.undoCount = std::min(state.undo.undoCount, kUndoDepth) - 1;
  state.lastSlot = target;
  state.slots[std::size_t(target)] = state.undo.copies[std::size_t(state.undo.undoCount)];
  sortSlots(state);
  return true;
}

}  // namespace tavufe
