// The read-back reads past the cache (O_DIRECT) into one buffer on a 2 MiB page where the file
// system allows it, measured to save a tenth of an export; the comparison is the same either
// way. Invariant: the buffer is aligned and sized for a direct read, and a direct read the
// system refuses part-way falls back to the cache for the rest, never to an unchecked byte.
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
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <exception>
#include <new>
#include <optional>
#include <string_view>

#include "editor/seams.h"

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

bool allDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The process whose descriptors the folder lists: /proc/PID/fd or /proc/PID/task/TID/fd, with
// links resolved. 0 for any other folder.
long descriptorFolderProcess(std::string_view folder) {
  if (!folder.starts_with("/proc/") || !folder.ends_with("/fd")) return 0;
  folder = folder.substr(6, folder.size() - 9);
  const std::string_view pid = folder.substr(0, folder.find('/'));
  const std::string_view rest = folder.substr(pid.size());
  if (!allDigits(pid) || pid.size() > 9) return 0;
  if (!rest.empty() && !(rest.starts_with("/task/") && allDigits(rest.substr(6)))) return 0;
  return std::stol(std::string(pid));
}

// Where an output path leads: a path with every link resolved (its last part need not exist),
// or a descriptor of a process.
struct PathEnd {
  std::string path;
  long process = 0;  // the owner of the descriptor `fd`; 0 for a path
  int fd = -1;
  FileProblem problem;
};

// The path with repeated slashes and "." parts taken out: the spellings of one name.
std::string collapsed(std::string_view path) {
  std::string out = path.starts_with('/') ? "/" : "";
  for (std::size_t at = 0; at < path.size();) {
    const std::size_t slash = std::min(path.find('/', at), path.size());
    const std::string_view part = path.substr(at, slash - at);
    at = slash + 1;
    if (part.empty() || part == ".") continue;
    if (!out.empty() && out.back() != '/') out += '/';
    out += part;
  }
  return out;
}

// This process's descriptors by the names that need no /proc to tell.
int descriptorSpelled(const std::string& path) {
  const std::string name = collapsed(path);
  if (name == "/dev/stdout") return STDOUT_FILENO;
  if (name == "/dev/stderr") return STDERR_FILENO;
  for (const std::string& folder :
       {std::string("/dev/fd/"), std::string("/proc/self/fd/"),
        std::string("/proc/thread-self/fd/"), "/proc/" + std::to_string(::getpid()) + "/fd/"}) {
    if (name.starts_with(folder) && allDigits(std::string_view(name).substr(folder.size())) &&
        name.size() - folder.size() <= 9) {
      return std::stoi(name.substr(folder.size()));
    }
  }
  return -1;
}

// `folder` and `part` as one path; an empty folder is the working folder.
std::string joined(const std::string& folder, std::string_view part) {
  if (folder.empty()) return std::string(part);
  return folder.back() == '/' ? folder + std::string(part) : folder + "/" + std::string(part);
}

