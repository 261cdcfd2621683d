#include <gtest/gtest.h>

#include "reader_support.h"
#include "test_support.h"

using namespace tavufe;
using readers::imageHolds;
using readers::smallHeader;
using readers::withHeader;

namespace {

const fixture::Bytes kFour = {0x01, 0x02, 0x03, 0x04};
constexpr std::size_t kHeader = 8172;
constexpr std::size_t kFourByteRecord = 33;  // 17 before the data, 12 after

class SbfReaderTest : public ::testing::Test {
 protected:
  void open(std::span<const std::uint8_t> bytes) {
    readers::openBytes(*s, dir.file("in.sbf"), bytes, progress);
  }
  std::uint8_t imageAt(std::uint32_t offset) const { return s->image.data()[offset]; }
  fixture::TempDir dir;
  std::unique_ptr<EditorState> s = freshEditor();
  CountingProgress progress;
};

// The RAMDLD record and a second one, four bytes each, under `h`.
fixture::Bytes twoRecords(const fixture::Header& h, std::uint32_t address,
                          std::span<const std::uint8_t> data = kFour,
                          std::array<std::uint8_t, 4> reserved = {}) {
  fixture::Bytes body = fixture::sbfRecord(0x03FC8000, kFour);
  fixture::append(body, fixture::sbfRecord(address, data, reserved));
  return withHeader(h, body);
}

}  // namespace

TEST_F(SbfReaderTest, FullSuperfileLoadsEveryCodeGroup) {
  const auto groups = readers::fullSuperfile();
  open(readers::makeSbf(groups));
  ASSERT_EQ(code(s->status), 0);
  EXPECT_EQ(s->lastSlot, 5);
  for (std::size_t i = 0; i < groups.size(); ++i) {
    SCOPED_TRACE(i);
    const readers::Group& g = groups[i];
    const CodeGroupSlot& slot = s->slots[i];
    EXPECT_EQ(slot.cgNumber, g.cgNumber);
    EXPECT_EQ(slot.recordAddress, std::int32_t(g.start));
    EXPECT_EQ(slot.length, std::int32_t(g.data.size()));
    EXPECT_EQ(slot.bufferChecksum, fixture::sum16(g.data));
    EXPECT_EQ(slot.headerChecksum, slot.bufferChecksum);
    EXPECT_TRUE(std::equal(slot.headerBytes.begin(), slot.headerBytes.end(), g.data.begin()));
    EXPECT_TRUE(imageHolds(*s, i == 0 ? 0x4000000u : g.start & 0x0FFFFFFFu, g.data));
  }
  // Bytes around a code group stay erased.
  EXPECT_EQ(imageAt(0x1280000 - 1), 0xFF);
  EXPECT_EQ(imageAt(0x1280000 + 0x1000), 0xFF);
  // Six records: one step each, one before the report.
  EXPECT_EQ(progress.maximum, 9);
  EXPECT_EQ(progress.steps, 7);
  ASSERT_EQ(s->report.size(), 9u);
  EXPECT_EQ(s->report[0], "HEADER INFO: P2K Superfile");
  const std::vector<std::string> found(s->report.begin() + 4, s->report.end());
  EXPECT_EQ(found, (std::vector<std::string>{
                       "Platform: GSM Neptune LTE", "Firmware: R3443H1_G_0A.65.45R",
                       "Flex: FLEX_V3X_R4513_G_08.04.0FR", "RDL: 0A1B", "Language: 0123"}));
}

TEST_F(SbfReaderTest, HeaderAloneIsEmptyShorterOrMissingIsNot) {
  const fixture::Bytes& header = smallHeader().bytes();
  open(header);
  EXPECT_EQ(code(s->status), 0);
  EXPECT_EQ(s->lastSlot, -1);
  ASSERT_EQ(s->report.size(), 9u);
  EXPECT_EQ(s->report[3], "File: 8,172 Bytes");

  open(std::span(header).first(kHeader - 1));
  EXPECT_EQ(code(s->status), 9);
  open(std::span<const std::uint8_t>());
  EXPECT_EQ(code(s->status), 2);
  for (const std::string& path : {dir.file("missing.sbf"), dir.path()}) {
    s->currentPath = path;
    readSbf(*s, progress);
    EXPECT_EQ(code(s->status), 2) << path;
  }
}

TEST_F(SbfReaderTest, RecordFramingAndPlacement) {
  // The reserved word may hold anything; the end marker may be the file's last 8 bytes.
  open(twoRecords(smallHeader(), 0x11280000, kFour, {0xDE, 0xAD, 0xBE, 0xEF}));
  EXPECT_EQ(code(s->status), 0);
  EXPECT_EQ(s->lastSlot, 1);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, kFour));
  EXPECT_TRUE(imageHolds(*s, 0x1280000, kFour));

  for (std::uint32_t bad : {0x0FFFFFFFu, 0x14000000u, 0x80000000u}) {
    open(twoRecords(smallHeader(), bad));
    EXPECT_EQ(code(s->status), 11) << std::hex << bad;
    EXPECT_TRUE(s->report.empty());
  }

  // A stray byte after the last record, a damaged start marker, a damaged end marker.
  fixture::Bytes stray = twoRecords(smallHeader(), 0x11280000);
  fixture::Bytes badStart = stray, badEnd = stray;
  stray.push_back(0x02);
  badStart[kHeader + 8] = 0x00;
  badEnd.back() = 0x04;
  for (const fixture::Bytes* bad : {&stray, &badStart, &badEnd}) {
    open(*bad);
    EXPECT_EQ(code(s->status), 9);
    EXPECT_TRUE(s->report.empty());
  }
  EXPECT_TRUE(imageHolds(*s, 0x1280000, kFour));  // copied before the end marker is checked
}

