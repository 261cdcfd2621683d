#include "superfile/save_preparation.h"

#include <gtest/gtest.h>

#include "save_setup.h"

using namespace tavufe;
using save_setup::layGroup;

namespace {

constexpr std::uint32_t kWindow = 0x40000F0;  // RAMDLD byte 240

fixture::Bytes window(const EditorState& s) {
  const std::uint8_t* p = s.image.data() + kWindow;
  return fixture::Bytes(p, p + 176);
}

// The window as it must read: 0xFF except for the given 8-byte entry at a RAMDLD byte.
fixture::Bytes windowWith(std::size_t ramdldByte, std::array<std::uint8_t, 8> entry) {
  fixture::Bytes w(176, 0xFF);
  for (std::size_t k = 0; k < 8; ++k) w[ramdldByte - 240 + k] = entry[k];
  return w;
}

}  // namespace

TEST(SavePreparationTableTests, FlexAtItsCatalogueStartGetsItsWholeRegion) {
  auto r = save_setup::ramdldAndFlex(0x400, 0x100);
  EditorState& s = *r.state;
  prepareSave(s);
  EXPECT_EQ(s.status, StatusCode::None);
  EXPECT_EQ(window(s), windowWith(264, {0x11, 0x28, 0x00, 0x00, 0x11, 0xF3, 0xFF, 0xFF}));
  // Bytes just outside the window keep the RAMDLD's own content.
  EXPECT_EQ(s.image.data()[kWindow - 1], r.ramdld[239]);
  EXPECT_EQ(s.image.data()[kWindow + 176], r.ramdld[416]);
}

TEST(SavePreparationTableTests, FlexElsewhereGetsItsOwnEnd) {
  auto r = save_setup::ramdldAndFlex(0x400, 0x100, 0x11300000);
  prepareSave(*r.state);
  EXPECT_EQ(window(*r.state), windowWith(264, {0x11, 0x30, 0x00, 0x00, 0x11, 0x30, 0x00, 0xFF}));
}

TEST(SavePreparationTableTests, BootLoaderSaveDescribesOnlyTheFbuRegion) {
  auto s = save_setup::emptyEditor();
  layGroup(*s, 0, 0, save_setup::kRamdldStart, fixture::pattern(0x200, 1));
  layGroup(*s, 1, 256, 0x10000000, fixture::pattern(0x40, 2));
  layGroup(*s, 2, 2, save_setup::kFlexStart, fixture::pattern(0x40, 3));
  prepareSave(*s);
  EXPECT_EQ(s->status, StatusCode::None);
  EXPECT_EQ(window(*s), windowWith(248, {0x10, 0x00, 0x00, 0x00, 0x11, 0xFF, 0xFF, 0xFF}));
}

TEST(SavePreparationTableTests, SkipsEmptySlotsHighNumbersAndTheRamdldItself) {
  auto s = save_setup::emptyEditor();
  layGroup(*s, 0, 0, save_setup::kRamdldStart, fixture::pattern(0x200, 1));
  layGroup(*s, 1, 21, 0x11000000, fixture::pattern(0x40, 2));  // no entry for 21
  layGroup(*s, 3, 20, 0x11100000, fixture::pattern(0x40, 3));  // last entry, not at catalogue start
  ASSERT_EQ(s->slots[2].cgNumber, -1);
  s->lastSlot = 3;
  prepareSave(*s);
  EXPECT_EQ(s->status, StatusCode::None);
  EXPECT_EQ(window(*s), windowWith(408, {0x11, 0x10, 0x00, 0x00, 0x11, 0x10, 0x00, 0x3F}));
}

TEST(SavePreparationTableTests, ShortRamdldIsPatchedPastItsEndButSummedOverItsLength) {
  auto s = save_setup::emptyEditor();
  const fixture::Bytes rdl = fixture::pattern(300, 4);
  layGroup(*s, 0, 0, save_setup::kRamdldStart, rdl);
  layGroup(*s, 1, 2, save_setup::kFlexStart, fixture::pattern(0x40, 5));
  prepareSave(*s);
  EXPECT_EQ(window(*s), windowWith(264, {0x11, 0x28, 0x00, 0x00, 0x11, 0xF3, 0xFF, 0xFF}));
  const fixture::Bytes patched = save_setup::patchedForFlex(rdl);
  EXPECT_EQ(s->slots[0].bufferChecksum, fixture::sum16(patched));
}

TEST(SavePreparationRamdldTests, HeaderBytesAndChecksumDescribeThePatchedBytes) {
  auto r = save_setup::ramdldAndFlex(0x30000, 0x100);  // exactly the RAMDLD area: accepted
  EditorState& s = *r.state;
  s.image.data()[0x4000000 + 3] = 0xA5;  // an edit after finalisation
  prepareSave(s);
  EXPECT_EQ(s.status, StatusCode::None);
  fixture::Bytes expected = save_setup::patchedForFlex(r.ramdld);
  expected[3] = 0xA5;
  EXPECT_EQ(s.slots[0].bufferChecksum, fixture::sum16(expected));
  EXPECT_TRUE(
      std::equal(s.slots[0].headerBytes.begin(), s.slots[0].headerBytes.end(), expected.begin()));
}

TEST(SavePreparationRamdldTests, OneByteTooLongIsAnAddressRangeAfterThePatch) {
  auto r = save_setup::ramdldAndFlex(0x30000, 0x100);
  EditorState& s = *r.state;
  s.slots[0].length = 0x30001;
  const auto headerBefore = s.slots[0].headerBytes;
  const auto sumBefore = s.slots[0].bufferChecksum;
  s.image.data()[0x4000000] ^= 0xFF;
  prepareSave(s);
  EXPECT_EQ(code(s.status), 11);
  EXPECT_EQ(window(s), windowWith(264, {0x11, 0x28, 0x00, 0x00, 0x11, 0xF3, 0xFF, 0xFF}));
  EXPECT_EQ(s.slots[0].headerBytes, headerBefore);
  EXPECT_EQ(s.slots[0].bufferChecksum, sumBefore);
}
