#include "inspect/folder_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "model/catalogue.h"
#include "model/flash_image.h"
#include "test_support.h"

using namespace tavufe;

namespace {

constexpr std::int32_t kFlexStart = 0x1280000;  // Flex at its profile address 0x11280000
constexpr std::int32_t kFlexEnd = 0x1F3FFFF;

// Fresh editor with the Flex in slot 1 at its catalogue address.
std::unique_ptr<EditorState> flexEditor() {
  auto s = freshEditor();
  placeInSlot(*s, 1, kCgFlex, 0x11280000, 0x11F3FFFF);
  s->lastSlot = 1;
  computeRegionBounds(*s);
  return s;
}

// Name pairs as stored from record byte 26: each character as 00 c, ended by 00 00.
std::vector<std::uint8_t> namePairs(const std::string& name) {
  std::vector<std::uint8_t> pairs;
  for (char c : name) {
    pairs.push_back(0x00);
    pairs.push_back(std::uint8_t(c));
  }
  pairs.push_back(0x00);
  pairs.push_back(0x00);
  return pairs;
}

// 00 00 04 05 | 02 04 00 07 | FF FF FF FF | 14 bytes not examined | name pairs
void putRecord(EditorState& s, std::int64_t at, const std::vector<std::uint8_t>& pairs) {
  static constexpr std::uint8_t kHead[12] = {0x00, 0x00, 0x04, 0x05, 0x02, 0x04,
                                             0x00, 0x07, 0xFF, 0xFF, 0xFF, 0xFF};
  std::uint8_t* p = s.image.data() + at;
  std::memcpy(p, kHead, sizeof kHead);
  std::memset(p + 12, 0x11, 14);
  std::memcpy(p + 26, pairs.data(), pairs.size());
}

void putRecord(EditorState& s, std::int64_t at, const std::string& name) {
  putRecord(s, at, namePairs(name));
}

std::vector<std::string> listedNames(const EditorState& s) {
  std::vector<std::string> names;
  for (const auto& row : folderGridRows(s)) names.push_back(row[1]);
  return names;
}

}  // namespace

TEST(FolderScanTests, ListsRecordWithNameAndLocation) {
  auto s = flexEditor();
  putRecord(*s, kFlexStart + 0x100, std::vector<std::uint8_t>{0x00, 0x41, 0x00, 0x42, 0x00, 0x00});
  scanFlexFolders(*s);
  EXPECT_EQ(s->folders[0].recordOffset, kFlexStart + 0x100);
  EXPECT_EQ(s->folders[1].recordOffset, 0);
  const auto rows = folderGridRows(*s);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (FolderGridRow{"1", "AB", "00000100"}));
}

TEST(FolderScanTests, OnlyRecordsOnTheFourByteGridCount) {
  auto s = flexEditor();
  putRecord(*s, kFlexStart + 0x102, "AB");
  scanFlexFolders(*s);
  EXPECT_TRUE(folderGridRows(*s).empty());

  // The grid is counted from the Flex start, not from the image start.
  s->bounds.flexStart = kFlexStart + 2;
  scanFlexFolders(*s);
  EXPECT_EQ(folderGridRows(*s).size(), 1u);

  // The last position examined lies below flexEnd.
  s->bounds.flexStart = kFlexStart;
  putRecord(*s, kFlexStart + 0x1FC, "Y");
  s->bounds.flexEnd = kFlexStart + 0x1FD;
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s), (std::vector<std::string>{"Y"}));
  s->bounds.flexEnd = kFlexStart + 0x1FC;
  scanFlexFolders(*s);
  EXPECT_TRUE(folderGridRows(*s).empty());
}

