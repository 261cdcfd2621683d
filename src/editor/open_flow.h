#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "editor/file_problem.h"
#include "inspect/number_format.h"
#include "model/codes.h"
#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/header_block.h"

namespace tavufe {

enum class InputType { Sbf, Shx };

// ".sbf" or ".shx" at the end of the path, exact case; nothing for any other name.
std::optional<InputType> inputTypeForPath(const std::string& path);

struct OpenResult {
  StatusCode status = StatusCode::None;
  FileProblem problem;  // why the file itself could not be read
  // The report of what was read; empty when the reader did not get through the file.
  std::vector<std::string> report;
  // The header block's texts, read along with the report.
  HeaderTexts header;
  bool loaded() const { return status == StatusCode::None; }
};

// The model side of the open command, after the extension check: empties the undo stack,
// refills the image, resets the slots, reads the file at `path` and builds the report, its
// numbers written as `numbers` has them. On failure the slots are reset again; on success the
// table is reduced to RAMDLD and Flex.
OpenResult openSuperfile(EditorState& state, const std::string& path, InputType type,
                         Progress& progress, const NumberFormat& numbers);

// The same on a file's bytes already in memory.
OpenResult openSuperfileBytes(EditorState& state, std::span<const std::uint8_t> bytes,
                              InputType type, Progress& progress, const NumberFormat& numbers);

// After a good open: whether slot 1 holds the Flex code group, which is what saving needs.
bool hasFlexInSlot1(const EditorState& state);

}  // namespace tavufe