// The folder above `path`, whose parts are all real folders by now, so that ".." can be taken
// off by its letters.
std::string parentOf(const std::string& path) {
  if (path == "/") return path;
  if (path.empty() || path == ".." || path.ends_with("/..")) return joined(path, "..");
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Walks the path part by part as the kernel's lookup does, following each symbolic link on the
// way (not only the last) under the protected-symlinks rule, and stopping at a name of a
// process's descriptor, whose magic link only the kernel can follow. A loop fails with ELOOP.
PathEnd resolvePath(const std::string& path) {
  if (const int fd = descriptorSpelled(path); fd >= 0) return {path, long(::getpid()), fd, {}};
  std::deque<std::string> rest;
  const auto pushFront = [&rest](std::string_view text) {
    std::deque<std::string> parts;
    for (std::size_t at = 0; at <= text.size();) {
      const std::size_t slash = std::min(text.find('/', at), text.size());
      parts.emplace_back(text.substr(at, slash - at));
      at = slash + 1;
    }
    rest.insert(rest.begin(), parts.begin(), parts.end());
  };
  pushFront(path);
  std::string done = path.starts_with('/') ? "/" : "";
  for (int hops = 0; !rest.empty();) {
    const std::string part = std::move(rest.front());
    rest.pop_front();
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      done = parentOf(done);
      continue;
    }
    const std::string next = joined(done, part);
    if (const long process = descriptorFolderProcess(done);
        process > 0 && allDigits(part) && part.size() <= 9 && rest.empty()) {
      return {next, process, std::stoi(part), {}};
    }
    struct stat st {};
    const bool last = std::all_of(rest.begin(), rest.end(),
                                  [](const std::string& p) { return p.empty() || p == "."; });
    if (::lstat(next.c_str(), &st) != 0) {
      // Only the last part may be missing: it is the file to create.
      if (!last) return {path, 0, -1, FileProblem::system(errno)};
      done = next;
      continue;
    }
    if (!S_ISLNK(st.st_mode)) {
      if (!last && !S_ISDIR(st.st_mode)) return {path, 0, -1, FileProblem::system(ENOTDIR)};
      done = next;
      continue;
    }
    if (++hops > kMaxLinkHops) return {path, 0, -1, FileProblem::system(ELOOP)};
    if (const FileProblem problem = checkMayFollow(st, done.empty() ? "." : done)) {
      return {path, 0, -1, problem};
    }
    char target[PATH_MAX];
    const ssize_t n = ::readlink(next.c_str(), target, sizeof target - 1);
    if (n < 0) return {path, 0, -1, FileProblem::system(errno)};
    if (n == 0) return {path, 0, -1, FileProblem::system(ENOENT)};
    const std::string_view to(target, std::size_t(n));
    if (to.starts_with('/')) done = "/";
    pushFront(to);
    // A link to /dev/stdout and the like names this process's descriptor even where /proc
    // counts processes differently from getpid().
    if (done == "/") {
      std::string whole;
      for (const std::string& p : rest) whole += "/" + p;
      if (const int fd = descriptorSpelled(whole); fd >= 0) {
        return {path, long(::getpid()), fd, {}};
      }
    }
  }
  return {done.empty() ? "." : done, 0, -1, {}};
}

// A new file gets the mode a plain create would have given it; an existing one keeps its own.
mode_t modeFor(const struct stat* existing) {
  if (existing != nullptr) return existing->st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The ACL's grants to the owning group, as the mode's group bits would give them: its owning
// group's entry within its mask. Nothing when the value is no ACL of the kernel's form.
std::optional<mode_t> aclGroupBits(std::span<const char> acl) {
  // A version word (2), then entries of a tag, permissions and an id, each little-endian.
  constexpr std::size_t kEntrySize = 8;
  const auto word = [&acl](std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t k = size; k-- > 0;) value = value << 8 | std::uint8_t(acl[at + k]);
    return value;
  };
  if (acl.size() < 4 || (acl.size() - 4) % kEntrySize != 0 || word(0, 4) != 2) return {};
  constexpr std::uint32_t kGroupObject = 0x04, kMask = 0x10;
  std::optional<mode_t> group;
  mode_t mask = 07;
  for (std::size_t at = 4; at < acl.size(); at += kEntrySize) {
    const std::uint32_t tag = word(at, 2);
    const auto permissions = mode_t(word(at + 2, 2) & 07);
    if (tag == kGroupObject) group = permissions;
    if (tag == kMask) mask = permissions;
  }
  if (!group) return {};
  return (*group & mask) << 3;
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

bool namedTemporaryForced() { return seams::namedTemporary && seams::namedTemporary(); }

int faultAt(OutputStep step) { return seams::outputFault ? seams::outputFault(step) : 0; }

struct stat* statFollowing(const std::string& destination, struct stat& st) {
  const PathEnd end = resolvePath(destination);
  if (end.problem || end.fd >= 0 || ::stat(end.path.c_str(), &st) != 0) return nullptr;
  return &st;
}

}  // namespace

