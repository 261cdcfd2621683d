#include <gtest/gtest.h>

#include <tuple>

#include "reader_support.h"
#include "test_support.h"

using namespace tavufe;
using readers::imageHolds;
using readers::smallHeader;

namespace {

const fixture::Bytes kFour = {0x01, 0x02, 0x03, 0x04};

std::string group(std::string_view lines) {
  return std::string(fixture::kS0Line) + std::string(lines) + std::string(fixture::kS7Line);
}

const std::string kRamdldGroup = group(fixture::s3Line(0x03FC8000, kFour));
const std::string kFlexGroup = group(fixture::s3Line(0x11280000, kFour));

class ShxReaderTest : public ::testing::Test {
 protected:
  void open(std::span<const std::uint8_t> bytes) {
    readers::openBytes(*s, dir.file("in.shx"), bytes, progress);
  }
  void open(const fixture::Header& h, std::string_view text) { open(readers::withHeader(h, text)); }
  fixture::TempDir dir;
  std::unique_ptr<EditorState> s = freshEditor();
  CountingProgress progress;
};

}  // namespace

TEST(ShxAndSbfTests, SameSuperfileGivesSameImageSlotsAndReport) {
  fixture::TempDir dir;
  const auto groups = readers::fullSuperfile();
  auto sbf = freshEditor();
  auto shx = freshEditor();
  Progress progress;
  readers::openBytes(*sbf, dir.file("a.sbf"), readers::makeSbf(groups), progress);
  readers::openBytes(*shx, dir.file("a.shx"), readers::makeShx(groups), progress);
  ASSERT_EQ(code(sbf->status), 0);
  ASSERT_EQ(code(shx->status), 0);
  EXPECT_EQ(std::memcmp(sbf->image.data(), shx->image.data(), std::size_t(kImageSize)), 0);
  EXPECT_EQ(shx->lastSlot, 5);
  EXPECT_EQ(sbf->lastSlot, shx->lastSlot);
  auto fields = [](const CodeGroupSlot& a) {
    return std::tuple(a.cgNumber, a.startAddress, a.endAddress, a.length, a.recordAddress,
                      a.recordLength, a.headerBytes, a.bufferChecksum, a.headerChecksum);
  };
  for (int i = 0; i < kSlotCount; ++i) EXPECT_EQ(fields(sbf->slots[i]), fields(shx->slots[i])) << i;
  EXPECT_EQ(shx->slots[3].cgNumber, 2);
  EXPECT_EQ(shx->slots[3].recordLength, 0x1000);
  // Only the file-size line differs between the two encodings.
  ASSERT_EQ(shx->report.size(), 9u);
  EXPECT_NE(sbf->report[3], shx->report[3]);
  sbf->report.erase(sbf->report.begin() + 3);
  shx->report.erase(shx->report.begin() + 3);
  EXPECT_EQ(sbf->report, shx->report);
}

TEST_F(ShxReaderTest, LiteralLineAndItsChecksum) {
  open(smallHeader(), kRamdldGroup + group("S3091128000001020304B3\r\n"));
  ASSERT_EQ(code(s->status), 0);
  EXPECT_TRUE(imageHolds(*s, 0x1280000, kFour));
  EXPECT_EQ(s->slots[1].recordAddress, 0x11280000);
  EXPECT_EQ(s->slots[1].recordLength, 4);
  EXPECT_EQ(progress.maximum, 5);
  EXPECT_EQ(progress.steps, 3);  // one per S0 record, one before the report

  s->lastSlot = 7;
  open(smallHeader(), kRamdldGroup + group("S3091128000001020304B4\r\n"));
  EXPECT_EQ(code(s->status), 5);
  EXPECT_EQ(s->lastSlot, 7);  // left as it was
  EXPECT_TRUE(s->report.empty());
}

TEST_F(ShxReaderTest, CountFiveLineCarriesNoDataButIsChecked) {
  open(smallHeader(),
       kRamdldGroup + group("S30511280000C1\r\n" + fixture::s3Line(0x11290000, kFour)));
  ASSERT_EQ(code(s->status), 0);
  EXPECT_TRUE(imageHolds(*s, 0x1280000, kFour));  // the first line gave the address
  EXPECT_EQ(s->slots[1].recordLength, 4);
  open(smallHeader(),
       kRamdldGroup + group("S30511280000C2\r\n" + fixture::s3Line(0x11280000, kFour)));
  EXPECT_EQ(code(s->status), 5);
}

