#include "inspect/folder_scan.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "model/byte_order.h"
#include "model/hex.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

namespace tavufe {

namespace {

// Record layout, relative to the record's first byte:
//   0: 00 00 04 05   4: 02 04 00 07   8: FF FF FF FF   27, 29, ...: name characters
constexpr std::uint32_t kFolderMarker = 0x00000405;
// The marker as it lies in memory, for the search that compares whole words.
constexpr std::array<std::uint8_t, 4> kFolderMarkerBytes = {
    std::uint8_t(kFolderMarker >> 24), std::uint8_t(kFolderMarker >> 16),
    std::uint8_t(kFolderMarker >> 8), std::uint8_t(kFolderMarker)};
constexpr std::uint32_t kFolderType = 0x02040007;
constexpr std::int64_t kFolderTestSize = 12;
constexpr std::int64_t kNameFirstChar = 27;
constexpr std::int64_t kNameStep = 2;
// The marker search runs this far before asking the image again where written bytes lie.
constexpr std::int64_t kScanStretch = 64 * 1024;

std::uint32_t loadWord(const std::uint8_t* at) {
  std::uint32_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

bool isFolderRecordAt(std::span<const std::uint8_t> image, std::int64_t p) {
  if (p < 0 || p > std::int64_t(image.size()) - kFolderTestSize) return false;
  const std::uint8_t* at = image.data() + p;
  return read32be(at) == kFolderMarker && read32be(at + 4) == kFolderType &&
         read32be(at + 8) == 0xFFFFFFFFu;
}

// One character per byte pair; 0 ends the name, 0xFF pairs are left out without counting.
// Erased pairs do not count, so a name may run far past its record: it is read a piece at a
// time rather than as the rest of the image, which would erase every chunk still waiting, and
// flash the image knows to be erased is passed over whole.
std::string collectFolderName(const FlashImage& image, std::int64_t p) {
  constexpr std::int64_t kPiece = 4096;  // even, so each piece starts on the pairs' grid
  std::string name;
  std::int64_t from = p + kNameFirstChar;
  while (from < kImageSize) {
    const auto next = std::int64_t(image.nextWritten(std::uint64_t(from)));
    if (next > from) {
      // An even step keeps the walk on the character byte of each pair.
      from += (next - from + 1) / kNameStep * kNameStep;
      continue;
    }
    const std::span<const std::uint8_t> piece = image.readClipped(from, kPiece);
    for (std::size_t at = 0; at < piece.size(); at += kNameStep) {
      const std::uint8_t b = piece[at];
      if (b == 0 || name.size() == kMaxFolderName) return name;
      if (b != kErased) name += char(b);
    }
    from += kPiece;
  }
  return name;
}

void eraseRange(FlashImage& image, std::int64_t first, std::int64_t end) {
  const std::span<std::uint8_t> bytes = image.writeClipped(first, end - first);
  std::fill(bytes.begin(), bytes.end(), kErased);
}

// From grid position `p`, the first block of grid words before `end` that holds the record
// marker, or about `end` when none does. Most of the Flex holds no record, and a save scans it
// more than once, so the words of a block are tested side by side.
std::int64_t skipToMarker(std::span<const std::uint8_t> image, std::int64_t p, std::int64_t end) {
#if defined(__SSE2__)
  constexpr std::int64_t kBlock = 64;
  // The marker's bytes as a word read from memory, whatever the byte order.
  const __m128i marker = _mm_set1_epi32(int(loadWord(kFolderMarkerBytes.data())));
  while (end - p >= kBlock) {
    const auto* at = reinterpret_cast<const __m128i*>(image.data() + p);
    const __m128i found =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(_mm_loadu_si128(at), marker),
                                  _mm_cmpeq_epi32(_mm_loadu_si128(at + 1), marker)),
                     _mm_or_si128(_mm_cmpeq_epi32(_mm_loadu_si128(at + 2), marker),
                                  _mm_cmpeq_epi32(_mm_loadu_si128(at + 3), marker)));
    if (_mm_movemask_epi8(found) != 0) break;
    p += kBlock;
  }
#elif defined(__wasm_simd128__)
  constexpr std::int64_t kBlock = 64;
  const v128_t marker = wasm_i32x4_splat(std::int32_t(loadWord(kFolderMarkerBytes.data())));
  while (end - p >= kBlock) {
    const std::uint8_t* at = image.data() + p;
    const v128_t found = wasm_v128_or(wasm_v128_or(wasm_i32x4_eq(wasm_v128_load(at), marker),
                                                   wasm_i32x4_eq(wasm_v128_load(at + 16), marker)),
                                      wasm_v128_or(wasm_i32x4_eq(wasm_v128_load(at + 32), marker),
                                                   wasm_i32x4_eq(wasm_v128_load(at + 48), marker)));
    if (wasm_v128_any_true(found)) break;
    p += kBlock;
  }
#else
  constexpr std::int64_t kBlock = 256;
  const std::uint32_t marker = loadWord(kFolderMarkerBytes.data());
  while (end - p >= kBlock) {
    const std::uint8_t* at = image.data() + p;
    unsigned found = 0;
    for (std::int64_t k = 0; k < kBlock; k += 4) found |= unsigned(loadWord(at + k) == marker);
    if (found != 0) break;
    p += kBlock;
  }
#endif
  return p;
}

const FolderEntry* folderAt(const EditorState& state, int index) {
  if (index < 0 || index >= kMaxFolders) return nullptr;
  return &state.folders[std::size_t(index)];
}

}  // namespace

