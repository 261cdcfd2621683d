#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "editor/crc32.h"
#include "editor/file_problem.h"
#include "superfile/byte_sink.h"

namespace tavufe {

// Sees each chunk the read-back after writing takes from the file, with its offset, before it
// is compared: tests change it to stand for a disk that did not keep what it was given.
using ReadBackFilter = std::function<void(std::uint64_t offset, std::span<std::uint8_t> chunk)>;

// An output file that appears under its name only when written whole.
//
// (A destination that is a device or a pipe cannot be swapped by a rename; it is written in
// place, and what reached it stays. A pipe that no process reads is refused.)
//
// Bytes go to a temporary file in the destination's folder through a large buffer: an
// anonymous one where the file system allows it, so that a process killed part-way leaves
// nothing behind; a named one otherwise. commit() flushes it to disk, reads it back from the
// disk and compares it with what it was given (a running CRC-32 and the length), names it and
// renames it over the destination. Until then, and on any failure, a file that already had the
// destination's name is left exactly as it was, and the destructor removes the temporary file.
//
// A symbolic link as destination is followed, as a direct write would, but only where the
// kernel's protected-symlinks rule allows: not a link in a sticky world-writable folder
// (/tmp) owned by someone other than this process's user or the folder's owner.
class OutputFile : public ByteSink {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() override;

  // Creates the temporary file with the mode the destination will have; false, with
  // problem() saying why, when the destination or its folder cannot take it.
  [[nodiscard]] bool open(const std::string& destination);
  // Buffered; once a write has failed every later call is a no-op that returns false.
  bool write(const void* data, std::size_t size) override;
  // Flushes, syncs, reads back, closes and renames. False (and nothing renamed) if any step
  // failed. A device or pipe written in place is not read back.
  [[nodiscard]] bool commit();
  // Drops what was written; the destination is untouched.
  void discard();

  bool failed() const override { return failed_; }
  // Why the first step that failed did; Kind::None while all went well.
  const FileProblem& problem() const { return problem_; }

  void setReadBackFilter(ReadBackFilter filter) { readBackFilter_ = std::move(filter); }
  // Whether the last commit failed because the file read back was not what was written.
  bool readBackDiffered() const { return readBackDiffered_; }

 private:
  bool flushBuffer();
  bool fail(FileProblem problem);
  bool openDirect();
  bool createTemporary(unsigned mode);
  bool nameAnonymousFile();
  bool readBack();

  int fd_ = -1;
  bool failed_ = false;
  bool direct_ = false;  // a device or pipe, written in place
  FileProblem problem_;
  std::string destination_;
  std::string tempPath_;  // empty while the temporary file is anonymous
  std::vector<std::uint8_t> buffer_;
  std::size_t used_ = 0;
  Crc32 written_;
  std::uint64_t writtenSize_ = 0;
  ReadBackFilter readBackFilter_;
  bool readBackDiffered_ = false;
};

}  // namespace tavufe
