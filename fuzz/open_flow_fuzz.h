#pragma once

// The whole-file check and the model side of opening a file from the dialog, run on whatever
// bytes the fuzzer hands over: check, read, reduce to RAMDLD and Flex, erase repeated folders and
// list the rest; then, as a user would, delete a folder, cut and undo, and write both superfile
// formats into memory. Every so often a save goes through the real temporary file and rename
// instead, into a memory file system, and must produce exactly the bytes the memory save did.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "editor/open_flow.h"
#include "editor/save_flow.h"
#include "fuzz_support.h"
#include "inspect/code_group_table.h"
#include "inspect/folder_scan.h"
#include "model/editor_state.h"
#include "model/finalise.h"
#include "model/progress.h"
#include "superfile/byte_sink.h"
#include "superfile/save_preparation.h"
#include "superfile/sbf_writer.h"
#include "superfile/shx_writer.h"
#include "superfile/superfile_check.h"

namespace fuzzing {

class OpenFlow {
 public:
  explicit OpenFlow(tavufe::SuperfileEncoding type) : type_(type) {}

  void open(const std::uint8_t* data, std::size_t size) {
    tavufe::EditorState& s = editor_.state;
    // The open checks the file in the same walk as it reads it.
    const tavufe::OpenedSuperfile opened = editor_.open({data, size}, type_);
    tavufe::Progress progress;
    tavufe::eraseRepeatedFolders(s);
    tavufe::scanFlexFolders(s);
    (void)tavufe::folderGridRows(s);
    (void)tavufe::codeGroupGridRows(s, {","});
    if (!opened.loaded() || !tavufe::hasFlexInSlot1(s)) return;

    tavufe::deleteFolder(s, 0);
    if (tavufe::cutSlot(s, 0)) tavufe::undoCut(s);
    if (tavufe::checkSaveable(s) != tavufe::NoticeCode::None) return;
    for (int i = 0; i <= s.lastSlot && i <= tavufe::kLastLoadableSlot; ++i) {
      (void)tavufe::finaliseSlot(s, i, tavufe::FinaliseFrom::Record);
    }
    bool throughFile = false;
    if (tavufe::checkRamdldForSave(s) == tavufe::StatusCode::None) {
      // The sinks keep their capacity from one input to the next.
      shx_.bytes.clear();
      const tavufe::StatusCode shxWritten = tavufe::writeShx(s, shx_, progress);
      throughFile = savesThroughFile(shx_.bytes);
      if (throughFile) saveThroughFile(tavufe::SaveType::Shx, shxWritten, shx_.bytes);
      sbf_.bytes.clear();
      const tavufe::StatusCode sbfWritten = tavufe::writeSbf(s, sbf_, progress);
      if (throughFile) saveThroughFile(tavufe::SaveType::Sbf, sbfWritten, sbf_.bytes);
    }
    if (tavufe::finaliseSlot(s, 1, tavufe::FinaliseFrom::Slot) == tavufe::StatusCode::None) {
      const std::span<const std::uint8_t> flex = tavufe::slotBytes(s, 1);
      if (throughFile) exportThroughFile({flex.begin(), flex.end()});
    }
  }

 private:
  // About one save in 64 also goes through a file: often enough to cover the path, rarely
  // enough that its system calls do not slow every input. Chosen from what the save wrote (the
  // SHX file ends with a checksum of all it holds), so that a finding reproduces alone and
  // inputs that save the same content are not all passed over.
  static bool savesThroughFile(const std::vector<std::uint8_t>& shx) {
    if (shx.size() < kChecksumTail) return false;
    std::uint32_t hash = 2166136261u;
    for (std::size_t k = shx.size() - kChecksumTail; k < shx.size(); ++k) {
      hash = (hash ^ shx[k]) * 16777619u;
    }
    return hash >> 26 == 0;
  }
  static constexpr std::size_t kChecksumTail = 8;

  void saveThroughFile(tavufe::SaveType type, tavufe::StatusCode inMemory,
                       const std::vector<std::uint8_t>& expected) {
    tavufe::Progress progress;
    const std::string path = scratch_.file(type == tavufe::SaveType::Shx ? "out.shx" : "out.sbf");
    const tavufe::StatusCode saved = tavufe::saveToFile(editor_.state, path, type, progress);
    // The memory save has already prepared the state (the RAMDLD's table and header bytes),
    // so the outcomes may differ where that preparation changed what the save checks; when
    // both wrote, they wrote the same bytes.
    if (saved == tavufe::StatusCode::None && inMemory == tavufe::StatusCode::None) {
      require(readBack(path) == expected, "a file save writes what the memory save wrote");
    }
    ::unlink(path.c_str());
  }

  // The Flex alone (an SMG file) is its slot's bytes as they stand.
  void exportThroughFile(const std::vector<std::uint8_t>& flex) {
    tavufe::Progress progress;
    const std::string path = scratch_.file("out.smg");
    if (tavufe::saveToFile(editor_.state, path, tavufe::SaveType::Smg, progress,
                           tavufe::StaleSlots::Refuse) == tavufe::StatusCode::None &&
        tavufe::isSlotInUse(editor_.state, 1)) {
      require(readBack(path) == flex, "an exported Flex holds its slot's bytes");
    }
    ::unlink(path.c_str());
  }

  tavufe::SuperfileEncoding type_;
  StartedEditor editor_;
  tavufe::MemorySink shx_;
  tavufe::MemorySink sbf_;
  ScratchFolder scratch_;
};

}  // namespace fuzzing