TEST_F(ShxReaderTest, LinesOfOneGroupAreLaidBackToBackInEitherCase) {
  const fixture::Bytes a = {0x11, 0x22};
  const fixture::Bytes b = {0xab, 0xcd};
  open(smallHeader(),
       kRamdldGroup + group(fixture::s3Line(0x11280000, a) + fixture::s3Line(0x11280100, b, true)));
  ASSERT_EQ(code(s->status), 0);
  EXPECT_TRUE(imageHolds(*s, 0x1280000, fixture::Bytes{0x11, 0x22, 0xab, 0xcd}));
  EXPECT_EQ(s->image.data()[0x1280100], 0xFF);
}

TEST_F(ShxReaderTest, FirstGroupAlwaysLandsInTheRamdldArea) {
  open(smallHeader(), kRamdldGroup + kFlexGroup);
  ASSERT_EQ(code(s->status), 0);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, kFour));
  EXPECT_EQ(s->slots[0].recordAddress, 0x03FC8000);

  // A flash address in the first group still goes to the RAMDLD area, and is kept as written.
  const fixture::Bytes other = {0x0A, 0x0B, 0x0C, 0x0D};
  open(smallHeader(), group(fixture::s3Line(0x11280000, other)) + kFlexGroup);
  EXPECT_EQ(code(s->status), 11);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, other));
  EXPECT_TRUE(imageHolds(*s, 0x1280000, kFour));
  EXPECT_EQ(s->slots[0].recordAddress, 0x11280000);
}

TEST_F(ShxReaderTest, LinesBeforeTheFirstGroupAndStrayTextAreSkipped) {
  open(smallHeader(),
       "S3091128000001020304B4\r\nnoise S9 Sx\r\n" + kRamdldGroup + kFlexGroup + "S5\r\n");
  EXPECT_EQ(code(s->status), 0);
  EXPECT_EQ(s->lastSlot, 1);
}

TEST_F(ShxReaderTest, UnequalGroupAndEndCountsStillReport) {
  const std::string text = kRamdldGroup + std::string(fixture::kS0Line) +
                           fixture::s3Line(0x11280000, kFour) + std::string(fixture::kS0Line);
  open(smallHeader(), text);
  EXPECT_EQ(code(s->status), 9);
  EXPECT_EQ(s->lastSlot, 2);
  ASSERT_EQ(s->report.size(), 9u);
  EXPECT_EQ(s->report[0], "HEADER INFO: P2K Superfile");
  // Nothing was finalised.
  EXPECT_EQ(s->slots[1].bufferChecksum, 0);
  EXPECT_TRUE(imageHolds(*s, 0x1280000, kFour));
}

TEST_F(ShxReaderTest, BadAddressOfALaterGroupStopsTheRead) {
  for (std::uint32_t bad : {0x0FFFFFFFu, 0x14000000u}) {
    open(smallHeader(), kRamdldGroup + group(fixture::s3Line(bad, kFour)));
    EXPECT_EQ(code(s->status), 11) << std::hex << bad;
    EXPECT_EQ(s->lastSlot, 9);
    EXPECT_TRUE(s->report.empty());
  }
}

TEST_F(ShxReaderTest, RamdldFillsItsAreaExactlyAndOverlongFoldsOntoTheLastImageByte) {
  fixture::Header h;
  h.entry(0, {0x03FC8000, 0x03FF7FFF, {}, 0, 0});
  const fixture::Bytes fits = fixture::pattern(0x30000, 8);
  open(h, group(fixture::s3Lines(0x03FC8000, fits)));
  EXPECT_EQ(code(s->status), 0);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, fits));
  EXPECT_EQ(s->slots[0].bufferChecksum, fixture::sum16(fits));

  // Two bytes too many, after a short first line so that a later line runs across the end.
  const fixture::Bytes data = fixture::pattern(0x30002, 7);
  const std::span<const std::uint8_t> all(data);
  open(h, group(fixture::s3Line(0x03FC8000, all.first(30)) +
                fixture::s3Lines(0x03FC801E, all.subspan(30))));
  EXPECT_EQ(code(s->status), 11);
  EXPECT_EQ(s->slots[0].recordLength, 0x30002);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, all.first(0x2FFFF)));
  EXPECT_EQ(s->image.data()[0x402FFFF], data[0x30001]);
}

