#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavufe {

// An output file that appears under its name only when written whole.
//
// (A destination that is a device or a pipe cannot be swapped by a rename; it is written in
// place, and what reached it stays.)
//
// Bytes go to a temporary file in the destination's folder through a large buffer; commit()
// flushes it to disk and renames it over the destination. Until then, and on any failure, a
// file that already had the destination's name is left exactly as it was, and the destructor
// removes the temporary file.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // Creates the temporary file; false when the destination's folder cannot take it.
  bool open(const std::string& destination);
  // Buffered; once a write has failed every later call is a no-op that returns false.
  bool write(const void* data, std::size_t size);
  bool write(std::uint8_t byte) { return write(&byte, 1); }
  // Flushes, syncs, closes and renames. False (and nothing renamed) if any step failed.
  bool commit();
  // Drops what was written; the destination is untouched.
  void discard();

  bool failed() const { return failed_; }
  // The errno of the call that failed first (0 when none did), for telling the user why.
  int error() const { return error_; }
  bool isOpen() const { return fd_ >= 0; }

 private:
  bool flushBuffer();
  // Records errno (or `fallback` when the call left none) unless an earlier failure was kept.
  bool fail(int fallback = EIO);
  // The same for a refusal of this class's own, with its reason.
  bool failWith(int error);

  int fd_ = -1;
  bool failed_ = false;
  int error_ = 0;
  bool direct_ = false;  // a device or pipe, written in place
  std::string destination_;
  std::string tempPath_;
  std::vector<std::uint8_t> buffer_;
  std::size_t used_ = 0;
};

}  // namespace tavufe
