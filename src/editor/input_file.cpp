#include "editor/input_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <new>
#include <utility>

#include "editor/crc32.h"
#include "editor/seams.h"

namespace tavufe {

namespace {

struct DescriptorCloser {
  int fd;
  ~DescriptorCloser() { ::close(fd); }
};

// Below this a plain read costs next to nothing, and a small file is the more likely to be
// rewritten while it is open.
constexpr std::size_t kMinMappedSize = std::size_t(1) << 20;

// A descriptor of the file holding a read lease: until it is closed, another process's
// truncation or open for writing waits (the kernel lets it go after lease-break-time, 45 s by
// default, far beyond a read). -1 when no lease can be had: SIGIO not ignored (it would end
// the process when someone waits), a file of another user, a file open for writing, or a file
// system without leases.
int leaseForReading(int fd) {
  struct sigaction current {};
  if (::sigaction(SIGIO, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
      current.sa_handler != SIG_IGN) {
    return -1;
  }
  const int leaseFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (leaseFd < 0) return -1;
  if (::fcntl(leaseFd, F_SETLEASE, F_RDLCK) != 0) {
    ::close(leaseFd);
    return -1;
  }
  return leaseFd;
}

FileStamp stampOf(const struct stat& info) {
  return {std::uint64_t(info.st_dev),         std::uint64_t(info.st_ino),
          std::uint64_t(info.st_size),        std::int64_t(info.st_mtim.tv_sec),
          std::int64_t(info.st_mtim.tv_nsec), std::int64_t(info.st_ctim.tv_sec),
          std::int64_t(info.st_ctim.tv_nsec)};
}

// The whole file, mapped read-only under a read lease; nothing when
// either fails or when the file no longer matches `checked`. Without the lease a file cut short
// by someone else while the reader runs would fault on its missing pages (SIGBUS).
FileMapping mapWhole(int fd, const FileStamp& checked) {
  const auto size = std::size_t(checked.size);
  const int leaseFd = leaseForReading(fd);
  if (leaseFd < 0) return {};
  // Not populated up front: the threads that decode a large text each map in their own part
  // as they read it.
  void* at = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (at == MAP_FAILED) {
    ::close(leaseFd);
    return {};
  }
  FileMapping mapping(static_cast<const std::uint8_t*>(at), size, leaseFd);
  // The file may have changed before the lease was taken; from then on it cannot.
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || stampOf(info) != checked) return {};
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

// Reads the file again and compares it with `bytes`, the first read: a writer through a shared
// mapping changes no time the stamp holds, so only the bytes can tell.
FileProblem confirmRead(int fd, std::span<const std::uint8_t> bytes) {
  constexpr std::size_t kPiece = std::size_t(256) << 10;
  std::unique_ptr<std::uint8_t[]> piece(new (std::nothrow) std::uint8_t[kPiece]);
  if (!piece) return FileProblem::system(ENOMEM);
  Crc32 again;
  std::uint64_t offset = 0;
  for (;;) {
    const ssize_t n = ::pread(fd, piece.get(), kPiece, off_t(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FileProblem::system(errno);
    if (n == 0) break;
    again.update({piece.get(), std::size_t(n)});
    offset += std::uint64_t(n);
    // A file that grew meanwhile is no longer the file read.
    if (offset > bytes.size()) break;
  }
  Crc32 first;
  first.update(bytes);
  if (offset != bytes.size() || again.value() != first.value()) {
    return {FileProblem::Kind::ChangedWhileRead};
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

  file.stamp = stampOf(info);
  mapOrRead(fd, file.stamp, file);
  return file;
}

std::optional<FileStamp> fileStamp(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return std::nullopt;
  return stampOf(info);
}

bool mapOrRead(int fd, const FileStamp& checked, InputFile& file) {
  const auto size = std::size_t(checked.size);
  if (size >= kMinMappedSize) {
    file.mapping = mapWhole(fd, checked);
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
  FileProblem why = readExactly(fd, bytes.get(), size);
  if (!why) {
    if (seams::afterRead) seams::afterRead({bytes.get(), size});
    // Unleased, the file may have been written while it was read: the bytes would then be
    // part old, part new, and no longer the file that was checked.
    const std::optional<FileStamp> after = fileStamp(fd);
    if (!after) {
      why = FileProblem::system(errno);
    } else if (*after != checked) {
      why = {FileProblem::Kind::ChangedWhileRead};
    } else {
      why = confirmRead(fd, {bytes.get(), size});
    }
  }
  if (why) {
    file.status = StatusCode::FileNotOpened;
    file.problem = why;
    return false;
  }
  file.bytes = std::move(bytes);
  file.size = size;
  return true;
}

FileMapping::FileMapping(FileMapping&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      leaseFd_(std::exchange(other.leaseFd_, -1)) {}

FileMapping& FileMapping::operator=(FileMapping&& other) noexcept {
  if (this != &other) {
    release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    leaseFd_ = std::exchange(other.leaseFd_, -1);
  }
  return *this;
}

FileMapping::~FileMapping() { release(); }

void FileMapping::release() {
  if (data_ != nullptr) ::munmap(const_cast<std::uint8_t*>(data_), size_);
  // The pages are gone before the lease is: whoever waits may then cut the file.
  if (leaseFd_ >= 0) ::close(leaseFd_);
  data_ = nullptr;
  size_ = 0;
  leaseFd_ = -1;
}

void ignoreFileSignals() {
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGIO, SIG_IGN);
}

}  // namespace tavufe
