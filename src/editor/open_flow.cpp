#include "editor/open_flow.h"

#include <algorithm>
#include <cctype>

#include "editor/flow_steps.h"
#include "inspect/report.h"
#include "superfile/read_and_check.h"

namespace tavufe {

// The start of every open: empties the undo stack, erases the image and resets the slots.
bool startOpen(EditorState& state, Progress& progress, OpenedSuperfile& result) {
  state.undo.undoCount = 0;
  progress.setMaximum(kProgressSteps);
  progress.setPosition(1);
  if (!state.image.exists()) {
    result.status = StatusCode::BufferError;
    return false;
  }
  state.image.fill();
  progress.step();
  resetSlots(state);
  return true;
}

void readBytes(EditorState& state, std::span<const std::uint8_t> bytes, const OpenOptions& options,
               Progress& progress, OpenedSuperfile& result) {
  ReadAndCheck read = readAndCheck(state, bytes, result.encoding, progress, options.keptFindings,
                                   {}, options.laidWatch);
  result.status = read.read.status;
  result.cause = std::move(read.cause);
  result.check = std::move(read.check);
  if (read.read.complete) {
    result.report = buildReport(state, bytes, options.numbers);
    result.header = readHeaderTexts(bytes);
    if (bytes.size() >= kHeaderSize) result.listed = listedGroups(bytes.first(kHeaderSize));
  }
  if (!result.loaded()) return;
  // What else it held is noted first, so that a save over the file can tell what it would drop.
  result.heldGroups = heldCodeGroups(state);
  reduceToRamdldAndFlex(state);
  result.saveAllowed = hasFlexInSlot1(state);
  result.codeGroups = codeGroupGridRows(state, options.numbers);
  if (options.repeatedFolders == RepeatedFolders::Erase) {
    eraseRepeatedFolders(state);
  } else {
    scanFlexFolders(state);
  }
  result.folders = folderGridRows(state);
}

// What a failed read leaves is dropped.
void finishOpen(EditorState& state, const OpenedSuperfile& result) {
  if (result.loaded()) return;
  resetSlots(state);
  state.folders = {};
}

std::optional<SuperfileEncoding> encodingForPath(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  std::string extension = path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  if (extension == ".shx") return SuperfileEncoding::Shx;
  if (extension == ".sbf") return SuperfileEncoding::Sbf;
  return std::nullopt;
}

OpenedSuperfile openForEditing(EditorState& state, std::span<const std::uint8_t> bytes,
                               const OpenOptions& options, Progress& progress) {
  OpenedSuperfile result;
  if (!options.encoding) {
    result.notice = NoticeCode::FileTypeNotSupported;
    return result;
  }
  result.encoding = *options.encoding;
  if (!startOpen(state, progress, result)) return result;
  readBytes(state, bytes, options, progress, result);
  finishOpen(state, result);
  return result;
}

bool hasFlexInSlot1(const EditorState& state) { return state.slots[1].cgNumber == kCgFlex; }

}  // namespace tavufe
