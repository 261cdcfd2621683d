// Capturing, restoring and showing the bytes a folder erase overwrites.

#include "inspect/folder_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "inspect/folder_scan.h"
#include "model/flash_image.h"
#include "test_support.h"

using namespace tavufe;

namespace {

constexpr std::uint32_t kFlexStart = 0x1280000;

// The Flex's bounds as an open of a Flex at 0x11280000 of 0x40000 bytes sets them.
std::unique_ptr<EditorState> flexEditor() {
  auto s = freshEditor();
  (void)placeInSlot(*s, 1, kCgFlex, 0x11280000, 0x112BFFFF);
  s->slots[1].recordAddress = 0x11280000;
  s->slots[1].recordLength = 0x40000;
  s->lastSlot = 1;
  computeRegionBounds(*s);
  return s;
}

// Every byte from `from` to `to` set to its offset's low byte, so that each one is told apart.
void fillCounting(EditorState& s, std::uint32_t from, std::uint32_t to) {
  for (std::uint32_t o = from; o < to; ++o) imageData(s)[o] = std::uint8_t(o);
}

}  // namespace

TEST(FolderRecordTests, CaptureTakesTheTwoErasedRunsAndRestorePutsThemBack) {
  auto s = flexEditor();
  const std::uint32_t r = kFlexStart + 0x1000;
  fillCounting(*s, r - 300, r + 200);
  putRecord(*s, r, "skins");
  scanFlexFolders(*s);
  ASSERT_EQ(folderRecordOffset(*s, 0), r);
  EXPECT_EQ(folderRecordOffset(*s, -1), 0u);
  EXPECT_EQ(folderRecordOffset(*s, 1), 0u);
  EXPECT_EQ(folderRecordOffset(*s, kMaxFolders), 0u);

  const std::vector<std::uint8_t> before(imageData(*s) + r - 300, imageData(*s) + r + 200);
  const FolderRecordBytes saved = captureFolderRecord(*s, r);
  EXPECT_EQ(saved.recordOffset, r);
  ASSERT_EQ(saved.pieces.size(), 2u);
  EXPECT_EQ(saved.pieces[0].offset, std::int64_t(r) - 261);
  EXPECT_EQ(saved.pieces[0].bytes.size(), 5u);
  EXPECT_EQ(saved.pieces[1].offset, std::int64_t(r) - 4);
  EXPECT_EQ(saved.pieces[1].bytes.size(), 168u);
  EXPECT_EQ(saved.pieces[1].bytes.at(4), 0x00);  // the record's first byte
  EXPECT_EQ(saved.pieces[1].bytes.at(7), 0x05);

  ASSERT_TRUE(deleteFolder(*s, 0));
  EXPECT_EQ(folderRecordOffset(*s, 0), 0u);
  restoreFolderRecord(*s, saved);
  EXPECT_EQ(std::vector<std::uint8_t>(imageData(*s) + r - 300, imageData(*s) + r + 200), before);
  EXPECT_EQ(folderRecordOffset(*s, 0), r);
  EXPECT_EQ(s->folders[0].folderName, "skins");
}

// Near either end of the image only the part inside it is taken, and only that part goes back.
TEST(FolderRecordTests, PartsOutsideTheImageAreLeftOut) {
  auto s = flexEditor();
  const struct {
    std::uint32_t record;
    std::vector<std::pair<std::int64_t, std::size_t>> pieces;  // offset, size
  } cases[] = {
      {100, {{96, 168}}},           // the head run lies before the image
      {259, {{0, 3}, {255, 168}}},  // the head run cut at offset 0
      {kImageSize - 100, {{kImageSize - 361, 5}, {kImageSize - 104, 104}}},
      {kImageSize + 4, {{kImageSize - 257, 5}}},  // only the head run remains inside
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.record);
    const FolderRecordBytes saved = captureFolderRecord(*s, c.record);
    ASSERT_EQ(saved.pieces.size(), c.pieces.size());
    for (std::size_t i = 0; i < c.pieces.size(); ++i) {
      EXPECT_EQ(saved.pieces[i].offset, c.pieces[i].first);
      EXPECT_EQ(saved.pieces[i].bytes.size(), c.pieces[i].second);
    }
    restoreFolderRecord(*s, saved);  // must stay inside the image
  }
  // A piece that no longer fits is skipped rather than written past the end.
  FolderRecordBytes tooLong;
  tooLong.pieces.push_back({kImageSize - 2, {1, 2, 3}});
  restoreFolderRecord(*s, tooLong);
  EXPECT_EQ(imageData(*s)[kImageSize - 2], 0xFF);
}

TEST(FolderRecordTests, DumpShowsLocationBytesAndCharacters) {
  auto s = flexEditor();
  const std::uint32_t r = kFlexStart + 0x1600;
  putRecord(*s, r, "Ab~");
  imageData(*s)[r - 261] = 0x41;
  imageData(*s)[r - 257] = 0x7F;
  const std::vector<std::string> dump = folderRecordDump(*s, r);
  ASSERT_EQ(dump.size(), 13u);  // 5 bytes on one line, the gap, then 168 on eleven
  EXPECT_EQ(dump[0], "000014FB  41 FF FF FF 7F                                   A....");
  EXPECT_EQ(dump[1], "...       252 bytes kept");
  EXPECT_EQ(dump[2], "000015FC  FF FF FF FF 00 00 04 05 02 04 00 07 FF FF FF FF  ................");
  EXPECT_EQ(dump[3], "0000160C  11 11 11 11 11 11 11 11 11 11 11 11 11 11 00 41  ...............A");
  EXPECT_EQ(dump[4], "0000161C  00 62 00 7E 00 00 FF FF FF FF FF FF FF FF FF FF  .b.~............");
  EXPECT_EQ(dump[12], "0000169C  FF FF FF FF FF FF FF FF                          ........");
  // The dump only reads: the record is still listed.
  scanFlexFolders(*s);
  EXPECT_EQ(folderRecordOffset(*s, 0), r);
}
