#include "inspect/folder_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "model/catalogue.h"
#include "model/flash_image.h"
#include "superfile_fixture.h"
#include "test_support.h"

using namespace tavufe;

namespace {

constexpr std::uint32_t kFlexStart = 0x1280000;  // Flex at its profile address 0x11280000
constexpr std::uint32_t kFlexEnd = 0x1F3FFFF;
constexpr std::uint8_t kRecordHead[12] = {0x00, 0x00, 0x04, 0x05, 0x02, 0x04,
                                          0x00, 0x07, 0xFF, 0xFF, 0xFF, 0xFF};

// Fresh editor with the Flex in slot 1, as a read leaves it: at its catalogue address unless
// given, every byte of its range read from the file.
std::unique_ptr<EditorState> flexEditor(std::uint32_t start = 0x11280000,
                                        std::uint32_t end = 0x11F3FFFF) {
  auto s = freshEditor();
  // As the header parse leaves them: no slot but what the file lists.
  resetSlots(*s);
  copyProfileToCatalogue(*s);
  (void)placeInSlot(*s, 1, kCgFlex, start, end);
  s->slots[1].recordAddress = start;
  s->slots[1].recordLength = end - start + 1;
  s->lastSlot = 1;
  computeRegionBounds(*s);
  return s;
}

std::vector<std::string> listedNames(const EditorState& s) {
  std::vector<std::string> names;
  for (const auto& row : folderGridRows(s)) names.push_back(row[1]);
  return names;
}

// Image bytes `from` to `to` (the spare byte past the image included) as erasing the record at
// `r` leaves them over 0x5A: erased from r - 261 to r - 257 and from r - 4 to r + 163.
fixture::Bytes afterErase(std::int64_t r, std::int64_t from, std::int64_t to) {
  fixture::Bytes b;
  for (std::int64_t o = from; o < to; ++o) {
    const std::int64_t d = o - r;
    const bool erased = o < kImageSize && ((d >= -261 && d <= -257) || (d >= -4 && d <= 163));
    b.push_back(erased ? 0xFF : 0x5A);
  }
  return b;
}

}  // namespace

TEST(FolderScanTests, RecordsOnTheFourByteGridFromTheStartBelowTheEnd) {
  auto s = flexEditor();
  putRecord(*s, 0, "O");
  putRecord(*s, 0x82, "N");
  putRecord(*s, 0x40, "M");
  putRecord(*s, kFlexStart + 0x100, "AB");
  putRecord(*s, kFlexStart + 0x202, "C");
  scanFlexFolders(*s);
  EXPECT_EQ(folderGridRows(*s), (std::vector<FolderGridRow>{{"1", "AB", "00000100"}}));
  EXPECT_EQ(s->folders[0].recordOffset, kFlexStart + 0x100);

  const struct {
    std::uint32_t start, end;
    std::vector<std::string> names;
  } cases[] = {
      {kFlexStart + 2, kFlexEnd, {"C"}},         // the grid counts from the start, not the image's
      {kFlexStart, kFlexStart + 0x101, {"AB"}},  // the last position examined lies below the end
      {kFlexStart, kFlexStart + 0x100, {}},
      {0x100, 0x10, {}},
      {0x82, 0x100, {"N"}},
      {0x40, 0xFFFFFFFF, {"M", "AB"}},  // an end past the image stops at the image's end
      {0x0FFFFFFF, 0xFFFFFFFF, {}},     // so does a start past it
      // Offset 0 marks an empty row, so a record there is passed over, not ending the list.
      {0, kFlexStart + 0x101, {"M", "AB"}},
  };
  for (const auto& c : cases) {
    s->bounds.flexStart = c.start;
    s->bounds.flexEnd = c.end;
    scanFlexFolders(*s);
    EXPECT_EQ(listedNames(*s), c.names) << c.start << " to " << c.end;
  }

  EditorState noImage;
  noImage.folders[0].recordOffset = 0x1280100;
  noImage.bounds = s->bounds;
  scanFlexFolders(noImage);
  EXPECT_TRUE(folderGridRows(noImage).empty());
  eraseFolderRecord(noImage, 0x1280100);
}

TEST(FolderScanTests, RecordFoundAtEveryGridPlaceOfABlockAndUpToTheLastPosition) {
  // The scan passes over blocks of 256 bytes at a time: a record at each place within and
  // across them, from starts on and off the block size, is found, and at the last position below
  // the end too, but not at the end.
  auto s = flexEditor();
  for (const std::uint32_t start : {kFlexStart, kFlexStart + 4, kFlexStart + 252}) {
    for (std::uint32_t d = 0; d <= 520; d += 4) {
      const std::int64_t at = start + d;
      putRecord(*s, at, "R");
      for (const std::int32_t past : {1, 2, 4, 200}) {
        s->bounds.flexStart = std::uint32_t(start);
        s->bounds.flexEnd = std::uint32_t(at + past);
        scanFlexFolders(*s);
        EXPECT_EQ(listedNames(*s), std::vector<std::string>{"R"}) << start << " + " << d;
      }
      s->bounds.flexEnd = std::uint32_t(at);
      scanFlexFolders(*s);
      EXPECT_TRUE(listedNames(*s).empty()) << start << " + " << d;
      std::memset(imageData(*s) + at, 0xFF, 40);
    }
  }
}

