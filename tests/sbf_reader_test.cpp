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
    result = readers::openBytes(*s, readers::Encoding::Sbf, bytes, progress);
  }
  std::uint8_t imageAt(std::uint32_t offset) const { return s->image.byteAt(offset); }
  std::unique_ptr<EditorState> s = freshEditor();
  CountingProgress progress;
  readers::Opened result;
};

// The RAMDLD record and a second one, four bytes each unless given, under `h`.
fixture::Bytes twoRecords(const fixture::Header& h, std::uint32_t address,
                          std::span<const std::uint8_t> data = kFour,
                          std::array<std::uint8_t, 4> reserved = {}) {
  fixture::Bytes body = fixture::sbfRecord(0x03FC8000, kFour);
  fixture::append(body, fixture::sbfRecord(address, data, reserved));
  return withHeader(h, body);
}

}  // namespace

TEST(SuperfileReaderTests, FullSuperfileInEitherEncodingLoadsEveryCodeGroup) {
  const auto groups = readers::fullSuperfile();
  for (const auto& [encoding, file] :
       {std::pair{readers::Encoding::Sbf, readers::makeSbf(groups)},
        std::pair{readers::Encoding::Shx, readers::makeShx(groups)}}) {
    SCOPED_TRACE(encoding == readers::Encoding::Sbf ? "SBF" : "SHX");
    auto s = freshEditor();
    CountingProgress progress;
    const readers::Opened result = readers::openBytes(*s, encoding, file, progress);
    ASSERT_EQ(result.status, StatusCode::None);
    EXPECT_EQ(s->lastSlot, 5);
    for (std::size_t i = 0; i < groups.size(); ++i) {
      SCOPED_TRACE(i);
      const readers::Group& g = groups[i];
      const CodeGroupSlot& slot = s->slots[i];
      EXPECT_EQ(slot.cgNumber, g.cgNumber);
      EXPECT_EQ(slot.recordAddress, g.start);
      EXPECT_EQ(slot.recordLength, g.data.size());
      EXPECT_EQ(slot.endAddress, g.end());
      EXPECT_EQ(slot.bufferChecksum, fixture::sum16(g.data));
      EXPECT_EQ(slot.headerChecksum, slot.bufferChecksum);
      EXPECT_TRUE(std::equal(slot.headerBytes.begin(), slot.headerBytes.end(), g.data.begin()));
      EXPECT_TRUE(imageHolds(*s, i == 0 ? 0x4000000u : g.start & 0x0FFFFFFFu, g.data));
    }
    // Bytes around a code group stay erased.
    EXPECT_EQ(s->image.byteAt(0x1280000 - 1), 0xFF);
    EXPECT_EQ(s->image.byteAt(0x1280000 + 0x1000), 0xFF);
    // Six code groups: one step each, one before the report.
    EXPECT_EQ(progress.maximum, 9);
    EXPECT_EQ(progress.steps, 7);
    ASSERT_EQ(result.report.size(), 9u);
    EXPECT_EQ(result.report[0], "HEADER INFO: P2K Superfile");
    const std::vector<std::string> found(result.report.begin() + 4, result.report.end());
    EXPECT_EQ(found, (std::vector<std::string>{
                         "Platform: GSM Neptune LTE", "Firmware: R3443H1_G_0A.65.45R",
                         "Flex: FLEX_V3X_R4513_G_08.04.0FR", "RDL: 0A1B", "Language: 0123"}));
  }
}

