// Round trip: whatever opens and may be saved is saved as SHX, read back, saved as SBF and
// read back. What was saved must be what is read back each time, and saving the last state
// as SHX again must give the first SHX file byte for byte.
//
// Compared:
// - the opened file against its SHX read back: the saved slots' content fields and bytes.
//   The record fields, the header's checksum and code, and the report may differ: the
//   original's records, header texts and code groups other than RAMDLD and Flex (which stay
//   in its image and its report) are not what a save writes;
// - the SHX read back against the SBF read back: every field of every slot, the bytes of the
//   saved slots, and the report but for its file-size line.

#include <cstdint>

#include "editor/open_flow.h"
#include "editor/save_flow.h"
#include "fuzz_support.h"
#include "model/finalise.h"
#include "superfile/byte_sink.h"
#include "superfile/save_preparation.h"
#include "superfile/sbf_writer.h"
#include "superfile/shx_writer.h"

namespace {

using tavufe::EditorState;
using tavufe::StatusCode;
using tavufe::SuperfileEncoding;

struct States {
  fuzzing::StartedEditor first;
  fuzzing::StartedEditor second;
  tavufe::MemorySink shx;
  tavufe::MemorySink sbf;
  tavufe::MemorySink again;
};

// What a save does before it writes: every slot refreshed from the image.
void finaliseForSave(EditorState& state) {
  for (int i = 0; i <= state.lastSlot && i <= tavufe::kLastLoadableSlot; ++i) {
    (void)tavufe::finaliseSlot(state, i, tavufe::FinaliseFrom::Record);
  }
}

// A file that read fewer code groups than its header lists keeps the header's slots beyond
// lastSlot, but a save writes slots 0 to lastSlot only: the round trip starts from a file
// that read both the RAMDLD and the Flex.
bool saveable(const EditorState& state) {
  return state.lastSlot >= 1 && tavufe::hasFlexInSlot1(state) &&
         tavufe::checkSaveable(state) == tavufe::NoticeCode::None &&
         tavufe::checkRamdldForSave(state) == StatusCode::None;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static States s;
  const std::span<const std::uint8_t> input(data, size);
  tavufe::Progress progress;

  // The input is whichever superfile type it opens as.
  if (!s.first.open(input, SuperfileEncoding::Sbf).loaded() &&
      !s.first.open(input, SuperfileEncoding::Shx).loaded()) {
    return 0;
  }
  if (!saveable(s.first.state)) return 0;
  finaliseForSave(s.first.state);
  s.shx.bytes.clear();
  if (tavufe::writeShx(s.first.state, s.shx, progress) != StatusCode::None) return 0;

  const tavufe::OpenedSuperfile fromShx = s.second.open(s.shx.bytes, SuperfileEncoding::Shx);
  fuzzing::require(fromShx.loaded(), "a saved SHX file opens without a warning");
  fuzzing::require(
      fuzzing::sameSavedContent(s.first.state, s.second.state, fuzzing::SlotFields::Content),
      "the SHX file reads back the slots and bytes that were saved");

  fuzzing::require(saveable(s.second.state), "what a save read back can be saved again");
  finaliseForSave(s.second.state);
  s.sbf.bytes.clear();
  fuzzing::require(tavufe::writeSbf(s.second.state, s.sbf, progress) == StatusCode::None,
                   "what a save read back is written as SBF");

  const tavufe::OpenedSuperfile fromSbf = s.first.open(s.sbf.bytes, SuperfileEncoding::Sbf);
  fuzzing::require(fromSbf.loaded(), "a saved SBF file opens without a warning");
  fuzzing::require(
      fuzzing::sameSavedContent(s.second.state, s.first.state, fuzzing::SlotFields::All),
      "the SBF file reads back what the SHX file did");
  fuzzing::require(fuzzing::sameReport(fromShx.report, fromSbf.report),
                   "the SHX and SBF files of one save give the same report");

  finaliseForSave(s.first.state);
  s.again.bytes.clear();
  fuzzing::require(tavufe::writeShx(s.first.state, s.again, progress) == StatusCode::None,
                   "what the SBF file read back is written as SHX");
  fuzzing::require(s.again.bytes == s.shx.bytes, "saving what was read back gives the same file");
  return 0;
}
