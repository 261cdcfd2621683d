#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "model/paged_buffer.h"

namespace tavufe {

// What is wrong with one record, the first fault only.
enum class ShxRecordFault : std::uint8_t {
  None,
  NotHexDigit,  // a character after the type that is not a hex digit
  TooShort,     // an odd number of digits, or too few for the count, address and checksum
  LengthField,  // the count field disagrees with the number of pairs
  Checksum,     // the record's own checksum
  CutShort,     // an "S" that ends the file
};

// One S-record of an SHX file's text, as the tokenizer framed it. Lines end at LF (one CR before
// it is not part of the line); the first line after the header block is line 1.
//
// The one rule: a record starts wherever "S" is followed by a digit, its type, and runs over its
// count's pairs, or over its hex digits where they run on further; it never runs past its line's
// end or into the next "S". A line that is nothing but one S0, S3 or S7 record of hex digits,
// as nearly every line is, is that record whole.
struct ShxRecord {
  std::uint64_t line = 0;
  std::size_t offset = 0;  // of its "S" in the file
  std::size_t column = 1;  // of its "S" in the line
  std::span<const std::uint8_t> text;
  // The type digit; 0 for an "S" that ends the file.
  char type = 0;
  // For S0, S3 and S7: the pairs after the type, decoded (a pair with a character that is not a
  // hex digit reads as 0xFF), their sum and the first fault.
  std::span<const std::uint8_t> bytes;
  std::uint32_t byteSum = 0;
  ShxRecordFault fault = ShxRecordFault::None;
  std::size_t badAt = 0;  // for NotHexDigit: the character's index in `text`
  bool wholeLine = false;

  bool known() const { return type == '0' || type == '3' || type == '7'; }
  // Bytes before the data: the count and a 2-byte (S0) or 4-byte (S3, S7) address.
  std::size_t fixedBytes() const { return type == '0' ? 3 : 5; }
  // Every character a hex digit, in pairs, so the bytes are what the text says.
  bool certain() const { return fault != ShxRecordFault::NotHexDigit; }
  // The count, the pairs and the checksum's place agree (the checksum itself may be wrong).
  bool framed() const { return fault == ShxRecordFault::None || fault == ShxRecordFault::Checksum; }
  // Enough pairs for the count, the address and the checksum.
  bool hasFields() const { return bytes.size() >= fixedBytes() + 1; }
  std::uint32_t address() const;  // of an S3 or S7 record with its fields
};

// An S3 record as its count frames it, which is how a read lays it: the count's data bytes and
// their sum, and whether the checksum at the count's place holds. A count that runs past the
// record leaves it not `whole`: its later characters cannot make its sum. `chars` is how many
// characters the count says the record takes, its "S" and type included.
// Count and address: the pairs of a data record before its data.
inline constexpr std::size_t kS3FixedBytes = 5;

struct ShxCountedData {
  bool whole = false;
  std::size_t chars = 0;
  std::span<const std::uint8_t> data;
  std::uint32_t dataSum = 0;
  bool checksumHolds = false;
};
ShxCountedData countedData(const ShxRecord& record);

// Data lines of one code group decoded as one: S3 lines, each ended by CR LF, every character a
// hex digit, count and checksum right, each address following on from the line before. Only
// their data is kept, laid end to end, in space a sink gave or in memory of the run's own.
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
  bool inSinkSpace = false;  // `data` lies in the space the sink gave for it
  PagedBuffer own;           // where the run took memory of its own
};

// Receives what the text holds, in file order.
class ShxTokenSink {
 public:
  virtual ~ShxTokenSink() = default;
  virtual void record(const ShxRecord& record) = 0;
  // Text outside every record that the reader passes over (CR excepted): the first character of
  // each stretch, with its column.
  virtual void passedOver(std::uint64_t /*line*/, std::size_t /*column*/, std::uint8_t /*c*/) {}
  // The end of a line that was not one whole record.
  virtual void lineEnd(std::uint64_t /*line*/, bool /*empty*/) {}

  // Whether a run whose first line has `address` would be taken if it started at the next line.
  virtual bool takesRunFrom(std::uint32_t /*address*/) const { return false; }
  // Space where the walk may decode such a run's data (at most `bytes`), or none. The run sets
  // its data from the start; the sink takes back the rest when it takes or declines the run.
  virtual std::span<std::uint8_t> runSpace(std::uint32_t /*address*/, std::size_t /*bytes*/) {
    return {};
  }
  // Whether the sink, as the lines so far have left it, would take each line of `run` alike.
  virtual bool takesRun(const ShxDataRun& /*run*/) const { return false; }
  // The run's lines, the first of them numbered `first`. A sink may take over the run's own
  // memory; it then points `data` at where the bytes lie now.
  virtual void run(ShxDataRun& /*run*/, std::uint64_t /*first*/) {}
  // The run's lines come one by one instead.
  virtual void runDeclined(const ShxDataRun& /*run*/) {}
};

class ShxWalk;

// Walks the S-record text after the header block once, as it arrives: the text may come in
// pieces (a page reading a picked file) or whole. `file` spans the whole file, of which only the
// bytes said to have come are read.
class ShxTokenizer {
 public:
  ShxTokenizer(std::span<const std::uint8_t> file, ShxTokenSink& sink);
  ShxTokenizer(const ShxTokenizer&) = delete;
  ShxTokenizer& operator=(const ShxTokenizer&) = delete;
  ~ShxTokenizer();
  // The file's first `bytes` bytes have come: the lines wholly among them are walked.
  void received(std::size_t bytes);
  // All of it has: the rest is walked.
  void finish();

 private:
  std::unique_ptr<ShxWalk> walk_;
};

// The whole text at once: on a large one, a second thread decodes its second half meanwhile.
void tokenizeShx(std::span<const std::uint8_t> file, ShxTokenSink& sink);

// The same records handed to two sinks, for a read and a check in one walk.
class ShxTokenPair : public ShxTokenSink {
 public:
  ShxTokenPair(ShxTokenSink& first, ShxTokenSink& second) : first_(first), second_(second) {}
  void record(const ShxRecord& record) override {
    first_.record(record);
    second_.record(record);
  }
  void passedOver(std::uint64_t line, std::size_t column, std::uint8_t c) override {
    first_.passedOver(line, column, c);
    second_.passedOver(line, column, c);
  }
  void lineEnd(std::uint64_t line, bool empty) override {
    first_.lineEnd(line, empty);
    second_.lineEnd(line, empty);
  }
  bool takesRunFrom(std::uint32_t address) const override {
    return first_.takesRunFrom(address) && second_.takesRunFrom(address);
  }
  // Only one of the two may give it.
  std::span<std::uint8_t> runSpace(std::uint32_t address, std::size_t bytes) override {
    const std::span<std::uint8_t> space = first_.runSpace(address, bytes);
    return space.empty() ? second_.runSpace(address, bytes) : space;
  }
  bool takesRun(const ShxDataRun& run) const override {
    return first_.takesRun(run) && second_.takesRun(run);
  }
  void run(ShxDataRun& run, std::uint64_t first) override {
    first_.run(run, first);
    second_.run(run, first);
  }
  void runDeclined(const ShxDataRun& run) override {
    first_.runDeclined(run);
    second_.runDeclined(run);
  }

 private:
  ShxTokenSink& first_;
  ShxTokenSink& second_;
};

}  // namespace tavufe
