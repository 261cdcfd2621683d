#include "superfile/sbf_writer.h"

#include <gtest/gtest.h>

#include "save_setup.h"

using namespace tavufe;
using save_setup::layGroup;

namespace {

constexpr std::size_t kHeader = 8172;

fixture::Bytes saveTo(EditorState& s, Progress& progress) {
  StatusCode status;
  const fixture::Bytes file = save_setup::writeSuperfile(s, false, status, progress);
  EXPECT_EQ(status, StatusCode::None);
  return file;
}

fixture::Bytes recordsOf(EditorState& s, Progress& progress) {
  const fixture::Bytes file = saveTo(s, progress);
  return fixture::Bytes(file.begin() + std::ptrdiff_t(std::min(kHeader, file.size())), file.end());
}

}  // namespace

TEST(SbfLayoutTests, HeaderThenOneRecordPerCodeGroup) {
  auto r = save_setup::ramdldAndFlex(0x321, 0x1000);
  Progress progress;
  const fixture::Bytes file = saveTo(*r.state, progress);
  const fixture::Bytes records(file.begin() + kHeader, file.end());
  const fixture::Bytes rdl = save_setup::patchedForFlex(r.ramdld);
  fixture::Bytes expected = fixture::sbfRecord(0x03FC8000, rdl);
  fixture::append(expected, fixture::sbfRecord(0x11280000, r.flex));
  EXPECT_EQ(records, expected);

  // Header entries 0 and 4 describe what follows.
  EXPECT_EQ(file[944], 2);
  EXPECT_EQ(file[948 + 24] | (file[948 + 25] << 8), fixture::sum16(rdl));
  EXPECT_EQ(file[1060 + 24] | (file[1060 + 25] << 8), fixture::sum16(r.flex));
  EXPECT_EQ(file[1060 + 26], 8);
}

TEST(SbfLayoutTests, SlotsOutOfUseGiveNoRecordButAStepAndEmptyGroupsABareRecord) {
  auto s = save_setup::emptyEditor();
  const fixture::Bytes rdl = fixture::pattern(64, 1);  // shorter than the table window
  const fixture::Bytes dsp = fixture::pattern(48, 2);
  layGroup(*s, 0, 0, save_setup::kRamdldStart, rdl);
  layGroup(*s, 2, 3, 0x10100000, dsp);
  (void)placeInSlot(*s, 4, 2, save_setup::kFlexStart, save_setup::kFlexStart - 1);
  s->lastSlot = 5;
  CountingProgress progress;
  const fixture::Bytes records = recordsOf(*s, progress);
  EXPECT_EQ(progress.maximum, 7);
  EXPECT_EQ(progress.steps, 6);
  fixture::Bytes expected = fixture::sbfRecord(0x03FC8000, rdl);
  fixture::append(expected, fixture::sbfRecord(0x10100000, dsp));
  fixture::append(expected, fixture::sbfRecord(save_setup::kFlexStart, {}));
  EXPECT_EQ(records, expected);
}