TEST_F(SbfReaderTest, StatusOfEachKindOfFile) {
  const fixture::Bytes good = twoRecords(smallHeader(), 0x11280000);
  fixture::Bytes stray = good, badStart = good, badEnd = good, huge = good;
  stray.push_back(0x02);
  badStart[kHeader + 8] = 0x00;
  badEnd.back() = 0x04;
  for (std::size_t k = 0; k < 4; ++k) huge[kHeader + kFourByteRecord + 9 + k] = 0xFF;
  fixture::Header longRamdld, flexPastWindow;
  longRamdld.entry(0, {0x03FC8000, 0x03FF8000, {}, 0, 0});  // one byte more than its area
  flexPastWindow.entry(4, {0x11280000, 0x14000000, {}, 0, 8});
  const fixture::Bytes five = {9, 8, 7, 6, 5};

  struct Case {
    const char* what;
    fixture::Bytes file;
    StatusCode status;
    bool reported;
    fixture::Bytes flex;  // what the image then holds at the Flex offset
  };
  const Case cases[] = {
      {"the reserved word holding anything",
       twoRecords(smallHeader(), 0x11280000, kFour, {0xDE, 0xAD, 0xBE, 0xEF}), StatusCode::None,
       true, kFour},
      {"the header alone", smallHeader().bytes(), StatusCode::None, true, {0xFF}},
      {"a header one byte short",
       fixture::Bytes(good.begin(), good.begin() + kHeader - 1),
       StatusCode::RecordError,
       false,
       {0xFF}},
      {"nothing at all", {}, StatusCode::RecordError, false, {}},
      {"an address below the window",
       twoRecords(smallHeader(), 0x0FFFFFFF),
       StatusCode::AddressRange,
       false,
       {0xFF}},
      {"an address past it",
       twoRecords(smallHeader(), 0x14000000),
       StatusCode::AddressRange,
       false,
       {}},
      {"an address with the top bit set",
       twoRecords(smallHeader(), 0x80000000),
       StatusCode::AddressRange,
       false,
       {}},
      {"a stray byte after the last record", stray, StatusCode::RecordError, false, {}},
      {"a damaged start marker", badStart, StatusCode::RecordError, false, {0xFF}},
      // Copied before the end marker is checked.
      {"a damaged end marker", badEnd, StatusCode::RecordError, false, kFour},
      {"a length of 0xFFFFFFFF", huge, StatusCode::BufferAddressOverflow, false, {0xFF}},
      {"a record disagreeing with the header", twoRecords(smallHeader(), 0x11280000, five),
       StatusCode::AddressRange, true, five},
      {"a RAMDLD range longer than its area",
       twoRecords(longRamdld, 0x11280000),
       StatusCode::BufferAddressOverflow,
       false,
       {0xFF}},
      {"a header range past the window",
       twoRecords(flexPastWindow, 0x11280000),
       StatusCode::AddressRange,
       false,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    open(c.file);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.report.size(), c.reported ? 9u : 0u);
    EXPECT_TRUE(imageHolds(*s, 0x1280000, c.flex));
  }
  EXPECT_EQ(imageAt(0x4000000), 0xFF);  // the last header failure stopped the read

  EditorState noImage;
  EXPECT_EQ(readSbf(noImage, good, progress).status, StatusCode::BufferError);
}

TEST_F(SbfReaderTest, RecordsMayFillTheRamdldAreaAndEndOnTheImagesLastByte) {
  fixture::Header h;
  h.entry(0, {0x03FC8000, 0x03FF7FFF, {}, 0, 0});
  const fixture::Bytes data = fixture::pattern(0x30000, 3);
  open(withHeader(h, fixture::sbfRecord(0x03FC8000, data)));
  EXPECT_EQ(result.status, StatusCode::None);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, data));
  open(withHeader(h, fixture::sbfRecord(0x03FC8000, fixture::pattern(0x30001, 3))));
  EXPECT_EQ(result.status, StatusCode::BufferAddressOverflow);

  // No header range reaches past the flash window, so the copy is seen in the image and the
  // disagreement with the header at finalisation.
  fixture::Header g;
  g.entry(0, {0x03FC8000, 0x03FC8003, {}, 0, 0}).entry(4, {0x13FFFFF0, 0x13FFFFFF, {}, 0, 8});
  const fixture::Bytes fits = fixture::pattern(0x30010, 4);
  open(twoRecords(g, 0x13FFFFF0, fits));
  EXPECT_EQ(result.status, StatusCode::AddressRange);
  EXPECT_EQ(imageAt(0x402FFFF), fits.back());
  open(twoRecords(g, 0x13FFFFF0, fixture::pattern(0x30011, 4)));
  EXPECT_EQ(result.status, StatusCode::BufferAddressOverflow);
  EXPECT_EQ(imageAt(0x3FFFFF0), 0xFF);
}

TEST_F(SbfReaderTest, RecordCutOffAnywhereIsARecordError) {
  const fixture::Bytes full = twoRecords(smallHeader(), 0x11280000);
  const std::size_t second = full.size() - kFourByteRecord;
  // Every cut inside the second record: start marker, length, address, data, reserved word,
  // end marker. Data is copied only once it and the reserved word are all there.
  for (std::size_t keep = 1; keep < kFourByteRecord; ++keep) {
    SCOPED_TRACE(keep);
    open(std::span(full).first(second + keep));
    EXPECT_EQ(result.status, StatusCode::RecordError);
    EXPECT_TRUE(result.report.empty());
    EXPECT_EQ(imageAt(0x1280000) == 0x01, keep >= 17 + 4 + 4);
  }
  open(full);
  EXPECT_EQ(result.status, StatusCode::None);
  EXPECT_EQ(s->lastSlot, 1);
}

TEST_F(SbfReaderTest, MoreRecordsThanSlotsAreRefused) {
  // 21 code groups fill slots 0 to 20; a 22nd record has no slot.
  fixture::Bytes file = readers::makeSbf(readers::twentyOneGroups(kFour));
  open(file);
  ASSERT_EQ(result.status, StatusCode::None);
  EXPECT_EQ(s->lastSlot, 20);

  fixture::append(file, fixture::sbfRecord(0x12000000, kFour));
  s->slots[21].recordAddress = 0x5A5A5A5A;
  open(file);
  EXPECT_EQ(result.status, StatusCode::RecordError);
  EXPECT_EQ(s->slots[21].cgNumber, 257);
  EXPECT_EQ(s->slots[21].recordAddress, 0x5A5A5A5A);
  EXPECT_EQ(imageAt(0x2000000), 0xFF);
}
