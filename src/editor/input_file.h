#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "editor/file_problem.h"
#include "model/codes.h"
#include "model/flash_image.h"
#include "model/slots.h"
#include "superfile/header_block.h"
#include "superfile/shx_writer.h"
#include "superfile/superfile_size.h"

namespace tavufe {

// A read-only mapping of a file, unmapped when it goes. It keeps a descriptor of the file, and
// with it the read lease that holds off any truncation while the pages are in use.
class FileMapping {
 public:
  FileMapping() = default;
  FileMapping(const std::uint8_t* data, std::size_t size, int leaseFd)
      : data_(data), size_(size), leaseFd_(leaseFd) {}
  FileMapping(FileMapping&& other) noexcept;
  FileMapping& operator=(FileMapping&& other) noexcept;
  ~FileMapping();

  const std::uint8_t* data() const { return data_; }

 private:
  void release();

  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  int leaseFd_ = -1;
};

// What tells one state of a file from another: where it lives, its size and its times to the
// nanosecond. Any write, truncation or change of its attributes changes one of them.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modifiedSeconds = 0;
  std::int64_t modifiedNanoseconds = 0;
  std::int64_t changedSeconds = 0;
  std::int64_t changedNanoseconds = 0;
  bool operator==(const FileStamp&) const = default;
};

// A whole input file in memory: read into a buffer of its own, or mapped.
struct InputFile {
  std::unique_ptr<std::uint8_t[]> bytes;
  FileMapping mapping;
  std::size_t size = 0;
  StatusCode status = StatusCode::None;
  FileProblem problem;  // why, when the status is FileNotOpened
  FileStamp stamp;      // of the file that was read
  std::span<const std::uint8_t> view() const {
    return {mapping.data() != nullptr ? mapping.data() : bytes.get(), size};
  }
};

// The stamp of the file open as `fd`; nothing, with errno set, when it cannot be had.
std::optional<FileStamp> fileStamp(int fd);

// Reads the file whole: FileNotOpened when it cannot be opened, is not a regular file, is
// empty, is larger than kMaxSuperfileSize, is not read in full or changes while it is read,
// with the problem saying which; BufferError when there is no memory for it. A pipe, socket or
// device is refused at once, without waiting for a writer.
InputFile readWholeFile(const std::string& path);

// The bytes of the open regular file `fd`, as `checked` describes it, into `file`: a large file
// is mapped (no copy, and its pages come straight from the page cache) while a read lease holds
// off anyone who would cut it short under the mapping; a small one, one that cannot be leased,
// or one that no longer matches `checked` by the mapping, is read. A file that is read must
// still match `checked` once it has been read, and a second read must give the same bytes:
// without a lease another program may write it meanwhile (through a shared mapping, without
// touching its times), and the bytes would mix two versions of it. False, with `file.status`
// and `file.problem` set, when the bytes cannot be had.
bool mapOrRead(int fd, const FileStamp& checked, InputFile& file);

// What the programs set once at start, for their file handling: SIGXFSZ ignored, so that a
// write past the file-size limit fails with EFBIG and the save cleans up instead of the signal
// ending the process part-way; SIGIO ignored, so that input files may be leased and mapped
// (the kernel tells a lease's holder of a truncation waiting on it with SIGIO). Without the
// second, input files are always read.
void ignoreFileSignals();

}  // namespace tavufe
