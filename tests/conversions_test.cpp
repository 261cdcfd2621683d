// Hex and number texts at their edges; the ordinary cases are exercised through the readers,
// writers, grid and report.

#include <gtest/gtest.h>

#include "inspect/number_format.h"
#include "model/hex.h"

using namespace tavufe;

TEST(HexTests, PairsDecodeAndAnythingButAHexDigitReadsAsErased) {
  const struct {
    char high, low;
    std::uint8_t value;
  } cases[] = {{'3', 'f', 0x3F}, {'a', 'B', 0xAB}, {'0', '0', 0x00},  {'F', 'F', 0xFF},
               {'G', '1', 0xFF}, {'1', 'G', 0xFF}, {'\0', '0', 0xFF}, {char(0xC1), '0', 0xFF},
               {'/', '0', 0xFF}, {':', '0', 0xFF}, {'@', '0', 0xFF},  {'`', 'g', 0xFF}};
  for (const auto& c : cases) {
    EXPECT_EQ(hexPairToByte(std::uint8_t(c.high), std::uint8_t(c.low)), c.value) << c.high << c.low;
  }
}

TEST(NumberFormatTests, GroupsThousands) {
  EXPECT_EQ(formatThousands(999, ","), "999");
  EXPECT_EQ(formatThousands(1000000, "\u202F"), "1\u202F000\u202F000");
}
