#include "editor/open_flow.h"

#include "editor/input_file.h"
#include "inspect/code_group_table.h"
#include "inspect/report.h"
#include "superfile/sbf_reader.h"
#include "superfile/shx_reader.h"

namespace tavufe {

std::optional<InputType> inputTypeForPath(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  const std::string extension = path.substr(dot);
  if (extension == ".shx") return InputType::Shx;
  if (extension == ".sbf") return InputType::Sbf;
  return std::nullopt;
}

namespace {

// The start of every open: empties the undo stack, erases the image and resets the slots.
bool startOpen(EditorState& state, Progress& progress, OpenResult& result) {
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

void readBytes(EditorState& state, std::span<const std::uint8_t> bytes, InputType type,
               Progress& progress, const NumberFormat& numbers, OpenResult& result) {
  const ReadResult read =
      type == InputType::Shx ? readShx(state, bytes, progress) : readSbf(state, bytes, progress);
  if (read.complete) {
    result.report = buildReport(state, bytes, numbers);
    result.header = readHeaderTexts(bytes);
  }
  result.status = read.status;
}

// What a failed read leaves is dropped; a good one is reduced to what a save writes.
void finishOpen(EditorState& state, const OpenResult& result) {
  if (!result.loaded()) {
    resetSlots(state);
    return;
  }
  reduceToRamdldAndFlex(state);
}

}  // namespace

OpenResult openSuperfile(EditorState& state, const std::string& path, InputType type,
                         Progress& progress, const NumberFormat& numbers) {
  OpenResult result;
  if (!startOpen(state, progress, result)) return result;
  const InputFile file = readWholeFile(path);
  if (file.status != StatusCode::None) {
    result.status = file.status;
    result.problem = file.problem;
  } else {
    readBytes(state, file.view(), type, progress, numbers, result);
  }
  finishOpen(state, result);
  return result;
}

OpenResult openSuperfileBytes(EditorState& state, std::span<const std::uint8_t> bytes,
                              InputType type, Progress& progress, const NumberFormat& numbers) {
  OpenResult result;
  if (!startOpen(state, progress, result)) return result;
  readBytes(state, bytes, type, progress, numbers, result);
  finishOpen(state, result);
  return result;
}

bool hasFlexInSlot1(const EditorState& state) { return state.slots[1].cgNumber == kCgFlex; }

}  // namespace tavufe