TEST(FolderScanTests, NamesSkipFfAndStopAtThirtySix) {
  auto s = flexEditor();
  putRecord(*s, kFlexStart + 0x100, "S\xFF\xFFk");
  std::string longName;
  for (int i = 0; i < 40; ++i) longName += std::string(i % 5 ? "" : "\xFF") + char('a' + i % 26);
  putRecord(*s, kFlexStart + 0x300, longName);
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s),
            (std::vector<std::string>{"Sk", "abcdefghijklmnopqrstuvwxyzabcdefghij"}));
}

// A record whose name has no terminating zero: the name's first characters, then erased flash.
void putOpenRecord(EditorState& s, std::int64_t at, const std::string& start) {
  putRecord(s, at, start);
  imageData(s)[at + 27 + 2 * std::int64_t(start.size())] = kErased;
}

TEST(FolderScanTests, UnterminatedNamesRunOnOverErasedFlash) {
  // Names sit on odd image offsets (records on the 4-byte grid, characters from byte 27). An
  // open name ends at the next record's head (its second byte is 0); the last runs on over
  // erased flash, through whole erased blocks, to the next characters or the image's end.
  constexpr std::int64_t kLast = kFlexStart + 0x200;
  constexpr std::int64_t kLater = kFlexStart + 0x200001;  // odd: on the names' parity
  const struct {
    const char* what;
    std::vector<std::pair<std::int64_t, std::uint8_t>> later;  // bytes set far past the records
    std::vector<std::string> names;
  } cases[] = {
      {"erased to the image's end", {}, {"CD", "AB"}},
      {"characters far on, then a zero",
       {{kLater, 'x'}, {kLater + 2, 'y'}, {kLater + 4, 0}},
       {"CD", "ABxy"}},
      {"bytes of the other parity do not count",
       {{kLater - 1, 0}, {kLater + 1, 'q'}, {kLater + 0x3001, 'r'}, {kLater, 'x'}, {kLater + 2, 0}},
       {"CD", "ABx"}},
      {"characters on either side of erased stretches",
       {{kLater, 'x'}, {kLater + 0x1000, 'y'}, {kLater + 0x20FFE, 'z'}, {kLater + 0x21000, 'w'}},
       {"CD", "ABxyzw"}},
      {"the first name byte after the record", {{kLast + 31, 'v'}}, {"CD", "ABv"}},
      {"the image's last byte and the one before",
       {{kImageSize - 1, 'w'}, {kImageSize - 2, 'q'}, {kImageSize - 3, 'u'}},
       {"CD", "ABuw"}},
  };
  for (const auto& c : cases) {
    for (const bool whole : {true, false}) {
      SCOPED_TRACE(std::string(c.what) +
                   (whole ? ", image written whole" : ", bytes written alone"));
      auto s = flexEditor();
      putOpenRecord(*s, kLast - 0x100, "CD");
      putOpenRecord(*s, kLast, "AB");
      if (!whole) {
        // The same records written as a reader would: the rest of the image known erased.
        const fixture::Bytes records(imageData(*s) + kLast - 0x100, imageData(*s) + kLast + 0x40);
        s->image.fill();
        const auto at = s->image.write(kLast - 0x100, records.size());
        std::copy(records.begin(), records.end(), at.begin());
      }
      for (const auto& [at, b] : c.later) s->image.write(std::uint64_t(at), 1)[0] = b;
      scanFlexFolders(*s);
      EXPECT_EQ(listedNames(*s), c.names);
    }
  }
}

