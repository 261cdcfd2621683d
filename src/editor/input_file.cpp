#include "editor/input_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <limits>
#include <new>

namespace tavufe {

namespace {

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

  std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size]);
  if (!bytes) return fail(StatusCode::BufferError, ENOMEM);
  if (std::fread(bytes.get(), 1, size, file.get()) != size) {
    return fail(StatusCode::FileNotOpened, errno);
  }
  buffer.bytes = std::move(bytes);
  buffer.size = size;
  return buffer;
}

}  // namespace tavufe