TEST_F(SbfReaderTest, RecordDisagreeingWithHeaderIsCopiedThenRefused) {
  const fixture::Bytes five = {9, 8, 7, 6, 5};
  open(twoRecords(smallHeader(), 0x11280000, five));
  EXPECT_EQ(code(s->status), 11);
  EXPECT_TRUE(imageHolds(*s, 0x1280000, five));
  EXPECT_EQ(s->report.size(), 9u);  // finalisation failures still get the report
}

TEST_F(SbfReaderTest, RamdldFillsItsAreaExactly) {
  fixture::Header h;
  h.entry(0, {0x03FC8000, 0x03FF7FFF, {}, 0, 0});
  const fixture::Bytes data = fixture::pattern(0x30000, 3);
  open(withHeader(h, fixture::sbfRecord(0x03FC8000, data)));
  EXPECT_EQ(code(s->status), 0);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, data));

  open(withHeader(h, fixture::sbfRecord(0x03FC8000, fixture::pattern(0x30001, 3))));
  EXPECT_EQ(code(s->status), 6);
}

TEST_F(SbfReaderTest, RecordMayEndOnTheImagesLastByteButNotPast) {
  // No header range reaches past the flash window, so the copy is seen in the image and the
  // disagreement with the header at finalisation.
  fixture::Header h;
  h.entry(0, {0x03FC8000, 0x03FC8003, {}, 0, 0}).entry(4, {0x13FFFFF0, 0x13FFFFFF, {}, 0, 8});
  const fixture::Bytes fits = fixture::pattern(0x30010, 4);
  open(twoRecords(h, 0x13FFFFF0, fits));
  EXPECT_EQ(code(s->status), 11);
  EXPECT_EQ(imageAt(0x402FFFF), fits.back());
  open(twoRecords(h, 0x13FFFFF0, fixture::pattern(0x30011, 4)));
  EXPECT_EQ(code(s->status), 6);
  EXPECT_EQ(imageAt(0x3FFFFF0), 0xFF);

  // A length of 0xFFFFFFFF is an overflow, not a wrap.
  fixture::Bytes huge = twoRecords(smallHeader(), 0x11280000);
  for (std::size_t k = 0; k < 4; ++k) huge[kHeader + kFourByteRecord + 9 + k] = 0xFF;
  open(huge);
  EXPECT_EQ(code(s->status), 6);
  EXPECT_EQ(imageAt(0x1280000), 0xFF);
}

TEST_F(SbfReaderTest, RecordCutOffAnywhereIsARecordError) {
  const fixture::Bytes full = twoRecords(smallHeader(), 0x11280000);
  const std::size_t second = full.size() - kFourByteRecord;
  // Every cut inside the second record: start marker, length, address, data, reserved word,
  // end marker. Data is copied only once it and the reserved word are all there.
  for (std::size_t keep = 1; keep < kFourByteRecord; ++keep) {
    SCOPED_TRACE(keep);
    open(std::span(full).first(second + keep));
    EXPECT_EQ(code(s->status), 9);
    EXPECT_TRUE(s->report.empty());
    EXPECT_EQ(imageAt(0x1280000) == 0x01, keep >= 17 + 4 + 4);
  }
  open(full);
  EXPECT_EQ(code(s->status), 0);
  EXPECT_EQ(s->lastSlot, 1);
}

TEST_F(SbfReaderTest, HeaderParseFailuresStopTheRead) {
  fixture::Header h;
  h.entry(0, {0x03FC8000, 0x03FF8000, {}, 0, 0});  // one byte more than the RAMDLD area
  open(withHeader(h, fixture::sbfRecord(0x03FC8000, kFour)));
  EXPECT_EQ(code(s->status), 6);
  EXPECT_EQ(imageAt(0x4000000), 0xFF);
  fixture::Header g;
  g.entry(4, {0x11280000, 0x14000000, {}, 0, 8});
  open(withHeader(g, fixture::sbfRecord(0x11280000, kFour)));
  EXPECT_EQ(code(s->status), 11);
}

TEST_F(SbfReaderTest, MoreRecordsThanSlotsAreRefused) {
  // 21 code groups fill slots 0 to 20; a 22nd record has no slot.
  fixture::Bytes file = readers::makeSbf(readers::twentyOneGroups(kFour));
  open(file);
  ASSERT_EQ(code(s->status), 0);
  EXPECT_EQ(s->lastSlot, 20);

  fixture::append(file, fixture::sbfRecord(0x12000000, kFour));
  s->slots[21].recordAddress = 0x5A5A5A5A;
  open(file);
  EXPECT_EQ(code(s->status), 9);
  EXPECT_EQ(s->slots[21].cgNumber, 257);
  EXPECT_EQ(s->slots[21].recordAddress, 0x5A5A5A5A);
  EXPECT_EQ(imageAt(0x2000000), 0xFF);
}
