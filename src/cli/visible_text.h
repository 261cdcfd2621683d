#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavufe::cli {

// One character of UTF-8: its code point and how many bytes it takes; length 0 where no valid
// sequence starts. Overlong forms, surrogates and code points past U+10FFFF are not valid.
struct Utf8Char {
  char32_t codePoint = 0;
  std::size_t length = 0;
};
Utf8Char decodeUtf8(std::string_view text, std::size_t at);

// Characters that reorder, break or hide what is shown around them: all twelve bidirectional
// controls (the marks, embeddings, overrides and isolates), the zero-width and invisible format
// characters, and the line and paragraph separators. Printed raw, two different names could
// look the same.
bool isHiddenOrLayoutControl(char32_t codePoint);

// Text that came from a file or the command line, made safe and unambiguous to print on a
// terminal or into a pipe: C0 and C1 control characters, DEL and bytes that are not part of
// valid UTF-8 become visible escapes ("\x1B"), hidden and layout controls become "\u202E", and a
// backslash is doubled so that no escape can be forged. Other text, UTF-8 included, is
// unchanged.
std::string visibleText(std::string_view text);

// What the user typed, echoed in quotes with the same escapes as text from a file.
std::string quoted(std::string_view text);

}  // namespace tavufe::cli
