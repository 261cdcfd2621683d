#include "superfile/shx_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "save_setup.h"

using namespace tavufe;
using save_setup::layGroup;
using save_setup::text;

namespace {

constexpr std::size_t kHeader = 8172;
const std::string kS0(fixture::kS0Line);
const std::string kS7(fixture::kS7Line);

// The trailer worked out from the record layout: an S7 whose address is "CS" and the sum.
std::string trailerFor(std::uint16_t sum) { return fixture::srecord('7', 0x43530000u | sum, {}); }

fixture::Bytes saveTo(EditorState& s, const std::string& path) {
  s.currentPath = path;
  Progress progress;
  saveShx(s, progress);
  EXPECT_EQ(s.status, StatusCode::None);
  return fixture::readFile(path);
}

std::vector<std::string> linesOf(const std::string& body) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < body.size()) {
    const std::size_t end = body.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(body.substr(at));
      break;
    }
    lines.push_back(body.substr(at, end + 2 - at));
    at = end + 2;
  }
  return lines;
}

}  // namespace

TEST(ShxLayoutTests, RamdldThenFlexByteForByte) {
  auto r = save_setup::ramdldAndFlex(300, 0x1000);
  fixture::TempDir dir;
  const fixture::Bytes file = saveTo(*r.state, dir.file("out.shx"));
  ASSERT_GT(file.size(), kHeader);
  EXPECT_EQ(text(fixture::Bytes(file.begin(), file.begin() + 13)), "P2K Superfile");

  const fixture::Bytes rdl = save_setup::patchedForFlex(r.ramdld);
  const std::string groups =
      kS0 + fixture::s3Lines(0x03FC8000, rdl) + kS7 + kS0 + fixture::s3Lines(0x11280000, r.flex);
  const std::string body = text(file, kHeader);
  ASSERT_EQ(body.size(), groups.size() + 14);
  EXPECT_EQ(body.substr(0, groups.size()), groups);

  // Every byte before the trailer counts, the binary header included; the sum wraps.
  const std::uint16_t sum = fixture::sum16(std::span(file).first(file.size() - 14));
  EXPECT_EQ(body.substr(groups.size()), trailerFor(sum));
  EXPECT_EQ(r.state->runningChecksum, sum);

  // The header lists the RAMDLD as it was written, patch included.
  const std::uint8_t* entry0 = file.data() + 948;
  EXPECT_EQ(entry0[24] | (entry0[25] << 8), fixture::sum16(rdl));
  EXPECT_EQ(entry0[8 + 15], rdl[15]);
}

TEST(ShxLayoutTests, ThreeBytesMakeTheDocumentedLine) {
  auto s = save_setup::emptyEditor();
  layGroup(*s, 0, 0, save_setup::kRamdldStart, fixture::pattern(16, 3));
  layGroup(*s, 1, 2, 0x11280040, {0x01, 0x02, 0x03});
  fixture::TempDir dir;
  const std::string body = text(saveTo(*s, dir.file("x.shx")), kHeader);
  const std::string flexGroup = kS0 + "S3081128004001020378\r\n";
  ASSERT_GT(body.size(), flexGroup.size() + 14);
  EXPECT_EQ(body.substr(body.size() - 14 - flexGroup.size(), flexGroup.size()), flexGroup);
}

TEST(ShxLayoutTests, LineLengthsAtTheSixtyFourByteBoundary) {
  auto r = save_setup::ramdldAndFlex(65, 128);
  fixture::TempDir dir;
  const std::string body = text(saveTo(*r.state, dir.file("x.shx")), kHeader);
  const auto lines = linesOf(body);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], kS0);
  EXPECT_EQ(lines[1].size(), 144u);
  EXPECT_EQ(lines[1].substr(0, 12), "S34503FC8000");
  EXPECT_EQ(lines[2].size(), 18u);  // one byte left: count 06
  EXPECT_EQ(lines[2].substr(0, 12), "S30603FC8040");
  EXPECT_EQ(lines[3], kS7);
  EXPECT_EQ(lines[4], kS0);
  EXPECT_EQ(lines[5].size(), 144u);
  EXPECT_EQ(lines[5].substr(0, 12), "S34511280000");
  EXPECT_EQ(lines[6].size(), 144u);
  EXPECT_EQ(lines[6].substr(0, 12), "S34511280040");
  EXPECT_EQ(lines[7].size(), 14u);
  EXPECT_EQ(lines[7].substr(0, 8), "S7054353");
}

TEST(ShxLayoutTests, SingleCodeGroupHasNoTerminatorLine) {
  auto s = save_setup::emptyEditor();
  const fixture::Bytes rdl = fixture::pattern(300, 5);
  layGroup(*s, 0, 0, save_setup::kRamdldStart, rdl);
  ASSERT_EQ(s->lastSlot, 0);
  fixture::TempDir dir;
  const fixture::Bytes file = saveTo(*s, dir.file("x.shx"));
  const std::uint16_t sum = fixture::sum16(std::span(file).first(file.size() - 14));
  // Nothing is listed in the table: the whole window is erased.
  fixture::Bytes patched = rdl;
  std::fill(patched.begin() + 240, patched.end(), std::uint8_t(0xFF));
  EXPECT_EQ(text(file, kHeader), kS0 + fixture::s3Lines(0x03FC8000, patched) + trailerFor(sum));
}

