// RAMDLD ranges are 32-bit lengths wherever they lie: across 0x80000000 or past 2^32.

#include <gtest/gtest.h>

#include "reader_support.h"
#include "test_support.h"

using namespace tavufe;

TEST(RamdldRangeTests, AnyStartWhoseRangeFitsTheAreaOpensInBothEncodings) {
  const fixture::Bytes data = fixture::pattern(0x200, 21);
  const fixture::Bytes flex = fixture::pattern(0x100, 22);
  for (const std::uint32_t start : {0x7FFFFF00u, 0x7FFFFE00u, 0xFFFFFF00u}) {
    const std::vector<readers::Group> groups = {{0, start, data}, {2, 0x11280000, flex}};
    for (const auto encoding : {readers::Encoding::Sbf, readers::Encoding::Shx}) {
      SCOPED_TRACE(::testing::Message() << std::hex << start << " "
                                        << (encoding == readers::Encoding::Sbf ? "SBF" : "SHX"));
      auto s = freshEditor();
      CountingProgress progress;
      const fixture::Bytes file =
          encoding == readers::Encoding::Sbf ? readers::makeSbf(groups) : readers::makeShx(groups);
      const readers::Opened opened = readers::openBytes(*s, encoding, file, progress);
      ASSERT_EQ(opened.status, StatusCode::None);
      EXPECT_EQ(s->slots[0].startAddress, start);
      EXPECT_EQ(s->slots[0].endAddress, start + 0x1FFu);
      EXPECT_EQ(s->slots[0].length, 0x200u);
      EXPECT_EQ(s->slots[0].bufferChecksum, fixture::sum16(data));
      EXPECT_TRUE(readers::imageHolds(*s, kRamdldOffset, data));
    }
  }
}
