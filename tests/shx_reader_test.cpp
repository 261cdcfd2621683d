#include <gtest/gtest.h>

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
    result = readers::openBytes(*s, readers::Encoding::Shx, bytes, progress);
  }
  void open(const fixture::Header& h, std::string_view text) { open(readers::withHeader(h, text)); }
  std::unique_ptr<EditorState> s = freshEditor();
  CountingProgress progress;
  readers::Opened result;
};

}  // namespace

TEST_F(ShxReaderTest, StatusOfEachKindOfFile) {
  const std::string s0(fixture::kS0Line);
  const std::string trailerEnd =
      kRamdldGroup + s0 + fixture::s3Line(0x11280000, kFour) + "S705435312341E";
  fixture::Header flexPastWindow;
  flexPastWindow.entry(4, {0x11280000, 0x14000000, {}, 0, 8});
  struct Case {
    const char* what;
    fixture::Header header;
    std::string text;
    StatusCode status;
    bool reported;
    fixture::Bytes flex;  // what the image then holds at the Flex offset
  };
  const Case cases[] = {
      {"the literal line", smallHeader(), kRamdldGroup + group("S3091128000001020304B3\r\n"),
       StatusCode::None, true, kFour},
      {"its checksum one off", smallHeader(), kRamdldGroup + group("S3091128000001020304B4\r\n"),
       StatusCode::ChecksumError, false, kFour},
      // The first line of a group gives the address, even when it carries no data.
      {"a count-05 line first", smallHeader(),
       kRamdldGroup + group("S30511280000C1\r\n" + fixture::s3Line(0x11290000, kFour)),
       StatusCode::None, true, kFour},
      {"a count-05 line with a bad checksum",
       smallHeader(),
       kRamdldGroup + group("S30511280000C2\r\n" + fixture::s3Line(0x11280000, kFour)),
       StatusCode::ChecksumError,
       false,
       {0xFF}},
      {"two lines, upper and lower case, laid back to back",
       smallHeader(),
       kRamdldGroup + group(fixture::s3Line(0x11280000, fixture::Bytes{0x11, 0x22}) +
                            fixture::s3Line(0x11280100, fixture::Bytes{0xab, 0xcd}, true)),
       StatusCode::None,
       true,
       {0x11, 0x22, 0xab, 0xcd}},
      {"lines before the first group and stray text", smallHeader(),
       "S3091128000001020304B4\r\nnoise S9 Sx\r\n" + kRamdldGroup + kFlexGroup + "S5\r\n",
       StatusCode::None, true, kFour},
      {"a later group below the window",
       smallHeader(),
       kRamdldGroup + group(fixture::s3Line(0x0FFFFFFF, kFour)),
       StatusCode::AddressRange,
       false,
       {0xFF}},
      {"a later group past it",
       smallHeader(),
       kRamdldGroup + group(fixture::s3Line(0x14000000, kFour)),
       StatusCode::AddressRange,
       false,
       {0xFF}},
      {"ending on the trailer's last digit", smallHeader(), trailerEnd, StatusCode::None, true,
       kFour},
      // Straight after a file whose record fields would match the header.
      {"a group without data",
       smallHeader(),
       kRamdldGroup + group(""),
       StatusCode::AddressRange,
       true,
       {0xFF}},
      {"an S as the last character", smallHeader(), trailerEnd + "S", StatusCode::RecordError,
       false, kFour},
      // Unequal S0 and S7 counts still report, but nothing is finalised.
      {"an S0 without its S7", smallHeader(), trailerEnd + s0, StatusCode::RecordError, true,
       kFour},
      {"a header range past the window",
       flexPastWindow,
       kFlexGroup,
       StatusCode::AddressRange,
       false,
       {0xFF}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    s->lastSlot = 7;
    open(c.header, c.text);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.report.size(), c.reported ? 9u : 0u);
    EXPECT_TRUE(imageHolds(*s, 0x1280000, c.flex));
    // A read stopped part-way leaves lastSlot as it was.
    EXPECT_EQ(s->lastSlot == 7, !c.reported);
  }
  EXPECT_EQ(s->image.byteAt(0x4000000), 0xFF);  // the header failure stopped the read
}

TEST_F(ShxReaderTest, FirstGroupAlwaysLandsInTheRamdldArea) {
  open(smallHeader(), kRamdldGroup + kFlexGroup);
  ASSERT_EQ(result.status, StatusCode::None);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, kFour));
  EXPECT_EQ(s->slots[0].recordAddress, 0x03FC8000);

  // A flash address in the first group still goes to the RAMDLD area, and is kept as written.
  const fixture::Bytes other = {0x0A, 0x0B, 0x0C, 0x0D};
  open(smallHeader(), group(fixture::s3Line(0x11280000, other)) + kFlexGroup);
  EXPECT_EQ(result.status, StatusCode::AddressRange);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, other));
  EXPECT_TRUE(imageHolds(*s, 0x1280000, kFour));
  EXPECT_EQ(s->slots[0].recordAddress, 0x11280000);
}