TEST(ShxLayoutTests, SlotsOutOfUseAreSkippedAndTheTrailerFollowsTheLastGroupWritten) {
  auto s = save_setup::emptyEditor();
  layGroup(*s, 0, 0, save_setup::kRamdldStart, fixture::pattern(20, 5));
  layGroup(*s, 2, 2, save_setup::kFlexStart, fixture::pattern(20, 6));
  s->lastSlot = 3;  // slots 1 and 3 are empty
  fixture::TempDir dir;
  s->currentPath = dir.file("x.shx");
  save_setup::CountingProgress progress;
  saveShx(*s, progress);
  ASSERT_EQ(s->status, StatusCode::None);
  EXPECT_EQ(progress.maximum, 5);
  EXPECT_EQ(progress.steps, 4);
  const fixture::Bytes file = fixture::readFile(s->currentPath);
  const auto lines = linesOf(text(file, kHeader));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2], kS7);
  EXPECT_EQ(lines[3], kS0);
  EXPECT_EQ(lines[5], trailerFor(fixture::sum16(std::span(file).first(file.size() - 14))));
}

TEST(ShxTrailerTests, DocumentedTrailerAndAnEmptyGroup) {
  // A code group without data bytes: its S0 line, then the trailer at once.
  auto s = save_setup::emptyEditor();
  placeInSlot(*s, 0, 0, 0x03FC8000, 0x03FC7FFF);
  ASSERT_EQ(s->slots[0].length, 0);
  s->lastSlot = 0;
  s->runningChecksum =
      std::uint16_t(0x1234 - fixture::sum16(std::span(
                                 reinterpret_cast<const std::uint8_t*>(fixture::kS0Line.data()),
                                 fixture::kS0Line.size())));
  fixture::TempDir dir;
  OutputFile out;
  ASSERT_TRUE(out.open(dir.file("t.shx")));
  writeShxCodeGroup(*s, 0, out);
  ASSERT_TRUE(out.commit());
  EXPECT_EQ(text(fixture::readFile(dir.file("t.shx"))), kS0 + "S705435312341E");
  EXPECT_EQ(s->runningChecksum, 0x1234);
}

TEST(ShxTrailerTests, GroupLinesAndTerminatorAddToTheRunningSum) {
  auto r = save_setup::ramdldAndFlex(70, 10);
  EditorState& s = *r.state;
  s.runningChecksum = 0xFFF0;
  fixture::TempDir dir;
  OutputFile out;
  ASSERT_TRUE(out.open(dir.file("g.shx")));
  writeShxCodeGroup(s, 0, out);  // not the last group: ends in the terminator line
  ASSERT_TRUE(out.commit());
  const fixture::Bytes written = fixture::readFile(dir.file("g.shx"));
  EXPECT_EQ(text(written).substr(text(written).size() - 16), kS7);
  EXPECT_EQ(s.runningChecksum, std::uint16_t(0xFFF0 + fixture::sum16(written)));
}

TEST(ShxIndependentDecodeTests, SrecordToolReadsBackTheImageBytes) {
#ifndef TAVUFE_SREC_CAT
  GTEST_SKIP() << "srec_cat not available";
#else
  auto r = save_setup::ramdldAndFlex(0x1234, 0x4321);
  fixture::TempDir dir;
  const fixture::Bytes file = saveTo(*r.state, dir.file("x.shx"));
  fixture::writeFile(dir.file("body.srec"), std::span(file).subspan(kHeader));

  // srec_cat checks every line's checksum, the trailer's included, and fails on a mismatch.
  auto decode = [&](std::uint32_t start, std::size_t size, const std::string& out) {
    std::ostringstream cmd;
    cmd << TAVUFE_SREC_CAT << " '" << dir.file("body.srec") << "' -Motorola -crop 0x" << std::hex
        << start << " 0x" << start + size << " -offset -0x" << start << " -o '" << out
        << "' -Binary 2>/dev/null";
    return std::system(cmd.str().c_str());
  };
  ASSERT_EQ(decode(0x03FC8000, 0x1234, dir.file("rdl.bin")), 0);
  ASSERT_EQ(decode(0x11280000, 0x4321, dir.file("flex.bin")), 0);
  EXPECT_EQ(fixture::readFile(dir.file("rdl.bin")), save_setup::patchedForFlex(r.ramdld));
  EXPECT_EQ(fixture::readFile(dir.file("flex.bin")), r.flex);

  // The tool does reject a damaged line, so the agreement above means something.
  fixture::Bytes damaged(file.begin() + kHeader, file.end());
  damaged[40] = damaged[40] == '0' ? '1' : '0';
  fixture::writeFile(dir.file("body.srec"), damaged);
  EXPECT_NE(decode(0x03FC8000, 0x1234, dir.file("rdl.bin")), 0);
#endif
}
