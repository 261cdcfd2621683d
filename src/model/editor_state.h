#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/catalogue.h"
#include "model/flash_image.h"
#include "model/slots.h"

namespace tavufe {

inline constexpr int kUndoDepth = 10;
inline constexpr int kMaxFolders = 200;
inline constexpr std::size_t kMaxFolderName = 36;

struct UndoStack {
  std::array<CodeGroupSlot, kUndoDepth> copies{};  // copies[undoCount - 1] is the top
  int undoCount = 0;
};

struct FolderEntry {
  std::string folderName;
  std::uint32_t recordOffset = 0;  // image offset; 0 marks an empty row
};

using FolderTable = std::array<FolderEntry, kMaxFolders>;

// What the editor keeps between commands, owned by the front end and passed by reference to
// the core. Outcomes of a command (codes, the report) are returned, not kept here.
struct EditorState {
  FlashImage image;
  SlotTable slots{};
  std::int32_t lastSlot = 0;
  FirmwareHalves firmwareHalves{};
  RegionBounds bounds{};
  CodeGroupCatalogue catalogue{};
  DeviceProfile profile{};
  UndoStack undo{};
  FolderTable folders{};
};

// The model side of start-up: reset the slots, build and apply the profile.
void initialiseEditor(EditorState& state);

}  // namespace tavufe
