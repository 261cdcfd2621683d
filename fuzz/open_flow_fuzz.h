#pragma once

// The whole-file check and the model side of opening a file from the dialog, run on whatever
// bytes the fuzzer hands over: check, read, reduce to RAMDLD and Flex, erase repeated folders and
// list the rest; then, as a user would, delete a folder, cut and undo, and write both superfile
// formats into memory. Every so often a save goes through the real temporary file and rename
// instead, into a memory file system, and must end as the memory save did, with its bytes.
// No save changes the document.

#include <unistd.h>

#include <algorithm>
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
    compareRescue({data, size}, opened);
    tavufe::Progress progress;
    tavufe::eraseRepeatedFolders(s);
    tavufe::scanFlexFolders(s);
    (void)tavufe::folderGridRows(s);
    (void)tavufe::codeGroupGridRows(s, {","});
    if (!opened.loaded() || !tavufe::hasFlexInSlot1(s)) return;

    tavufe::deleteFolder(s, 0);
    if (tavufe::cutSlot(s, 0)) tavufe::undoCut(s);
    if (tavufe::checkSaveable(s) != tavufe::NoticeCode::None) return;
    const Snapshot before(s);
    bool throughFile = false;
    if (prepareSavePlan(s, plan_) == tavufe::StatusCode::None) {
      const tavufe::StatusCode shxWritten = writeSaved(s, plan_, true, shx_);
      throughFile = savesThroughFile(shx_.bytes);
      if (throughFile) saveThroughFile(tavufe::SaveType::Shx, shxWritten, shx_.bytes);
      const tavufe::StatusCode sbfWritten = writeSaved(s, plan_, false, sbf_);
      if (throughFile) saveThroughFile(tavufe::SaveType::Sbf, sbfWritten, sbf_.bytes);
    }
    // The export writes slot 1 finalised from its own range.
    tavufe::CodeGroupSlot flex = s.slots[1];
    tavufe::FirmwareHalves halves = s.firmwareHalves;
    if (tavufe::finaliseSlot(s.image, flex, halves, tavufe::FinaliseFrom::Slot) ==
        tavufe::StatusCode::None) {
      const std::span<const std::uint8_t> bytes = tavufe::slotBytes(s.image, flex);
      if (throughFile) exportThroughFile({bytes.begin(), bytes.end()});
    }
    require(before.matches(s), "a save leaves the document as it was");
  }

 private:
  // A rescue read of the same bytes never stops short of the header's end, and whenever it
  // lets a save write, what it would write (the RAMDLD and the Flex, as the slots and the image
  // hold them) is what a plain read that got through the file holds.
  void compareRescue(std::span<const std::uint8_t> bytes, const tavufe::OpenedSuperfile& plain) {
    const tavufe::OpenedSuperfile rescued = rescue_.open(bytes, type_, true);
    tavufe::EditorState& r = rescue_.state;
    if (!rescued.loaded() || !plain.loaded()) return;
    if (tavufe::savesDamagedGroup(r)) return;
    const tavufe::EditorState& p = editor_.state;
    for (int i = 0; i <= std::min(r.lastSlot, 1); ++i) {
      const tavufe::CodeGroupSlot& a = r.slots[std::size_t(i)];
      const tavufe::CodeGroupSlot& b = p.slots[std::size_t(i)];
      require(a.cgNumber == b.cgNumber && a.startAddress == b.startAddress &&
                  a.length == b.length && a.bufferChecksum == b.bufferChecksum,
              "a rescue's sound groups are the plain read's");
      const auto x = tavufe::slotBytes(r, i);
      const auto y = tavufe::slotBytes(p, i);
      require(std::equal(x.begin(), x.end(), y.begin(), y.end()),
              "a rescue's sound groups hold the plain read's bytes");
    }
  }

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
    tavufe::SaveOptions options;
    options.dateText = kHeaderDate;
    const tavufe::StatusCode saved =
        tavufe::saveToFile(editor_.state, path, type, options, progress);
    // Both saves plan from the same document; only the file system can add a failure.
    if (saved != tavufe::StatusCode::FileNotOpened && saved != tavufe::StatusCode::FileWriteError) {
      require(saved == inMemory, "a file save ends as the memory save did");
    }
    if (saved == tavufe::StatusCode::None && inMemory == tavufe::StatusCode::None) {
      require(readBack(path) == expected, "a file save writes what the memory save wrote");
    }
    ::unlink(path.c_str());
  }

  // The Flex alone (an SMG file) is its slot's bytes as they stand.
  void exportThroughFile(const std::vector<std::uint8_t>& flex) {
    tavufe::Progress progress;
    const std::string path = scratch_.file("out.smg");
    tavufe::SaveOptions options;
    options.staleSlots = tavufe::StaleSlots::Refuse;
    if (tavufe::saveToFile(editor_.state, path, tavufe::SaveType::Smg, options, progress) ==
            tavufe::StatusCode::None &&
        tavufe::isSlotInUse(editor_.state, 1)) {
      require(readBack(path) == flex, "an exported Flex holds its slot's bytes");
    }
    ::unlink(path.c_str());
  }

  // What a save must leave as it was: the slots, the firmware halves, the region bounds and the
  // RAMDLD's address table in the image.
  class Snapshot {
   public:
    explicit Snapshot(const tavufe::EditorState& s)
        : slots_(s.slots), lastSlot_(s.lastSlot), halves_(s.firmwareHalves), bounds_(s.bounds) {
      const auto table = table_of(s);
      table_.assign(table.begin(), table.end());
    }
    bool matches(const tavufe::EditorState& s) const {
      const auto table = table_of(s);
      return slots_ == s.slots && lastSlot_ == s.lastSlot && halves_ == s.firmwareHalves &&
             bounds_ == s.bounds &&
             std::equal(table.begin(), table.end(), table_.begin(), table_.end());
    }

   private:
    static std::span<const std::uint8_t> table_of(const tavufe::EditorState& s) {
      return s.image.read(tavufe::kRamdldOffset + tavufe::kRamdldTableWindowStart,
                          tavufe::kRamdldTableWindowEnd - tavufe::kRamdldTableWindowStart + 1);
    }

    tavufe::SlotTable slots_;
    std::int32_t lastSlot_;
    tavufe::FirmwareHalves halves_;
    tavufe::RegionBounds bounds_;
    std::vector<std::uint8_t> table_;
  };

  tavufe::SuperfileEncoding type_;
  StartedEditor editor_;
  StartedEditor rescue_;
  tavufe::SavePlan plan_;
  tavufe::MemorySink shx_;
  tavufe::MemorySink sbf_;
  ScratchFolder scratch_;
};

}  // namespace fuzzing