TEST_F(ShxReaderTest, FileAndHeaderFailures) {
  s->currentPath = dir.file("missing.shx");
  readShx(*s, progress);
  EXPECT_EQ(code(s->status), 2);
  open(std::span<const std::uint8_t>());
  EXPECT_EQ(code(s->status), 2);
  open(std::span(smallHeader().bytes()).first(8171));
  EXPECT_EQ(code(s->status), 9);
  fixture::Header g;
  g.entry(4, {0x11280000, 0x14000000, {}, 0, 8});
  open(g, kFlexGroup);
  EXPECT_EQ(code(s->status), 11);
  EXPECT_EQ(s->image.data()[0x4000000], 0xFF);
}

TEST_F(ShxReaderTest, SAsTheLastCharacterIsARecordError) {
  const std::string good = kRamdldGroup + std::string(fixture::kS0Line) +
                           fixture::s3Line(0x11280000, kFour) + "S705435312341E";
  open(smallHeader(), good);  // a file may end on its trailer's last digit
  EXPECT_EQ(code(s->status), 0);
  open(smallHeader(), good + "S");
  EXPECT_EQ(code(s->status), 9);
  EXPECT_TRUE(s->report.empty());
}

TEST_F(ShxReaderTest, LineCutOffAnywhereIsARecordError) {
  // The group's S7 comes first so that the cut line is the last text of the file.
  const std::string head =
      kRamdldGroup + std::string(fixture::kS0Line) + std::string(fixture::kS7Line);
  const std::string line = "S3091128000001020304B3";
  for (std::size_t keep = 1; keep < line.size(); ++keep) {
    open(smallHeader(), head + line.substr(0, keep));
    EXPECT_EQ(code(s->status), 9) << "kept " << keep;
    EXPECT_TRUE(s->report.empty());
  }
  open(smallHeader(), head + line);
  EXPECT_EQ(code(s->status), 0);
  EXPECT_TRUE(imageHolds(*s, 0x1280000, kFour));

  // A count-05 line needs its address and checksum all the same.
  open(smallHeader(), head + "S30511280000C");
  EXPECT_EQ(code(s->status), 9);
}

TEST_F(ShxReaderTest, MoreGroupsThanSlotsAreRefused) {
  const auto groups = readers::twentyOneGroups(kFour);
  const fixture::Header h = readers::headerFor(groups);
  std::string text = readers::shxBody(groups);
  open(h, text);
  ASSERT_EQ(code(s->status), 0);
  EXPECT_EQ(s->lastSlot, 20);

  text += group(fixture::s3Line(0x12000000, kFour));
  s->slots[21].recordAddress = 0x5A5A5A5A;
  s->slots[21].recordLength = 0x5A5A;
  open(h, text);
  EXPECT_EQ(code(s->status), 9);
  EXPECT_EQ(s->slots[21].cgNumber, 257);
  EXPECT_EQ(s->slots[21].recordAddress, 0x5A5A5A5A);
  EXPECT_EQ(s->slots[21].recordLength, 0x5A5A);
  EXPECT_EQ(s->image.data()[0x2000000], 0xFF);
}

TEST_F(ShxReaderTest, GroupWithoutDataIsAnAddressRangeWhateverCameBefore) {
  // Values left by an earlier file that would match the header.
  open(smallHeader(), kRamdldGroup + kFlexGroup);
  ASSERT_EQ(code(s->status), 0);
  open(smallHeader(), kRamdldGroup + group(""));
  EXPECT_EQ(code(s->status), 11);
  EXPECT_EQ(s->report.size(), 9u);

  // The byte count of the group before does not carry over to a group without data.
  fixture::Header same = smallHeader();
  same.entry(fixture::Header::indexOf(3), {0x11280000, 0x11280003, {}, 0, 8});
  open(same, kRamdldGroup + kFlexGroup + kFlexGroup);
  ASSERT_EQ(code(s->status), 0);
  open(same, kRamdldGroup + kFlexGroup + group(""));
  EXPECT_EQ(code(s->status), 11);

  // A header range of no bytes: an empty group with a count-05 line passes, one without any
  // line must not, even after the earlier file left the matching address behind.
  fixture::Header none;
  none.entry(0, {0x03FC8000, 0x03FC8003, {}, 0, 0})
      .entry(fixture::Header::indexOf(3), {0x10000001, 0x10000000, {}, 0, 8});
  open(none, kRamdldGroup + group(fixture::s3Line(0x10000001, {})));
  ASSERT_EQ(code(s->status), 0);
  EXPECT_EQ(s->slots[1].recordAddress, 0x10000001);
  open(none, kRamdldGroup + group(""));
  EXPECT_EQ(code(s->status), 11);
}