int ownDescriptorNamed(const std::string& path) {
  const PathEnd end = resolvePath(path);
  if (end.fd < 0 || end.process != long(::getpid())) return -1;
  return ::fcntl(end.fd, F_GETFD) == -1 ? -2 : end.fd;
}

std::uint64_t otherHardLinks(const std::string& destination) {
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
  truncatePending_ = false;
  problem_ = {};
  dropped_ = {};
  written_ = Crc32();
  writtenSize_ = 0;
  readBackDiffered_ = false;
  if (destination.empty()) return fail(FileProblem::system(ENOENT));
  if (destination.back() == '/') return fail(FileProblem::system(EISDIR));
  const PathEnd end = resolvePath(destination);
  if (end.problem) return fail(end.problem);
  // Renaming over what a descriptor's name leads to would drop what a shell set up: an append,
  // or the rest of a redirected group's output. Another process's descriptor (its file perhaps
  // deleted) is opened through the kernel's link and written in place.
  if (end.fd >= 0) {
    destination_ = end.path;
    if (end.process != long(::getpid())) return openDirect();
    if (::fcntl(end.fd, F_GETFD) == -1) return fail(FileProblem::system(EBADF));
    return openDescriptor(end.fd);
  }
  destination_ = end.path;
  // A device, pipe or terminal cannot be replaced by renaming: it is written as it is.
  struct stat st {};
  const bool exists = ::stat(destination_.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return openDirect();
  // Refuse what a create-or-truncate would refuse, here rather than only at the rename:
  // a folder, or an existing file that may not be written.
  if (exists && S_ISDIR(st.st_mode)) return fail(FileProblem::system(EISDIR));
  if (exists && ::access(destination_.c_str(), W_OK) != 0) return fail(FileProblem::system(errno));

  replaces_ = exists;
  mode_ = modeFor(exists ? &st : nullptr);
  if (exists) {
    ownerId_ = st.st_uid;
    groupId_ = st.st_gid;
  }
  folderFd_ = ::open(folderOf(destination_).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folderFd_ < 0) return fail(FileProblem::system(errno));
  if (!createTemporary()) return false;
  startBuffer();
  return true;
}

bool OutputFile::openDirect() {
  struct stat st {};
  const bool pipe = ::stat(destination_.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
  // Not blocking: a pipe with no reader gives ENXIO at once instead of waiting for one. Not
  // truncated yet: a save refused before its first byte leaves the file as it was.
  const int fd = ::open(destination_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    if (pipe && errno == ENXIO) return fail({FileProblem::Kind::NoReader});
    return fail(FileProblem::system(errno));
  }
  // A terminal would only show the bytes as noise, and could act on some of them.
  if (::isatty(fd) == 1) {
    ::close(fd);
    return fail({FileProblem::Kind::TerminalNamed});
  }
  // A reader is there: from now on each write waits for it to take the bytes.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  fd_ = fd;
  direct_ = true;
  truncatePending_ = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  startBuffer();
  return true;
}

bool OutputFile::openDescriptor(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0) return fail(FileProblem::system(errno));
  if ((flags & O_ACCMODE) == O_RDONLY) return fail(FileProblem::system(EBADF));
  if (::isatty(fd) == 1) {
    return fail(
        {fd == STDOUT_FILENO ? FileProblem::Kind::Terminal : FileProblem::Kind::TerminalNamed});
  }
  fd_ = fd;
  direct_ = true;
  borrowed_ = true;
  startBuffer();
  return true;
}

// Owner only, whatever the destination's mode: nobody else can open the file while it is
// written, nor keep a descriptor of it to write through after it is named.
constexpr mode_t kTemporaryMode = 0600;

bool OutputFile::createTemporary() {
#ifdef O_TMPFILE
  // Anonymous until complete: a process killed while writing leaves nothing behind. Naming
  // it at the end goes through /proc, so without /proc the file is named from the start.
  if (!namedTemporaryForced() && ::access("/proc/self/fd", F_OK) == 0) {
    const int anonymous = ::openat(folderFd_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, kTemporaryMode);
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
  return createNamed();
}

bool OutputFile::createNamed() {
  for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = temporaryName(destination_, attempt);
    const int fd = ::openat(folderFd_, fileNameOf(name).c_str(),
                            O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kTemporaryMode);
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
    const std::string leaf = fileNameOf(name);
    int rc = ::linkat(AT_FDCWD, self.c_str(), folderFd_, leaf.c_str(), AT_SYMLINK_FOLLOW);
    if (rc != 0 && errno != EEXIST) {
      // A process that may link by descriptor still can; otherwise the first reason stands.
      const int viaProc = errno;
      rc = ::linkat(fd_, "", folderFd_, leaf.c_str(), AT_EMPTY_PATH);
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
  if (truncatePending_) {
    truncatePending_ = false;
    if (::ftruncate(fd_, 0) != 0) return fail(FileProblem::system(errno));
  }
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
  // A device or pipe may not support syncing; what it was given is all there is.
  if (ok && !direct_ && ::fsync(fd_) != 0) ok = fail(FileProblem::system(errno));
  // Owner, attributes and mode only once the data is final and on disk, and synced in turn.
  if (ok && !direct_)
    ok = keepMetadata() && (::fsync(fd_) == 0 || fail(FileProblem::system(errno)));
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

// Metadata that could not be kept: the save stops there, unless told to go on without it, and
// then only the first loss is told.
bool OutputFile::lost(FileProblem::Kind what, int error) {
  if (lostMetadata_ == LostMetadata::Refuse) return fail({what, error});
  if (!dropped_) dropped_ = {what, error};
  return true;
}

// What the replaced file had, put on the temporary one: owner and group, extended attributes
// (its ACL among them), then its mode. Each step grants at most what the old file granted:
// until the last, nobody but the owner has any access.
bool OutputFile::keepMetadata() {
  using Kind = FileProblem::Kind;
  auto mode = mode_t(mode_);
  if (!replaces_) return ::fchmod(fd_, mode) == 0 || fail(FileProblem::system(errno));
  if (::fchmod(fd_, mode & 0700) != 0) return fail(FileProblem::system(errno));
  struct stat now {};
  if (::fstat(fd_, &now) != 0) return fail(FileProblem::system(errno));
  const auto chown = [this](uid_t owner, gid_t group) {
    const int fault = faultAt(OutputStep::SetOwner);
    if (fault != 0) return fault;
    return ::fchown(fd_, owner, group) == 0 ? 0 : errno;
  };
  if (now.st_uid != uid_t(ownerId_) || now.st_gid != gid_t(groupId_)) {
    int error = chown(uid_t(ownerId_), gid_t(groupId_));
    // EPERM: no privilege to give a file away, and then the file is this user's as any file
    // they write; its group is still kept where they belong to it.
    if (error == EPERM && now.st_gid != gid_t(groupId_)) {
      error = chown(uid_t(-1), gid_t(groupId_));
      if (error == EPERM) error = 0;
    } else if (error == EPERM) {
      error = 0;
    } else if (error != 0) {
      if (!lost(Kind::OwnerNotKept, error)) return false;
      // Kept by no one: the set-user-ID bit would now run as this user.
      mode &= ~mode_t(S_ISUID);
      error = chown(uid_t(-1), gid_t(groupId_));
    }
    if (error != 0) {
      if (!lost(Kind::GroupNotKept, error)) return false;
      mode &= ~mode_t(S_ISGID | 070);
    }
  }
  return keepAttributes(mode);
}

bool OutputFile::keepAttributes(unsigned attributesMode) {
  auto mode = mode_t(attributesMode);
  using Kind = FileProblem::Kind;
  static constexpr char kAcl[] = "system.posix_acl_access";
  std::vector<char> names;
  for (;;) {
    ssize_t size = ::listxattr(destination_.c_str(), nullptr, 0);
    if (size > 0) {
      names.resize(std::size_t(size));
      size = ::listxattr(destination_.c_str(), names.data(), names.size());
    }
    if (size >= 0) {
      names.resize(std::size_t(size));
      break;
    }
    // A file system without attributes has none to keep; ERANGE: the list grew in between.
    const int error = errno;
    if (error == ERANGE) continue;
    names.clear();
    if (error != ENOTSUP && !lost(Kind::AttributesNotKept, error)) return false;
    break;
  }
  bool aclPlaced = false;
  std::vector<char> value;
  std::vector<char> present;
  for (std::size_t at = 0; at < names.size();) {
    const char* name = names.data() + at;
    at += std::strlen(name) + 1;
    const bool acl = std::strcmp(name, kAcl) == 0;
    const Kind kind = acl ? Kind::AccessListNotKept : Kind::AttributesNotKept;
    ssize_t size = ::getxattr(destination_.c_str(), name, nullptr, 0);
    if (size >= 0) {
      value.resize(std::size_t(size));
      size = ::getxattr(destination_.c_str(), name, value.data(), value.size());
    }
    if (size < 0 && errno == ENODATA) continue;  // gone since it was listed
    if (size < 0) {
      if (!lost(kind, errno)) return false;
      if (acl) mode &= ~mode_t(070);
      continue;
    }
    value.resize(std::size_t(size));
    // One the new file has already, such as the label the folder gives, is left as it is.
    present.resize(value.size() + 1);
    if (::fgetxattr(fd_, name, present.data(), present.size()) == size &&
        std::equal(value.begin(), value.end(), present.begin())) {
      aclPlaced = aclPlaced || acl;
      continue;
    }
    int error = faultAt(OutputStep::SetAttributes);
    if (error == 0 && ::fsetxattr(fd_, name, value.data(), value.size(), 0) != 0) error = errno;
    if (error == 0) {
      aclPlaced = aclPlaced || acl;
      continue;
    }
    if (!lost(kind, error)) return false;
    // Without its ACL the group bits, which were its mask, would open the file to the whole
    // owning group: they keep only what the ACL gave that group.
    if (acl) mode = (mode & ~mode_t(070)) | aclGroupBits(value).value_or(0);
  }
  // An ACL the folder passed on to the new file, where the old one had none or its own was not
  // kept, would grant more.
  if (!aclPlaced && ::fremovexattr(fd_, kAcl) != 0 && errno != ENODATA && errno != ENOTSUP) {
    return fail(FileProblem::system(errno));
  }
  // Last: the old file's exact mode (an ACL just copied set the group bits as its mask).
  if (::fchmod(fd_, mode) != 0) return fail(FileProblem::system(errno));
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
    if (seams::readBackChunk) seams::readBackChunk(offset, chunk);
    read.update(chunk);
    offset += std::uint64_t(n);
  }
  if (uncached) ::fcntl(fd_, F_SETFL, flags);
  // A read that fails part-way leaves the length short: what is on disk was not confirmed.
  readBackDiffered_ = offset != writtenSize_ || read.value() != written_.value();
  return !readBackDiffered_;
}

void OutputFile::discard() {
  if (fd_ >= 0) {
    if (!borrowed_) ::close(fd_);
    fd_ = -1;
  }
  if (!tempPath_.empty()) {
    // Tried twice, as a busy or briefly failing file system may refuse once; a file that
    // still stays is reported, not left unmentioned.
    int error = 0;
    // Through the folder's descriptor: a folder moved meanwhile still loses the file.
    const std::string leaf = fileNameOf(tempPath_);
    for (int attempt = 0; attempt < 2; ++attempt) {
      error = faultAt(OutputStep::RemoveTemporary);
      if (error == 0 && ::unlinkat(folderFd_, leaf.c_str(), 0) != 0 && errno != ENOENT) {
        error = errno;
      }
      if (error == 0) break;
    }
    if (error != 0) {
      failed_ = true;
      problem_.leftover = tempPath_;
      problem_.leftoverError = error;
    }
    tempPath_.clear();
  }
  if (folderFd_ >= 0) {
    ::close(folderFd_);
    folderFd_ = -1;
  }
  buffer_.reset();
  used_ = 0;
}

}  // namespace tavufe
