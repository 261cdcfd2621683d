// The flows on paths: they read and write the files and leave the rest to the flows on bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "editor/flow_steps.h"
#include "editor/held_groups.h"
#include "editor/input_file.h"
#include "editor/output_file.h"
#include "editor/verify_flow.h"
#include "model/finalise.h"
#include "superfile/header_block.h"
#include "superfile/save_preparation.h"

namespace tavufe {

OpenedSuperfile openForEditing(EditorState& state, const std::string& path,
                               const OpenOptions& options, Progress& progress) {
  OpenedSuperfile result;
  const std::optional<SuperfileEncoding> encoding =
      options.encoding ? options.encoding : encodingForPath(path);
  if (!encoding) {
    result.notice = NoticeCode::FileTypeNotSupported;
    return result;
  }
  result.encoding = *encoding;
  if (!startOpen(state, progress, result)) return result;
  const InputFile file = readWholeFile(path);
  if (file.status != StatusCode::None) {
    result.status = file.status;
    result.problem = file.problem;
  } else {
    readBytes(state, file.view(), options, progress, result);
    // The file that was read, not whatever bears its name by now.
    result.device = file.stamp.device;
    result.inode = file.stamp.inode;
  }
  finishOpen(state, result);
  return result;
}

namespace {

OpenDiffSide openPath(const std::string& path, bool rescue = false) {
  return [&path, rescue](EditorState& state, const OpenOptions& options, Progress& progress) {
    OpenOptions read = options;
    read.rescue = rescue;
    return openForEditing(state, path, read, progress);
  };
}

}  // namespace

DiffOutcome diffSuperfileFiles(const std::string& oldPath, const std::string& newPath,
                               std::optional<SuperfileEncoding> encoding) {
  return compareSides(openPath(oldPath), openPath(newPath), encoding);
}

DiffOutcome reviewSave(const EditorState& document, const std::string& openedPath,
                       SuperfileEncoding encoding, const std::string& dateText, bool rescued) {
  return reviewSave(document, openPath(openedPath, rescued), encoding, dateText);
}

DiffOutcome diffFiles(const std::string& oldPath, const std::string& newPath,
                      std::optional<SuperfileEncoding> encoding) {
  DiffOutcome outcome;
  outcome.oldExport = !encoding && isExportPath(oldPath);
  outcome.newExport = !encoding && isExportPath(newPath);
  if (!outcome.flexOnly()) return diffSuperfileFiles(oldPath, newPath, encoding);
  const auto layFile = [](const std::string& path) -> LayDiffExport {
    return [&path](EditorState& state, std::uint32_t address, OpenedSuperfile& opened) {
      const InputFile file = readWholeFile(path);
      if (file.status == StatusCode::None) return layExport(state, file.view(), address, opened);
      opened.status = file.status;
      opened.problem = file.problem;
      return false;
    };
  };
  const bool oldIsSuperfile = !outcome.oldExport;
  return compareWithExports(outcome, openPath(oldIsSuperfile ? oldPath : newPath), layFile(oldPath),
                            layFile(newPath), encoding);
}

namespace {

StatusCode fileFailure(StatusCode status, const OutputFile& out, FileProblem* why) {
  if (why != nullptr) *why = out.problem();
  return status;
}

// Flushes, syncs, reads back and renames the finished file into place. A save that went on
// without some metadata says which in `why`.
StatusCode finish(OutputFile& out, LostMetadata lostMetadata, FileProblem* why) {
  out.setLostMetadata(lostMetadata);
  if (out.commit()) {
    if (why != nullptr) *why = out.droppedMetadata();
    return StatusCode::None;
  }
  // A read-back that failed outright carries the system's reason; a difference has none.
  if (out.readBackDiffered()) return fileFailure(StatusCode::VerifyError, out, why);
  return fileFailure(StatusCode::FileWriteError, out, why);
}

}  // namespace

namespace {

StatusCode saveSuperfileTo(const EditorState& state, const std::string& path, SaveType type,
                           const SaveOptions& options, Progress& progress, FileProblem* why) {
  SavePlan plan = planSave(state);
  // A missing RAMDLD is refused before anything is opened.
  if (const StatusCode s = checkRamdldForSave(state.image, plan); s != StatusCode::None) return s;
  OutputFile out;
  if (!out.open(path)) return fileFailure(StatusCode::FileNotOpened, out, why);
  // A file of the header alone would look like a superfile that lost its code groups, so a
  // failed preparation writes nothing.
  const StatusCode written = writeSuperfile(state, plan, type, options.dateText, out, progress);
  if (written != StatusCode::None) {
    out.discard();
    // Only a temporary file that stayed behind is worth telling beside the status.
    if (why != nullptr) *why = out.problem();
    return written;
  }
  return finish(out, options.lostMetadata, why);
}

// Slot 1's bytes alone (an SMG or BIN file), finalised from its own range.
StatusCode exportFlexTo(const EditorState& state, const std::string& path,
                        const SaveOptions& options, Progress& progress, FileProblem* why) {
  std::span<const std::uint8_t> bytes;
  if (const StatusCode s = exportedFlexBytes(state, progress, bytes); s != StatusCode::None) {
    return s;
  }
  if (!isSlotInUse(state, kFlexSlot)) return StatusCode::None;
  OutputFile out;
  if (!out.open(path)) return fileFailure(StatusCode::FileNotOpened, out, why);
  out.write(bytes.data(), bytes.size());
  return finish(out, options.lostMetadata, why);
}

}  // namespace

StatusCode saveSuperfile(const EditorState& state, const std::string& path, SaveType type,
                         const std::string& dateText, Progress& progress, FileProblem* why) {
  SaveOptions options;
  options.dateText = dateText;
  return saveSuperfileTo(state, path, type, options, progress, why);
}

StatusCode saveToFile(const EditorState& state, const std::string& path, SaveType type,
                      const SaveOptions& options, Progress& progress, FileProblem* why) {
  if (const StatusCode s = startSave(state, progress); s != StatusCode::None) return s;
  if (isSuperfile(type)) {
    // A superfile carries its own ranges: the writers check what they write.
    return saveSuperfileTo(state, path, type, options, progress, why);
  }
  const StatusCode stale = staleSlotStatus(state);
  if (stale != StatusCode::None && options.staleSlots == StaleSlots::Refuse) return stale;
  const StatusCode exported = exportFlexTo(state, path, options, progress, why);
  return exported != StatusCode::None ? exported : stale;
}

VerifyResult verifySuperfile(const std::string& path, SuperfileEncoding encoding) {
  VerifyResult result;
  const InputFile file = readWholeFile(path);
  if (file.status != StatusCode::None) {
    result.status = file.status;
    result.problem = file.problem;
    return result;
  }
  result.check = checkSuperfile(file.view(), encoding);
  return result;
}

std::vector<HeldCodeGroup> codeGroupsListedIn(const std::string& path) {
  // Not blocking: a pipe or device of that name is no superfile and must not stall the check.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return {};
  struct stat st {};
  std::vector<std::uint8_t> header(kHeaderSize);
  std::size_t got = 0;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    while (got < header.size()) {
      const ssize_t n = ::read(fd, header.data() + got, header.size() - got);
      if (n <= 0) break;
      got += std::size_t(n);
    }
  }
  ::close(fd);
  // Only a superfile names its code groups; other bytes read as a table would be noise.
  constexpr std::string_view kMagic(kMagicText, kMagicTextWidth);
  if (got < header.size() || !std::equal(kMagic.begin(), kMagic.end(), header.begin())) return {};
  // The image is not needed for the table: the state stays small.
  const auto scratch = std::make_unique<EditorState>();
  initialiseEditor(*scratch);
  resetSlots(*scratch);
  const HeaderParse parse = parseHeaderBlock(*scratch, header);
  if (parse.codeGroups == 0) return {};
  scratch->lastSlot = parse.codeGroups - 1;
  return heldCodeGroups(*scratch);
}

}  // namespace tavufe
