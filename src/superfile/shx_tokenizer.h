#pragma once

#include <cstddef>
#include <cstdint>
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

// Receives the lines in file order.
class ShxTokenSink {
 public:
  virtual ~ShxTokenSink() = default;
  virtual void line(const ShxLine& line) = 0;
};

// Walks the S-record text after the header block once, decoding every line's pairs with the
// vector kernels. The file must be longer than the header block for there to be any line.
void tokenizeShx(std::span<const std::uint8_t> file, ShxTokenSink& sink);

// The same lines handed to two sinks, for a read and a check in one walk.
class ShxTokenPair : public ShxTokenSink {
 public:
  ShxTokenPair(ShxTokenSink& first, ShxTokenSink& second) : first_(first), second_(second) {}
  void line(const ShxLine& line) override {
    first_.line(line);
    second_.line(line);
  }

 private:
  ShxTokenSink& first_;
  ShxTokenSink& second_;
};

}  // namespace tavufe