TEST(FolderScanTests, NamesSkipFfAndStopAtThirtySix) {
  auto s = flexEditor();
  putRecord(*s, kFlexStart + 0x100,
            std::vector<std::uint8_t>{0x00, 'S', 0xFF, 0xFF, 0x00, 0xFF, 0x00, 'k', 0x00, 0x00});
  std::vector<std::uint8_t> longName;
  for (int i = 0; i < 40; ++i) {
    longName.push_back(0x00);
    longName.push_back(std::uint8_t('a' + i % 26));
    if (i % 5 == 0) longName.insert(longName.end(), {0x00, 0xFF});
  }
  longName.insert(longName.end(), {0x00, 0x00});
  putRecord(*s, kFlexStart + 0x300, longName);
  scanFlexFolders(*s);
  const auto names = listedNames(*s);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "Sk");
  EXPECT_EQ(names[1], "abcdefghijklmnopqrstuvwxyzabcdefghij");
  EXPECT_EQ(names[1].size(), kMaxFolderName);
}

TEST(FolderScanTests, AtMostTwoHundredRecordsAndStaleRowsCleared) {
  auto s = flexEditor();
  for (int i = 0; i < 201; ++i)
    putRecord(*s, kFlexStart + 0x1000 + 0x100 * i, "F" + std::to_string(i));
  scanFlexFolders(*s);
  const auto rows = folderGridRows(*s);
  ASSERT_EQ(rows.size(), 200u);
  EXPECT_EQ(rows[199], (FolderGridRow{"200", "F199", "0000D700"}));

  // A later scan that finds fewer records empties every row after them.
  s->bounds.flexEnd = kFlexStart + 0x1000 + 0x100 * 3;
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s), (std::vector<std::string>{"F0", "F1", "F2"}));
  for (int k = 3; k < kMaxFolders; ++k) EXPECT_EQ(s->folders[std::size_t(k)].recordOffset, 0);
}

TEST(FolderScanTests, RecordsAtTheImageEnd) {
  auto s = flexEditor();
  s->bounds.flexStart = kImageSize - 0x40;
  s->bounds.flexEnd = 0x0FFFFFFF;
  // 12 test bytes exactly fit; the name would start past the end and is empty.
  putRecord(*s, kImageSize - 0x40, std::vector<std::uint8_t>{0x00, 'Z', 0x00, 0x00});
  std::memcpy(s->image.data() + kImageSize - 12, "\x00\x00\x04\x05\x02\x04\x00\x07\xFF\xFF\xFF\xFF",
              12);
  scanFlexFolders(*s);
  auto rows = folderGridRows(*s);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][1], "Z");
  EXPECT_EQ(rows[1], (FolderGridRow{"2", "", "00000034"}));

  // One byte short of its test bytes is no record.
  fillImage(*s);
  std::memcpy(s->image.data() + kImageSize - 8, "\x00\x00\x04\x05\x02\x04\x00\x07", 8);
  scanFlexFolders(*s);
  EXPECT_TRUE(folderGridRows(*s).empty());

  // A name running into the end stops there.
  putRecord(*s, kImageSize - 40, "Q");
  for (std::int64_t at = kImageSize - 13; at < kImageSize; at += 2) s->image.data()[at] = 'Q';
  scanFlexFolders(*s);
  rows = folderGridRows(*s);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][1], "QQQQQQQ");
}

TEST(FolderScanTests, HostileBoundsFindNothingOutsideTheImage) {
  auto s = flexEditor();
  putRecord(*s, 2, "N");
  putRecord(*s, 0x40, "M");
  s->bounds.flexStart = 0x100;
  s->bounds.flexEnd = 0x10;
  scanFlexFolders(*s);
  EXPECT_TRUE(folderGridRows(*s).empty());

  // A negative start keeps its 4-byte grid: -6, -2, 2, ...
  s->bounds.flexStart = -6;
  s->bounds.flexEnd = 0x100;
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s), (std::vector<std::string>{"N"}));

  // The lowest start falls on the grid through offset 0.
  s->bounds.flexStart = std::numeric_limits<std::int32_t>::min();
  s->bounds.flexEnd = std::numeric_limits<std::int32_t>::max();
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s), (std::vector<std::string>{"M"}));

  // Offset 0 marks an empty row, so a record there is passed over rather than ending the list.
  putRecord(*s, 0, "O");
  s->bounds.flexStart = 0;
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s), (std::vector<std::string>{"M"}));
}

