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

constexpr std::uint8_t kBadPair = 0xFF;

class ShxTokenizer {
 public:
  ShxTokenizer(std::span<const std::uint8_t> file, ShxTokenSink& sink) : file_(file), sink_(sink) {}

  void run() {
    std::size_t pos = kHeaderSize;
    ShxLine line;
    while (pos < file_.size()) {
      const std::uint8_t* begin = file_.data() + pos;
      const auto* lf =
          static_cast<const std::uint8_t*>(std::memchr(begin, '\n', file_.size() - pos));
      const std::size_t end = lf != nullptr ? std::size_t(lf - file_.data()) : file_.size();
      std::size_t contentEnd = end;
      if (contentEnd > pos && file_[contentEnd - 1] == '\r') --contentEnd;
      ++line.number;
      line.offset = pos;
      line.text = file_.subspan(pos, contentEnd - pos);
      describe(line);
      sink_.line(line);
      pos = lf != nullptr ? end + 1 : end;
    }
  }

 private:
  void describe(ShxLine& line) {
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
    if (bytes_.size() < count) bytes_.resize(count);
    line.bytes = std::span<const std::uint8_t>(bytes_.data(), count);
    line.byteSum = count > 0 ? hex_.decode(digits.data(), count, bytes_.data()) : 0;

    if (const std::size_t bad = firstBadDigit(digits); bad != digits.size()) {
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
  // decoder gives a pair with such a character as 0xFF, so only 0xFF bytes need a second look.
  std::size_t firstBadDigit(std::span<const std::uint8_t> digits) const {
    const std::size_t count = digits.size() / 2;
    const std::uint8_t* const first = bytes_.data();
    const std::uint8_t* const end = first + count;
    const std::uint8_t* at = first;
    while (at != end && (at = static_cast<const std::uint8_t*>(
                             std::memchr(at, kBadPair, std::size_t(end - at)))) != nullptr) {
      const auto k = std::size_t(at - first);
      if (detail::kNibble[digits[2 * k]] & 0xF0) return 2 * k;
      if (detail::kNibble[digits[2 * k + 1]] & 0xF0) return 2 * k + 1;
      ++at;
    }
    if (digits.size() % 2 != 0 && (detail::kNibble[digits.back()] & 0xF0)) {
      return digits.size() - 1;
    }
    return digits.size();
  }

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
