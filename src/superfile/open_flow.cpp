#include "superfile/open_flow.h"

#include "inspect/code_group_table.h"
#include "model/flash_image.h"
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

bool loadSuperfile(EditorState& state, InputType type, Progress& progress) {
  state.undo.undoCount = 0;
  progress.setMaximum(20);
  progress.setPosition(1);
  if (!state.image.exists()) {
    state.status = StatusCode::BufferError;
    return false;
  }
  fillImage(state);
  progress.step();
  resetSlots(state);
  state.report.clear();
  state.status = StatusCode::None;
  state.notice = NoticeCode::None;

  if (type == InputType::Shx) {
    readShx(state, progress);
  } else {
    readSbf(state, progress);
  }

  if (state.status != StatusCode::None) {
    resetSlots(state);
    return false;
  }
  reduceToRamdldAndFlex(state);
  return true;
}

bool hasFlexInSlot1(const EditorState& state) { return state.slots[1].cgNumber == kCgFlex; }

}  // namespace tavufe
