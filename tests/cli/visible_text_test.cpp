// The escapes that keep text from a file from steering the terminal.

#include "cli/visible_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using tavufe::cli::isHiddenOrLayoutControl;
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

// Every character that hides itself or turns the text around it, first and last of each range,
// against its neighbours on either side, which print as they are.
TEST(VisibleTextTests, HiddenAndLayoutControlsAreEscapedAndTheirNeighboursAreNot) {
  const char32_t escaped[] = {0x061C, 0x200B, 0x200C, 0x200D, 0x200E, 0x200F, 0x2028,
                              0x2029, 0x202A, 0x202E, 0x2060, 0x2066, 0x2069, 0xFEFF};
  const char32_t shown[] = {0x061B, 0x061D, 0x200A, 0x2010, 0x2027, 0x202F,
                            0x205F, 0x2061, 0x2065, 0x206A, 0xFEFE, 0xFF00};
  const auto utf8 = [](char32_t c) {
    std::string s;
    if (c < 0x800) {
      s += char(0xC0 | (c >> 6));
    } else {
      s += char(0xE0 | (c >> 12));
      s += char(0x80 | ((c >> 6) & 0x3F));
    }
    s += char(0x80 | (c & 0x3F));
    return s;
  };
  for (const char32_t c : escaped) {
    char expected[8];
    std::snprintf(expected, sizeof expected, "\\u%04X", unsigned(c));
    SCOPED_TRACE(expected);
    EXPECT_TRUE(isHiddenOrLayoutControl(c));
    EXPECT_EQ(visibleText("a" + utf8(c) + "b"), "a" + std::string(expected) + "b");
  }
  for (const char32_t c : shown) {
    SCOPED_TRACE(unsigned(c));
    EXPECT_FALSE(isHiddenOrLayoutControl(c));
    EXPECT_EQ(visibleText(utf8(c)), utf8(c));
  }
}
