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

// The trailer worked out from the record layout: an S7 whose address is "CS" and the sum of
// every byte before it, the binary header included.
std::string trailerOf(const fixture::Bytes& file) {
  const std::uint16_t sum = fixture::sum16(std::span(file).first(file.size() - 14));
  return fixture::srecord('7', 0x43530000u | sum, {});
}

fixture::Bytes saveTo(EditorState& s, Progress&& progress = Progress()) {
  StatusCode status;
  const fixture::Bytes file = save_setup::writeSuperfile(s, true, status, progress);
  EXPECT_EQ(status, StatusCode::None);
  return file;
}

}  // namespace

TEST(ShxLayoutTests, RamdldThenFlexByteForByte) {
  // 300 bytes end on a short line, 128 on a full one with no empty line after it.
  auto r = save_setup::ramdldAndFlex(300, 128);
  const fixture::Bytes file = saveTo(*r.state);
  ASSERT_GT(file.size(), kHeader);
  EXPECT_EQ(text(fixture::Bytes(file.begin(), file.begin() + 13)), "P2K Superfile");

  const fixture::Bytes rdl = save_setup::patchedForFlex(r.ramdld);
  EXPECT_EQ(text(file, kHeader), kS0 + fixture::s3Lines(0x03FC8000, rdl) + kS7 + kS0 +
                                     fixture::s3Lines(0x11280000, r.flex) + trailerOf(file));

  // The header lists the RAMDLD as it was written, patch included.
  const std::uint8_t* entry0 = file.data() + 948;
  EXPECT_EQ(entry0[24] | (entry0[25] << 8), fixture::sum16(rdl));
  EXPECT_EQ(entry0[8 + 15], rdl[15]);
}

TEST(ShxLayoutTests, ThreeBytesMakeTheDocumentedLine) {
  auto s = save_setup::emptyEditor();
  layGroup(*s, 0, 0, save_setup::kRamdldStart, fixture::pattern(16, 3));
  layGroup(*s, 1, 2, 0x11280040, {0x01, 0x02, 0x03});
  const std::string body = text(saveTo(*s), kHeader);
  const std::string flexGroup = kS0 + "S3081128004001020378\r\n";
  ASSERT_GT(body.size(), flexGroup.size() + 14);
  EXPECT_EQ(body.substr(body.size() - 14 - flexGroup.size(), flexGroup.size()), flexGroup);
}

TEST(ShxLayoutTests, SingleCodeGroupHasNoTerminatorLine) {
  auto s = save_setup::emptyEditor();
  const fixture::Bytes rdl = fixture::pattern(300, 5);
  layGroup(*s, 0, 0, save_setup::kRamdldStart, rdl);
  ASSERT_EQ(s->lastSlot, 0);
  const fixture::Bytes file = saveTo(*s);
  // Nothing is listed in the table: the whole window is erased.
  fixture::Bytes patched = rdl;
  std::fill(patched.begin() + 240, patched.end(), std::uint8_t(0xFF));
  EXPECT_EQ(text(file, kHeader), kS0 + fixture::s3Lines(0x03FC8000, patched) + trailerOf(file));
}

TEST(ShxLayoutTests, SlotsOutOfUseAreSkippedAndTheTrailerFollowsTheLastGroupWritten) {
  auto s = save_setup::emptyEditor();
  const fixture::Bytes rdl = fixture::pattern(20, 5);  // shorter than the table window
  const fixture::Bytes flex = fixture::pattern(20, 6);
  layGroup(*s, 0, 0, save_setup::kRamdldStart, rdl);
  layGroup(*s, 2, 2, save_setup::kFlexStart, flex);
  s->lastSlot = 3;  // slots 1 and 3 are empty
  const fixture::Bytes file = saveTo(*s);
  EXPECT_EQ(text(file, kHeader), kS0 + fixture::s3Lines(0x03FC8000, rdl) + kS7 + kS0 +
                                     fixture::s3Lines(0x11280000, flex) + trailerOf(file));
}

TEST(ShxTrailerTests, DocumentedTrailerAfterAnEmptyGroup) {
  // The documented line for a running sum of 0x1234.
  const auto documented = shxChecksumTrailer(0x1234);
  EXPECT_EQ(std::string(documented.begin(), documented.end()), "S705435312341E");

  // A code group without data bytes: its S0 line, then the trailer at once.
  auto s = save_setup::emptyEditor();
  (void)placeInSlot(*s, 0, 0, 0x03FC8000, 0x03FC7FFF);
  ASSERT_EQ(s->slots[0].length, 0u);
  s->lastSlot = 0;
  const fixture::Bytes file = saveTo(*s);
  EXPECT_EQ(text(file, kHeader), kS0 + trailerOf(file));
}

TEST(ShxIndependentDecodeTests, SrecordToolReadsBackTheImageBytes) {
#ifndef TAVUFE_SREC_CAT
  GTEST_SKIP() << "srec_cat not available";
#else
  auto r = save_setup::ramdldAndFlex(0x1234, 0x4321);
  fixture::TempDir dir;
  const fixture::Bytes file = saveTo(*r.state);
  fixture::writeFile(dir.file("body.srec"), std::span(file).subspan(kHeader));

  // srec_cat checks every line's checksum, the trailer's included, and fails on a mismatch.
  auto decode = [&](std::uint32_t start, std::size_t size, const std::string& out) {
    std::ostringstream cmd;
    cmd << TAVUFE_SREC_CAT << " '" << dir.file("body.srec") << "' -crop 0x" << std::hex << start
        << " 0x" << start + size << " -offset -0x" << start << " -o '" << out
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
