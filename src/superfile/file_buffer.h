#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/header_block.h"
#include "superfile/shx_writer.h"

namespace tavufe {

// No superfile is larger than the header block followed by the whole image as SHX text in the
// writer's lines: two characters a data byte, 16 more a line ("S3", count, address, checksum,
// CR LF) for each line of 64 bytes, and for every loadable code group its open line, its
// terminator and one more line for data that ends part-way through a line. A larger file is
// refused before it is read.
inline constexpr std::size_t kShxLineOverhead = 2 + 2 * (1 + 4 + 1) + 2;
inline constexpr std::uint64_t kMaxSuperfileSize =
    kHeaderSize + 2 * std::uint64_t(kImageSize) +
    kShxLineOverhead * (std::uint64_t(kImageSize) / kShxDataPerLine) +
    std::uint64_t(kLastLoadableSlot + 1) *
        (sizeof kShxGroupOpenLine - 1 + sizeof kShxTerminatorLine - 1 + kShxLineOverhead);
static_assert(std::uint64_t(kImageSize) % kShxDataPerLine == 0);
static_assert(kMaxSuperfileSize == 151'446'534);

// A whole input file in memory, owned by the reader until it returns.
struct FileBuffer {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size = 0;
  std::span<const std::uint8_t> view() const { return {bytes.get(), size}; }
};

// Sets the status to 0, then reads the file whole: FileNotOpened when it cannot be opened, is
// not a regular file, is empty, is larger than kMaxSuperfileSize or is not read in full, with
// state.fileProblem saying which; BufferError when there is no memory for it. A pipe, socket
// or device is refused at once, without waiting for a writer.
FileBuffer readWholeFile(EditorState& state, const std::string& path);
// The same for a caller without an editor.
FileBuffer readWholeFile(const std::string& path, StatusCode& status, FileProblem& problem);

// The start both readers share: reads currentPath whole, parses its header block into the
// slots and sets the progress maximum. When the read must stop the status is set and the
// buffer is released.
FileBuffer beginSuperfileRead(EditorState& state, Progress& progress);

}  // namespace tavufe
