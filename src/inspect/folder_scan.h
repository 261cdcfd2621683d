#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/editor_state.h"

namespace tavufe {

inline constexpr std::array<const char*, 3> kFolderGridTitles = {"#", "Skin Folder",
                                                                 "CG2 Location"};
inline constexpr std::uint32_t kFolderEraseBefore = 261;  // first byte erased, before the record
inline constexpr std::uint32_t kFolderEraseSize = 173;

using FolderGridRow = std::array<std::string, 3>;

// A half-open run of image offsets.
struct ImageRange {
  std::int64_t first = 0;
  std::int64_t end = 0;
};

// What an erase of the record at `recordOffset` sets to 0xFF: 5 bytes from 261 before it, then
// 4 before it to 163 after it. Not clipped to the image.
std::array<ImageRange, 2> folderEraseRanges(std::uint32_t recordOffset);

// Rebuilds state.folders from the Flex code group's bytes in the image.
void scanFlexFolders(EditorState& state);
// Sets the record's 173 bytes to 0xFF; bytes that would lie outside the image are left out.
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
