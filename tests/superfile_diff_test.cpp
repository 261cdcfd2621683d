#include "inspect/superfile_diff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/flash_image.h"
#include "superfile_fixture.h"

using namespace tavufe;

namespace {

constexpr std::uint32_t kFlex = 0x11280000;
constexpr std::uint32_t kFlexAt = 0x1280000;  // its image offset
constexpr std::uint32_t kRamdld = 0x03FC8000;
constexpr std::uint32_t kRecord = kFlexAt + 0x400;

// Two images holding the same RAMDLD and 4 KiB of Flex, with one folder record in the Flex;
// each test changes NEW.
class DiffTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(oldImage.allocate() && newImage.allocate());
    reset();
  }
  void reset() {
    for (FlashImage* image : {&oldImage, &newImage}) {
      image->fill();
      put(*image, kRamdldOffset, fixture::pattern(0x200, 1));
      put(*image, kFlexAt, fixture::pattern(0x1000, 2));
    }
    for (DiffSide* side : {&oldSide, &newSide}) {
      side->groups = {{0, "RAMDLD", kRamdld, kRamdld + 0x1FF, true},
                      {2, "Flex", kFlex, kFlex + 0xFFF, false}};
      side->header = {{"date", "Mon December 07 10:00:00 2026"}};
      side->folders = {{"Skins", kRecord}};
    }
    oldSide.image = &oldImage;
    newSide.image = &newImage;
  }
  static void put(FlashImage& image, std::uint32_t at, const std::vector<std::uint8_t>& bytes) {
    const auto out = image.write(at, bytes.size());
    std::copy(bytes.begin(), bytes.end(), out.begin());
  }
  void flip(std::uint32_t at) { newImage.write(at, 1)[0] ^= 0x5A; }
  std::vector<std::string> lines() { return diffLines(compareSuperfiles(oldSide, newSide)); }

  FlashImage oldImage;
  FlashImage newImage;
  DiffSide oldSide;
  DiffSide newSide;
};

TEST_F(DiffTest, RangesMergeAcrossFewerThanSixteenEqualBytes) {
  EXPECT_EQ(lines(), std::vector<std::string>{"same"});
  const std::vector<std::pair<std::uint32_t, std::vector<std::string>>> cases = {
      {15, {"Flex 11280010-11280020: 2 bytes differ", "1 difference"}},
      {16, {"Flex 11280010: 1 byte differs", "Flex 11280021: 1 byte differs", "2 differences"}},
  };
  for (const auto& [equalBetween, expected] : cases) {
    SCOPED_TRACE(equalBetween);
    reset();
    flip(kFlexAt + 0x10);
    flip(kFlexAt + 0x10 + equalBetween + 1);
    EXPECT_EQ(lines(), expected);
  }
}

TEST_F(DiffTest, FolderRecordsAndRamdldEntriesAreNamed) {
  struct Case {
    const char* what;
    void (*change)(DiffTest&);
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"erase",
       [](DiffTest& t) {
         put(t.newImage, kRecord - 261, std::vector<std::uint8_t>(5, 0xFF));
         put(t.newImage, kRecord - 4, std::vector<std::uint8_t>(168, 0xFF));
       },
       {"folder \"Skins\" at 11280400 erased (173 bytes)", "1 difference"}},
      {"one byte inside the record",
       [](DiffTest& t) { t.flip(kRecord + 20); },
       {"folder \"Skins\" at 11280400: 1 byte differs", "1 difference"}},
      {"one byte just outside it",
       [](DiffTest& t) { t.flip(kRecord + 164); },
       {"Flex 112804A4: 1 byte differs", "1 difference"}},
      {"table entry 2 erased",
       [](DiffTest& t) {
         std::vector<std::uint8_t> entry = {0x11, 0x28, 0x00, 0x00, 0x11, 0xF3, 0xFF, 0xFF};
         put(t.oldImage, kRamdldOffset + 248 + 16, entry);
         put(t.newImage, kRamdldOffset + 248 + 16, std::vector<std::uint8_t>(8, 0xFF));
         t.flip(kRamdldOffset + 247);
       },
       {"RAMDLD 03FC80F7: 1 byte differs", "RAMDLD table entry 2: 11280000-11F3FFFF -> none",
        "2 differences"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reset();
    c.change(*this);
    EXPECT_EQ(lines(), c.expected);
  }
}

TEST_F(DiffTest, GroupsHeaderTextsAndSumNotes) {
  oldSide.groups.push_back({1, "Firmware", 0x10160000, 0x10163FFF, false});
  newSide.groups[1].end = kFlex + 0x7FF;
  newSide.groups.push_back({3, "DSP", 0x10100000, 0x101000FF, false});
  newSide.header[0].value = "Tue December 08 10:00:00 2026";
  newSide.badSums.push_back({2, "Flex checksum", "1234", "5678"});
  const SuperfileDiff diff = compareSuperfiles(oldSide, newSide);
  EXPECT_EQ(
      diffLines(diff),
      (std::vector<std::string>{
          "header date: \"Mon December 07 10:00:00 2026\" -> \"Tue December 08 10:00:00 2026\"",
          "Flex range 11280000-11280FFF -> 11280000-112807FF",
          "note: Flex checksum in NEW: the header says 1234, the bytes sum to 5678",
          "Firmware 10160000-10163FFF only in OLD", "DSP 10100000-101000FF only in NEW",
          "4 differences"}));
  EXPECT_FALSE(diff.same());
}

}  // namespace
