#pragma once

#include "model/editor_state.h"
#include "model/output_file.h"
#include "model/progress.h"

namespace tavufe {

inline constexpr std::int32_t kRamdldTableWindowStart = 240;
inline constexpr std::int32_t kRamdldTableWindowEnd = 415;  // inclusive
inline constexpr std::int32_t kRamdldTableFirstEntry = 248;

// Patches the RAMDLD's address table for the code groups being saved and refreshes slot 0's
// header bytes and checksum. A RAMDLD longer than its area sets AddressRange.
void prepareSave(EditorState& state);

// The first steps of an SHX or SBF save: clears the status, refuses a missing or blank
// RAMDLD (RdlBlankOrMissing) before anything is opened, opens currentPath (FileNotOpened)
// and runs prepareSave. False, with the status set and nothing written, when the save must
// stop there.
bool beginSuperfileSave(EditorState& state, OutputFile& out);

// A whole SHX or SBF save: the first steps above, the header block, one code group per slot
// in use through `writeGroup`, then the commit (FileWriteError when the file is not whole).
using CodeGroupWriter = void (*)(EditorState& state, int slot, OutputFile& out);
void saveSuperfile(EditorState& state, Progress& progress, CodeGroupWriter writeGroup);

}  // namespace tavufe
