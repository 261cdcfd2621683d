#include "editor/input_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <utility>

namespace tavufe {

namespace {

struct DescriptorCloser {
  int fd;
  ~DescriptorCloser() { ::close(fd); }
};

// Below this a plain read costs next to nothing, and a small file is the more likely to be
// rewritten while it is open.
constexpr std::size_t kMinMappedSize = std::size_t(1) << 20;

// The whole file, mapped read-only with its pages loaded now; nothing when that fails or when
// the file no longer has `size` bytes. A file cut short after the check would fault on its
// missing pages, so only files of some size are mapped and the size is checked once the pages
// are in; the reader then runs for milliseconds.
FileMapping mapWhole(int fd, std::size_t size) {
  int flags = MAP_PRIVATE;
#ifdef MAP_POPULATE
  flags |= MAP_POPULATE;
#endif
  void* at = ::mmap(nullptr, size, PROT_READ, flags, fd, 0);
  if (at == MAP_FAILED) return {};
  FileMapping mapping(static_cast<const std::uint8_t*>(at), size);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || off_t(size) != info.st_size) {
    return {};
  }
  return mapping;
}

// Fills `out` with exactly `size` bytes from `fd`.
FileProblem readExactly(int fd, std::uint8_t* out, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::read(fd, out, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FileProblem::system(errno);
    if (n == 0) return {FileProblem::Kind::ChangedWhileRead};
    out += n;
    size -= std::size_t(n);
  }
  return {};
}

}  // namespace

InputFile readWholeFile(const std::string& path) {
  using Kind = FileProblem::Kind;
  InputFile file;
  auto refuse = [&file](FileProblem why) {
    file.status = StatusCode::FileNotOpened;
    file.problem = why;
    return std::move(file);
  };

  // Without O_NONBLOCK a pipe with no writer would hold the open until one came.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    const int error = errno;
    struct stat info {};
    if (error == ENXIO && ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) {
      return refuse({Kind::NotRegularFile});
    }
    return refuse(FileProblem::system(error));
  }
  const DescriptorCloser closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) return refuse(FileProblem::system(errno));
  if (S_ISDIR(info.st_mode)) return refuse(FileProblem::system(EISDIR));
  // A pipe, socket or device has no size to trust.
  if (!S_ISREG(info.st_mode)) return refuse({Kind::NotRegularFile});
  if (info.st_size <= 0) return refuse({Kind::Empty});
  // Checked before any memory is taken, so that a huge file costs nothing to refuse.
  if (std::uint64_t(info.st_size) > kMaxSuperfileSize) return refuse({Kind::TooLarge});
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  const auto size = std::size_t(info.st_size);

  mapOrRead(fd, size, file);
  return file;
}

bool mapOrRead(int fd, std::size_t size, InputFile& file) {
  if (size >= kMinMappedSize) {
    file.mapping = mapWhole(fd, size);
    if (file.mapping.data() != nullptr) {
      file.size = size;
      return true;
    }
  }
  std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size]);
  if (!bytes) {
    file.status = StatusCode::BufferError;
    return false;
  }
  // Read from the start whatever the descriptor's position.
  if (::lseek(fd, 0, SEEK_SET) != 0) {
    file.status = StatusCode::FileNotOpened;
    file.problem = FileProblem::system(errno);
    return false;
  }
  if (const FileProblem why = readExactly(fd, bytes.get(), size)) {
    file.status = StatusCode::FileNotOpened;
    file.problem = why;
    return false;
  }
  file.bytes = std::move(bytes);
  file.size = size;
  return true;
}

FileMapping::FileMapping(FileMapping&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

FileMapping& FileMapping::operator=(FileMapping&& other) noexcept {
  if (this != &other) {
    FileMapping old(std::move(*this));
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

FileMapping::~FileMapping() {
  if (data_ != nullptr) ::munmap(const_cast<std::uint8_t*>(data_), size_);
}

}  // namespace tavufe
