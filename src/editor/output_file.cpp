#include "editor/output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <new>
#include <string_view>
#include <thread>

namespace tavufe {

namespace {

// One huge page, aligned as one, where the system offers them: a direct read into it goes to
// the disk as a single piece, where scattered small pages split it and take twice as long.
constexpr std::size_t kBufferSize = 2 << 20;
constexpr std::size_t kWritebackPiece = 2 << 20;
constexpr unsigned kNameAttempts = 100;

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
// another user's file), and its group where this process belongs to it; what cannot be set
// stays this process's.
void keepOwner(int fd, const struct stat& original) {
  if (::fchown(fd, original.st_uid, original.st_gid) == 0) return;
  if (::fchown(fd, uid_t(-1), original.st_gid) != 0) return;
}

// A name this process may not set (trusted.*, another's security label) or that the file
// system does not keep is left off; any other failure fails the save.
bool skippableAttributeError(int error) {
  return error == EPERM || error == EACCES || error == ENOTSUP || error == ENODATA;
}

// Every extended attribute of the file at `from` onto `to`; 0, or the errno that stopped it.
// A POSIX ACL is the attribute system.posix_acl_access and comes along with the rest.
int copyExtendedAttributes(const std::string& from, int to) {
  std::vector<char> names;
  for (;;) {
    const ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
    if (size < 0) return skippableAttributeError(errno) ? 0 : errno;
    if (size == 0) return 0;
    names.resize(std::size_t(size));
    const ssize_t got = ::listxattr(from.c_str(), names.data(), names.size());
    if (got >= 0) {
      names.resize(std::size_t(got));
      break;
    }
    if (errno != ERANGE) return errno;  // ERANGE: the list grew in between
  }
  std::vector<char> value;
  for (std::size_t at = 0; at < names.size();) {
    const char* name = names.data() + at;
    at += std::strlen(name) + 1;
    ssize_t size = ::getxattr(from.c_str(), name, nullptr, 0);
    if (size >= 0) {
      value.resize(std::size_t(size));
      size = ::getxattr(from.c_str(), name, value.data(), value.size());
    }
    if (size < 0) {
      if (skippableAttributeError(errno)) continue;
      return errno;
    }
    if (::fsetxattr(to, name, value.data(), std::size_t(size), 0) != 0 &&
        !skippableAttributeError(errno)) {
      return errno;
    }
  }
  return 0;
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

// Letters or digits that differ from call to call; a clash is retried by the caller.
std::string randomSuffix(unsigned attempt, std::size_t length) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::uint64_t seed = std::uint64_t(::getpid()) << 32 ^ attempt;
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  seed ^= std::uint64_t(now.tv_sec) * 1000000007u ^ std::uint64_t(now.tv_nsec);
  std::string suffix(length, 'X');
  for (char& c : suffix) {
    seed = seed * 6364136223846793005u + 1442695040888963407u;
    c = kLetters[(seed >> 33) % (sizeof kLetters - 1)];
  }
  return suffix;
}

// A hidden name beside the destination, never longer than the destination's own (but for
// a one-letter name), so that a name the file system takes is never refused for its temporary.
std::string temporaryName(const std::string& destination, unsigned attempt) {
  constexpr std::string_view kPrefix = ".tfe-";
  constexpr std::size_t kRandom = 6;
  const std::size_t length = fileNameOf(destination).size();
  const std::string name = length >= kPrefix.size() + kRandom
                               ? std::string(kPrefix) + randomSuffix(attempt, kRandom)
                               : "." + randomSuffix(attempt, std::max<std::size_t>(length, 2) - 1);
  return folderOf(destination) + "/" + name;
}

bool namedTemporaryForced() {
  const char* value = std::getenv(kNamedTemporaryVariable);
  return value != nullptr && *value != '\0';
}

// The number after `prefix` in `path`, as a descriptor; -1 when the rest is not one.
int descriptorAfter(std::string_view path, std::string_view prefix) {
  if (!path.starts_with(prefix) || path.size() == prefix.size()) return -1;
  const std::string_view digits = path.substr(prefix.size());
  int fd = -1;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), fd);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.front() == '+') {
    return -1;
  }
  return fd;
}