TEST(FolderScanTests, RecordsFoundAcrossStretchesKnownErased) {
  // Records written as a reader writes them, after a fill: the walk passes over what the
  // image knows to be erased and still stops on every record of its grid.
  const struct {
    const char* what;
    std::int64_t gridStart;  // flexStart; the grid runs from it in steps of 4
    std::vector<std::int64_t> records;
    std::vector<std::string> names;
  } cases[] = {
      {"far apart on the grid",
       kFlexStart,
       {kFlexStart + 0x10, kFlexStart + 0x400000, kFlexEnd - 0x103},
       {"R0", "R1", "R2"}},
      {"a grid that starts off the 4-byte boundary",
       kFlexStart + 2,
       {kFlexStart + 0x100002, kFlexStart + 0x200000, kFlexStart + 0x300006},
       {"R0", "R2"}},
      {"a record right where a written range starts and one right after another",
       kFlexStart,
       {kFlexStart + 0x800000, kFlexStart + 0x800040},
       {"R0", "R1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = flexEditor();
    s->image.fill();
    s->bounds.flexStart = std::uint32_t(c.gridStart);
    for (std::size_t k = 0; k < c.records.size(); ++k) {
      const std::string name = "R" + std::to_string(k);
      const auto at = s->image.write(std::uint64_t(c.records[k]), 27 + 2 * name.size() + 2);
      std::copy(std::begin(kRecordHead), std::end(kRecordHead), at.begin());
      for (std::size_t n = 0; n <= name.size(); ++n) {
        at[26 + 2 * n] = 0x00;
        at[27 + 2 * n] = n < name.size() ? std::uint8_t(name[n]) : 0x00;
      }
    }
    scanFlexFolders(*s);
    EXPECT_EQ(listedNames(*s), c.names);
  }
}

TEST(FolderScanTests, OpenNamesStopAtThirtySixWhereverTheCharactersLie) {
  auto s = flexEditor();
  putOpenRecord(*s, kFlexStart + 0x100, std::string(34, 'n'));
  const std::int64_t later = kFlexStart + 0x800001;
  for (std::int64_t k = 0; k < 3; ++k) imageData(*s)[later + 0x10000 * k] = std::uint8_t('x' + k);
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s), (std::vector<std::string>{std::string(34, 'n') + "xy"}));
}

TEST(FolderScanTests, AtMostTwoHundredRecordsAndStaleRowsCleared) {
  auto s = flexEditor();
  for (std::uint32_t i = 0; i < 201; ++i) {
    putRecord(*s, kFlexStart + 0x1000 + 0x100 * i, "F" + std::to_string(i));
  }
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
  putRecord(*s, kImageSize - 0x40, "Z");
  std::memcpy(imageData(*s) + kImageSize - 12, kRecordHead, 12);
  scanFlexFolders(*s);
  EXPECT_EQ(folderGridRows(*s),
            (std::vector<FolderGridRow>{{"1", "Z", "00000000"}, {"2", "", "00000034"}}));

  // One byte short of its test bytes is no record.
  s->image.fill();
  std::memcpy(imageData(*s) + kImageSize - 8, kRecordHead, 8);
  scanFlexFolders(*s);
  EXPECT_TRUE(folderGridRows(*s).empty());

  // A name running into the end stops there.
  putRecord(*s, kImageSize - 40, "Q");
  for (std::int64_t at = kImageSize - 13; at < kImageSize; at += 2) imageData(*s)[at] = 'Q';
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s), (std::vector<std::string>{"QQQQQQQ"}));
}

// Erased pairs are left out of a name without counting, so it may run on far past its record:
// across the 2 MiB chunks the image erases on first use, after a fill that left them waiting.
TEST(FolderScanTests, ANameRunsOnThroughErasedChunks) {
  auto s = flexEditor();
  const std::int64_t r = 0x13FFF00;  // 0x100 before a chunk border
  const auto head = s->image.write(std::uint64_t(r), 30);
  std::memcpy(head.data(), kRecordHead, sizeof kRecordHead);
  head[26] = 0x00;
  head[27] = 'A';
  // 5000 erased pairs (past the border), then 'B', then the end of the name.
  const std::int64_t b = r + 27 + 2 * 5000;
  const auto tail = s->image.write(std::uint64_t(b), 3);
  tail[0] = 'B';
  tail[1] = 0x00;
  tail[2] = 0x00;
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s), (std::vector<std::string>{"AB"}));
}

TEST(FolderEraseTests, ErasesTwoRangesClippedToTheImage) {
  auto s = flexEditor();
  std::uint8_t* img = imageData(*s);
  const std::int64_t records[] = {kFlexStart + 0x1000, 100, 2, kImageSize - 10};
  for (std::int64_t r : records) {
    SCOPED_TRACE(r);
    const std::int64_t from = std::max<std::int64_t>(0, r - 0x200);
    const std::int64_t to = std::min<std::int64_t>(kImageSize, r + 0x200);
    std::memset(img + from, 0x5A, std::size_t(to - from));
    eraseFolderRecord(*s, std::uint32_t(r));
    EXPECT_EQ(fixture::Bytes(img + from, img + to), afterErase(r, from, to));
  }

  // Wholly outside: nothing at all.
  std::memset(img, 0x5A, 0x400);
  std::memset(img + kImageSize - 0x400, 0x5A, 0x400);
  for (std::uint32_t r : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFF5Cu, kImageSize + 261}) {
    eraseFolderRecord(*s, r);
  }
  EXPECT_EQ(fixture::Bytes(img, img + 0x400), fixture::Bytes(0x400, 0x5A));
  EXPECT_EQ(fixture::Bytes(img + kImageSize - 0x400, img + kImageSize),
            fixture::Bytes(0x400, 0x5A));
}