TEST_F(ShxReaderTest, RamdldFillsItsAreaExactlyAndOverlongFoldsOntoTheLastImageByte) {
  fixture::Header h;
  h.entry(0, {0x03FC8000, 0x03FF7FFF, {}, 0, 0});
  const fixture::Bytes fits = fixture::pattern(0x30000, 8);
  open(h, group(fixture::s3Lines(0x03FC8000, fits)));
  EXPECT_EQ(result.status, StatusCode::None);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, fits));
  EXPECT_EQ(s->slots[0].bufferChecksum, fixture::sum16(fits));

  // Two bytes too many, after a short first line so that a later line runs across the end.
  const fixture::Bytes data = fixture::pattern(0x30002, 7);
  const std::span<const std::uint8_t> all(data);
  open(h, group(fixture::s3Line(0x03FC8000, all.first(30)) +
                fixture::s3Lines(0x03FC801E, all.subspan(30))));
  EXPECT_EQ(result.status, StatusCode::AddressRange);
  EXPECT_EQ(s->slots[0].recordLength, 0x30002);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, all.first(0x2FFFF)));
  EXPECT_EQ(s->image.byteAt(0x402FFFF), data[0x30001]);
}

TEST_F(ShxReaderTest, LineCutOffAnywhereIsARecordError) {
  // The group's S7 comes first so that the cut line is the last text of the file.
  const std::string head =
      kRamdldGroup + std::string(fixture::kS0Line) + std::string(fixture::kS7Line);
  const std::string line = "S3091128000001020304B3";
  for (std::size_t keep = 1; keep < line.size(); ++keep) {
    open(smallHeader(), head + line.substr(0, keep));
    EXPECT_EQ(result.status, StatusCode::RecordError) << "kept " << keep;
    EXPECT_TRUE(result.report.empty());
  }
  open(smallHeader(), head + line);
  EXPECT_EQ(result.status, StatusCode::None);
  EXPECT_TRUE(imageHolds(*s, 0x1280000, kFour));

  // A count-05 line needs its address and checksum all the same.
  open(smallHeader(), head + "S30511280000C");
  EXPECT_EQ(result.status, StatusCode::RecordError);
}

TEST_F(ShxReaderTest, MoreGroupsThanSlotsAreRefused) {
  const auto groups = readers::twentyOneGroups(kFour);
  const fixture::Header h = readers::headerFor(groups);
  std::string text = readers::shxBody(groups);
  open(h, text);
  ASSERT_EQ(result.status, StatusCode::None);
  EXPECT_EQ(s->lastSlot, 20);

  text += group(fixture::s3Line(0x12000000, kFour));
  s->slots[21].recordAddress = 0x5A5A5A5A;
  s->slots[21].recordLength = 0x5A5A;
  open(h, text);
  EXPECT_EQ(result.status, StatusCode::RecordError);
  EXPECT_EQ(s->slots[21].cgNumber, 257);
  EXPECT_EQ(s->slots[21].recordAddress, 0x5A5A5A5A);
  EXPECT_EQ(s->slots[21].recordLength, 0x5A5A);
  EXPECT_EQ(s->image.byteAt(0x2000000), 0xFF);
}

TEST_F(ShxReaderTest, GroupWithoutDataIsAnAddressRangeWhateverCameBefore) {
  // The byte count of the group before does not carry over to a group without data.
  fixture::Header same = smallHeader();
  same.entry(fixture::Header::indexOf(3), {0x11280000, 0x11280003, {}, 0, 8});
  open(same, kRamdldGroup + kFlexGroup + kFlexGroup);
  ASSERT_EQ(result.status, StatusCode::None);
  open(same, kRamdldGroup + kFlexGroup + group(""));
  EXPECT_EQ(result.status, StatusCode::AddressRange);

  // A header range of no bytes: an empty group with a count-05 line passes, one without any
  // line must not, even after the earlier file left the matching address behind.
  fixture::Header none;
  none.entry(0, {0x03FC8000, 0x03FC8003, {}, 0, 0})
      .entry(fixture::Header::indexOf(3), {0x10000001, 0x10000000, {}, 0, 8});
  open(none, kRamdldGroup + group(fixture::s3Line(0x10000001, {})));
  ASSERT_EQ(result.status, StatusCode::None);
  EXPECT_EQ(s->slots[1].recordAddress, 0x10000001);
  open(none, kRamdldGroup + group(""));
  EXPECT_EQ(result.status, StatusCode::AddressRange);
}
