#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "model/catalogue.h"
#include "model/finalise.h"
#include "model/flash_image.h"
#include "superfile_fixture.h"
#include "test_support.h"

using namespace tavufe;

TEST(AddressTests, FlashWindowBounds) {
  const std::pair<std::uint32_t, bool> cases[] = {{0x0FFFFFFF, false},
                                                  {0x10000000, true},
                                                  {0x13FFFFFF, true},
                                                  {0x14000000, false},
                                                  {0x80000000, false}};
  for (const auto& [address, valid] : cases) {
    EXPECT_EQ(isFlashAddressValid(std::int32_t(address)), valid) << std::hex << address;
  }
}

TEST(CatalogueTests, LabelsProfileAndReset) {
  auto s = freshEditor();
  EXPECT_EQ(s->catalogue[0].label, "RDL");
  EXPECT_EQ(s->catalogue[256].label, "FBL");
  EXPECT_EQ(s->catalogue[257].label, "FBU");
  EXPECT_EQ(s->catalogue[100].label, "CG100");
  // Numbers without a profile row keep an empty name, no range, no flag.
  placeInSlot(*s, 12, 5, 0x10000000, 0x100000FF);
  EXPECT_EQ(s->slots[12].description, "");
  EXPECT_EQ(s->slots[12].trimPadding, 0);
  EXPECT_EQ(s->slots[12].label, "CG5");

  std::vector<int> numbers;
  for (int i = 0; i <= s->lastSlot; ++i) numbers.push_back(s->slots[i].cgNumber);
  EXPECT_EQ(numbers, (std::vector<int>{0, 1, 2, 3, 4, 7, 8, 11, 15, 18}));
  EXPECT_EQ(s->slots[21].cgNumber, 257);
  EXPECT_EQ(s->status, StatusCode::None);

  // A reset empties slots 0 to 20 and the catalogue's names, not the labels or the FBU slot.
  resetSlots(*s);
  EXPECT_EQ(s->catalogue[7].label, "CG7");
  EXPECT_EQ(s->catalogue[2].name, "");
  EXPECT_EQ(s->slots[3].cgNumber, -1);
  EXPECT_EQ(s->slots[21].cgNumber, 257);
}

TEST(PlaceInSlotTests, RangeChecks) {
  struct Case {
    int slot, cg;
    std::uint32_t start, end;
    StatusCode status;
  };
  const Case cases[] = {
      {0, 0, 0x03FC8000, 0x03FF7FFF, StatusCode::None},  // the RAMDLD area exactly
      {0, 0, 0x03FC8000, 0x03FF8000, StatusCode::BufferAddressOverflow},
      {0, 0, 0x00001000, 0x00001FFF, StatusCode::None},  // RAMDLD has no address check
      {1, 2, 0x11280000, 0x11F3FFFF, StatusCode::None},
      {1, 2, 0x11280000, 0x14000000, StatusCode::AddressRange},
      {1, 256, 0x00001000, 0x00001FFF, StatusCode::AddressRange},
  };
  auto s = freshEditor();
  for (const Case& c : cases) {
    s->status = StatusCode::None;
    placeInSlot(*s, c.slot, c.cg, std::int32_t(c.start), std::int32_t(c.end));
    EXPECT_EQ(s->status, c.status) << std::hex << c.start << "-" << c.end;
    EXPECT_EQ(s->slots[c.slot].endAddress, std::int32_t(c.end));  // the slot is filled anyway
  }
}

TEST(RegionBoundsTests, LaterSlotWinsAndSlot20Ignored) {
  auto s = freshEditor();
  resetSlots(*s);
  placeInSlot(*s, 1, 2, 0x11280000, 0x112800FF);
  placeInSlot(*s, 4, 2, 0x11300000, 0x113000FF);
  placeInSlot(*s, 20, 4, 0x11100000, 0x111000FF);
  computeRegionBounds(*s);
  EXPECT_EQ(s->bounds.flexStart, 0x1300000);
  EXPECT_EQ(s->bounds.flexEnd, 0x13000FF);
  EXPECT_EQ(s->bounds.languageStart, 0);
  // Bounds are not cleared by a later file without that code group.
  resetSlots(*s);
  computeRegionBounds(*s);
  EXPECT_EQ(s->bounds.flexStart, 0x1300000);
}

class FinaliseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s = freshEditor();
    resetSlots(*s);
    copyProfileToCatalogue(*s);  // as the header parse does before placing
  }
  CodeGroupSlot& load(int slot, int cg, std::int32_t start, std::int32_t length) {
    placeInSlot(*s, slot, cg, start, start + length - 1);
    s->slots[slot].recordAddress = start;
    s->slots[slot].recordLength = length;
    return s->slots[slot];
  }
  std::uint8_t* at(std::uint32_t offset) { return s->image.data() + offset; }
  std::unique_ptr<EditorState> s;
};

TEST_F(FinaliseTest, TrimKeeps32ErasedBytesAndCutsAt33) {
  const struct {
    int cg;
    std::int32_t length, written, trimmed;
  } cases[] = {
      {1, 300, 300 - 32, 300},      // firmware: 32 FF after its last byte are kept
      {3, 300, 300 - 33, 266 + 9},  // DSP: 33 are cut to 8 after the last byte
      {3, 100, 0, 100},             // every byte FF: nothing to trim to
      {2, 1000, 1, 1000},           // Flex never trims
  };
  for (const auto& c : cases) {
    auto& slot = load(1, c.cg, 0x11000000, c.length);
    std::memset(at(0x1000000), 0xFF, std::size_t(c.length));
    std::memset(at(0x1000000), 0x22, std::size_t(c.written));
    finaliseSlot(*s, 1, false, false);
    EXPECT_EQ(s->status, StatusCode::None);
    EXPECT_EQ(slot.length, c.trimmed) << c.cg << " " << c.written;
    EXPECT_EQ(slot.endAddress, 0x11000000 + c.trimmed - 1);
  }
}

TEST_F(FinaliseTest, RamdldFitsItsAreaExactly) {
  auto& rdl = load(0, 0, 0x03FC8000, 0x30000);
  finaliseSlot(*s, 0, false, false);
  EXPECT_EQ(s->status, StatusCode::None);
  EXPECT_EQ(rdl.length, 0x30000);
  rdl.recordLength = 0x30001;
  rdl.endAddress += 1;
  finaliseSlot(*s, 0, false, false);
  EXPECT_EQ(s->status, StatusCode::BufferAddressOverflow);
  EXPECT_EQ(rdl.length, 0x30000);  // failing slot unchanged
}

TEST_F(FinaliseTest, FirmwareHalvesOverlapAtByte196) {
  auto& fw = load(2, 1, 0x10160000, 300);
  for (int k = 0; k < 300; ++k) at(0x160000)[k] = std::uint8_t(k);
  finaliseSlot(*s, 2, false, false);
  const auto& h = s->firmwareHalves;
  EXPECT_EQ(h[0].startAddress, 0x10160000);
  EXPECT_EQ(h[0].endAddress, 0x101600C7);
  EXPECT_EQ(h[1].startAddress, 0x101600C8);
  EXPECT_EQ(h[1].endAddress, 0x1016012B);
  EXPECT_EQ(h[0].headerBytes[0], 0);
  EXPECT_EQ(h[1].headerBytes[0], 196);
  EXPECT_EQ(h[1].headerBytes[15], 211);
  const fixture::Bytes bytes(at(0x160000), at(0x160000) + 300);
  EXPECT_EQ(h[0].bufferChecksum, fixture::sum16(std::span(bytes).first(200)));
  EXPECT_EQ(h[1].bufferChecksum, fixture::sum16(std::span(bytes).subspan(200)));
  EXPECT_EQ(std::uint16_t(h[0].bufferChecksum + h[1].bufferChecksum), fw.bufferChecksum);
}

TEST_F(FinaliseTest, RawWriteToMissingFolderReportsFileNotOpened) {
  load(1, 2, 0x11280000, 16);
  fixture::TempDir dir;
  s->currentPath = dir.file("no/such/folder/flex.smg");
  finaliseSlot(*s, 1, true, true);
  EXPECT_EQ(s->status, StatusCode::FileNotOpened);
  EXPECT_FALSE(std::filesystem::exists(s->currentPath));

  s->status = StatusCode::None;
  s->currentPath = dir.file("flex.smg");
  at(0x1280000)[3] = 0x5A;
  finaliseSlot(*s, 1, true, true);
  EXPECT_EQ(s->status, StatusCode::None);
  EXPECT_EQ(fixture::readFile(s->currentPath), fixture::Bytes(at(0x1280000), at(0x1280010)));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);  // no temporary file left beside it
}
