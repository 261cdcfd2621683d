#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

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
// following on from the line before. Only their data is kept, laid end to end.
struct ShxDataRun {
  std::size_t begin = 0;  // the first line's offset
  std::size_t end = 0;    // where the line after the run starts
  std::uint64_t lines = 0;
  std::uint32_t firstAddress = 0;
  std::uint32_t nextAddress = 0;  // the last line's address plus its data bytes
  std::uint32_t dataSum = 0;      // of `data`
  std::uint32_t charSum = 0;      // of the characters from `begin` to `end`
  std::vector<std::uint8_t> data;
};

// Receives the lines in file order.
class ShxTokenSink {
 public:
  virtual ~ShxTokenSink() = default;
  virtual void line(const ShxLine& line) = 0;
  // Whether the sink, as the lines so far have left it, would take each line of `run` alike,
  // so that `run` may stand for them. A sink that cannot tell gets the lines one by one.
  virtual bool takesRun(const ShxDataRun& /*run*/) const { return false; }
  // The run's lines, the first of them numbered `first`.
  virtual void run(const ShxDataRun& /*run*/, std::uint64_t /*first*/) {}
};

// Where a second thread takes up the text: where the file is large enough to gain from it
// (Auto), nowhere (None), or at the first line that starts at or after `at` (At). The sinks
// see the same lines, or runs standing for them, whichever is chosen.
struct ShxSplit {
  enum class Mode : std::uint8_t { Auto, None, At };
  Mode mode = Mode::Auto;
  std::size_t at = 0;
};

// Walks the S-record text after the header block once, decoding every line's pairs with the
// vector kernels. The file must be longer than the header block for there to be any line.
// With a split, a second thread decodes ahead from it the run of data lines it can, and the
// sinks are offered that run when the walk reaches it.
void tokenizeShx(std::span<const std::uint8_t> file, ShxTokenSink& sink, ShxSplit split = {});

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
  void run(const ShxDataRun& run, std::uint64_t first) override {
    first_.run(run, first);
    second_.run(run, first);
  }

 private:
  ShxTokenSink& first_;
  ShxTokenSink& second_;
};

}  // namespace tavufe
