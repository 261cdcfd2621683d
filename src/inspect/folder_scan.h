#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/editor_state.h"

namespace tavufe {

inline constexpr std::array<const char*, 3> kFolderGridTitles = {"#", "Skin Folder",
                                                                 "CG2 Location"};
using FolderGridRow = std::array<std::string, 3>;

// A half-open run of image offsets.
struct ImageRange {
  std::int64_t first = 0;
  std::int64_t end = 0;
  constexpr std::int64_t size() const { return end - first; }
};

// What an erase of a folder record sets to 0xFF, counted from the record's first byte: 5 bytes
// from 261 before it, then 4 before it to 163 after it.
inline constexpr ImageRange kFolderEraseHead = {-261, -256};
inline constexpr ImageRange kFolderEraseBody = {-4, 164};
inline constexpr std::uint32_t kFolderEraseBefore = std::uint32_t(-kFolderEraseHead.first);
inline constexpr std::uint32_t kFolderEraseSize =
    std::uint32_t(kFolderEraseHead.size() + kFolderEraseBody.size());
// The parts do not overlap, so no byte counts twice.
static_assert(kFolderEraseHead.end <= kFolderEraseBody.first);

// The two parts of the erase of the record at `recordOffset`, as image offsets. Not clipped to
// the image.
std::array<ImageRange, 2> folderEraseRanges(std::uint32_t recordOffset);

// Rebuilds state.folders from the Flex code group's bytes in the image.
void scanFlexFolders(EditorState& state);
// Sets the record's kFolderEraseSize bytes to 0xFF; bytes that would lie outside the image are
// left out.
void eraseFolderRecord(EditorState& state, std::uint32_t recordOffset);
// Erases every record whose name repeats the one before it, when the Flex sits at its
// catalogue address. Leaves state.folders as scanFlexFolders makes it from the bytes left.
void eraseRepeatedFolders(EditorState& state);

// Rows of the folder table as the folder list shows them (number from 1, name, location).
std::vector<FolderGridRow> folderGridRows(const EditorState& state);
// Whether entry `index` of the folder table (from 0) holds a record.
bool isFolderListed(const EditorState& state, int index);
// Whether "Delete Skin Folder" may erase the record of entry `index`.
bool canDeleteFolder(const EditorState& state, int index);
// Erases the record of entry `index` when allowed and rescans; false when refused.
bool deleteFolder(EditorState& state, int index);

}  // namespace tavufe
