#include <vector>

#include "model/finalise.h"
#include "model/slots.h"
#include "open_flow_fuzz.h"
#include "reader_seams.h"

namespace {

// The text read with runs, and split for a second thread at a line the input chooses, must read
// exactly as a plain walk of every line reads it: status, slots, findings and every byte laid
// in the image.
class SplitRead {
 public:
  void compare(std::span<const std::uint8_t> file) {
    if (file.size() <= tavufe::kHeaderSize) return;
    const std::size_t text = file.size() - tavufe::kHeaderSize;
    const std::size_t at =
        tavufe::kHeaderSize + (file[file.size() - 1] * 131u + file.size()) % text;
    const tavufe::ReadAndCheck one = read(one_, file, false, 0);
    // Every other input without a second thread: runs of the walk's own alone.
    const tavufe::ReadAndCheck two = read(two_, file, true, (file[file.size() / 3] & 1) ? at : 0);
    fuzzing::require(one.read.status == two.read.status && one.read.complete == two.read.complete,
                     "a split read ends as one thread's");
    // The check passes over only what the read passes over.
    fuzzing::require(one.read.status == tavufe::StatusCode::None || one.check.problems > 0,
                     "a read that stops has a problem in the check");
    // A read takes each slot's sum from the lines where it can: it must be the image's.
    if (one.read.status == tavufe::StatusCode::None) {
      for (int i = 0; i <= one_.state.lastSlot; ++i) {
        const tavufe::CodeGroupSlot& slot = one_.state.slots[std::size_t(i)];
        std::span<const std::uint8_t> bytes;
        fuzzing::require(tavufe::finalisedBytes(one_.state.image, slot, tavufe::FinaliseFrom::Slot,
                                                bytes) == tavufe::StatusCode::None &&
                             slot.bufferChecksum == tavufe::byteSum(bytes),
                         "a finalised slot's sum is its bytes' in the image");
      }
    }
    fuzzing::require(
        one_.state.slots == two_.state.slots && one_.state.lastSlot == two_.state.lastSlot,
        "a split read fills the slots as one thread's");
    fuzzing::require(one.check.problems == two.check.problems &&
                         one.check.findings.size() == two.check.findings.size(),
                     "a split read finds what one thread finds");
    for (std::size_t k = 0; k < one.check.findings.size(); ++k) {
      const tavufe::Finding& a = one.check.findings[k];
      const tavufe::Finding& b = two.check.findings[k];
      fuzzing::require(a.kind == b.kind && a.at == b.at && a.what == b.what &&
                           a.expected == b.expected && a.found == b.found,
                       "a split read's findings are one thread's");
    }
    // Only what either read may have written: from each written range's start, a piece at a
    // time, so that a small input compares a few pieces, not the whole image.
    constexpr std::uint64_t kStep = 1 << 16;
    const tavufe::FlashImage& a = one_.state.image;
    const tavufe::FlashImage& b = two_.state.image;
    for (std::uint64_t at = std::min(a.nextWritten(0), b.nextWritten(0)); at < tavufe::kImageSize;
         at = std::min(a.nextWritten(at), b.nextWritten(at))) {
      const std::uint64_t count = std::min(kStep, tavufe::kImageSize - at);
      const auto x = a.read(at, count);
      const auto y = b.read(at, count);
      fuzzing::require(std::equal(x.begin(), x.end(), y.begin(), y.end()),
                       "a split read lays the image as one thread's");
      at += count;
    }
  }

 private:
  static tavufe::ReadAndCheck read(fuzzing::StartedEditor& editor,
                                   std::span<const std::uint8_t> file, bool runs,
                                   std::size_t secondHalf) {
    // As every open begins: the image erased, so it knows what this read writes.
    editor.state.image.fill();
    tavufe::resetSlots(editor.state);
    tavufe::Progress progress;
    return tavufe::readAndCheckShxPlanned(editor.state, file, progress, runs, secondHalf, 48);
  }

  fuzzing::StartedEditor one_;
  fuzzing::StartedEditor two_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzzing::OpenFlow flow(tavufe::SuperfileEncoding::Shx);
  flow.open(data, size);
  static SplitRead split;
  split.compare({data, size});
  return 0;
}
