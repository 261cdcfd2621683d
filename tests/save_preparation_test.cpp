#include "superfile/save_preparation.h"

#include <gtest/gtest.h>

#include "save_setup.h"

using namespace tavufe;
using save_setup::layGroup;

namespace {

constexpr std::uint32_t kWindow = 240;  // the RAMDLD's byte
using Entry = std::array<std::uint8_t, 8>;
const Entry kFlexWhole = {0x11, 0x28, 0x00, 0x00, 0x11, 0xF3, 0xFF, 0xFF};

fixture::Bytes window(const SavePlan& plan) {
  return fixture::Bytes(plan.ramdld.begin() + kWindow, plan.ramdld.begin() + kWindow + 176);
}

fixture::Bytes ramdldArea(const EditorState& s) {
  const std::uint8_t* p = imageData(s) + kRamdldOffset;
  return fixture::Bytes(p, p + kRamdldAreaSize);
}

// The window as it must read: 0xFF except for the given 8-byte entry at a RAMDLD byte.
fixture::Bytes windowWith(std::size_t ramdldByte, const Entry& entry) {
  fixture::Bytes w(176, 0xFF);
  std::copy(entry.begin(), entry.end(), w.begin() + std::ptrdiff_t(ramdldByte - 240));
  return w;
}

}  // namespace

TEST(SavePreparationTableTests, EntriesWrittenIntoTheRamdldCopy) {
  struct Laid {
    int slot, cg;
    std::uint32_t start;
    std::size_t size;
  };
  struct Case {
    const char* what;
    std::vector<Laid> groups;
    std::size_t at;
    Entry entry;
  };
  const Case cases[] = {
      {"Flex at its catalogue start gets its whole region",
       {{1, 2, 0x11280000, 0x100}},
       264,
       kFlexWhole},
      {"Flex elsewhere gets its own end",
       {{1, 2, 0x11300000, 0x100}},
       264,
       {0x11, 0x30, 0x00, 0x00, 0x11, 0x30, 0x00, 0xFF}},
      {"a boot-loader save describes only the FBU region",
       {{1, 256, 0x10000000, 0x40}, {2, 2, 0x11280000, 0x40}},
       248,
       {0x10, 0x00, 0x00, 0x00, 0x11, 0xFF, 0xFF, 0xFF}},
      {"no entry past 20, empty slots skipped, 20 not at its catalogue start",
       {{1, 21, 0x11000000, 0x40}, {3, 20, 0x11100000, 0x40}},
       408,
       {0x11, 0x10, 0x00, 0x00, 0x11, 0x10, 0x00, 0x3F}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = save_setup::emptyEditor();
    const fixture::Bytes rdl = fixture::pattern(0x400, 1);
    layGroup(*s, 0, 0, save_setup::kRamdldStart, rdl);
    for (const Laid& g : c.groups) layGroup(*s, g.slot, g.cg, g.start, fixture::pattern(g.size, 2));
    SavePlan plan = planSave(*s);
    EXPECT_EQ(prepareSave(*s, plan), StatusCode::None);
    ASSERT_EQ(plan.ramdld.size(), rdl.size());
    EXPECT_EQ(window(plan), windowWith(c.at, c.entry));
    // Bytes just outside the window keep the RAMDLD's own content.
    EXPECT_EQ(plan.ramdld[kWindow - 1], rdl[239]);
    EXPECT_EQ(plan.ramdld[kWindow + 176], rdl[416]);
    // The image is only read.
    EXPECT_TRUE(std::equal(rdl.begin(), rdl.end(), imageData(*s) + kRamdldOffset));
  }
}

TEST(SavePreparationRamdldTests, HeaderBytesAndChecksumDescribeThePatchedBytes) {
  // Shorter than the table window: patched past its end but summed over its length. Exactly
  // the RAMDLD area: accepted. Either way an edit made after finalisation counts.
  for (std::size_t size : {std::size_t(300), std::size_t(0x30000)}) {
    SCOPED_TRACE(size);
    auto r = save_setup::ramdldAndFlex(size, 0x100);
    EditorState& s = *r.state;
    imageData(s)[0x4000000 + 3] = 0xA5;
    const CodeGroupSlot before = s.slots[0];
    SavePlan plan = planSave(s);
    EXPECT_EQ(prepareSave(s, plan), StatusCode::None);
    fixture::Bytes expected = save_setup::patchedForFlex(r.ramdld);
    expected[3] = 0xA5;
    EXPECT_EQ(fixture::Bytes(plan.ramdld.begin(), plan.ramdld.end()), expected);
    EXPECT_EQ(plan.slots[0].bufferChecksum, fixture::sum16(expected));
    EXPECT_TRUE(std::equal(plan.slots[0].headerBytes.begin(), plan.slots[0].headerBytes.end(),
                           expected.begin()));
    // The document's slot keeps what it was finalised to.
    EXPECT_EQ(s.slots[0].bufferChecksum, before.bufferChecksum);
    EXPECT_EQ(s.slots[0].headerBytes, before.headerBytes);
  }
}

TEST(SavePreparationRamdldTests, OneByteTooLongIsAnAddressRangeAndPreparesNothing) {
  auto r = save_setup::ramdldAndFlex(0x30000, 0x100);
  EditorState& s = *r.state;
  SavePlan plan = planSave(s);
  plan.slots[0].length = 0x30001;
  const auto headerBefore = plan.slots[0].headerBytes;
  const auto sumBefore = plan.slots[0].bufferChecksum;
  const fixture::Bytes area = ramdldArea(s);
  EXPECT_EQ(prepareSave(s, plan), StatusCode::AddressRange);
  EXPECT_TRUE(plan.ramdld.empty());
  EXPECT_EQ(plan.slots[0].headerBytes, headerBefore);
  EXPECT_EQ(plan.slots[0].bufferChecksum, sumBefore);
  EXPECT_EQ(ramdldArea(s), area);
}
