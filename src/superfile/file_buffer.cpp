#include "superfile/file_buffer.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <limits>
#include <new>

#include "superfile/header_block.h"

namespace tavufe {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

FileBuffer readWholeFile(EditorState& state, const std::string& path) {
  state.status = StatusCode::None;
  state.systemError = 0;
  FileBuffer buffer;

  FileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    state.status = StatusCode::FileNotOpened;
    state.systemError = errno;
    return buffer;
  }
  // A folder or a device may open for reading but has no size to trust.
  struct stat info {};
  if (::fstat(::fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode) ||
      std::fseek(file.get(), 0, SEEK_END) != 0) {
    state.status = StatusCode::FileNotOpened;
    state.systemError = S_ISDIR(info.st_mode) ? EISDIR : errno;
    return buffer;
  }
  const long end = std::ftell(file.get());
  if (end <= 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
    state.status = StatusCode::FileNotOpened;
    return buffer;
  }
  if (static_cast<unsigned long>(end) > std::numeric_limits<std::size_t>::max()) {
    state.status = StatusCode::BufferError;
    return buffer;
  }
  const std::size_t size = static_cast<std::size_t>(end);

  std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[size]);
  if (!bytes) {
    state.status = StatusCode::BufferError;
    return buffer;
  }
  if (std::fread(bytes.get(), 1, size, file.get()) != size) {
    state.status = StatusCode::FileNotOpened;
    state.systemError = std::ferror(file.get()) ? errno : EIO;
    return buffer;
  }
  buffer.bytes = std::move(bytes);
  buffer.size = size;
  return buffer;
}

FileBuffer beginSuperfileRead(EditorState& state, Progress& progress) {
  FileBuffer file = readWholeFile(state, state.currentPath);
  if (state.status != StatusCode::None) return {};
  if (!state.image.exists()) {
    state.status = StatusCode::BufferError;
    return {};
  }
  const int filled = parseHeaderBlock(state, file.view());
  if (state.status != StatusCode::None) return {};
  progress.setMaximum(filled + 3);
  return file;
}

}  // namespace tavufe
