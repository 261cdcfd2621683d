#pragma once

// The model side of opening a file, run on whatever bytes the fuzzer hands over. The bytes go
// to one temporary file per process, since the readers read the file named by currentPath.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/catalogue.h"
#include "model/editor_state.h"
#include "model/flash_image.h"
#include "model/progress.h"

namespace fuzzing {

class OpenFlow {
 public:
  explicit OpenFlow(const char* extension) {
    std::string pattern = "/tmp/tavufe-fuzz-XXXXXX" + std::string(extension);
    const int fd = ::mkstemps(pattern.data(), int(std::string(extension).size()));
    if (fd < 0 || !state_.image.allocate()) std::abort();
    ::close(fd);
    path_ = pattern;
  }
  ~OpenFlow() { std::remove(path_.c_str()); }

  template <typename Reader>
  void open(const std::uint8_t* data, std::size_t size, Reader read) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);

    tavufe::EditorState& s = state_;
    tavufe::fillImage(s);
    tavufe::initialiseEditor(s);
    tavufe::resetSlots(s);
    s.currentPath = path_;
    s.report.clear();
    s.status = tavufe::StatusCode::None;
    s.notice = tavufe::NoticeCode::None;
    tavufe::Progress progress;
    read(s, progress);
    if (s.status != tavufe::StatusCode::None) tavufe::resetSlots(s);
  }

 private:
  tavufe::EditorState state_;
  std::string path_;
};

}  // namespace fuzzing
