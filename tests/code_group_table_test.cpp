#include "inspect/code_group_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/catalogue.h"
#include "model/flash_image.h"

using namespace tavufe;

namespace {

// The table needs no image: slots are placed straight from the profile's catalogue.
std::unique_ptr<EditorState> tableState() {
  auto state = std::make_unique<EditorState>();
  initialiseEditor(*state);
  resetSlots(*state);
  copyProfileToCatalogue(*state);
  return state;
}

// Places the numbers into slots 0, 1, ... with the catalogue's default range; two more fields
// carry the slot's index so that whole-record moves can be seen.
void load(EditorState& s, const std::vector<int>& numbers) {
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const int n = numbers[i];
    const std::uint32_t start = n == 256 ? 0x10000000 : s.catalogue[std::size_t(n)].startAddress;
    const std::uint32_t end = n == 256 ? 0x1001FFFF : s.catalogue[std::size_t(n)].endAddress;
    (void)placeInSlot(s, int(i), n, start, end);
    s.slots[i].headerCode = std::uint16_t(0xC000 + i);
    s.slots[i].recordLength = std::uint32_t(1000 + i);
  }
  s.lastSlot = std::int32_t(numbers.size()) - 1;
}

std::vector<int> numbers(const EditorState& s) {
  std::vector<int> out;
  for (int i = 0; i <= s.lastSlot; ++i) out.push_back(s.slots[std::size_t(i)].cgNumber);
  return out;
}

// The slot each listed record was loaded into, or -1 where its fields no longer agree.
std::vector<int> origins(const EditorState& s) {
  std::vector<int> out;
  for (int i = 0; i <= s.lastSlot; ++i) {
    const CodeGroupSlot& slot = s.slots[std::size_t(i)];
    const int from = slot.headerCode - 0xC000;
    out.push_back(slot.recordLength == std::uint32_t(1000 + from) ? from : -1);
  }
  return out;
}

struct Reorder {
  std::vector<int> in, out, from;
};

}  // namespace

TEST(ReduceTests, KeepsSlotZeroAndMovesTheFlexWholeToSlotOne) {
  const Reorder cases[] = {
      {{0, 1, 4, 2}, {0, 2}, {0, 3}},
      {{0, 1, 4}, {0}, {0}},
      {{1}, {1}, {0}},  // slot 0 is never examined, whatever it holds
      {{}, {}, {}},
  };
  for (const Reorder& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.in));
    auto s = tableState();
    load(*s, c.in);
    reduceToRamdldAndFlex(*s);
    EXPECT_EQ(numbers(*s), c.out);
    EXPECT_EQ(origins(*s), c.from);
    for (std::size_t i = c.out.size(); i < c.in.size(); ++i) EXPECT_EQ(s->slots[i].cgNumber, -1);
  }
}

TEST(SortTests, ExchangeSortThenFblBackToSlotOneAndEqualNumbersNeverSwapped) {
  const Reorder cases[] = {
      {{2, 0, 256, 1}, {0, 256, 1, 2}, {1, 2, 3, 0}},
      {{0, 256}, {0, 256}, {0, 1}},
      // Slot 0 is swapped with the 1; the two Flex records then stand in reverse order.
      {{2, 2, 1}, {1, 2, 2}, {2, 1, 0}},
  };
  for (const Reorder& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.in));
    auto s = tableState();
    load(*s, c.in);
    sortSlots(*s);
    EXPECT_EQ(numbers(*s), c.out);
    EXPECT_EQ(origins(*s), c.from);
  }
}

TEST(DuplicateTests, SameNumberTwiceAmongListedSlots) {
  auto s = tableState();
  load(*s, {0, 2, 2});
  EXPECT_TRUE(hasDuplicateCodeGroups(*s));
  load(*s, {0, 2});
  EXPECT_FALSE(hasDuplicateCodeGroups(*s));
  s->slots[2].cgNumber = 2;  // past lastSlot: does not count
  EXPECT_FALSE(hasDuplicateCodeGroups(*s));
}

TEST(GridTests, CellTextsOfOneRow) {
  auto s = tableState();
  load(*s, {0, 256, 15});
  CodeGroupSlot& slot = s->slots[0];
  for (std::size_t i = 0; i < 16; ++i) slot.headerBytes[i] = std::uint8_t(i);
  slot.headerBytes[15] = 0xAF;
  slot.startAddress = 0x80ABCDEFu;
  slot.length = 65536;
  slot.bufferChecksum = 0x1A2B;
  slot.headerChecksum = 0x00FE;
  slot.headerCode = 0xBEEF;

  const auto rows = codeGroupGridRows(*s, {","});
  ASSERT_EQ(rows.size(), 3u);
  const CodeGroupGridRow expected = {
      "RDL",    "RAMDLD", "80ABCDEF", "03FE7FF7", "00010203  04050607  08090A0B  0C0D0EAF",
      "65,536", "1A2B",   "00FE",     "BEEF"};
  EXPECT_EQ(rows[0], expected);
  EXPECT_EQ(rows[1][0], "FBL");
  EXPECT_EQ(rows[1][1], "");
  EXPECT_EQ(rows[2][0], "15");
  EXPECT_EQ(rows[2][1], "DRM");
  EXPECT_EQ(rows[2][5], "2,097,152");

  EXPECT_EQ(codeGroupGridRows(*s, {"."})[0][5], "65.536");
  s->lastSlot = -1;
  EXPECT_TRUE(codeGroupGridRows(*s, {","}).empty());
}

