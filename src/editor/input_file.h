#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "model/codes.h"

namespace tavufe {

// A read-only mapping of a file, unmapped when it goes.
class FileMapping {
 public:
  FileMapping() = default;
  FileMapping(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  FileMapping(FileMapping&& other) noexcept;
  FileMapping& operator=(FileMapping&& other) noexcept;
  ~FileMapping();

  const std::uint8_t* data() const { return data_; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// A whole input file in memory: read into a buffer of its own, or mapped.
struct InputFile {
  std::unique_ptr<std::uint8_t[]> bytes;
  FileMapping mapping;
  std::size_t size = 0;
  StatusCode status = StatusCode::None;
  int error = 0;  // errno of the call that failed, when one did
  std::span<const std::uint8_t> view() const {
    return {mapping.data() != nullptr ? mapping.data() : bytes.get(), size};
  }
};

// Reads the file whole: FileNotOpened when it cannot be opened, is empty or is not read in
// full; BufferError when there is no memory for it.
InputFile readWholeFile(const std::string& path);

// The `size` bytes of the open regular file `fd` into `file`: a large file is mapped (no copy,
// and its pages come straight from the page cache), a small one, or one whose size changes
// under the mapping, is read. False, with `file.status` and `file.error` set, when the bytes
// cannot be had.
bool mapOrRead(int fd, std::size_t size, InputFile& file);

}  // namespace tavufe
