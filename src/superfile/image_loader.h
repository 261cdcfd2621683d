#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

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
//
// A rescue read stops only at the header block. Every other record that cannot be laid soundly
// is passed over, and the code group it lies in is marked damaged: a data line that fails its
// own checks or does not follow on from the one before, a group whose S0 or S7 is lost, an SBF
// record that does not frame soundly. Groups are matched to their slots by the address their
// data starts at, so a lost group does not shift the ones after it. At the end a group that was
// not read whole, or whose bytes do not sum to its header entry's checksum, is damaged too.
class ImageLoader : public ShxTokenSink, public SbfTokenSink {
 public:
  // Parses the header into the slots; a status other than None ends the read before any record.
  ImageLoader(EditorState& state, std::span<const std::uint8_t> file, Progress& progress,
              bool rescue = false);

  void record(const ShxRecord& record) override;
  bool takesRunFrom(std::uint32_t address) const override;
  std::span<std::uint8_t> runSpace(std::uint32_t address, std::size_t bytes) override;
  bool takesRun(const ShxDataRun& run) const override;
  void run(ShxDataRun& run, std::uint64_t first) override;
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
  // A rescue read's view of an SHX record, and of the data line it lays when it is sound.
  void rescueShxRecord(const ShxRecord& record);
  void rescueShxData(const ShxRecord& record);
  // Lays a sound data line of the group in `slot` where its address says, inside the range.
  void rescueLay(const ShxRecord& record, int slot, std::uint32_t address);
  void rescueSbfRecord(const SbfRecordToken& record);
  // Marks the group of `slot` damaged at a place (first place kept); a slot the header did not
  // fill is passed over.
  void damage(int slot, bool atLine, std::uint64_t at, bool counted = true);
  // The slot from `from` on whose code group starts at `address`, or -1.
  int slotStartingAt(int from, std::uint32_t address) const;
  // The next address a sound data line of the current group continues at.
  std::uint32_t expectedAddress() const { return currentSlot().recordAddress + byteCount_; }
  // Whether a rescue's next line from `address` goes on from the last one it laid, in an open
  // group.
  bool rescueContinues(std::uint32_t address) const {
    return open_ && !stray_ && address == expectedAddress();
  }
  const CodeGroupSlot& currentSlot() const { return state_.slots[std::size_t(groups_ - 1)]; }
  void finishRescue(ReadResult& result, bool shx);
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
  int listed_ = 0;  // slots the header filled
  bool rescue_ = false;
  // Rescue: an S0 not yet closed by its S7; more groups than the header lists; a data line of
  // the current group passed over; the last line or offset met.
  bool open_ = false;
  bool stray_ = false;
  bool resync_ = false;
  std::uint64_t lastLine_ = 0;
  // Rescue of SBF records: where framing was first lost since the last sound record.
  std::uint64_t lostAt_ = 0;
  std::array<GroupDamage, kLastLoadableSlot + 1> damage_{};
  std::array<bool, kLastLoadableSlot + 1> damaged_{};
  // Where each group's text or record begins, for a group damaged as a whole.
  std::array<std::uint64_t, kLastLoadableSlot + 1> groupAt_{};
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
