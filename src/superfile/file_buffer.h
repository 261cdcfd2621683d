#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "model/editor_state.h"
#include "model/progress.h"

namespace tavufe {

// A whole input file in memory, owned by the reader until it returns.
struct FileBuffer {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size = 0;
  std::span<const std::uint8_t> view() const { return {bytes.get(), size}; }
};

// Sets the status to 0, then reads the file whole: FileNotOpened when it cannot be opened,
// is empty or is not read in full; BufferError when there is no memory for it.
FileBuffer readWholeFile(EditorState& state, const std::string& path);

// The start both readers share: reads currentPath whole, parses its header block into the
// slots and sets the progress maximum. When the read must stop the status is set and the
// buffer is released.
FileBuffer beginSuperfileRead(EditorState& state, Progress& progress);

}  // namespace tavufe
