#include <gtest/gtest.h>

#include <cstring>

#include "model/flash_image.h"
#include "reader_support.h"
#include "superfile/file_buffer.h"
#include "superfile/sbf_reader.h"
#include "test_support.h"

using namespace tavufe;
using readers::Group;
using readers::imageHolds;
using readers::smallHeader;

namespace {

std::uint32_t offsetOf(const Group& g) {
  return g.cgNumber == 0 ? 0x4000000u : (g.start & 0x0FFFFFFFu);
}



const fixture::Bytes kFour = {0x01, 0x02, 0x03, 0x04};

class SbfReaderTest : public ::testing::Test {
 protected:
  void open(std::span<const std::uint8_t> bytes) { readers::openBytes(*s, dir.file("in.sbf"), bytes, progress); }
  fixture::TempDir dir;
  std::unique_ptr<EditorState> s = freshEditor();
  readers::CountingProgress progress;
};

}  // namespace

TEST_F(SbfReaderTest, FullSuperfileLoadsEveryCodeGroup) {
  const auto groups = readers::fullSuperfile();
  open(readers::makeSbf(groups));
  ASSERT_EQ(code(s->status), 0);
  EXPECT_EQ(s->lastSlot, 5);
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const Group& g = groups[i];
    const CodeGroupSlot& slot = s->slots[i];
    EXPECT_EQ(slot.cgNumber, g.cgNumber) << i;
    EXPECT_EQ(slot.recordAddress, std::int32_t(g.start)) << i;
    EXPECT_EQ(slot.recordLength, std::int32_t(g.data.size())) << i;
    EXPECT_EQ(slot.length, std::int32_t(g.data.size())) << i;
    EXPECT_EQ(slot.bufferChecksum, fixture::sum16(g.data)) << i;
    EXPECT_EQ(slot.bufferChecksum, slot.headerChecksum) << i;
    EXPECT_TRUE(std::equal(slot.headerBytes.begin(), slot.headerBytes.end(), g.data.begin())) << i;
    EXPECT_TRUE(imageHolds(*s, offsetOf(g), g.data)) << i;
  }
  // Bytes around a code group stay erased.
  EXPECT_EQ(s->image.data()[0x1280000 - 1], 0xFF);
  EXPECT_EQ(s->image.data()[0x1280000 + 0x1000], 0xFF);
  // Six records: one step each, one before the report.
  EXPECT_EQ(progress.maximum, 9);
  EXPECT_EQ(progress.steps, 7);
  ASSERT_EQ(s->report.size(), 9u);
  EXPECT_EQ(s->report[0], "HEADER INFO: P2K Superfile");
  EXPECT_EQ(s->report[4], "Platform: GSM Neptune LTE");
  EXPECT_EQ(s->report[5], "Firmware: R3443H1_G_0A.65.45R");
  EXPECT_EQ(s->report[6], "Flex: FLEX_V3X_R4513_G_08.04.0FR");
  EXPECT_EQ(s->report[7], "RDL: 0A1B");
  EXPECT_EQ(s->report[8], "Language: 0123");
}

TEST_F(SbfReaderTest, HeaderOnlyFileReadsNoRecord) {
  const fixture::Header h = smallHeader();
  open(h.bytes());
  EXPECT_EQ(code(s->status), 0);
  EXPECT_EQ(s->lastSlot, -1);
  EXPECT_EQ(s->report.size(), 9u);
  EXPECT_EQ(s->report[3], "File: 8,172 Bytes");
}