struct stat* statFollowing(const std::string& destination, struct stat& st) {
  const LinkEnd end = followLinks(destination);
  if (end.problem || ::stat(end.path.c_str(), &st) != 0) return nullptr;
  return &st;
}

}  // namespace

int ownDescriptorNamed(const std::string& path) {
  int fd = -1;
  if (path == "/dev/stdout") {
    fd = STDOUT_FILENO;
  } else if (path == "/dev/stderr") {
    fd = STDERR_FILENO;
  } else if (fd = descriptorAfter(path, "/dev/fd/"); fd < 0) {
    if (fd = descriptorAfter(path, "/proc/self/fd/"); fd < 0) {
      const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd/";
      fd = descriptorAfter(path, own);
    }
  }
  if (fd < 0) return -1;
  return ::fcntl(fd, F_GETFD) == -1 ? -2 : fd;
}

std::uint64_t otherHardLinks(const std::string& destination) {
  if (ownDescriptorNamed(destination) != -1) return 0;
  struct stat st {};
  if (statFollowing(destination, st) == nullptr || !S_ISREG(st.st_mode)) return 0;
  return st.st_nlink > 1 ? std::uint64_t(st.st_nlink - 1) : 0;
}

bool namesFile(const std::string& destination, std::uint64_t device, std::uint64_t inode) {
  struct stat st {};
  return statFollowing(destination, st) != nullptr && std::uint64_t(st.st_dev) == device &&
         std::uint64_t(st.st_ino) == inode;
}

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
  borrowed_ = false;
  replaces_ = false;
  problem_ = {};
  written_ = Crc32();
  writtenSize_ = 0;
  readBackDiffered_ = false;
  if (destination.empty()) return fail(FileProblem::system(ENOENT));
  if (destination.back() == '/') return fail(FileProblem::system(EISDIR));
  // Renaming over what such a name leads to would drop what a shell set up: an append, or
  // the rest of a redirected group's output.
  if (const int fd = ownDescriptorNamed(destination); fd != -1) {
    destination_ = destination;
    return fd < 0 ? fail(FileProblem::system(EBADF)) : openDescriptor(fd);
  }

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
  replaces_ = exists;
  mode_ = mode;
  if (!createTemporary(mode)) return false;
  // Owner first: a change of owner clears the set-user-ID and set-group-ID bits.
  if (exists) keepOwner(fd_, st);
  // A file that would appear with another mode than the one it replaces fails the save.
  if (::fchmod(fd_, mode) != 0) {
    fail(FileProblem::system(errno));
    discard();
    return false;
  }
  startBuffer();
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
  startBuffer();
  return true;
}

bool OutputFile::openDescriptor(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0) return fail(FileProblem::system(errno));
  if ((flags & O_ACCMODE) == O_RDONLY) return fail(FileProblem::system(EBADF));
  fd_ = fd;
  direct_ = true;
  borrowed_ = true;
  startBuffer();
  return true;
}

bool OutputFile::createTemporary(unsigned mode) {
  const std::string folder = folderOf(destination_);
#ifdef O_TMPFILE
  // Anonymous until complete: a process killed while writing leaves nothing behind. Naming
  // it at the end goes through /proc, so without /proc the file is named from the start.
  if (!namedTemporaryForced() && ::access("/proc/self/fd", F_OK) == 0) {
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
  return createNamed(mode);
}

bool OutputFile::createNamed(unsigned mode) {
  for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = temporaryName(destination_, attempt);
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode_t(mode & 0600));
    if (fd >= 0) {
      fd_ = fd;
      tempPath_ = name;
      return true;
    }
    if (errno != EEXIST) return fail(FileProblem::system(errno));
  }
  return fail(FileProblem::system(EEXIST));
}

