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

// Told where a read lays data while it reads, so that the bytes can be used before it ends (a
// save that starts writing its file early). groupStarts comes on the reading thread, laid on
// the thread that decodes a run, possibly beside it. Bytes handed to laid keep their values
// unless a range handed out by FlashImage::write() later meets them, which the read watches
// from its start (FlashImage::unwrittenSinceWatch).
class LaidDataWatch {
 public:
  // The data of the code group numbered `codeGroup` (as the header lists it) starts at image
  // offset `offset`.
  virtual void groupStarts(int codeGroup, std::uint64_t offset) = 0;
  virtual void laid(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;

 protected:
  ~LaidDataWatch() = default;
};

// Lays the records a tokenizer hands it into a freshly erased image and the slots. The first
// record that cannot be laid stops the read; later events are passed over, so that a check fed
// from the same walk still sees the whole file.
class ImageLoader : public ShxTokenSink, public SbfTokenSink {
 public:
  // Parses the header into the slots; a status other than None ends the read before any record.
  ImageLoader(EditorState& state, std::span<const std::uint8_t> file, Progress& progress);

  void line(const ShxLine& line) override;
  bool takesRun(const ShxDataRun& run) const override;
  bool takesRunFrom(std::uint32_t address) const override;
  void run(const ShxDataRun& run, std::uint64_t first) override;
  void runDeclined(const ShxDataRun& run) override;
  std::span<std::uint8_t> runSpace(std::uint32_t address, std::size_t bytes,
                                   ShxRunGuard& guard) override;
  void record(const SbfRecordToken& record) override;
  void lostFraming(std::size_t offset, std::size_t next) override;

  // Follows the data laid from now on; watches the image's writes.
  void setLaidWatch(LaidDataWatch* watch);

  // After the walk: the group count against the S7 lines (SHX), then every slot finalised.
  ReadResult finish(bool shx);
  // Where the status was set during the walk; unset for a status found after it.
  const ReadStop* stop() const { return stopped_ ? &stop_ : nullptr; }

 private:
  bool failed() const { return status_ != StatusCode::None; }
  void fail(StatusCode status, bool atLine, std::uint64_t at);
  // The record of `type` at column `at` of the line; returns where the search goes on.
  std::size_t takeShxRecord(char type, const ShxLine& line, std::size_t at);
  void openShxGroup(const ShxLine& line);
  std::size_t takeShxData(const ShxLine& line, std::size_t at);
  CodeGroupSlot& currentSlot() { return state_.slots[std::size_t(groups_ - 1)]; }
  // Image space lent to a run being decoded apart from the walk, and the run's guard.
  struct Lent {
    std::span<std::uint8_t> bytes;
    std::uint32_t at = 0;
    ShxRunGuard* guard = nullptr;
  };
  // The image bytes from `offset` for writing, once every run lent space among them has stopped.
  std::span<std::uint8_t> writeImage(std::uint32_t offset, std::size_t count);
  // The space lent for `run`, or none.
  const Lent* lentFor(const ShxDataRun& run) const;
  Lent* lentFor(const ShxDataRun& run) {
    return const_cast<Lent*>(std::as_const(*this).lentFor(run));
  }
  // Gives back space lent for a run: erased again, as it was lent.
  void takeBack(Lent& lent);

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
  std::vector<std::uint8_t> record_;  // a record decoded from a line of mixed text
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
  // A walk has at most two runs: one of its own and one on a second thread.
  std::array<Lent, 2> lent_{};
  LaidDataWatch* watch_ = nullptr;
};

}  // namespace tavufe
