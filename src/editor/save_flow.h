#pragma once

#include <optional>
#include <string>

#include "editor/file_problem.h"
#include "editor/output_file.h"
#include "model/codes.h"
#include "model/editor_state.h"
#include "model/progress.h"

namespace tavufe {

// Filter indexes of the save dialog.
enum class SaveType { Shx = 1, Sbf = 2, Smg = 3, Bin = 4 };

// Extension with its period (".shx" …) and type from an extension, case-insensitive.
const char* extensionFor(SaveType type);
std::optional<SaveType> saveTypeForPath(const std::string& path);

// The checks before the save dialog: NoFilesSelectedToSave, DuplicateCg, or NoFlexCodeGroup
// when the Flex holds no byte read from the file; None when the save may go on.
NoticeCode checkSaveable(const EditorState& state);

// How an SMG or BIN export treats a slot that failed to refresh from the image: the window
// exports and then warns; a caller that promises to write nothing on failure refuses.
enum class StaleSlots { ExportAndWarn, Refuse };

// Every save reads the written file back before it replaces the destination: VerifyError when
// it differs, and the destination stays as it was. `readBackFilter` is for tests.

// An SHX or SBF superfile of slots 0 to lastSlot as they stand, written to `path` atomically.
// For FileNotOpened and FileWriteError, `why` (when given) says what the system refused.
[[nodiscard]] StatusCode saveSuperfile(EditorState& state, const std::string& path, SaveType type,
                                       Progress& progress, FileProblem* why = nullptr,
                                       const ReadBackFilter& readBackFilter = {});
// Slot 1's bytes alone (an SMG or BIN file), refreshed from its own range first.
[[nodiscard]] StatusCode exportFlex(EditorState& state, const std::string& path, Progress& progress,
                                    FileProblem* why = nullptr,
                                    const ReadBackFilter& readBackFilter = {});

// The save itself: finalises every slot from the image, then writes the chosen type to
// `path`, atomically. Returns what went wrong, or None; `why` as for saveSuperfile.
[[nodiscard]] StatusCode saveToFile(EditorState& state, const std::string& path, SaveType type,
                                    Progress& progress,
                                    StaleSlots staleSlots = StaleSlots::ExportAndWarn,
                                    FileProblem* why = nullptr,
                                    const ReadBackFilter& readBackFilter = {});

}  // namespace tavufe
