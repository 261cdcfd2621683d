#include "cli/visible_text.h"

#include <cstdint>

namespace tavufe::cli {

namespace {

// The length of the valid UTF-8 sequence that starts at `at`, or 0 when there is none there.
// Overlong forms, surrogates, code points past U+10FFFF and the C1 controls (U+0080 to
// U+009F, which some terminals obey) do not count as valid.
std::size_t sequenceLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return std::uint8_t(text[at + k]); };
  const std::uint8_t lead = byte(0);
  std::size_t length = 0;
  std::uint8_t low = 0x80;  // the range of the second byte
  std::uint8_t high = 0xBF;
  if (lead == 0xC2) {
    length = 2;
    low = 0xA0;
  } else if (lead >= 0xC3 && lead <= 0xDF) {
    length = 2;
  } else if (lead == 0xE0) {
    length = 3;
    low = 0xA0;
  } else if (lead == 0xED) {
    length = 3;
    high = 0x9F;
  } else if (lead >= 0xE1 && lead <= 0xEF) {
    length = 3;
  } else if (lead == 0xF0) {
    length = 4;
    low = 0x90;
  } else if (lead >= 0xF1 && lead <= 0xF3) {
    length = 4;
  } else if (lead == 0xF4) {
    length = 4;
    high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - at < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

std::string visibleText(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = std::uint8_t(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      shown += char(c);
      ++i;
    } else if (const std::size_t length = c >= 0x80 ? sequenceLength(text, i) : 0) {
      shown.append(text.substr(i, length));
      i += length;
    } else {
      shown += "\\x";
      shown += kHex[c >> 4];
      shown += kHex[c & 0x0F];
      ++i;
    }
  }
  return shown;
}

}  // namespace tavufe::cli
