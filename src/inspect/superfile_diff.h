#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/editor_state.h"
#include "model/flash_image.h"

namespace tavufe {

// Two superfiles are told apart as the editor sees them, not byte for byte: a rewritten header
// table or a fresh date would otherwise drown the one change that matters.

// Differing bytes closer together than this many equal ones are shown as one range.
inline constexpr std::uint32_t kDiffMergeGap = 16;

// One code group as a file's header lists it, with where its bytes lie in that file's image.
struct DiffGroup {
  std::int32_t cgNumber = 0;
  std::string name;
  std::uint32_t start = 0;  // flash addresses, inclusive
  std::uint32_t end = 0;
  bool ramdldArea = false;  // laid into the RAMDLD's own area of the image
};

// A code group's sum that disagrees with its header entry, as the file's check found it.
struct DiffSumMismatch {
  std::int32_t cgNumber = 0;
  std::string what;    // "Flex checksum"
  std::string stated;  // the header's
  std::string found;   // the bytes'
};

// One header text: its name and what the file holds.
struct DiffHeaderText {
  std::string field;
  std::string value;
};

// What one side of a comparison offers: the image a read of the whole file left (every code
// group it carries, no folder erased), the header's table and texts, and the Flex's folder
// records.
struct DiffSide {
  const FlashImage* image = nullptr;
  std::vector<DiffGroup> groups;
  std::vector<DiffHeaderText> header;
  std::vector<FolderEntry> folders;
  std::vector<DiffSumMismatch> badSums;
};

enum class DiffKind {
  HeaderText,   // field, oldText -> newText
  OnlyInOld,    // the group and its range in OLD
  OnlyInNew,    // the group and its range in NEW
  GroupRange,   // the group's range in OLD -> in NEW
  Bytes,        // first..last of a group, `count` bytes differ
  Folder,       // a folder record's bytes: erased, or `count` bytes differ
  RamdldEntry,  // entry `entry` of the RAMDLD's address table, OLD range -> NEW range
  SumMismatch,  // a note, not a difference: a sum that disagrees with its header entry
};

enum class DiffFile { Old, New };

struct FlashRange {
  bool present = false;  // an erased table entry has no range
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  bool operator==(const FlashRange&) const = default;
};

struct DiffItem {
  DiffKind kind = DiffKind::Bytes;
  std::int32_t cgNumber = -1;  // -1 for the header
  std::string group;           // the code group's name
  std::string field;           // HeaderText: the text's name; SumMismatch: what was summed
  std::string oldText;         // HeaderText: OLD's; SumMismatch: the header's sum
  std::string newText;         // HeaderText: NEW's; SumMismatch: the bytes' sum
  FlashRange oldRange;         // OnlyInOld, GroupRange, RamdldEntry
  FlashRange newRange;         // OnlyInNew, GroupRange, RamdldEntry
  std::uint32_t first = 0;     // Bytes, Folder: flash addresses, inclusive
  std::uint32_t last = 0;
  std::uint64_t count = 0;        // Bytes, Folder: differing bytes
  std::string folder;             // Folder: its name
  std::uint32_t record = 0;       // Folder: the record's flash address
  std::uint32_t eraseSize = 0;    // Folder: what an erase of it covers
  bool erased = false;            // Folder: NEW holds 0xFF over all of it
  int entry = -1;                 // RamdldEntry
  DiffFile file = DiffFile::Old;  // SumMismatch: which file
};

struct SuperfileDiff {
  std::vector<DiffItem> items;
  // Every item but the notes.
  std::uint64_t differences() const;
  bool same() const { return differences() == 0; }
};

// Compares OLD with NEW: header texts, the code groups each lists, and the bytes of those both
// carry, read from the two images.
SuperfileDiff compareSuperfiles(const DiffSide& oldSide, const DiffSide& newSide);

// The text of one item, and of all of them ending with "N differences" or "same". Text taken
// from the files is left as it is, for the front end to make visible.
std::string diffItemText(const DiffItem& item);
std::string diffCountLine(const SuperfileDiff& diff);
std::vector<std::string> diffLines(const SuperfileDiff& diff);

}  // namespace tavufe
