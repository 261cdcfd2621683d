// The escapes that keep text from a file from steering the terminal.

#include "cli/visible_text.h"

#include <gtest/gtest.h>

#include <string>

using tavufe::cli::visibleText;

TEST(VisibleTextTests, ControlsDelAndInvalidBytesBecomeEscapes) {
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"", ""},
      {"Skins 2 (old) ~!@#$%^&*_+{}|:<>?`-=[]';,./\"",
       "Skins 2 (old) ~!@#$%^&*_+{}|:<>?`-=[]';,./\""},
      // A backslash is doubled, so that a name holding "\x1B" cannot pass for an escape.
      {"a\\x1B\\", "a\\\\x1B\\\\"},
      // Bidirectional controls and the line and paragraph separators, first and last of each
      // range; their neighbours stay.
      {"\xE2\x80\xAA\xE2\x80\xAE \xE2\x81\xA6\xE2\x81\xA9 \xE2\x80\xA8\xE2\x80\xA9",
       "\\u202A\\u202E \\u2066\\u2069 \\u2028\\u2029"},
      {"\xE2\x80\xA7\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA",
       "\xE2\x80\xA7\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA"},
      {std::string("a\0b", 3), "a\\x00b"},
      {"\x01\x07\x08\t\n\r\x1B\x1F", "\\x01\\x07\\x08\\x09\\x0A\\x0D\\x1B\\x1F"},
      {"\x7F", "\\x7F"},
      {"\x1B]0;title\x07", "\\x1B]0;title\\x07"},
      // Valid UTF-8 stays, from two to four bytes, up to the last code point.
      {"caf\xC3\xA9 \xC2\xA0 \xE2\x80\xAF \xF0\x9F\x93\x81 \xF4\x8F\xBF\xBF",
       "caf\xC3\xA9 \xC2\xA0 \xE2\x80\xAF \xF0\x9F\x93\x81 \xF4\x8F\xBF\xBF"},
      // C1 controls are valid UTF-8 that some terminals obey; U+009F is the last of them.
      {"\xC2\x9B"
       "2J \xC2\x9F",
       "\\xC2\\x9B2J \\xC2\\x9F"},
      // A lone continuation byte, a lead byte with nothing or too little after it.
      {"\x80", "\\x80"},
      {"a\xC3", "a\\xC3"},
      {"\xE2\x80", "\\xE2\\x80"},
      {"\xE2\x80x", "\\xE2\\x80x"},
      // Overlong forms, a surrogate, and past U+10FFFF.
      {"\xC0\xAF \xC1\xBF", "\\xC0\\xAF \\xC1\\xBF"},
      {"\xE0\x9F\xBF", "\\xE0\\x9F\\xBF"},
      {"\xF0\x8F\xBF\xBF", "\\xF0\\x8F\\xBF\\xBF"},
      {"\xED\xA0\x80", "\\xED\\xA0\\x80"},
      {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},
      {"\xF5\x80\x80\x80 \xFF", "\\xF5\\x80\\x80\\x80 \\xFF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    EXPECT_EQ(visibleText(c.text), c.shown);
  }
}
