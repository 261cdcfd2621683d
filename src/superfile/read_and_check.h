#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "model/editor_state.h"
#include "model/progress.h"
#include "superfile/encoding.h"
#include "superfile/read_result.h"
#include "superfile/superfile_check.h"

namespace tavufe {

class LaidDataWatch;

struct ReadAndCheck {
  ReadResult read;
  CheckResult check;
  // Why a failed read stopped: the check's finding where it stopped, or else its first problem.
  std::optional<Finding> cause;
};

// One walk of the file's records feeds both the image (as readShx and readSbf lay it) and the
// whole-file check (as checkSuperfile reports it). `split` says where a second thread may take
// up SHX text; the outcome is the same wherever it does. `watch`, when given, follows the
// data laid as the read goes.
ReadAndCheck readAndCheck(EditorState& state, std::span<const std::uint8_t> file,
                          SuperfileEncoding encoding, Progress& progress,
                          std::size_t maxKept = kMaxKeptFindings, ShxSplit split = {},
                          LaidDataWatch* watch = nullptr);

}  // namespace tavufe
