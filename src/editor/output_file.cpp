#include "editor/output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

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

// Linux gives up on a path after this many links.
constexpr int kMaxLinkHops = 40;

// The kernel's protected-symlinks rule: in a sticky world-writable folder a link is followed
// only when it belongs to this process's user or to the folder's owner, so that a link planted
// there by another user cannot redirect the save.
FileProblem checkMayFollow(const struct stat& link, const std::string& folder) {
  struct stat dir {};
  if (::stat(folder.c_str(), &dir) != 0) return FileProblem::system(errno);
  const bool shared = (dir.st_mode & S_ISVTX) != 0 && (dir.st_mode & S_IWOTH) != 0;
  if (!shared || link.st_uid == ::geteuid() || link.st_uid == dir.st_uid) return {};
  return {FileProblem::Kind::UnsafeLink};
}

struct LinkEnd {
  std::string path;
  FileProblem problem;
};

// Saving over a symbolic link writes the file it points to, as a direct write would have,
// instead of replacing the link; a dangling link gets its target created. A loop fails as
// the kernel's own lookup would, with ELOOP.
LinkEnd followLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0;; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return {current, {}};
    if (hops == kMaxLinkHops) return {path, FileProblem::system(ELOOP)};
    if (const FileProblem problem = checkMayFollow(st, folderOf(current))) return {path, problem};
    char target[PATH_MAX];
    const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
    if (n < 0) return {path, FileProblem::system(errno)};
    if (n == 0) return {path, FileProblem::system(ENOENT)};
    std::string next(target, std::size_t(n));
    current = next.front() == '/' ? next : folderOf(current) + "/" + next;
  }
}

