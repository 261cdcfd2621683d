#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// The same read and check of SHX text that arrives in pieces (a page reading a picked file),
// walked as far as it has come each time more does; the outcome is readAndCheck's. `file`
// spans the whole file, whose header block must have come; the image is erased first, as for
// an open.
class ShxStreamRead {
 public:
  ShxStreamRead(EditorState& state, std::span<const std::uint8_t> file, Progress& progress,
                std::size_t maxKept = kMaxKeptFindings);
  ShxStreamRead(const ShxStreamRead&) = delete;
  ShxStreamRead& operator=(const ShxStreamRead&) = delete;
  ~ShxStreamRead();
  // The file's first `bytes` bytes have come.
  void received(std::size_t bytes);
  // All of them have.
  ReadAndCheck finish();

 private:
  struct Parts;
  EditorState& state_;
  std::unique_ptr<Parts> parts_;
};

}  // namespace tavufe