TEST(FolderScanTests, ScanWithoutImageListsNothing) {
  EditorState s;
  s.folders[0].recordOffset = 0x1280100;
  s.bounds.flexStart = kFlexStart;
  s.bounds.flexEnd = kFlexEnd;
  scanFlexFolders(s);
  EXPECT_TRUE(folderGridRows(s).empty());
  eraseFolderRecord(s, 0x1280100);
}

TEST(FolderEraseTests, ErasesExactly173Bytes) {
  auto s = flexEditor();
  const std::int64_t r = kFlexStart + 0x1000;
  std::memset(s->image.data() + r - 0x200, 0x5A, 0x400);
  eraseFolderRecord(*s, std::int32_t(r));
  const std::uint8_t* img = s->image.data();
  EXPECT_EQ(img[r - 262], 0x5A);
  for (std::int64_t o = -261; o <= -257; ++o) EXPECT_EQ(img[r + o], 0xFF) << o;
  EXPECT_EQ(img[r - 256], 0x5A);
  EXPECT_EQ(img[r - 5], 0x5A);
  for (std::int64_t o = -4; o <= 163; ++o) EXPECT_EQ(img[r + o], 0xFF) << o;
  EXPECT_EQ(img[r + 164], 0x5A);
  int erased = 0;
  for (std::int64_t o = -0x200; o < 0x200; ++o) erased += img[r + o] == 0xFF;
  EXPECT_EQ(erased, kFolderEraseSize);
}

TEST(FolderEraseTests, NearImageStartAndEndTouchesNothingOutside) {
  auto s = flexEditor();
  std::uint8_t* img = s->image.data();
  std::memset(img, 0x5A, 0x400);
  eraseFolderRecord(*s, 100);
  EXPECT_EQ(img[95], 0x5A);
  for (int o = 96; o <= 263; ++o) EXPECT_EQ(img[o], 0xFF) << o;
  EXPECT_EQ(img[264], 0x5A);

  std::memset(img, 0x5A, 0x400);
  eraseFolderRecord(*s, 2);
  for (int o = 0; o <= 165; ++o) EXPECT_EQ(img[o], 0xFF) << o;
  EXPECT_EQ(img[166], 0x5A);

  // The spare byte past the image stays as it was.
  std::memset(img + kImageSize - 0x200, 0x5A, 0x200);
  img[kImageSize] = 0x5A;
  eraseFolderRecord(*s, kImageSize - 10);
  EXPECT_EQ(img[kImageSize - 272], 0x5A);
  for (int o = 271; o >= 267; --o) EXPECT_EQ(img[kImageSize - o], 0xFF) << o;
  EXPECT_EQ(img[kImageSize - 266], 0x5A);
  EXPECT_EQ(img[kImageSize - 15], 0x5A);
  for (int o = 14; o >= 1; --o) EXPECT_EQ(img[kImageSize - o], 0xFF) << o;
  EXPECT_EQ(img[kImageSize], 0x5A);

  // Wholly outside: nothing at all.
  eraseFolderRecord(*s, std::numeric_limits<std::int32_t>::max());
  eraseFolderRecord(*s, std::numeric_limits<std::int32_t>::min());
  eraseFolderRecord(*s, -164);
  EXPECT_EQ(img[0], 0xFF);
  EXPECT_EQ(img[166], 0x5A);
  EXPECT_EQ(img[kImageSize], 0x5A);
}

TEST(RepeatedFolderTests, EveryRecordOfARunButTheFirstIsErased) {
  auto s = flexEditor();
  const std::vector<std::string> names = {"Skin", "Skin", "Skin", "skin", "B", "B", "C"};
  for (std::size_t i = 0; i < names.size(); ++i) {
    putRecord(*s, kFlexStart + 0x400 * std::int64_t(i + 1), names[i]);
  }
  eraseRepeatedFolders(*s);
  for (std::int64_t i : {2, 3, 6}) {
    const std::int64_t r = kFlexStart + 0x400 * i;
    EXPECT_EQ(s->image.data()[r], 0xFF);
    EXPECT_EQ(s->image.data()[r + 27], 0xFF);
  }
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s), (std::vector<std::string>{"Skin", "skin", "B", "C"}));
  EXPECT_EQ(folderGridRows(*s)[2][2], "00001400");
}