// A new file gets the mode a plain create would have given it; an existing one keeps its own.
mode_t modeFor(const struct stat* existing) {
  if (existing != nullptr) return existing->st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The replaced file keeps its owner where this process may set it (a privileged save over
// another user's file); otherwise the owner is this process's, as it could not differ.
void keepOwner(int fd, const struct stat& original) {
  if (::fchown(fd, original.st_uid, original.st_gid) != 0) return;
}

// 0 when all was written, else the error number.
int writeAll(int fd, const std::uint8_t* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    bytes += n;
    size -= std::size_t(n);
  }
  return 0;
}

// Six letters or digits that differ from call to call; a clash is retried by the caller.
std::string randomSuffix(unsigned attempt) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::uint64_t seed = std::uint64_t(::getpid()) << 32 ^ attempt;
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  seed ^= std::uint64_t(now.tv_sec) * 1000000007u ^ std::uint64_t(now.tv_nsec);
  std::string suffix(6, 'X');
  for (char& c : suffix) {
    seed = seed * 6364136223846793005u + 1442695040888963407u;
    c = kLetters[(seed >> 33) % (sizeof kLetters - 1)];
  }
  return suffix;
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

bool OutputFile::fail(FileProblem problem) {
  failed_ = true;
  if (!problem_) problem_ = problem;
  return false;
}

bool OutputFile::open(const std::string& destination) {
  discard();
  failed_ = false;
  direct_ = false;
  problem_ = {};
  written_ = Crc32();
  writtenSize_ = 0;
  readBackDiffered_ = false;
  if (destination.empty()) return fail(FileProblem::system(ENOENT));
  if (destination.back() == '/') return fail(FileProblem::system(EISDIR));

  const LinkEnd end = followLinks(destination);
  if (end.problem) return fail(end.problem);

  // A device, pipe or terminal cannot be replaced by renaming: it is written as it is. The
  // kernel's own lookup says what the name is, as links such as /dev/stdout lead through
  // /proc to names that only it can follow.
  struct stat st {};
  if (::stat(destination.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
    destination_ = destination;
    return openDirect();
  }
  destination_ = end.path;
  const bool exists = ::stat(destination_.c_str(), &st) == 0;
  // Refuse what a create-or-truncate would refuse, here rather than only at the rename:
  // a folder, or an existing file that may not be written.
  if (exists && S_ISDIR(st.st_mode)) return fail(FileProblem::system(EISDIR));
  if (exists && ::access(destination_.c_str(), W_OK) != 0) return fail(FileProblem::system(errno));

  const mode_t mode = modeFor(exists ? &st : nullptr);
  if (!createTemporary(mode)) return false;
  // Owner first: a change of owner clears the set-user-ID and set-group-ID bits.
  if (exists) keepOwner(fd_, st);
  // A file that would appear with another mode than the one it replaces fails the save.
  if (::fchmod(fd_, mode) != 0) {
    fail(FileProblem::system(errno));
    discard();
    return false;
  }
  buffer_.resize(kBufferSize);
  used_ = 0;
  return true;
}

bool OutputFile::openDirect() {
  struct stat st {};
  const bool pipe = ::stat(destination_.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
  // Not blocking: a pipe with no reader gives ENXIO at once instead of waiting for one.
  const int fd =
      ::open(destination_.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    if (pipe && errno == ENXIO) return fail({FileProblem::Kind::NoReader});
    return fail(FileProblem::system(errno));
  }
  // A reader is there: from now on each write waits for it to take the bytes.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  fd_ = fd;
  direct_ = true;
  buffer_.resize(kBufferSize);
  used_ = 0;
  return true;
}

bool OutputFile::createTemporary(unsigned mode) {
  const std::string folder = folderOf(destination_);
#ifdef O_TMPFILE
  // Anonymous until complete: a process killed while writing leaves nothing behind. Naming
  // it at the end goes through /proc, so without /proc the file is named from the start.
  if (::access("/proc/self/fd", F_OK) == 0) {
    const int anonymous = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode_t(mode));
    if (anonymous >= 0) {
      fd_ = anonymous;
      return true;
    }
    // Only a file system (or kernel) without anonymous files falls back to a named one.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
      return fail(FileProblem::system(errno));
    }
  }
#endif
  const std::string stem = fileNameOf(destination_).substr(0, kMaxTempStem);
  std::string name = folder + "/." + stem + ".XXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return fail(FileProblem::system(errno));
  fd_ = fd;
  tempPath_ = name;
  return true;
}

// Gives the complete anonymous file a temporary name beside the destination, for the rename.
bool OutputFile::nameAnonymousFile() {
  const std::string stem =
      folderOf(destination_) + "/." + fileNameOf(destination_).substr(0, kMaxTempStem) + ".";
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::string name = stem + randomSuffix(attempt);
    int rc = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
    if (rc != 0 && errno != EEXIST) {
      // A process that may link by descriptor still can; otherwise the first reason stands.
      const int viaProc = errno;
      rc = ::linkat(fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
      if (rc != 0 && errno != EEXIST) errno = viaProc;
    }
    if (rc == 0) {
      tempPath_ = name;
      return true;
    }
    if (errno != EEXIST) return fail(FileProblem::system(errno));
  }
  return fail(FileProblem::system(EEXIST));
}

bool OutputFile::flushBuffer() {
  if (used_ > 0) {
    if (const int error = writeAll(fd_, buffer_.data(), used_)) {
      return fail(FileProblem::system(error));
    }
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
    if (const int error = writeAll(fd_, bytes, size)) return fail(FileProblem::system(error));
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
  bool ok = !failed_ && flushBuffer();
  // A device or pipe may not support syncing; what it was given is all there is.
  if (ok && !direct_ && ::fsync(fd_) != 0) ok = fail(FileProblem::system(errno));
  // The read-back needs the file open for reading: both kinds of temporary file are.
  if (ok && !direct_) ok = readBack();
  if (ok && !direct_ && tempPath_.empty()) ok = nameAnonymousFile();
  if (::close(fd_) != 0 && ok) ok = fail(FileProblem::system(errno));
  fd_ = -1;
  if (ok && !direct_ && std::rename(tempPath_.c_str(), destination_.c_str()) != 0) {
    ok = fail(FileProblem::system(errno));
  }
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