// Gives the complete anonymous file a temporary name beside the destination, for the rename.
bool OutputFile::nameAnonymousFile() {
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = temporaryName(destination_, attempt);
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

void OutputFile::startBuffer() {
  // Left unfilled: every byte is written before it is read.
  if (!buffer_) {
    buffer_.reset(static_cast<std::uint8_t*>(std::aligned_alloc(kBufferSize, kBufferSize)));
    if (!buffer_) throw std::bad_alloc();
    ::madvise(buffer_.get(), kBufferSize, MADV_HUGEPAGE);
  }
  used_ = 0;
  inFile_ = 0;
  writebackFrom_ = 0;
}

bool OutputFile::flushBuffer() {
  const std::size_t size = used_;
  used_ = 0;
  return writeOut(buffer_.get(), size);
}

bool OutputFile::writeOut(const std::uint8_t* bytes, std::size_t size) {
  while (size > 0) {
    const std::size_t piece = std::min(size, kWritebackPiece);
    if (const int error = writeAll(fd_, bytes, piece)) return fail(FileProblem::system(error));
    bytes += piece;
    size -= piece;
    inFile_ += piece;
    // The disk starts on each whole piece while the next is written, so the sync at the end
    // has little left to wait for and the read-back finds the data settled. Only a hint: where
    // the system refuses it, the sync does all the work as before.
    if (!direct_ && inFile_ - writebackFrom_ >= kWritebackPiece) {
      ::sync_file_range(fd_, off_t(writebackFrom_), off_t(inFile_ - writebackFrom_),
                        SYNC_FILE_RANGE_WRITE);
      writebackFrom_ = inFile_;
    }
  }
  return true;
}

bool OutputFile::placeable() const {
  return fd_ >= 0 && !failed_ && !direct_ && !borrowed_ && tempPath_.empty() && writtenSize_ == 0;
}

int OutputFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) const {
  while (!bytes.empty()) {
    const ssize_t n =
        ::pwrite(fd_, bytes.data(), std::min(bytes.size(), kWritebackPiece), off_t(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    // Each piece is started on the disk at once, as a sequential write's are.
    ::sync_file_range(fd_, off_t(offset), off_t(n), SYNC_FILE_RANGE_WRITE);
    offset += std::uint64_t(n);
    bytes = bytes.subspan(std::size_t(n));
  }
  return 0;
}

bool OutputFile::writeAround(std::span<const std::uint8_t> bytes,
                             std::span<const FileRange> present) {
  if (!placeable()) return fail(FileProblem::system(EBADF));
  // The sum to compare the read-back with is wanted only when that ends: it is taken
  // meanwhile, while the file is written and synced.
  try {
    summing_ = std::thread([this, bytes] { written_.update(bytes); });
  } catch (const std::exception&) {  // no thread to be had: summed here
    written_.update(bytes);
  }
  writtenSize_ = bytes.size();
  std::uint64_t at = 0;
  const auto fillTo = [&](std::uint64_t end) {
    end = std::min<std::uint64_t>(end, bytes.size());
    if (end <= at) return 0;
    const int error = writeAt(at, bytes.subspan(std::size_t(at), std::size_t(end - at)));
    at = end;
    return error;
  };
  for (const FileRange& range : present) {
    if (const int error = fillTo(range.begin)) return fail(FileProblem::system(error));
    at = std::max(at, range.end);
  }
  if (const int error = fillTo(bytes.size())) return fail(FileProblem::system(error));
  // Early pieces may have reached past what the file keeps.
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return fail(FileProblem::system(errno));
  if (std::uint64_t(st.st_size) > bytes.size() && ::ftruncate(fd_, off_t(bytes.size())) != 0) {
    return fail(FileProblem::system(errno));
  }
  inFile_ = writebackFrom_ = bytes.size();
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
  if (size >= kBufferSize) {
    // A large block goes straight to the file rather than through the buffer.
    return flushBuffer() && writeOut(bytes, size);
  }
  if (size > kBufferSize - used_ && !flushBuffer()) return false;
  std::memcpy(buffer_.get() + used_, bytes, size);
  used_ += size;
  return true;
}

bool OutputFile::commit() {
  if (fd_ < 0) {
    failed_ = true;
    return false;
  }
  bool ok = !failed_ && flushBuffer();
  // Attributes go on last: a write by a process without privilege clears set-ID bits.
  if (ok && !direct_ && replaces_) ok = keepAttributes();
  // A device or pipe may not support syncing; what it was given is all there is.
  if (ok && !direct_ && ::fsync(fd_) != 0) ok = fail(FileProblem::system(errno));
  // The read-back needs the file open for reading: both kinds of temporary file are.
  if (ok && !direct_) ok = readBack();
  if (ok && !direct_ && tempPath_.empty()) ok = nameAnonymousFile();
  if (!borrowed_ && ::close(fd_) != 0 && ok) ok = fail(FileProblem::system(errno));
  fd_ = -1;
  if (ok && !direct_ && std::rename(tempPath_.c_str(), destination_.c_str()) != 0) {
    ok = fail(FileProblem::system(errno));
  }
  if (ok && !direct_) {
    tempPath_.clear();
    // The file is complete and in place; only its surviving a power cut is in doubt.
    ok = syncFolder();
  }
  if (!ok) failed_ = true;
  discard();
  return ok;
}

bool OutputFile::keepAttributes() {
  if (const int error = copyExtendedAttributes(destination_, fd_)) {
    return fail(FileProblem::system(error));
  }
  // An ACL just copied sets the mode bits too; this puts back exactly the old file's mode.
  if (::fchmod(fd_, mode_t(mode_)) != 0) return fail(FileProblem::system(errno));
  return true;
}

// Makes the rename itself durable.
bool OutputFile::syncFolder() {
  const std::string folder = folderOf(destination_);
  int error = faultAt(OutputStep::SyncFolder);
  if (error == 0) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) error = errno;
    if (fd >= 0) ::close(fd);
  }
  // Some file systems cannot sync a folder at all; their renames are as durable as they get.
  if (error == 0 || error == EINVAL || error == EROFS) return true;
  FileProblem problem{FileProblem::Kind::NotDurable, error, folder};
  return fail(std::move(problem));
}

