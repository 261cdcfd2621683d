#include "editor/output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tavufe {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
// The temporary name adds a period in front and ".XXXXXX" behind; keep it within NAME_MAX.
constexpr std::size_t kMaxTempStem = 200;

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Saving over a symbolic link writes the file it points to, as a direct write would have,
// instead of replacing the link; a dangling link gets its target created.
std::string resolveLink(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
    if (n <= 0) return current;
    std::string next(target, std::size_t(n));
    current = next.front() == '/' ? next : folderOf(current) + "/" + next;
  }
  return current;
}

// A new file gets the mode a plain create would have given it; an existing one keeps its own.
mode_t modeFor(const std::string& destination) {
  struct stat st {};
  if (::stat(destination.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The replaced file keeps its owner where this process may set it (a privileged save over
// another user's file); otherwise the owner is this process's, as it could not differ.
void keepOwner(int fd, const struct stat& original) {
  if (::fchown(fd, original.st_uid, original.st_gid) != 0) return;
}

bool writeAll(int fd, const std::uint8_t* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= std::size_t(n);
  }
  return true;
}

// Makes the rename itself durable; a failure here no longer affects what the file holds.
void syncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

bool OutputFile::open(const std::string& destination) {
  discard();
  failed_ = false;
  direct_ = false;
  written_ = Crc32();
  writtenSize_ = 0;
  readBackDiffered_ = false;
  if (destination.empty() || destination.back() == '/') return false;

  // A device, pipe or terminal cannot be replaced by renaming: it is written as it is.
  struct stat st {};
  if (::stat(destination.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
    const int fd = ::open(destination.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    fd_ = fd;
    direct_ = true;
    destination_ = destination;
    buffer_.resize(kBufferSize);
    used_ = 0;
    return true;
  }

  destination_ = resolveLink(destination);
  // Refuse what a create-or-truncate would refuse, here rather than only at the rename:
  // a folder, or an existing file that may not be written.
  const bool exists = ::stat(destination_.c_str(), &st) == 0;
  if (exists && (S_ISDIR(st.st_mode) || ::access(destination_.c_str(), W_OK) != 0)) return false;

  const std::string stem = fileNameOf(destination_).substr(0, kMaxTempStem);
  std::string name = folderOf(destination_) + "/." + stem + ".XXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  fd_ = fd;
  tempPath_ = name;
  ::fchmod(fd_, modeFor(destination_));
  if (exists) keepOwner(fd_, st);
  buffer_.resize(kBufferSize);
  used_ = 0;
  return true;
}

bool OutputFile::flushBuffer() {
  if (used_ > 0 && !writeAll(fd_, buffer_.data(), used_)) {
    failed_ = true;
    return false;
  }
  used_ = 0;
  return true;
}

bool OutputFile::write(const void* data, std::size_t size) {
  if (fd_ < 0 || failed_) {
    failed_ = true;
    return false;
  }
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  written_.update({bytes, size});
  writtenSize_ += size;
  if (size >= buffer_.size()) {
    // A large block goes straight to the file rather than through the buffer.
    if (!flushBuffer()) return false;
    if (!writeAll(fd_, bytes, size)) {
      failed_ = true;
      return false;
    }
    return true;
  }
  if (size > buffer_.size() - used_ && !flushBuffer()) return false;
  std::memcpy(buffer_.data() + used_, bytes, size);
  used_ += size;
  return true;
}

bool OutputFile::commit() {
  if (fd_ < 0) {
    failed_ = true;
    return false;
  }
  // A device or pipe may not support syncing; what it was given is all there is.
  bool ok = !failed_ && flushBuffer() && (direct_ || ::fsync(fd_) == 0);
  if (ok && !direct_) ok = readBack();
  if (::close(fd_) != 0) ok = false;
  fd_ = -1;
  if (ok && !direct_ && std::rename(tempPath_.c_str(), destination_.c_str()) != 0) ok = false;
  if (ok && !direct_) {
    tempPath_.clear();
    syncFolder(folderOf(destination_));
  } else {
    failed_ = true;
  }
  discard();
  return ok;
}

bool OutputFile::readBack() {
  // The pages are clean after the sync; dropping them makes the re-read come from the disk
  // wherever the system allows it, not from what was just handed over.
  ::posix_fadvise(fd_, 0, 0, POSIX_FADV_DONTNEED);
  Crc32 read;
  std::uint64_t offset = 0;
  while (offset <= writtenSize_) {
    const ssize_t n = ::pread(fd_, buffer_.data(), buffer_.size(), off_t(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    const std::span<std::uint8_t> chunk(buffer_.data(), std::size_t(n));
    if (readBackFilter_) readBackFilter_(offset, chunk);
    read.update(chunk);
    offset += std::uint64_t(n);
  }
  // A read that fails part-way leaves the length short: what is on disk was not confirmed.
  readBackDiffered_ = offset != writtenSize_ || read.value() != written_.value();
  return !readBackDiffered_;
}

void OutputFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!tempPath_.empty()) {
    ::unlink(tempPath_.c_str());
    tempPath_.clear();
  }
  buffer_.clear();
  buffer_.shrink_to_fit();
  used_ = 0;
}

}  // namespace tavufe
