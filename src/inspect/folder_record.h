#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/editor_state.h"

namespace tavufe {

// The bytes an erase of one folder record overwrites, kept so that the erase can be undone.
struct FolderRecordBytes {
  struct Piece {
    std::int64_t offset = 0;  // in the image
    std::vector<std::uint8_t> bytes;
  };
  std::uint32_t recordOffset = 0;
  std::vector<Piece> pieces;  // the parts of the erase that lie inside the image
};

// The record offset of entry `index` of the folder table (from 0); 0 when none.
std::uint32_t folderRecordOffset(const EditorState& state, int index);

// What eraseFolderRecord would overwrite for the record at `recordOffset`, as it is now.
FolderRecordBytes captureFolderRecord(const EditorState& state, std::uint32_t recordOffset);
// Puts captured bytes back and rescans the folders.
void restoreFolderRecord(EditorState& state, const FolderRecordBytes& saved);

// Those bytes as a dump for the user, 16 to a line: "LOCATION  HH HH ...  characters", where
// LOCATION is counted from the Flex's start as in the folder grid, each part of the erase
// starting a new line, a line "...       N bytes kept" between parts that do not touch, and
// bytes outside printable ASCII shown as '.'.
std::vector<std::string> folderRecordDump(const EditorState& state, std::uint32_t recordOffset);

}  // namespace tavufe
