#include <gtest/gtest.h>

#include "inspect/number_format.h"
#include "superfile/byte_order.h"
#include "superfile/hex.h"

using namespace tavufe;

namespace {
std::uint8_t pair(char a, char b) { return hexPairToByte(std::uint8_t(a), std::uint8_t(b)); }
}  // namespace

TEST(HexTests, PairsDecodeAndInvalidReadsAsErased) {
  EXPECT_EQ(pair('3', 'f'), 0x3F);
  EXPECT_EQ(pair('F', 'F'), 0xFF);
  EXPECT_EQ(pair('G', '1'), 0xFF);
  EXPECT_EQ(pair('1', 'G'), 0xFF);
  EXPECT_EQ(pair('0', '0'), 0x00);
  EXPECT_EQ(pair('a', 'B'), 0xAB);
  EXPECT_EQ(pair('\0', '0'), 0xFF);
  EXPECT_EQ(pair(char(0xC1), '0'), 0xFF);
}

TEST(HexTests, WordsBothWays) {
  const std::uint8_t a[] = "11280000";
  const std::uint8_t b[] = "xx03fc8000";
  EXPECT_EQ(hexToU32(a, 0), 0x11280000u);
  EXPECT_EQ(hexToU32(b, 2), 0x03FC8000u);
  char out[12] = "..........";
  u32ToHex(0x03FC8000, out, 1);
  EXPECT_EQ(std::string(out, 10), ".03FC8000.");
  char two[2];
  byteToHex(0xA5, two);
  EXPECT_EQ(std::string(two, 2), "A5");
  byteToHex(0x0F, two);
  EXPECT_EQ(std::string(two, 2), "0F");
  EXPECT_EQ(hex8(0x11280000), "11280000");
  EXPECT_EQ(hex4(0x0A1B), "0A1B");
}

TEST(ByteOrderTests, Swaps) {
  EXPECT_EQ(swap32(0x11223344u), 0x44332211u);
  EXPECT_EQ(swap16(0x0C02), 0x020C);
  const std::uint8_t be[] = {0x11, 0x28, 0x00, 0x01};
  EXPECT_EQ(read32be(be), 0x11280001u);
  EXPECT_EQ(read32le(be), 0x01002811u);
}

TEST(NumberFormatTests, GroupsThousands) {
  EXPECT_EQ(formatThousands(0, ","), "0");
  EXPECT_EQ(formatThousands(999, ","), "999");
  EXPECT_EQ(formatThousands(65536, ","), "65,536");
  EXPECT_EQ(formatThousands(13369344, "."), "13.369.344");
  EXPECT_EQ(formatThousands(1000000, "\u202F"), "1\u202F000\u202F000");
  EXPECT_EQ(formatThousands(-1234, ","), "-1,234");
}
