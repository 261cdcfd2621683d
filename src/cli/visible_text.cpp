#include "cli/visible_text.h"

#include <algorithm>
#include <cstdint>

namespace tavufe::cli {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool isC1Control(char32_t c) { return c >= 0x80 && c <= 0x9F; }

}  // namespace

Utf8Char decodeUtf8(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return std::uint8_t(text[at + k]); };
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  std::uint8_t low = 0x80;  // the range of the second byte
  std::uint8_t high = 0xBF;
  char32_t value = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
  } else {
    return {};
  }
  if (text.size() - at < length || byte(1) < low || byte(1) > high) return {};
  for (std::size_t k = 1; k < length; ++k) {
    if (byte(k) < 0x80 || byte(k) > 0xBF) return {};
    value = (value << 6) | (byte(k) & 0x3F);
  }
  return {value, length};
}

bool isHiddenOrLayoutControl(char32_t c) {
  const bool bidirectional = c == 0x061C || c == 0x200E || c == 0x200F ||
                             (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
  const bool invisible = (c >= 0x200B && c <= 0x200D) || c == 0x2060 || c == 0xFEFF;
  return bidirectional || invisible || c == 0x2028 || c == 0x2029;
}

std::string visibleText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char c = decodeUtf8(text, i);
    if (c.codePoint == '\\') {
      shown += "\\\\";
    } else if (c.length > 0 && isHiddenOrLayoutControl(c.codePoint)) {
      shown += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) shown += kHex[(c.codePoint >> shift) & 0x0F];
    } else if (c.length > 0 && c.codePoint >= 0x20 && c.codePoint != 0x7F &&
               !isC1Control(c.codePoint)) {
      shown.append(text.substr(i, c.length));
    } else {
      // A control, or a byte of no valid character: each byte as it is in the file (a C1
      // control's two bytes too, as the terminal would see them).
      for (std::size_t k = 0; k < std::max<std::size_t>(c.length, 1); ++k) {
        const auto b = std::uint8_t(text[i + k]);
        shown += "\\x";
        shown += kHex[b >> 4];
        shown += kHex[b & 0x0F];
      }
    }
    i += std::max<std::size_t>(c.length, 1);
  }
  return shown;
}

std::string quoted(std::string_view text) { return "'" + visibleText(text) + "'"; }

}  // namespace tavufe::cli