TEST(RepeatedFolderTests, FlexAtAnotherAddressKeepsEverything) {
  auto s = flexEditor();
  s->slots[1].startAddress = 0x11300000;
  putRecord(*s, kFlexStart + 0x400, "Skin");
  putRecord(*s, kFlexStart + 0x800, "Skin");
  eraseRepeatedFolders(*s);
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s), (std::vector<std::string>{"Skin", "Skin"}));
}

TEST(RepeatedFolderTests, StopsAtTheFirstEmptyName) {
  auto s = flexEditor();
  putRecord(*s, kFlexStart + 0x400, "A");
  putRecord(*s, kFlexStart + 0x800, "");
  putRecord(*s, kFlexStart + 0xC00, "A");
  putRecord(*s, kFlexStart + 0x1000, "A");
  eraseRepeatedFolders(*s);
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s), (std::vector<std::string>{"A", "", "A", "A"}));
}

TEST(FolderDeleteTests, DeleteErasesAndRelists) {
  auto s = flexEditor();
  putRecord(*s, kFlexStart + 0x400, "One");
  putRecord(*s, kFlexStart + 0x800, "Two");
  scanFlexFolders(*s);
  EXPECT_FALSE(isFolderRowSelected(*s, 0));
  EXPECT_TRUE(isFolderRowSelected(*s, 2));
  EXPECT_FALSE(isFolderRowSelected(*s, 3));
  EXPECT_FALSE(canDeleteFolderRow(*s, 0));
  EXPECT_FALSE(deleteFolderRow(*s, 3));

  ASSERT_TRUE(deleteFolderRow(*s, 1));
  EXPECT_EQ(folderGridRows(*s), (std::vector<FolderGridRow>{{"1", "Two", "00000800"}}));
  EXPECT_FALSE(isFolderRowSelected(*s, 2));
  ASSERT_TRUE(deleteFolderRow(*s, 1));
  EXPECT_TRUE(folderGridRows(*s).empty());
  EXPECT_FALSE(isFolderRowSelected(*s, 1));
  EXPECT_FALSE(deleteFolderRow(*s, 1));
  EXPECT_FALSE(isFolderRowSelected(*s, -1));
  EXPECT_FALSE(isFolderRowSelected(*s, kMaxFolders + 1));
  EXPECT_FALSE(canDeleteFolderRow(*s, kMaxFolders + 1));
}

TEST(FolderDeleteTests, RecordAtTheFlexStartIsListedButNotErasable) {
  auto s = flexEditor();
  putRecord(*s, kFlexStart, "First");
  scanFlexFolders(*s);
  EXPECT_EQ(folderGridRows(*s), (std::vector<FolderGridRow>{{"1", "First", "00000000"}}));
  EXPECT_TRUE(isFolderRowSelected(*s, 1));
  EXPECT_FALSE(canDeleteFolderRow(*s, 1));
  EXPECT_FALSE(deleteFolderRow(*s, 1));
  EXPECT_EQ(s->image.data()[kFlexStart], 0x00);
}

TEST(FolderDeleteTests, RefusedWithoutAUsableFlexRegion) {
  auto s = flexEditor();
  putRecord(*s, kFlexStart + 0x400, "One");
  scanFlexFolders(*s);
  ASSERT_TRUE(canDeleteFolderRow(*s, 1));

  s->bounds.flexEnd = kFlexStart;
  EXPECT_FALSE(canDeleteFolderRow(*s, 1));
  s->bounds.flexEnd = kFlexStart + 0x400;  // the record must lie strictly below flexEnd
  EXPECT_FALSE(canDeleteFolderRow(*s, 1));
  s->bounds.flexEnd = kFlexEnd;
  s->bounds.flexStart = 0;
  EXPECT_FALSE(canDeleteFolderRow(*s, 1));
  EXPECT_FALSE(deleteFolderRow(*s, 1));
  EXPECT_EQ(s->image.data()[kFlexStart + 0x400 + 3], 0x05);
}
