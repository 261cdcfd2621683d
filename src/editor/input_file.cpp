#include "editor/input_file.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <limits>
#include <new>
#include <utility>

namespace tavufe {

namespace {

// Below this a plain read costs next to nothing, and a small file is the more likely to be
// rewritten while it is open.
constexpr std::size_t kMinMappedSize = std::size_t(1) << 20;

bool readAt(int fd, std::uint8_t* bytes, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, bytes + done, size - done, off_t(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += std::size_t(n);
  }
  return true;
}

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

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

InputFile readWholeFile(const std::string& path) {
  InputFile buffer;
  auto fail = [&buffer](StatusCode code, int error) {
    buffer.status = code;
    buffer.error = error;
    return std::move(buffer);
  };

  FileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) return fail(StatusCode::FileNotOpened, errno);
  // A folder or a device may open for reading but has no size to trust.
  struct stat info {};
  if (::fstat(::fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode) ||
      std::fseek(file.get(), 0, SEEK_END) != 0) {
    return fail(StatusCode::FileNotOpened, S_ISDIR(info.st_mode) ? EISDIR : errno);
  }
  const long end = std::ftell(file.get());
  if (end <= 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
    return fail(StatusCode::FileNotOpened, errno);
  }
  if (static_cast<unsigned long>(end) > std::numeric_limits<std::size_t>::max()) {
    return fail(StatusCode::BufferError, ENOMEM);
  }
  const std::size_t size = static_cast<std::size_t>(end);

  mapOrRead(::fileno(file.get()), size, buffer);
  return buffer;
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
    file.error = ENOMEM;
    return false;
  }
  if (!readAt(fd, bytes.get(), size)) {
    file.status = StatusCode::FileNotOpened;
    file.error = errno;
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
