#include "superfile/sbf_writer.h"

#include <gtest/gtest.h>

#include "save_setup.h"

using namespace tavufe;
using save_setup::layGroup;

namespace {

constexpr std::size_t kHeader = 8172;

fixture::Bytes saveTo(EditorState& s, const std::string& path, Progress& progress) {
  s.currentPath = path;
  saveSbf(s, progress);
  EXPECT_EQ(s.status, StatusCode::None);
  return fixture::readFile(path);
}

fixture::Bytes from(const fixture::Bytes& b, std::size_t at) {
  return fixture::Bytes(b.begin() + std::ptrdiff_t(at), b.end());
}

}  // namespace

TEST(SbfLayoutTests, HeaderThenOneRecordPerCodeGroup) {
  auto r = save_setup::ramdldAndFlex(0x321, 0x1000);
  fixture::TempDir dir;
  Progress progress;
  const fixture::Bytes file = saveTo(*r.state, dir.file("out.sbf"), progress);
  ASSERT_EQ(file.size(), kHeader + (0x321 + 29) + (0x1000 + 29));

  const fixture::Bytes rdl = save_setup::patchedForFlex(r.ramdld);
  fixture::Bytes records = fixture::sbfRecord(0x03FC8000, rdl);
  fixture::append(records, fixture::sbfRecord(0x11280000, r.flex));
  EXPECT_EQ(from(file, kHeader), records);
  // Length before address; the RAMDLD record carries its load address.
  EXPECT_EQ(file[kHeader + 9 + 2], 0x03);
  EXPECT_EQ(file[kHeader + 9 + 3], 0x21);
  EXPECT_EQ(file[kHeader + 13], 0x03);
  EXPECT_EQ(file[kHeader + 14], 0xFC);
  EXPECT_EQ(file[kHeader + 15], 0x80);
  EXPECT_EQ(file[kHeader + 16], 0x00);

  // Header entries 0 and 4 describe what follows.
  EXPECT_EQ(file[944], 2);
  EXPECT_EQ(file[948 + 24] | (file[948 + 25] << 8), fixture::sum16(rdl));
  EXPECT_EQ(file[1060 + 24] | (file[1060 + 25] << 8), fixture::sum16(r.flex));
  EXPECT_EQ(file[1060 + 26], 8);
}

TEST(SbfLayoutTests, SlotsOutOfUseGiveNoRecordButAStep) {
  auto s = save_setup::emptyEditor();
  const fixture::Bytes rdl = fixture::pattern(64, 1);
  const fixture::Bytes dsp = fixture::pattern(48, 2);
  layGroup(*s, 0, 0, save_setup::kRamdldStart, rdl);
  layGroup(*s, 2, 3, 0x10100000, dsp);
  s->lastSlot = 3;
  fixture::TempDir dir;
  save_setup::CountingProgress progress;
  const fixture::Bytes file = saveTo(*s, dir.file("x.sbf"), progress);
  EXPECT_EQ(progress.maximum, 5);
  EXPECT_EQ(progress.steps, 4);
  fixture::Bytes records = fixture::sbfRecord(0x03FC8000, rdl);  // shorter than the window
  fixture::append(records, fixture::sbfRecord(0x10100000, dsp));
  EXPECT_EQ(from(file, kHeader), records);
}

TEST(SbfLayoutTests, EmptyCodeGroupIsABareRecord) {
  auto s = save_setup::emptyEditor();
  layGroup(*s, 0, 0, save_setup::kRamdldStart, fixture::pattern(32, 1));
  placeInSlot(*s, 1, 2, save_setup::kFlexStart, save_setup::kFlexStart - 1);
  s->lastSlot = 1;
  fixture::TempDir dir;
  Progress progress;
  const fixture::Bytes file = saveTo(*s, dir.file("x.sbf"), progress);
  const fixture::Bytes tail(file.end() - 29, file.end());
  EXPECT_EQ(tail, fixture::sbfRecord(save_setup::kFlexStart, {}));
}