TEST(RepeatedFolderTests, EveryRecordOfARunButTheFirstIsErasedUpToAnEmptyName) {
  auto s = flexEditor();
  const std::vector<std::string> names = {"Skin", "Skin", "Skin", "skin", "B", "B", "C"};
  for (std::size_t i = 0; i < names.size(); ++i) {
    putRecord(*s, kFlexStart + 0x400 * std::int64_t(i + 1), names[i]);
  }
  eraseRepeatedFolders(*s);
  for (std::int64_t i : {2, 3, 6}) {
    const std::int64_t r = kFlexStart + 0x400 * i;
    EXPECT_EQ(imageData(*s)[r], 0xFF);
    EXPECT_EQ(imageData(*s)[r + 27], 0xFF);
  }
  scanFlexFolders(*s);
  EXPECT_EQ(listedNames(*s), (std::vector<std::string>{"Skin", "skin", "B", "C"}));
  EXPECT_EQ(folderGridRows(*s)[2][2], "00001400");

  auto t = flexEditor();
  for (std::int64_t i = 1; i <= 4; ++i) putRecord(*t, kFlexStart + 0x400 * i, i == 2 ? "" : "A");
  eraseRepeatedFolders(*t);
  scanFlexFolders(*t);
  EXPECT_EQ(listedNames(*t), (std::vector<std::string>{"A", "", "A", "A"}));
}

TEST(FolderDeleteTests, DeleteErasesAndRelistsButNeverAtTheFlexStartOrOutsideTheFlex) {
  auto s = flexEditor();
  putRecord(*s, kFlexStart, "First");
  putRecord(*s, kFlexStart + 0x400, "One");
  putRecord(*s, kFlexStart + 0x800, "Two");
  scanFlexFolders(*s);
  for (int row : {-1, 0, 4, kMaxFolders + 1}) {
    EXPECT_FALSE(isFolderListed(*s, row - 1)) << row;
    EXPECT_FALSE(deleteFolder(*s, row - 1)) << row;
  }
  // A record at the Flex start is listed but not erasable.
  EXPECT_TRUE(isFolderListed(*s, 0));
  EXPECT_FALSE(deleteFolder(*s, 0));
  EXPECT_EQ(imageData(*s)[kFlexStart], 0x00);

  ASSERT_TRUE(deleteFolder(*s, 1));
  EXPECT_EQ(folderGridRows(*s),
            (std::vector<FolderGridRow>{{"1", "First", "00000000"}, {"2", "Two", "00000800"}}));
  EXPECT_FALSE(isFolderListed(*s, 2));

  // The record must lie strictly inside a usable Flex region.
  const std::pair<std::uint32_t, std::uint32_t> bounds[] = {
      {kFlexStart, kFlexStart}, {kFlexStart, kFlexStart + 0x800}, {kFlexStart + 0x800, kFlexEnd}};
  for (const auto& [start, end] : bounds) {
    s->bounds.flexStart = start;
    s->bounds.flexEnd = end;
    EXPECT_FALSE(canDeleteFolder(*s, 1)) << start << " " << end;
  }
  EXPECT_FALSE(deleteFolder(*s, 1));
  EXPECT_EQ(imageData(*s)[kFlexStart + 0x800 + 3], 0x05);
}

// A Flex at the start of flash sits at image offset 0, which the bounds alone cannot tell from
// no Flex: what a read left in slot 1 decides. A record at offset 0 itself is still not listed.
TEST(FolderDeleteTests, FlexAtTheStartOfFlashHasItsRecordsErased) {
  for (const int erased : {0, 1}) {
    SCOPED_TRACE(erased);
    auto s = flexEditor(0x10000000, 0x1003FFFF);
    ASSERT_EQ(s->bounds.flexStart, 0u);
    putRecord(*s, 0, "Zero");
    putRecord(*s, 0x200, "One");
    putRecord(*s, 0x400, "Two");
    scanFlexFolders(*s);
    EXPECT_EQ(listedNames(*s), (std::vector<std::string>{"One", "Two"}));
    ASSERT_TRUE(deleteFolder(*s, erased));
    EXPECT_EQ(listedNames(*s), (std::vector<std::string>{erased == 0 ? "Two" : "One"}));
    EXPECT_EQ(imageData(*s)[0x200u + 0x200u * std::uint32_t(erased)], 0xFF);
  }

  // Without bytes read into slot 1 there is no Flex to erase in, wherever the bounds point.
  auto empty = flexEditor(0x10000000, 0x1003FFFF);
  empty->slots[1].recordLength = 0;
  putRecord(*empty, 0x200, "One");
  scanFlexFolders(*empty);
  EXPECT_FALSE(deleteFolder(*empty, 0));
}
