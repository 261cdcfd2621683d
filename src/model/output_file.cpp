#include "model/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tavufe {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

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

// A new file gets the mode a plain create would have given it; an existing one keeps its own.
mode_t modeFor(const std::string& destination) {
  struct stat st {};
  if (::stat(destination.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

bool OutputFile::open(const std::string& destination) {
  discard();
  failed_ = false;
  destination_ = destination;
  if (destination.empty() || destination.back() == '/') return false;
  // Refuse a destination that is a folder: renaming over it would fail only at the end.
  struct stat st {};
  if (::stat(destination.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return false;

  std::string pattern = folderOf(destination) + "/." + fileNameOf(destination) + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  fd_ = fd;
  tempPath_.assign(name.data());
  ::fchmod(fd_, modeFor(destination));
  buffer_.resize(kBufferSize);
  used_ = 0;
  return true;
}

bool OutputFile::flushBuffer() {
  std::size_t done = 0;
  while (done < used_) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, used_ - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      return false;
    }
    if (n == 0) {
      failed_ = true;
      return false;
    }
    done += std::size_t(n);
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
  while (size > 0) {
    if (used_ == buffer_.size() && !flushBuffer()) return false;
    const std::size_t room = buffer_.size() - used_;
    const std::size_t take = size < room ? size : room;
    std::memcpy(buffer_.data() + used_, bytes, take);
    used_ += take;
    bytes += take;
    size -= take;
  }
  return true;
}

bool OutputFile::commit() {
  if (fd_ < 0) return false;
  bool ok = !failed_ && flushBuffer() && ::fsync(fd_) == 0;
  if (::close(fd_) != 0) ok = false;
  fd_ = -1;
  if (ok && std::rename(tempPath_.c_str(), destination_.c_str()) != 0) ok = false;
  if (!ok) {
    failed_ = true;
    ::unlink(tempPath_.c_str());
  }
  tempPath_.clear();
  buffer_.clear();
  buffer_.shrink_to_fit();
  return ok;
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
  used_ = 0;
}

}  // namespace tavufe