void scanFlexFolders(EditorState& state) {
  for (FolderEntry& entry : state.folders) entry.recordOffset = 0;
  if (!state.image.exists()) return;

  // Only positions whose 12 test bytes lie inside the image can hold a record; the bounds may
  // come from a damaged file, so the walk is clipped to the image but keeps its 4-byte grid.
  const std::int64_t first = state.bounds.flexStart;
  const std::int64_t end =
      std::min<std::int64_t>(state.bounds.flexEnd, std::int64_t(kImageSize) - kFolderTestSize + 1);
  if (first >= end) return;
  // Only the test bytes of those positions are read, not the whole image: the image erases its
  // chunks on first use, and the Flex lies in a few of them. Positions in `flex` count from
  // `first`.
  const std::span<const std::uint8_t> flex =
      state.image.read(std::uint64_t(first), std::uint64_t(end - first + kFolderTestSize - 1));
  const std::int64_t count = end - first;

  int j = 0;
  for (std::int64_t q = 0; q < count && j < kMaxFolders; q += 4) {
    // A record starts with a written byte (0x00): flash the image knows to be erased is passed
    // over to the first grid position at or past the next written byte.
    const std::int64_t next =
        std::int64_t(state.image.nextWritten(std::uint64_t(first + q))) - first;
    if (next > q) q += (next - q + 3) / 4 * 4;
    q = skipToMarker(flex, q, std::min(count, q + kScanStretch));
    if (q >= count) break;
    const std::int64_t p = first + q;
    // Offset 0 marks an empty row, so a record there could not be told from the table's end.
    if (p == 0 || !isFolderRecordAt(flex, q)) continue;
    FolderEntry& entry = state.folders[std::size_t(j)];
    entry.recordOffset = std::uint32_t(p);
    entry.folderName = collectFolderName(state.image, p);
    ++j;
  }
}

std::array<ImageRange, 2> folderEraseRanges(std::uint32_t recordOffset) {
  const std::int64_t r = recordOffset;
  return {ImageRange{r + kFolderEraseHead.first, r + kFolderEraseHead.end},
          ImageRange{r + kFolderEraseBody.first, r + kFolderEraseBody.end}};
}

void eraseFolderRecord(EditorState& state, std::uint32_t recordOffset) {
  for (const ImageRange& range : folderEraseRanges(recordOffset)) {
    eraseRange(state.image, range.first, range.end);
  }
}

void eraseRepeatedFolders(EditorState& state) {
  scanFlexFolders(state);
  // Only a Flex at its usual address is known to carry the layout this relies on.
  if (state.slots[1].startAddress != state.catalogue[kCgFlex].startAddress) return;
  // No rescan between comparisons: in a run of one name every record but the first goes.
  bool erased = false;
  for (int i = 0; i < kMaxFolders - 1; ++i) {
    const FolderEntry& next = state.folders[std::size_t(i + 1)];
    if (next.recordOffset == 0 || next.folderName.empty()) break;
    if (state.folders[std::size_t(i)].folderName == next.folderName) {
      eraseFolderRecord(state, next.recordOffset);
      erased = true;
    }
  }
  if (erased) scanFlexFolders(state);
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
  if (!hasFlexBytes(state) || b.flexStart >= b.flexEnd) return false;
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
