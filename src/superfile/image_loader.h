#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "model/editor_state.h"
#include "model/finalise.h"
#include "model/progress.h"
#include "superfile/read_result.h"
#include "superfile/sbf_tokenizer.h"
#include "superfile/shx_tokenizer.h"

namespace tavufe {

// Where a read stopped: a line of SHX text, or a byte offset in the file.
struct ReadStop {
  bool atLine = false;
  std::uint64_t at = 0;
};

// Lays the records a tokenizer hands it into a freshly erased image and the slots. The first
// record that cannot be laid stops the read; later events are passed over, so that a check fed
// from the same walk still sees the whole file.
class ImageLoader : public ShxTokenSink, public SbfTokenSink {
 public:
  // Parses the header into the slots; a status other than None ends the read before any record.
  ImageLoader(EditorState& state, std::span<const std::uint8_t> file, Progress& progress);

  void record(const ShxRecord& record) override;
  bool takesRunFrom(std::uint32_t address) const override;
  std::span<std::uint8_t> runSpace(std::uint32_t address, std::size_t bytes) override;
  bool takesRun(const ShxDataRun& run) const override;
  void run(const ShxDataRun& run, std::uint64_t first) override;
  void runDeclined(const ShxDataRun& run) override;
  void record(const SbfRecordToken& record) override;
  void lostFraming(std::size_t offset, std::size_t next) override;

  // After the walk: the group count against the S7 lines (SHX), then every slot finalised.
  ReadResult finish(bool shx);
  // Where the status was set during the walk; unset for a status found after it.
  const ReadStop* stop() const { return stopped_ ? &stop_ : nullptr; }

 private:
  bool failed() const { return status_ != StatusCode::None; }
  void fail(StatusCode status, bool atLine, std::uint64_t at);
  void openShxGroup(const ShxRecord& record);
  void takeShxData(const ShxRecord& record);
  CodeGroupSlot& currentSlot() { return state_.slots[std::size_t(groups_ - 1)]; }
  // Gives back the space lent to a run: erased again, as it was lent.
  void takeBack();

  EditorState& state_;
  std::span<const std::uint8_t> file_;
  Progress& progress_;
  StatusCode status_ = StatusCode::None;
  bool stopped_ = false;
  ReadStop stop_;
  int groups_ = 0;
  std::uint64_t s7Count_ = 0;
  bool newGroup_ = false;
  std::uint32_t position_ = 0;
  std::uint32_t byteCount_ = 0;
  // What each group laid in the image: its range and, while each line laid its data whole
  // and inside the image, the sum of that data, which then needs no second reading.
  struct Laid {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::uint32_t sum = 0;
    bool summed = false;
  };
  std::array<Laid, kLastLoadableSlot + 1> laid_{};
  // `count` bytes of data summing to `sum` laid at `position_` by the current group.
  void noteLaid(std::size_t count, std::uint32_t sum);
  // The sum a finalisation of slot `index` may take, where no later group wrote over its range.
  std::optional<KnownSum> knownSum(int index) const;
  // Image space lent to the run the walk is decoding, which sets it before anything else
  // writes the image.
  std::span<std::uint8_t> lent_;
  std::uint32_t lentAt_ = 0;
};

}  // namespace tavufe
