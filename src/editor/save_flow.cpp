#include "editor/save_flow.h"

#include <algorithm>
#include <cctype>

#include "editor/output_file.h"
#include "inspect/code_group_table.h"
#include "model/finalise.h"
#include "superfile/save_preparation.h"
#include "superfile/sbf_writer.h"
#include "superfile/shx_writer.h"

namespace tavufe {

namespace {

constexpr int kFlexSlot = 1;

StatusCode fileFailure(StatusCode status, const OutputFile& out, FileProblem* why) {
  if (why != nullptr) *why = out.problem();
  return status;
}

// Flushes, syncs, reads back and renames the finished file into place.
StatusCode finish(OutputFile& out, FileProblem* why) {
  if (out.commit()) return StatusCode::None;
  // A read-back that failed outright carries the system's reason; a difference has none.
  if (out.readBackDiffered()) return fileFailure(StatusCode::VerifyError, out, why);
  return fileFailure(StatusCode::FileWriteError, out, why);
}

}  // namespace

StatusCode saveSuperfile(EditorState& state, const std::string& path, SaveType type,
                         Progress& progress, FileProblem* why,
                         const ReadBackFilter& readBackFilter) {
  // A missing RAMDLD is refused before anything is opened.
  if (const StatusCode s = checkRamdldForSave(state); s != StatusCode::None) return s;
  OutputFile out;
  if (!out.open(path)) return fileFailure(StatusCode::FileNotOpened, out, why);
  out.setReadBackFilter(readBackFilter);
  const StatusCode written =
      type == SaveType::Shx ? writeShx(state, out, progress) : writeSbf(state, out, progress);
  if (written != StatusCode::None) {
    out.discard();
    return written;
  }
  return finish(out, why);
}

StatusCode exportFlex(EditorState& state, const std::string& path, Progress& progress,
                      FileProblem* why, const ReadBackFilter& readBackFilter) {
  progress.step();
  const StatusCode finalised = finaliseSlot(state, kFlexSlot, FinaliseFrom::Slot);
  progress.setPosition(kProgressSteps);
  if (finalised != StatusCode::None) return finalised;
  if (!isSlotInUse(state, kFlexSlot)) return StatusCode::None;
  OutputFile out;
  if (!out.open(path)) return fileFailure(StatusCode::FileNotOpened, out, why);
  out.setReadBackFilter(readBackFilter);
  const std::span<const std::uint8_t> bytes = slotBytes(state, kFlexSlot);
  out.write(bytes.data(), bytes.size());
  return finish(out, why);
}

const char* extensionFor(SaveType type) {
  switch (type) {
    case SaveType::Shx: return ".shx";
    case SaveType::Sbf: return ".sbf";
    case SaveType::Smg: return ".smg";
    case SaveType::Bin: return ".bin";
  }
  return "";
}

std::optional<SaveType> saveTypeForPath(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
  std::string extension = path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  for (SaveType type : {SaveType::Shx, SaveType::Sbf, SaveType::Smg, SaveType::Bin}) {
    if (extension == extensionFor(type)) return type;
  }
  return std::nullopt;
}

NoticeCode checkSaveable(const EditorState& state) {
  NoticeCode notice = NoticeCode::NoFilesSelectedToSave;
  for (int i = 0; i <= kLastBoundsSlot; ++i) {
    if (isSlotInUse(state, i)) {
      notice = NoticeCode::None;
      break;
    }
  }
  if (hasDuplicateCodeGroups(state)) notice = NoticeCode::DuplicateCg;
  // A superfile or export without the Flex's bytes would flash nothing of it.
  if (notice == NoticeCode::None && !hasFlexBytes(state)) notice = NoticeCode::NoFlexCodeGroup;
  return notice;
}

StatusCode saveToFile(EditorState& state, const std::string& path, SaveType type,
                      Progress& progress, StaleSlots staleSlots, FileProblem* why,
                      const ReadBackFilter& readBackFilter) {
  progress.setMaximum(kProgressSteps);
  progress.setPosition(1);
  // Refresh every slot from the image, edits included; the last failure is remembered.
  StatusCode stale = StatusCode::None;
  for (int i = 0; i <= state.lastSlot && i <= kLastLoadableSlot; ++i) {
    if (const StatusCode s = finaliseSlot(state, i, FinaliseFrom::Record); s != StatusCode::None) {
      stale = s;
    }
  }
  switch (type) {
    case SaveType::Shx:
    case SaveType::Sbf:
      // A superfile carries its own ranges: the writers check what they write.
      return saveSuperfile(state, path, type, progress, why, readBackFilter);
    case SaveType::Smg:
    case SaveType::Bin: {
      if (stale != StatusCode::None && staleSlots == StaleSlots::Refuse) return stale;
      const StatusCode exported = exportFlex(state, path, progress, why, readBackFilter);
      return exported != StatusCode::None ? exported : stale;
    }
  }
  return StatusCode::None;
}

}  // namespace tavufe