TEST_F(SbfReaderTest, RecordFramingAndPlacement) {
  const fixture::Header h = smallHeader();
  auto file = [&](std::uint32_t flexAddress, std::array<std::uint8_t, 4> reserved) {
    fixture::Bytes body = fixture::sbfRecord(0x03FC8000, kFour);
    fixture::append(body, fixture::sbfRecord(flexAddress, kFour, reserved));
    return readers::withHeader(h, body);
  };
  // The reserved word may hold anything; the end marker may be the file's last 8 bytes.
  open(file(0x11280000, {0xDE, 0xAD, 0xBE, 0xEF}));
  EXPECT_EQ(code(s->status), 0);
  EXPECT_EQ(s->lastSlot, 1);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, kFour));
  EXPECT_TRUE(imageHolds(*s, 0x1280000, kFour));

  for (std::uint32_t bad : {0x0FFF0000u, 0x14000000u, 0x80000000u}) {
    open(file(bad, {}));
    EXPECT_EQ(code(s->status), 11) << std::hex << bad;
    EXPECT_EQ(s->report.size(), 0u);
  }

  fixture::Bytes stray = file(0x11280000, {});
  stray.push_back(0x02);
  open(stray);
  EXPECT_EQ(code(s->status), 9);
  EXPECT_EQ(s->report.size(), 0u);

  fixture::Bytes badStart = file(0x11280000, {});
  badStart[8172 + 8] = 0x00;  // last byte of the first start marker
  open(badStart);
  EXPECT_EQ(code(s->status), 9);

  fixture::Bytes badEnd = file(0x11280000, {});
  badEnd.back() = 0x04;
  open(badEnd);
  EXPECT_EQ(code(s->status), 9);
  EXPECT_TRUE(imageHolds(*s, 0x1280000, kFour));  // copied before the end marker is checked
}

TEST_F(SbfReaderTest, RecordDisagreeingWithHeaderIsCopiedThenRefused) {
  fixture::Bytes body = fixture::sbfRecord(0x03FC8000, kFour);
  const fixture::Bytes five = {9, 8, 7, 6, 5};
  fixture::append(body, fixture::sbfRecord(0x11280000, five));
  open(readers::withHeader(smallHeader(), body));
  EXPECT_EQ(code(s->status), 11);
  EXPECT_TRUE(imageHolds(*s, 0x1280000, five));
  EXPECT_EQ(s->report.size(), 9u);  // finalisation failures still get the report
}

TEST_F(SbfReaderTest, RamdldFillsItsAreaExactly) {
  fixture::Header h;
  h.entry(0, {0x03FC8000, 0x03FF7FFF, {}, 0, 0});
  const fixture::Bytes data = fixture::pattern(0x30000, 3);
  open(readers::withHeader(h, fixture::sbfRecord(0x03FC8000, data)));
  EXPECT_EQ(code(s->status), 0);
  EXPECT_TRUE(imageHolds(*s, 0x4000000, data));

  const fixture::Bytes longer = fixture::pattern(0x30001, 3);
  open(readers::withHeader(h, fixture::sbfRecord(0x03FC8000, longer)));
  EXPECT_EQ(code(s->status), 6);
}

TEST_F(SbfReaderTest, RecordEndingOnTheImagesLastByte) {
  // No header range reaches past the flash window, so the copy is seen in the image and the
  // disagreement with the header at finalisation.
  fixture::Header h;
  h.entry(0, {0x03FC8000, 0x03FC8003, {}, 0, 0}).entry(4, {0x13FFFFF0, 0x13FFFFFF, {}, 0, 8});
  auto file = [&](std::size_t n) {
    fixture::Bytes body = fixture::sbfRecord(0x03FC8000, kFour);
    fixture::append(body, fixture::sbfRecord(0x13FFFFF0, fixture::pattern(n, 4)));
    return readers::withHeader(h, body);
  };
  open(file(0x30010));
  EXPECT_EQ(code(s->status), 11);
  EXPECT_EQ(s->image.data()[0x402FFFF], fixture::pattern(0x30010, 4).back());
  open(file(0x30011));
  EXPECT_EQ(code(s->status), 6);
  EXPECT_EQ(s->image.data()[0x3FFFFF0], 0xFF);
}

TEST_F(SbfReaderTest, HugeLengthIsAnOverflowNotAWrap) {
  fixture::Bytes body = fixture::sbfRecord(0x03FC8000, kFour);
  fixture::Bytes huge = fixture::sbfRecord(0x11280000, kFour);
  for (int k = 0; k < 4; ++k) huge[9 + k] = 0xFF;  // length 0xFFFFFFFF
  fixture::append(body, huge);
  open(readers::withHeader(smallHeader(), body));
  EXPECT_EQ(code(s->status), 6);
  EXPECT_EQ(s->image.data()[0x1280000], 0xFF);
}

