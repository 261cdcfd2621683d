#include "inspect/folder_scan.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "model/byte_order.h"
#include "model/hex.h"

namespace tavufe {

namespace {

// Record layout, relative to the record's first byte:
//   0: 00 00 04 05   4: 02 04 00 07   8: FF FF FF FF   27, 29, ...: name characters
constexpr std::uint32_t kFolderMarker = 0x00000405;
constexpr std::uint32_t kFolderType = 0x02040007;
constexpr std::int64_t kFolderTestSize = 12;
constexpr std::int64_t kNameFirstChar = 27;
constexpr std::int64_t kNameStep = 2;
// Records start on a 4-byte grid.
constexpr std::int64_t kRecordGrid = 4;
// The erase covers -261 to -257 and -4 to +163.
constexpr std::int64_t kEraseHeadFirst = -std::int64_t(kFolderEraseBefore);
constexpr std::int64_t kEraseHeadEnd = -256;
constexpr std::int64_t kEraseBodyFirst = -4;
constexpr std::int64_t kEraseBodyEnd = 164;

bool isFolderRecordAt(std::span<const std::uint8_t> image, std::int64_t p) {
  if (p < 0 || p > std::int64_t(image.size()) - kFolderTestSize) return false;
  const std::uint8_t* at = image.data() + p;
  return read32be(at) == kFolderMarker && read32be(at + 4) == kFolderType &&
         read32be(at + 8) == 0xFFFFFFFFu;
}

// A name without its zero runs on over erased flash, possibly to the image's end. What the
// image knows to be erased is passed over at once; elsewhere whole blocks of erased bytes are.
constexpr std::size_t kErasedBlockSize = 4096;
constexpr std::array<std::uint8_t, kErasedBlockSize> kErasedBlock = [] {
  std::array<std::uint8_t, kErasedBlockSize> block{};
  block.fill(kErased);
  return block;
}();

// One character per byte pair; 0 ends the name, 0xFF pairs are left out without counting.
std::string collectFolderName(const FlashImage& flash, std::span<const std::uint8_t> image,
                              std::int64_t p) {
  std::string name;
  const auto size = std::int64_t(image.size());
  std::int64_t at = p + kNameFirstChar;
  while (at < size) {
    const std::uint8_t b = image[std::size_t(at)];
    if (b == 0 || name.size() == kMaxFolderName) break;
    if (b != kErased) {
      name += char(b);
      at += kNameStep;
      continue;
    }
    // Skipped bytes must be erased ones; the steps taken keep the walk on its byte of each
    // pair (both skips are even).
    const auto next = std::int64_t(flash.nextWritten(std::uint64_t(at)));
    if (next > at) {
      at += (next - at + 1) / kNameStep * kNameStep;
    } else if (size - at >= std::int64_t(kErasedBlockSize) &&
               std::memcmp(image.data() + at, kErasedBlock.data(), kErasedBlockSize) == 0) {
      at += std::int64_t(kErasedBlockSize);
    } else {
      at += kNameStep;
    }
  }
  return name;
}

void eraseRange(FlashImage& image, std::int64_t first, std::int64_t end) {
  const std::span<std::uint8_t> bytes = image.writeClipped(first, end - first);
  std::fill(bytes.begin(), bytes.end(), kErased);
}

const FolderEntry* folderAt(const EditorState& state, int index) {
  if (index < 0 || index >= kMaxFolders) return nullptr;
  return &state.folders[std::size_t(index)];
}

}  // namespace

void scanFlexFolders(EditorState& state) {
  for (FolderEntry& entry : state.folders) entry.recordOffset = 0;
  const std::span<const std::uint8_t> image = state.image.all();
  if (image.empty()) return;

  // Only positions whose 12 test bytes lie inside the image can hold a record; the bounds may
  // come from a damaged file, so the walk is clipped to the image but keeps its 4-byte grid.
  std::int64_t p = state.bounds.flexStart;
  const std::int64_t end = std::min<std::int64_t>(state.bounds.flexEnd,
                                                  std::int64_t(image.size()) - kFolderTestSize + 1);

  // A record starts with a zero byte, so none starts where the image knows it is erased: the
  // walk jumps to the next range written since the last fill. It asks again at most once a
  // block while inside written ranges.
  std::int64_t askAgainAt = p;
  int j = 0;
  for (; p < end && j < kMaxFolders; p += kRecordGrid) {
    if (image[std::size_t(p)] == kErased && p >= askAgainAt) {
      const auto next = std::int64_t(state.image.nextWritten(std::uint64_t(p)));
      if (next > p) {
        // The loop's step then lands on the first grid position at or past `next`.
        p += ((next - p + kRecordGrid - 1) / kRecordGrid - 1) * kRecordGrid;
        continue;
      }
      askAgainAt = p + std::int64_t(kErasedBlockSize);
    }
    // Offset 0 marks an empty row, so a record there could not be told from the table's end.
    if (p == 0 || !isFolderRecordAt(image, p)) continue;
    FolderEntry& entry = state.folders[std::size_t(j)];
    entry.recordOffset = std::uint32_t(p);
    entry.folderName = collectFolderName(state.image, image, p);
    ++j;
  }
}

void eraseFolderRecord(EditorState& state, std::uint32_t recordOffset) {
  const std::int64_t r = recordOffset;
  eraseRange(state.image, r + kEraseHeadFirst, r + kEraseHeadEnd);
  eraseRange(state.image, r + kEraseBodyFirst, r + kEraseBodyEnd);
}

void eraseRepeatedFolders(EditorState& state) {
  // Only a Flex at its usual address is known to carry the layout this relies on.
  if (state.slots[1].startAddress != state.catalogue[kCgFlex].startAddress) return;
  scanFlexFolders(state);
  // No rescan between comparisons: in a run of one name every record but the first goes.
  for (int i = 0; i < kMaxFolders - 1; ++i) {
    const FolderEntry& next = state.folders[std::size_t(i + 1)];
    if (next.recordOffset == 0 || next.folderName.empty()) break;
    if (state.folders[std::size_t(i)].folderName == next.folderName) {
      eraseFolderRecord(state, next.recordOffset);
    }
  }
}

std::vector<FolderGridRow> folderGridRows(const EditorState& state) {
  std::vector<FolderGridRow> rows;
  for (int k = 0; k < kMaxFolders; ++k) {
    const FolderEntry& entry = state.folders[std::size_t(k)];
    if (entry.recordOffset == 0) break;
    const std::uint32_t location = entry.recordOffset - state.bounds.flexStart;
    rows.push_back({std::to_string(k + 1), entry.folderName, hex8(location)});
  }
  return rows;
}

bool isFolderListed(const EditorState& state, int index) {
  const FolderEntry* entry = folderAt(state, index);
  return entry != nullptr && entry->recordOffset != 0;
}

bool canDeleteFolder(const EditorState& state, int index) {
  const RegionBounds& b = state.bounds;
  if (b.flexStart == 0 || b.flexStart >= b.flexEnd) return false;
  const FolderEntry* entry = folderAt(state, index);
  return entry != nullptr && entry->recordOffset > b.flexStart && entry->recordOffset < b.flexEnd;
}

bool deleteFolder(EditorState& state, int index) {
  if (!canDeleteFolder(state, index)) return false;
  eraseFolderRecord(state, state.folders[std::size_t(index)].recordOffset);
  scanFlexFolders(state);
  return true;
}

}  // namespace tavufe
