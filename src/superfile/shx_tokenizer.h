#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace tavufe {

// What is wrong with one line of S-record text, the first fault only.
enum class ShxLineFault : std::uint8_t {
  None,
  NotHexDigit,  // a character after the type that is not a hex digit
  TooShort,     // an odd number of digits, or too few for the count, address and checksum
  LengthField,  // the count field disagrees with the number of pairs
  Checksum,     // the line's own checksum
};

// One line of an SHX file's text after the header block, as the tokenizer found it. A line
// ends at LF; one CR before the LF is not part of it.
struct ShxLine {
  std::uint64_t number = 0;  // the first line after the header block is line 1
  std::size_t offset = 0;    // of its first character in the file
  std::span<const std::uint8_t> text;
  // '0', '3' or '7'; 0 for a line that is not one of these records.
  char type = 0;
  // The pairs after the type, decoded: count, address, data, checksum. A pair with a character
  // that is not a hex digit reads as 0xFF.
  std::span<const std::uint8_t> bytes;
  std::uint32_t byteSum = 0;  // of `bytes`
  ShxLineFault fault = ShxLineFault::None;
  std::size_t badColumn = 0;  // for NotHexDigit: the character's column, the type's 'S' being 1

  // Bytes before the data: the count and a 2-byte (S0) or 4-byte (S3, S7) address.
  std::size_t fixedBytes() const { return type == '0' ? 3 : 5; }
  // Every character a hex digit, in pairs, so the bytes are what the text says.
  bool certain() const { return fault != ShxLineFault::NotHexDigit; }
  // The count, the pairs and the checksum's place agree (the checksum itself may be wrong).
  bool framed() const { return fault == ShxLineFault::None || fault == ShxLineFault::Checksum; }
  // Enough pairs for the count, the address and the checksum.
  bool hasFields() const { return bytes.size() >= fixedBytes() + 1; }
  std::uint32_t address() const;  // of an S3 or S7 line with its fields
};

// Lines that a second thread decoded while the walk was still before them: S3 lines, each
// ended by CR LF, every character a hex digit, count and checksum right, each address
// following on from the line before. Only their data is kept, laid end to end. Not copied:
// `data` may lie in `own`.
struct ShxDataRun {
  ShxDataRun() = default;
  ShxDataRun(const ShxDataRun&) = delete;
  ShxDataRun& operator=(const ShxDataRun&) = delete;

  std::size_t begin = 0;  // the first line's offset
  std::size_t end = 0;    // where the line after the run starts
  std::uint64_t lines = 0;
  std::uint32_t firstAddress = 0;
  std::uint32_t nextAddress = 0;  // the last line's address plus its data bytes
  std::uint32_t dataSum = 0;      // of `data`
  std::uint32_t charSum = 0;      // of the characters from `begin` to `end`
  std::span<const std::uint8_t> data;
  bool inPlace = false;                 // `data` lies in the space a sink lent for it
  std::unique_ptr<std::uint8_t[]> own;  // not zeroed: pages never written are never touched
};

// Lets a sink that lent space for a run stop the run before it writes there itself, or follow
// it while it lays its data.
class ShxRunGuard {
 public:
  // Returns once the run has stopped writing; it is then declined.
  virtual void stop() = 0;
  // Told [from, to) of the lent space, on the thread that decodes the run, each time some
  // megabytes more of its data lie there, and for the rest when the run ends. Set before the
  // run starts.
  using Laid = std::function<void(std::size_t from, std::size_t to)>;
  virtual void onLaid(Laid laid) = 0;

 protected:
  ~ShxRunGuard() = default;
};

// Receives the lines in file order.
class ShxTokenSink {
 public:
  virtual ~ShxTokenSink() = default;
  virtual void line(const ShxLine& line) = 0;
  // Whether the sink, as the lines so far have left it, would take each line of `run` alike,
  // so that `run` may stand for them. A sink that cannot tell gets the lines one by one.
  virtual bool takesRun(const ShxDataRun& /*run*/) const { return false; }
  // Whether, as far as can be told before it is decoded, a run whose first line has `address`
  // would be taken if it started at the next line.
  virtual bool takesRunFrom(std::uint32_t /*address*/) const { return false; }
  // The run's lines, the first of them numbered `first`.
  virtual void run(const ShxDataRun& /*run*/, std::uint64_t /*first*/) {}
  // The run's lines will come one by one: a sink that lent the run space takes it back.
  virtual void runDeclined(const ShxDataRun& /*run*/) {}
  // Space where the data of a run starting with a line at `address` may be decoded while the
  // walk has not yet reached it (at most `bytes`), or none. The run sets its data from the
  // start; what lies past the data is the sink's to take back. A sink that lends it must call
  // `guard.stop()` before it writes there itself, as long as the run is neither taken nor
  // declined.
  virtual std::span<std::uint8_t> runSpace(std::uint32_t /*address*/, std::size_t /*bytes*/,
                                           ShxRunGuard& /*guard*/) {
    return {};
  }
};

