#include "superfile/header_block.h"

#include <gtest/gtest.h>

#include "model/finalise.h"
#include "model/flash_image.h"
#include "superfile_fixture.h"
#include "test_support.h"

using namespace tavufe;

// The fixture lays header blocks out on its own: its layout and the editor's must agree.
static_assert(fixture::kHeaderBlockSize == kHeaderSize &&
              fixture::kEntryCountAt == kEntryCountOffset && fixture::kTableAt == kCgTableOffset &&
              fixture::kEntrySize == kCgEntrySize);

namespace {

// The slots as they stand, without finalisation: what the header of their save lists.
SavePlan planOf(const EditorState& s) {
  SavePlan plan;
  plan.slots = s.slots;
  plan.lastSlot = s.lastSlot;
  plan.firmwareHalves = s.firmwareHalves;
  return plan;
}

class HeaderTest : public ::testing::Test {
 protected:
  HeaderTest() { resetSlots(*s); }
  int parse(const fixture::Header& h) {
    const HeaderParse parsed = parseHeaderBlock(*s, h.bytes());
    status = parsed.status;
    return parsed.codeGroups;
  }
  std::unique_ptr<EditorState> s = freshEditor();
  StatusCode status = StatusCode::None;
};

}  // namespace

TEST_F(HeaderTest, WalkOrderAndEmptyEntries) {
  fixture::Header h;  // no magic text at all: parses the same
  h.entry(0, {0x03FC8000, 0x03FC80FF, {}, 0x1234, 0})
      .entry(1, {0x10000000, 0x1000FFFF, {}, 0, 0})
      .entry(2, {0x10160000, 0x101600C7, {}, 0xFF00, 8})
      .entry(3, {0, 0x1016FFFF, {}, 0x0200, 8})  // its own start is never tested
      .entry(fixture::Header::indexOf(2), {0x11280000, 0x11F3FFFF, {}, 0xBEEF, 8})
      .entry(fixture::Header::indexOf(4), {0, 0x11FFFFFF, {}, 0x9999, 8})  // empty: no slot
      .entry(fixture::Header::indexOf(255), {0x11000000, 0x110000FF, {}, 0, 8});
  EXPECT_EQ(parse(h), 5);
  EXPECT_EQ(status, StatusCode::None);
  std::vector<int> numbers;
  for (std::size_t i = 0; i < 5; ++i) numbers.push_back(s->slots[i].cgNumber);
  EXPECT_EQ(numbers, (std::vector<int>{0, 256, 1, 2, 255}));
  EXPECT_EQ(s->slots[0].headerChecksum, 0x1234);
  EXPECT_EQ(s->slots[0].headerCode, 0);
  EXPECT_EQ(s->slots[0].description, "RAMDLD");  // catalogue refreshed from the profile
  EXPECT_EQ(s->slots[1].label, "FBL");
  EXPECT_EQ(s->slots[2].endAddress, 0x1016FFFF);
  EXPECT_EQ(s->slots[2].headerChecksum, 0x0100);  // 0xFF00 + 0x0200 wraps
  EXPECT_EQ(s->slots[2].headerCode, 8);
  EXPECT_EQ(s->slots[3].headerChecksum, 0xBEEF);
  EXPECT_EQ(s->slots[3].length, 0xCC0000);
}

TEST_F(HeaderTest, ShortFileAndTooManyCodeGroupsAreRecordErrors) {
  fixture::Header many;
  const HeaderParse cut = parseHeaderBlock(*s, std::span(many.bytes()).first(8171));
  EXPECT_EQ(cut.codeGroups, 0);
  EXPECT_EQ(cut.status, StatusCode::RecordError);

  for (std::uint32_t c = 2; c < 2 + 21; ++c) {
    many.entry(int(c) + 2, {0x11000000u + c * 0x100u, 0x110000FFu + c * 0x100u, {}, 0, 8});
  }
  EXPECT_EQ(parse(many), 21);
  EXPECT_EQ(status, StatusCode::None);
  many.entry(2 + 21 + 2, {0x12000000, 0x120000FF, {}, 0, 8});
  resetSlots(*s);
  s->slots[21].cgNumber = 257;
  EXPECT_EQ(parse(many), 21);
  EXPECT_EQ(status, StatusCode::RecordError);
  EXPECT_EQ(s->slots[21].cgNumber, 257);  // the FBU slot is never overwritten
}