TEST_F(SbfReaderTest, RecordCutOffAnywhereIsARecordError) {
  const fixture::Bytes first = fixture::sbfRecord(0x03FC8000, kFour);
  const fixture::Bytes second = fixture::sbfRecord(0x11280000, kFour);
  fixture::Bytes full = readers::withHeader(smallHeader(), first);
  fixture::append(full, second);
  // Every cut inside the second record: start marker, length, address, data, reserved word,
  // end marker. The whole record is the exact fit.
  for (std::size_t keep = 1; keep < second.size(); ++keep) {
    const std::span<const std::uint8_t> cut(full.data(), full.size() - second.size() + keep);
    open(cut);
    EXPECT_EQ(code(s->status), 9) << "kept " << keep;
    EXPECT_EQ(s->report.size(), 0u);
  }
  open(full);
  EXPECT_EQ(code(s->status), 0);
  EXPECT_EQ(s->lastSlot, 1);
}

TEST_F(SbfReaderTest, CutDataIsNotCopied) {
  fixture::Bytes full = readers::withHeader(smallHeader(), fixture::sbfRecord(0x03FC8000, kFour));
  // Marker, length, address and three of four data bytes.
  open(std::span<const std::uint8_t>(full.data(), 8172 + 17 + 3));
  EXPECT_EQ(code(s->status), 9);
  EXPECT_EQ(s->image.data()[0x4000000], 0xFF);
}

TEST_F(SbfReaderTest, ShortAndMissingFiles) {
  const fixture::Header h = smallHeader();
  open(std::span<const std::uint8_t>(h.bytes().data(), 8171));
  EXPECT_EQ(code(s->status), 9);
  open(std::span<const std::uint8_t>());
  EXPECT_EQ(code(s->status), 2);
  s->currentPath = dir.file("missing.sbf");
  readSbf(*s, progress);
  EXPECT_EQ(code(s->status), 2);
  s->currentPath = dir.path();  // a folder is not a file
  readSbf(*s, progress);
  EXPECT_EQ(code(s->status), 2);
}

TEST_F(SbfReaderTest, HeaderParseFailuresStopTheRead) {
  fixture::Header h;
  h.entry(0, {0x03FC8000, 0x03FF8000, {}, 0, 0});  // one byte more than the RAMDLD area
  open(readers::withHeader(h, fixture::sbfRecord(0x03FC8000, kFour)));
  EXPECT_EQ(code(s->status), 6);
  EXPECT_EQ(s->image.data()[0x4000000], 0xFF);
  fixture::Header g;
  g.entry(4, {0x11280000, 0x14000000, {}, 0, 8});
  open(readers::withHeader(g, fixture::sbfRecord(0x11280000, kFour)));
  EXPECT_EQ(code(s->status), 11);
}

TEST_F(SbfReaderTest, MoreRecordsThanSlotsAreRefused) {
  // 21 code groups fill slots 0 to 20; a 22nd record has no slot.
  std::vector<Group> groups = {{0, 0x03FC8000, kFour}};
  for (int c = 2; c <= 21; ++c) groups.push_back({c, 0x11000000u + std::uint32_t(c) * 0x100u, kFour});
  fixture::Bytes file = readers::makeSbf(groups);
  open(file);
  ASSERT_EQ(code(s->status), 0);
  EXPECT_EQ(s->lastSlot, 20);

  fixture::append(file, fixture::sbfRecord(0x12000000, kFour));
  s->slots[21].recordAddress = 0x5A5A5A5A;
  open(file);
  EXPECT_EQ(code(s->status), 9);
  EXPECT_EQ(s->slots[21].cgNumber, 257);
  EXPECT_EQ(s->slots[21].recordAddress, 0x5A5A5A5A);
  EXPECT_EQ(s->image.data()[0x2000000], 0xFF);
}

TEST(FileBufferTests, ReadsWholeFileAndClearsStatus) {
  fixture::TempDir dir;
  auto s = freshEditor();
  s->status = StatusCode::ChecksumError;
  fixture::writeFile(dir.file("a.bin"), kFour);
  const FileBuffer b = readWholeFile(*s, dir.file("a.bin"));
  EXPECT_EQ(code(s->status), 0);
  ASSERT_EQ(b.size, 4u);
  EXPECT_TRUE(std::equal(kFour.begin(), kFour.end(), b.bytes.get()));
}
