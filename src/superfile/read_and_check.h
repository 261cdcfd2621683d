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
#include "superfile/sbf_tokenizer.h"
#include "superfile/shx_tokenizer.h"
#include "superfile/superfile_check.h"

namespace tavufe {

class ImageLoader;

struct ReadAndCheck {
  ReadResult read;
  CheckResult check;
  // Why a failed read stopped: the check's finding where it stopped, or else its first problem.
  std::optional<Finding> cause;
};

// The image loader and the whole-file check, fed by one walk of a file's records (a rescue read
// of SBF records walks them twice: the check as verify walks them, the loader past every lost
// framing). Building it erases nothing: the caller starts from an erased image, as an open does.
class ReadAndCheckSinks {
 public:
  ReadAndCheckSinks(EditorState& state, std::span<const std::uint8_t> file,
                    SuperfileEncoding encoding, Progress& progress, std::size_t maxKept,
                    bool rescue = false);
  ReadAndCheckSinks(const ReadAndCheckSinks&) = delete;
  ReadAndCheckSinks& operator=(const ReadAndCheckSinks&) = delete;
  ~ReadAndCheckSinks();

  // Without a whole header block there is nothing to walk.
  bool walks() const { return checker_.walks(); }
  ShxTokenSink& shx() { return shxPair_; }
  // Walks the whole file once, or twice as above.
  void walk();
  // After the walk.
  ReadAndCheck finish();

 private:
  EditorState& state_;
  std::span<const std::uint8_t> file_;
  SuperfileEncoding encoding_;
  bool rescue_;
  std::unique_ptr<ImageLoader> loader_;
  SuperfileChecker checker_;
  ShxTokenPair shxPair_;
  SbfTokenPair sbfPair_;
};

// One walk of the file's records feeds both the image (its records laid into a freshly erased
// image and the slots, every slot finalised) and the whole-file check (as checkSuperfile reports
// it).
ReadAndCheck readAndCheck(EditorState& state, std::span<const std::uint8_t> file,
                          SuperfileEncoding encoding, Progress& progress,
                          std::size_t maxKept = kMaxKeptFindings, bool rescue = false);

}  // namespace tavufe