// Where a run of data lines is decoded apart from the walk: where the file is large enough to
// gain from it, on a second thread where there is one (Auto), nowhere (None), or from the
// first line that starts at or after `at` (At). The sinks see the same lines, or runs
// standing for them, whichever is chosen.
struct ShxSplit {
  enum class Mode : std::uint8_t { Auto, None, At };
  Mode mode = Mode::Auto;
  std::size_t at = 0;
  // The run decoded first on this thread, as where no second thread can be had.
  bool sameThread = false;
  // A run of the walk's own on this thread as well, from the first line at or after `lead` up
  // to the split (or the end without one); from the first line the sinks would take a run from
  // with kWhenTaken; 0 for none.
  std::size_t lead = 0;
  static constexpr std::size_t kWhenTaken = ~std::size_t(0);
};

// Walks the S-record text after the header block once, decoding every line's pairs with the
// vector kernels. The file must be longer than the header block for there to be any line.
// With a split, a second thread decodes ahead from it the run of data lines it can, and the
// sinks are offered that run when the walk reaches it.
void tokenizeShx(std::span<const std::uint8_t> file, ShxTokenSink& sink, ShxSplit split = {});

// Describes `text` as a line that holds it alone (up to, not including, its line end): its
// record type, its pairs decoded into `decoded` (room for text.size() / 2 bytes), their sum and
// the first fault. The line's number and offset are left as they are.
void describeShxRecord(std::span<const std::uint8_t> text, std::uint8_t* decoded, ShxLine& line);

class ShxTokenizer;

// Walks S-record text that arrives in pieces (a page reading a picked file) as tokenizeShx
// walks it whole with runs on this thread only: each group's data lines are decoded as a run as
// they come, and the sinks see what they would see. `file` spans the whole file, of which only
// the bytes said to have come are read.
class ShxTextStream {
 public:
  ShxTextStream(std::span<const std::uint8_t> file, ShxTokenSink& sink);
  ShxTextStream(const ShxTextStream&) = delete;
  ShxTextStream& operator=(const ShxTextStream&) = delete;
  ~ShxTextStream();
  // The file's first `bytes` bytes have come: the lines wholly among them are walked.
  void received(std::size_t bytes);
  // All of it has: the rest is walked.
  void finish();

 private:
  std::unique_ptr<ShxTokenizer> tokenizer_;
  std::size_t size_;
};

// The same lines handed to two sinks, for a read and a check in one walk.
class ShxTokenPair : public ShxTokenSink {
 public:
  ShxTokenPair(ShxTokenSink& first, ShxTokenSink& second) : first_(first), second_(second) {}
  void line(const ShxLine& line) override {
    first_.line(line);
    second_.line(line);
  }
  bool takesRun(const ShxDataRun& run) const override {
    return first_.takesRun(run) && second_.takesRun(run);
  }
  bool takesRunFrom(std::uint32_t address) const override {
    return first_.takesRunFrom(address) && second_.takesRunFrom(address);
  }
  void run(const ShxDataRun& run, std::uint64_t first) override {
    first_.run(run, first);
    second_.run(run, first);
  }
  void runDeclined(const ShxDataRun& run) override {
    first_.runDeclined(run);
    second_.runDeclined(run);
  }
  // Only one of the two may lend it.
  std::span<std::uint8_t> runSpace(std::uint32_t address, std::size_t bytes,
                                   ShxRunGuard& guard) override {
    const std::span<std::uint8_t> space = first_.runSpace(address, bytes, guard);
    return space.empty() ? second_.runSpace(address, bytes, guard) : space;
  }

 private:
  ShxTokenSink& first_;
  ShxTokenSink& second_;
};

}  // namespace tavufe
