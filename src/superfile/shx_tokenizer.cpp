#include "superfile/shx_tokenizer.h"

#include <cstring>
#include <vector>

#include "model/byte_order.h"
#include "model/hex.h"
#include "superfile/header_block.h"
#include "superfile/hex_pairs.h"

namespace tavufe {

std::uint32_t ShxLine::address() const { return read32be(bytes.data() + 1); }

namespace {

class ShxTokenizer {
 public:
  ShxTokenizer(std::span<const std::uint8_t> file, ShxTokenSink& sink) : file_(file), sink_(sink) {}

  void run() {
    std::size_t pos = kHeaderSize;
    ShxLine line;
    while (pos < file_.size()) {
      ++line.number;
      line.offset = pos;
      const std::uint8_t* lf = expectedLineEnd(pos);
      const bool predicted = lf != nullptr;
      if (predicted) {
        describe(line, lf);
        // A line of digits only holds no LF: the end its count gave is its end.
        if (!line.certain()) lf = nullptr;
      }
      if (lf == nullptr) {
        lf = static_cast<const std::uint8_t*>(
            std::memchr(file_.data() + pos, '\n', file_.size() - pos));
        describe(line, lf);
      }
      sink_.line(line);
      pos = lf != nullptr ? std::size_t(lf - file_.data()) + 1 : file_.size();
    }
  }

 private:
  // Where the line at `pos` ends when it is an S3 line of the length its count says, ended by
  // CR LF, as nearly every line is; nothing when it is not, and the end is searched for.
  const std::uint8_t* expectedLineEnd(std::size_t pos) const {
    if (file_.size() - pos < 4 || file_[pos] != 'S' || file_[pos + 1] != '3') return nullptr;
    const std::size_t count = hexPairToByte(file_[pos + 2], file_[pos + 3]);
    const std::size_t cr = pos + 4 + 2 * count;
    if (cr + 1 >= file_.size() || file_[cr] != '\r' || file_[cr + 1] != '\n') return nullptr;
    return file_.data() + cr + 1;
  }

  // Takes the line from its offset to `lf` (or the end of the file) and decodes it.
  void describe(ShxLine& line, const std::uint8_t* lf) {
    const std::size_t end = lf != nullptr ? std::size_t(lf - file_.data()) : file_.size();
    std::size_t contentEnd = end;
    if (contentEnd > line.offset && file_[contentEnd - 1] == '\r') --contentEnd;
    line.text = file_.subspan(line.offset, contentEnd - line.offset);
    const std::span<const std::uint8_t> text = line.text;
    line.bytes = {};
    line.byteSum = 0;
    line.fault = ShxLineFault::None;
    line.badColumn = 0;
    if (text.size() < 2 || text[0] != 'S' || (text[1] != '0' && text[1] != '3' && text[1] != '7')) {
      line.type = 0;
      return;
    }
    line.type = char(text[1]);
    const std::span<const std::uint8_t> digits = text.subspan(2);
    const std::size_t count = digits.size() / 2;
    if (bytes_.size() < kLead + count) bytes_.resize(kLead + count);
    std::uint8_t* const decoded = bytes_.data() + kLead;
    line.bytes = std::span<const std::uint8_t>(decoded, count);
    line.byteSum = count > 0 ? hex_.decode(digits.data(), count, decoded) : 0;

    if (const std::size_t bad = firstBadDigit(digits, line.bytes); bad != digits.size()) {
      line.fault = ShxLineFault::NotHexDigit;
      line.badColumn = bad + 3;
      return;
    }
    if (digits.size() % 2 != 0 || !line.hasFields()) {
      line.fault = ShxLineFault::TooShort;
    } else if (line.bytes[0] != count - 1) {
      line.fault = ShxLineFault::LengthField;
    } else {
      const std::uint32_t sum = line.byteSum - line.bytes.back();
      if (line.bytes.back() != std::uint8_t(0xFF - (sum & 0xFF))) {
        line.fault = ShxLineFault::Checksum;
      }
    }
  }

  // Where the first character that is not a hex digit stands, or the digits' size. The vector
  // decoder gives a pair with such a character as 0xFF, so a line without 0xFF bytes is all
  // digits and needs no second look; one with them is checked sixteen characters at a time.
  std::size_t firstBadDigit(std::span<const std::uint8_t> digits,
                            std::span<const std::uint8_t> decoded) const {
    if (digits.size() % 2 == 0 && !holdsFF(decoded)) return digits.size();
    return firstNonHexDigit(digits);
  }

  // The decoded bytes start this far into the buffer, so that a data line's data, after the
  // count and the 4-byte address, starts on a word: the copy into the image then moves words,
  // where a libc without vector loads would move bytes.
  static constexpr std::size_t kLead = 3;

  std::span<const std::uint8_t> file_;
  ShxTokenSink& sink_;
  const HexKernels& hex_ = hexKernels();
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

void tokenizeShx(std::span<const std::uint8_t> file, ShxTokenSink& sink) {
  ShxTokenizer(file, sink).run();
}

}  // namespace tavufe
