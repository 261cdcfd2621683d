#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "editor/crc32.h"
#include "superfile/byte_sink.h"

namespace tavufe {

// Sees each chunk the read-back after writing takes from the file, with its offset, before it
// is compared: tests change it to stand for a disk that did not keep what it was given.
using ReadBackFilter = std::function<void(std::uint64_t offset, std::span<std::uint8_t> chunk)>;

// An output file that appears under its name only when written whole.
//
// (A destination that is a device or a pipe cannot be swapped by a rename; it is written in
// place, and what reached it stays.)
//
// Bytes go to a temporary file in the destination's folder through a large buffer; commit()
// flushes it to disk, reads it back from the disk and compares it with what it was given (a
// running CRC-32 and the length), and only then renames it over the destination. Until then,
// and on any failure, a file that already had the destination's name is left exactly as it
// was, and the destructor removes the temporary file.
class OutputFile : public ByteSink {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() override;

  // Creates the temporary file; false when the destination's folder cannot take it.
  [[nodiscard]] bool open(const std::string& destination);
  // Buffered; once a write has failed every later call is a no-op that returns false.
  bool write(const void* data, std::size_t size) override;
  // Flushes, syncs, reads back, closes and renames. False (and nothing renamed) if any step
  // failed. A device or pipe written in place is not read back.
  [[nodiscard]] bool commit();
  // Drops what was written; the destination is untouched.
  void discard();

  bool failed() const override { return failed_; }

  void setReadBackFilter(ReadBackFilter filter) { readBackFilter_ = std::move(filter); }
  // Whether the last commit failed because the file read back was not what was written.
  bool readBackDiffered() const { return readBackDiffered_; }

 private:
  bool flushBuffer();
  bool readBack();

  int fd_ = -1;
  bool failed_ = false;
  bool direct_ = false;  // a device or pipe, written in place
  std::string destination_;
  std::string tempPath_;
  std::vector<std::uint8_t> buffer_;
  std::size_t used_ = 0;
  Crc32 written_;
  std::uint64_t writtenSize_ = 0;
  ReadBackFilter readBackFilter_;
  bool readBackDiffered_ = false;
};

}  // namespace tavufe
