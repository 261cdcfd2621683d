#pragma once

// The model side of opening a file from the dialog, run on whatever bytes the fuzzer hands
// over: read, reduce to RAMDLD and Flex, erase repeated folders and list the rest; then, as a
// user would, delete a folder, cut and undo, and save in every format (to the null device, so
// the writers run whole without touching the disk). The bytes go to one temporary file per
// process, since the readers read the file named by currentPath.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "inspect/code_group_table.h"
#include "inspect/folder_scan.h"
#include "model/editor_state.h"
#include "model/flash_image.h"
#include "model/progress.h"
#include "superfile/open_flow.h"
#include "superfile/save_flow.h"

namespace fuzzing {

class OpenFlow {
 public:
  OpenFlow(const char* extension, tavufe::InputType type) : type_(type) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tavufe-fuzz-XXXXXX").string() + extension;
    const int fd = ::mkstemps(pattern.data(), int(std::string(extension).size()));
    if (fd < 0 || !state_.image.allocate()) std::abort();
    ::close(fd);
    path_ = pattern;
  }
  ~OpenFlow() { std::remove(path_.c_str()); }

  void open(const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);

    // Each input starts from the state after start-up, so that a finding reproduces alone.
    tavufe::EditorState& s = state_;
    s.slots = {};
    s.firmwareHalves = {};
    s.bounds = {};
    tavufe::initialiseEditor(s);
    s.currentPath = path_;
    tavufe::Progress progress;
    const bool loaded = tavufe::loadSuperfile(s, type_, progress);
    tavufe::eraseRepeatedFolders(s);
    tavufe::scanFlexFolders(s);
    (void)tavufe::folderGridRows(s);
    (void)tavufe::codeGroupGridRows(s);
    if (!loaded || !tavufe::hasFlexInSlot1(s)) return;

    tavufe::deleteFolderRow(s, 1);
    if (tavufe::cutSlot(s, 1)) tavufe::undoCut(s);
    if (!tavufe::checkSaveable(s)) return;
    for (const auto type : {tavufe::SaveType::Shx, tavufe::SaveType::Sbf, tavufe::SaveType::Smg}) {
      s.currentPath = "/dev/null";
      tavufe::saveCurrentFile(s, type, progress);
    }
  }

 private:
  tavufe::InputType type_;
  tavufe::EditorState state_;
  std::string path_;
};

}  // namespace fuzzing
