#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "editor/open_flow.h"
#include "inspect/superfile_diff.h"
#include "model/codes.h"
#include "model/editor_state.h"
#include "superfile/encoding.h"

namespace tavufe {

// A comparison of two superfiles, or why it could not be made.
struct DiffOutcome {
  // The file that could not be opened, and its open; nothing when both were read.
  std::optional<DiffFile> failed;
  OpenedSuperfile failedOpen;
  // A review whose save could not be made (RdlBlankOrMissing …), or BufferError without memory
  // for an image.
  StatusCode status = StatusCode::None;
  SuperfileDiff diff;
  // Which sides were exports (the Flex alone): then only the Flex was compared.
  bool oldExport = false;
  bool newExport = false;
  bool flexOnly() const { return oldExport || newExport; }
  bool compared() const { return !failed && status == StatusCode::None; }
};

// Reads OLD and NEW with the one open, every folder record kept, each into an image of its own,
// and compares them. `encoding`, when given, reads both files; otherwise each file's extension
// decides. OLD is read first; a file that cannot be opened ends the comparison.
DiffOutcome diffSuperfileFiles(const std::string& oldPath, const std::string& newPath,
                               std::optional<SuperfileEncoding> encoding);

// ".smg" or ".bin" at the end of the path, in any case: the Flex's bytes alone.
bool isExportPath(const std::string& path);

// The same, where either side may be an export, told by its name unless `encoding` says how to
// read both. Then only the Flex is compared: a superfile's Flex against the export laid at that
// Flex's address, or two exports as raw images at the Flex's usual address. A superfile without
// the Flex cannot be compared with an export (NoFlexCodeGroup).
DiffOutcome diffFiles(const std::string& oldPath, const std::string& newPath,
                      std::optional<SuperfileEncoding> encoding);

// What saving `document` as a superfile of `encoding` with the header date `dateText` would
// write differently from the superfile at `openedPath`: the save is written to memory and read
// back. Nothing is written to any file and the document stays as it is. A `rescued` document is
// held against its file as a rescue reads it: a plain read stops at the damage it read past.
DiffOutcome reviewSave(const EditorState& document, const std::string& openedPath,
                       SuperfileEncoding encoding, const std::string& dateText,
                       bool rescued = false);
// The same against the bytes of the file the document was opened from.
DiffOutcome reviewSave(const EditorState& document, std::span<const std::uint8_t> openedBytes,
                       SuperfileEncoding encoding, const std::string& dateText);

}  // namespace tavufe