TEST_F(HeaderTest, WrittenBlockForRamdldAndFlex) {
  s->lastSlot = 1;
  (void)placeInSlot(*s, 0, 0, 0x03FC8000, 0x03FC80FF);
  (void)placeInSlot(*s, 1, 2, 0x11280000, 0x11F3FFFF);
  const std::array<std::uint8_t, 16> bytes = {1, 2,  3,  4,  5,  6,  7,  8,
                                              9, 10, 11, 12, 13, 14, 15, 16};
  s->slots[0].headerBytes = bytes;
  s->slots[0].bufferChecksum = 0xA1B2;
  s->slots[1].bufferChecksum = 0x0102;
  const HeaderBlock b = buildHeaderBlock(planOf(*s), "Sun September 06 09:05:03 2026");
  fixture::Header expected;
  expected.standardTexts("Sun September 06 09:05:03 2026")
      .byte(944, 2)
      .entry(0, {0x03FC8000, 0x03FC80FF, bytes, 0xA1B2, 0})
      .entry(4, {0x11280000, 0x11F3FFFF, {}, 0x0102, 8});
  EXPECT_EQ(fixture::Bytes(b.begin(), b.end()), expected.bytes());
  EXPECT_EQ(b[944], 2);   // entry count
  EXPECT_EQ(b[974], 0);   // RAMDLD code
  EXPECT_EQ(b[1086], 8);  // Flex code
}

TEST_F(HeaderTest, FirmwareIsWrittenAsTwoEntriesOverlappingAtByte196) {
  s->lastSlot = 1;
  (void)placeInSlot(*s, 0, 0, 0x03FC8000, 0x03FC80FF);
  (void)placeInSlot(*s, 1, 1, 0x10160000, 0x1016012B);
  s->slots[1].recordAddress = 0x10160000;
  s->slots[1].recordLength = 300;
  fixture::Bytes fw(300);
  for (std::size_t k = 0; k < fw.size(); ++k) fw[k] = std::uint8_t(k * 7);
  std::copy(fw.begin(), fw.end(), imageData(*s) + 0x160000);
  (void)finaliseSlot(*s, 1, FinaliseFrom::Record);
  const HeaderBlock b = buildHeaderBlock(planOf(*s), "x");
  EXPECT_EQ(b[944], 3);

  // The first 200 bytes, then the rest with its 16 header bytes taken from byte 196.
  auto sixteen = [&](std::size_t from) {
    std::array<std::uint8_t, 16> a;
    std::copy_n(fw.begin() + std::ptrdiff_t(from), 16, a.begin());
    return a;
  };
  const std::span<const std::uint8_t> all(fw);
  fixture::Header expected;
  expected.entry(2, {0x10160000, 0x101600C7, sixteen(0), fixture::sum16(all.first(200)), 8})
      .entry(3, {0x101600C8, 0x1016012B, sixteen(196), fixture::sum16(all.subspan(200)), 8});
  EXPECT_EQ(fixture::Bytes(b.begin() + 1004, b.begin() + 1060),
            fixture::Bytes(expected.bytes().begin() + 1004, expected.bytes().begin() + 1060));

  // Read back, the two entries are one code group with one checksum.
  auto t = freshEditor();
  resetSlots(*t);
  EXPECT_EQ(parseHeaderBlock(*t, fixture::Bytes(b.begin(), b.end())).codeGroups, 2);
  EXPECT_EQ(t->slots[1].cgNumber, 1);
  EXPECT_EQ(t->slots[1].endAddress, 0x1016012B);
  EXPECT_EQ(t->slots[1].headerChecksum, fixture::sum16(fw));
}

TEST(HeaderDateTests, EnglishNamesAndZeroPaddedFields) {
  std::tm t{};
  t.tm_mon = 8;
  t.tm_mday = 6;
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 3;
  t.tm_year = 126;  // a Sunday
  EXPECT_EQ(formatHeaderDate(t), "Sun September 06 09:05:03 2026");
}
