#pragma once

#include "model/editor_state.h"
#include "model/output_file.h"
#include "model/progress.h"

namespace tavufe {

inline constexpr char kShxGroupOpenLine[] = "S00600004844521B\r\n";   // 18 bytes
inline constexpr char kShxTerminatorLine[] = "S70500000000FA\r\n";    // 16 bytes
inline constexpr std::size_t kShxDataPerLine = 64;

// Writes slots 0 to lastSlot as an SHX superfile at currentPath, atomically. Status on
// failure: RdlBlankOrMissing, FileNotOpened, AddressRange or FileWriteError; nothing is left
// at currentPath but what was there before.
void saveShx(EditorState& state, Progress& progress);
void writeShxCodeGroup(EditorState& state, int slot, OutputFile& out);

}  // namespace tavufe
