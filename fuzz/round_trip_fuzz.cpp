// Round trip: whatever opens and may be saved is saved as SHX, read back, saved as SBF and
// read back. What was saved must be what is read back each time, and saving the last state
// as SHX again must give the first SHX file byte for byte.
//
// Compared:
// - what the opened file's save wrote (its plan) against its SHX read back: the saved slots'
//   content fields and bytes.
//   The record fields, the header's checksum and code, and the report may differ: the
//   original's records, header texts and code groups other than RAMDLD and Flex (which stay
//   in its image and its report) are not what a save writes;
// - the SHX read back against the SBF read back: every field of every slot, the bytes of the
//   saved slots, and the report but for its file-size line.

#include <cstdint>

#include "editor/open_flow.h"
#include "editor/save_flow.h"
#include "fuzz_support.h"
#include "superfile/byte_sink.h"
#include "superfile/save_preparation.h"

namespace {

using tavufe::EditorState;
using tavufe::StatusCode;
using tavufe::SuperfileEncoding;

struct States {
  fuzzing::StartedEditor first;
  fuzzing::StartedEditor second;
  tavufe::SavePlan plan;
  tavufe::MemorySink shx;
  tavufe::MemorySink sbf;
  tavufe::MemorySink again;
};

// A file that read fewer code groups than its header lists keeps the header's slots beyond
// lastSlot, but a save writes slots 0 to lastSlot only: the round trip starts from a file
// that read both the RAMDLD and the Flex.
bool saveable(const EditorState& state) {
  return state.lastSlot >= 1 && tavufe::hasFlexInSlot1(state) &&
         tavufe::checkSaveable(state) == tavufe::NoticeCode::None;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static States s;
  const std::span<const std::uint8_t> input(data, size);

  // The input is whichever superfile type it opens as.
  if (!s.first.open(input, SuperfileEncoding::Sbf).loaded() &&
      !s.first.open(input, SuperfileEncoding::Shx).loaded()) {
    return 0;
  }
  if (!saveable(s.first.state)) return 0;
  if (fuzzing::prepareSavePlan(s.first.state, s.plan) != StatusCode::None) return 0;
  if (fuzzing::writeSaved(s.first.state, s.plan, true, s.shx) != StatusCode::None) return 0;

  const tavufe::OpenedSuperfile fromShx = s.second.open(s.shx.bytes, SuperfileEncoding::Shx);
  fuzzing::require(fromShx.loaded(), "a saved SHX file opens without a warning");
  fuzzing::require(fuzzing::sameSavedContent(s.plan, s.first.state.image, s.second.state,
                                             fuzzing::SlotFields::Content),
                   "the SHX file reads back the slots and bytes that were saved");

  fuzzing::require(saveable(s.second.state) &&
                       fuzzing::prepareSavePlan(s.second.state, s.plan) == StatusCode::None,
                   "what a save read back can be saved again");
  fuzzing::require(fuzzing::writeSaved(s.second.state, s.plan, false, s.sbf) == StatusCode::None,
                   "what a save read back is written as SBF");

  const tavufe::OpenedSuperfile fromSbf = s.first.open(s.sbf.bytes, SuperfileEncoding::Sbf);
  fuzzing::require(fromSbf.loaded(), "a saved SBF file opens without a warning");
  fuzzing::require(
      fuzzing::sameSavedContent(s.second.state, s.first.state, fuzzing::SlotFields::All),
      "the SBF file reads back what the SHX file did");
  fuzzing::require(fuzzing::sameReport(fromShx.report, fromSbf.report),
                   "the SHX and SBF files of one save give the same report");

  fuzzing::require(
      fuzzing::prepareSavePlan(s.first.state, s.plan) == StatusCode::None &&
          fuzzing::writeSaved(s.first.state, s.plan, true, s.again) == StatusCode::None,
      "what the SBF file read back is written as SHX");
  fuzzing::require(s.again.bytes == s.shx.bytes, "saving what was read back gives the same file");
  return 0;
}
