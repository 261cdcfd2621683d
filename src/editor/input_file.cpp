#include "editor/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace tavufe {

namespace {

struct DescriptorCloser {
  int fd;
  ~DescriptorCloser() { ::close(fd); }
};

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

  std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size]);
  if (!bytes) {
    file.status = StatusCode::BufferError;
    return file;
  }
  if (const FileProblem why = readExactly(fd, bytes.get(), size)) return refuse(why);
  file.bytes = std::move(bytes);
  file.size = size;
  return file;
}

}  // namespace tavufe
