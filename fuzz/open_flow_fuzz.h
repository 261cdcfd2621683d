#pragma once

// The whole-file check and the model side of opening a file from the dialog, run on whatever
// bytes the fuzzer hands over: read, reduce to RAMDLD and Flex, erase repeated folders and list the rest; then, as a
// user would, delete a folder, cut and undo, and write every format into memory, so that the
// writers run whole without touching the disk.

#include <cstdint>
#include <cstdlib>

#include "editor/open_flow.h"
#include "editor/save_flow.h"
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
  explicit OpenFlow(tavufe::InputType type) : type_(type) {
    if (!state_.image.allocate()) std::abort();
  }

  void open(const std::uint8_t* data, std::size_t size) {
    // Each input starts from the state after start-up, so that a finding reproduces alone.
    // The whole-file check runs on the same bytes first; it needs no editor state.
    (void)tavufe::checkSuperfile({data, size}, type_ == tavufe::InputType::Shx
                                                   ? tavufe::SuperfileEncoding::Shx
                                                   : tavufe::SuperfileEncoding::Sbf);
    tavufe::EditorState& s = state_;
    s.slots = {};
    s.firmwareHalves = {};
    s.bounds = {};
    tavufe::initialiseEditor(s);
    tavufe::Progress progress;
    const tavufe::OpenResult opened =
        tavufe::openSuperfileBytes(s, {data, size}, type_, progress);
    tavufe::eraseRepeatedFolders(s);
    tavufe::scanFlexFolders(s);
    (void)tavufe::folderGridRows(s);
    (void)tavufe::codeGroupGridRows(s);
    if (!opened.loaded() || !tavufe::hasFlexInSlot1(s)) return;

    tavufe::deleteFolder(s, 0);
    if (tavufe::cutSlot(s, 0)) tavufe::undoCut(s);
    if (tavufe::checkSaveable(s) != tavufe::NoticeCode::None) return;
    for (int i = 0; i <= s.lastSlot && i <= tavufe::kLastLoadableSlot; ++i) {
      (void)tavufe::finaliseSlot(s, i, tavufe::FinaliseFrom::Record);
    }
    if (tavufe::checkRamdldForSave(s) == tavufe::StatusCode::None) {
      tavufe::MemorySink shx;
      (void)tavufe::writeShx(s, shx, progress);
      tavufe::MemorySink sbf;
      (void)tavufe::writeSbf(s, sbf, progress);
    }
    if (tavufe::finaliseSlot(s, 1, tavufe::FinaliseFrom::Slot) == tavufe::StatusCode::None) {
      (void)tavufe::slotBytes(s, 1);
    }
  }

 private:
  tavufe::InputType type_;
  tavufe::EditorState state_;
};

}  // namespace fuzzing
