#include "superfile/save_flow.h"

#include <algorithm>
#include <cctype>

#include "inspect/code_group_table.h"
#include "model/finalise.h"
#include "model/flash_image.h"
#include "superfile/flex_export.h"
#include "superfile/sbf_writer.h"
#include "superfile/shx_writer.h"

namespace tavufe {

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

bool checkSaveable(EditorState& state) {
  state.notice = NoticeCode::NoFilesSelectedToSave;
  for (int i = 0; i <= 19; ++i) {
    if (isSlotInUse(state, i)) {
      state.notice = NoticeCode::None;
      break;
    }
  }
  if (hasDuplicateCodeGroups(state)) state.notice = NoticeCode::DuplicateCg;
  return state.notice == NoticeCode::None;
}

void saveCurrentFile(EditorState& state, SaveType type, Progress& progress,
                     StaleSlots staleSlots) {
  progress.setMaximum(20);
  progress.setPosition(1);
  state.status = StatusCode::None;
  // Refresh every slot from the image, edits included; the writers look at the outcome.
  for (int i = 0; i <= state.lastSlot && i <= kLastLoadableSlot; ++i) {
    finaliseSlot(state, i, false, false);
  }
  switch (type) {
    case SaveType::Shx: saveShx(state, progress); break;
    case SaveType::Sbf: saveSbf(state, progress); break;
    case SaveType::Smg:
    case SaveType::Bin:
      if (state.status != StatusCode::None && staleSlots == StaleSlots::Refuse) break;
      exportFlex(state, progress);
      break;
  }
}

}  // namespace tavufe