bool OutputFile::readBack() {
  // The pages are clean after the sync; dropping them makes the re-read come from the disk
  // wherever the system allows it, not from what was just handed over.
  ::posix_fadvise(fd_, 0, 0, POSIX_FADV_DONTNEED);
  // Read past the cache where the file system allows it: the bytes come from the disk itself,
  // and the file's pages are neither filled again nor left for a later replace to free. A
  // descriptor the process already held keeps its flags, shared as they are.
  const int flags = borrowed_ ? -1 : ::fcntl(fd_, F_GETFL);
  bool uncached = flags >= 0 && ::fcntl(fd_, F_SETFL, flags | O_DIRECT) == 0;
  Crc32 read;
  std::uint64_t offset = 0;
  while (offset <= writtenSize_) {
    const int fault = faultAt(OutputStep::ReadBack);
    const ssize_t n =
        fault != 0 ? (errno = fault, -1) : ::pread(fd_, buffer_.get(), kBufferSize, off_t(offset));
    if (n < 0 && errno == EINTR) continue;
    // A direct read is refused where the offset is off the block (the end of a file of odd
    // length) or the file system will not read so: the rest goes through the cache.
    if (n < 0 && errno == EINVAL && fault == 0 && uncached) {
      uncached = false;
      if (::fcntl(fd_, F_SETFL, flags) == 0) continue;
      errno = EINVAL;
    }
    // What could not be read was not confirmed, and the system's reason goes with it.
    if (n < 0) {
      readBackDiffered_ = true;
      return fail(FileProblem::system(errno));
    }
    if (n == 0) break;
    const std::span<std::uint8_t> chunk(buffer_.get(), std::size_t(n));
    if (readBackFilter_) readBackFilter_(offset, chunk);
    read.update(chunk);
    offset += std::uint64_t(n);
  }
  if (uncached) ::fcntl(fd_, F_SETFL, flags);
  // A read that fails part-way leaves the length short: what is on disk was not confirmed.
  awaitSum();
  readBackDiffered_ = offset != writtenSize_ || read.value() != written_.value();
  return !readBackDiffered_;
}

void OutputFile::awaitSum() {
  if (summing_.joinable()) summing_.join();
}

void OutputFile::discard() {
  awaitSum();
  if (fd_ >= 0) {
    if (!borrowed_) ::close(fd_);
    fd_ = -1;
  }
  if (!tempPath_.empty()) {
    // Tried twice, as a busy or briefly failing file system may refuse once; a file that
    // still stays is reported, not left unmentioned.
    int error = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
      error = faultAt(OutputStep::RemoveTemporary);
      if (error == 0 && ::unlink(tempPath_.c_str()) != 0 && errno != ENOENT) error = errno;
      if (error == 0) break;
    }
    if (error != 0) {
      failed_ = true;
      problem_.leftover = tempPath_;
      problem_.leftoverError = error;
    }
    tempPath_.clear();
  }
  buffer_.reset();
  used_ = 0;
}

}  // namespace tavufe
