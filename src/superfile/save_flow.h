#pragma once

#include <optional>
#include <string>

#include "model/editor_state.h"
#include "model/progress.h"

namespace tavufe {

// Filter indexes of the save dialog.
enum class SaveType { Shx = 1, Sbf = 2, Smg = 3, Bin = 4 };

// Extension with its period (".shx" …) and type from an extension, case-insensitive.
const char* extensionFor(SaveType type);
std::optional<SaveType> saveTypeForPath(const std::string& path);

// The checks before the save dialog: sets noticeCode (NoFilesSelectedToSave, DuplicateCg)
// and returns false when the save must not go on.
bool checkSaveable(EditorState& state);

// How an SMG or BIN export treats a slot that failed to refresh from the image: the window
// exports and then warns; a caller that promises to write nothing on failure refuses.
enum class StaleSlots { ExportAndWarn, Refuse };

// The save itself, to currentPath: finalises every slot from the image, then writes the
// chosen type. The status tells the outcome.
void saveCurrentFile(EditorState& state, SaveType type, Progress& progress,
                     StaleSlots staleSlots = StaleSlots::ExportAndWarn);

}  // namespace tavufe
