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
  bool compared() const { return !failed && status == StatusCode::None; }
};

// Reads OLD and NEW with the one open, every folder record kept, each into an image of its own,
// and compares them. `encoding`, when given, reads both files; otherwise each file's extension
// decides. OLD is read first; a file that cannot be opened ends the comparison.
DiffOutcome diffSuperfileFiles(const std::string& oldPath, const std::string& newPath,
                               std::optional<SuperfileEncoding> encoding);

// What saving `document` as a superfile of `encoding` with the header date `dateText` would
// write differently from the superfile at `openedPath`: the save is written to memory and read
// back. Nothing is written to any file and the document stays as it is.
DiffOutcome reviewSave(const EditorState& document, const std::string& openedPath,
                       SuperfileEncoding encoding, const std::string& dateText);
// The same against the bytes of the file the document was opened from.
DiffOutcome reviewSave(const EditorState& document, std::span<const std::uint8_t> openedBytes,
                       SuperfileEncoding encoding, const std::string& dateText);

}  // namespace tavufe