TEST(CutUndoTests, CutOnlySlotThenUndoIntoSlotZero) {
  auto s = tableState();
  load(*s, {0});
  for (int row : {0, 2}) {
    EXPECT_FALSE(canCutSlot(*s, row - 1));
    EXPECT_FALSE(cutSlot(*s, row - 1));
  }
  EXPECT_TRUE(canCutSlot(*s, 0));
  EXPECT_TRUE(cutSlot(*s, 0));
  EXPECT_EQ(s->lastSlot, -1);
  EXPECT_EQ(s->slots[0].cgNumber, -1);
  EXPECT_FALSE(cutSlot(*s, 0));

  EXPECT_TRUE(undoCut(*s));
  EXPECT_EQ(numbers(*s), (std::vector<int>{0}));
  EXPECT_EQ(origins(*s), (std::vector<int>{0}));
  EXPECT_FALSE(undoCut(*s));
}

TEST(CutUndoTests, CutsAndUndosInterleaveAsAStack) {
  auto s = tableState();
  load(*s, {0, 1, 3, 4, 7});
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(cutSlot(*s, 1));
  EXPECT_EQ(numbers(*s), (std::vector<int>{0, 7}));
  ASSERT_TRUE(undoCut(*s));
  EXPECT_EQ(numbers(*s), (std::vector<int>{0, 4, 7}));
  ASSERT_TRUE(cutSlot(*s, 2));
  EXPECT_EQ(numbers(*s), (std::vector<int>{0, 4}));
  for (const std::vector<int>& after : {std::vector<int>{0, 4, 7}, {0, 3, 4, 7}, {0, 1, 3, 4, 7}}) {
    ASSERT_TRUE(undoCut(*s));
    EXPECT_EQ(numbers(*s), after);
  }
  EXPECT_FALSE(undoCut(*s));
  EXPECT_EQ(origins(*s), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(CutUndoTests, FullStackDropsTheOldestCopy) {
  auto s = tableState();
  load(*s, {0, 1, 2, 3, 4, 7, 8, 11, 15, 18, 5, 6});
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(cutSlot(*s, 0));
  EXPECT_EQ(s->lastSlot, -1);
  EXPECT_EQ(s->undo.undoCount, 10);
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(undoCut(*s));
  EXPECT_FALSE(undoCut(*s));
  // The first two cut (CG 0 and CG 1) are gone for good.
  EXPECT_EQ(numbers(*s), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 11, 15, 18}));
}

TEST(CutUndoTests, RefusesWhatWouldLeaveTheLoadedSlots) {
  auto s = tableState();
  std::vector<int> all;
  for (int n = 0; n <= 20; ++n) all.push_back(n + 20);
  load(*s, all);
  ASSERT_TRUE(cutSlot(*s, 20));
  (void)placeInSlot(*s, 20, 99, 0x10000000, 0x10000FFF);
  s->lastSlot = 20;
  // Every slot is in use: the copy has nowhere to go and stays on the stack.
  EXPECT_FALSE(undoCut(*s));
  EXPECT_EQ(s->undo.undoCount, 1);
  EXPECT_EQ(s->slots[20].cgNumber, 99);
  EXPECT_EQ(s->slots[21].cgNumber, 257);

  // A damaged lastSlot still stops at slot 20; slot 21 (FBU) is never compared or moved.
  s->lastSlot = 40;
  s->slots[21].cgNumber = 25;
  EXPECT_FALSE(hasDuplicateCodeGroups(*s));
  EXPECT_EQ(codeGroupGridRows(*s, {","}).size(), 21u);
  sortSlots(*s);
  EXPECT_EQ(s->slots[21].cgNumber, 25);
  EXPECT_TRUE(cutSlot(*s, 0));
  EXPECT_EQ(s->lastSlot, 19);

  // A slot in use past lastSlot is not part of the table.
  load(*s, {0, 2});
  (void)placeInSlot(*s, 5, 4, 0x11100000, 0x1127FFFF);
  EXPECT_FALSE(cutSlot(*s, 5));
  EXPECT_EQ(s->lastSlot, 1);
}
