#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "model/catalogue.h"
#include "model/finalise.h"
#include "model/flash_image.h"
#include "model/paged_buffer.h"
#include "superfile_fixture.h"
#include "test_support.h"

using namespace tavufe;

namespace {

std::vector<std::uint8_t> bytesOf(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

}  // namespace

TEST(CatalogueTests, LabelsProfileAndReset) {
  auto s = freshEditor();
  const std::pair<int, const char*> labels[] = {
      {0, "RDL"}, {256, "FBL"}, {257, "FBU"}, {100, "CG100"}};
  for (const auto& [number, label] : labels) {
    EXPECT_EQ(s->catalogue[std::size_t(number)].label, label);
  }
  std::vector<int> numbers;
  for (int i = 0; i <= s->lastSlot; ++i) numbers.push_back(s->slots[std::size_t(i)].cgNumber);
  EXPECT_EQ(numbers, (std::vector<int>{0, 1, 2, 3, 4, 7, 8, 11, 15, 18}));
  // A number without a profile row has its label but no name.
  (void)placeInSlot(*s, 12, 5, 0x10000000, 0x100000FF);
  EXPECT_EQ(s->slots[12].label, "CG5");
  EXPECT_EQ(s->slots[12].description, "");

  // A reset empties slots 0 to 20, not the FBU slot.
  resetSlots(*s);
  EXPECT_EQ(s->slots[3].cgNumber, -1);
  EXPECT_EQ(s->slots[21].cgNumber, 257);
}

TEST(CatalogueTests, EntriesKeepLabelsAndCutNamesToTheirField) {
  auto s = freshEditor();
  const std::string name29(29, 'n');
  const struct {
    const char* what;
    int number;
    std::string name;
    std::string label;
    std::string kept;
  } cases[] = {
      {"an empty name", 3, "", "CG3", ""},
      {"a name one short of the field", 7, name29.substr(1), "CG7", name29.substr(1)},
      {"a name filling the field but its end", 8, name29, "CG8", name29},
      {"a name as long as the field", 11, name29 + "x", "CG11", name29},
      {"a much longer name", 255, name29 + "xyz", "CG255", name29},
      {"the first number", 0, "Boot", "RDL", "Boot"},
      {"the boot loader", 256, "Loader", "FBL", "Loader"},
      {"the last number", 257, "Upper", "FBU", "Upper"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    setCatalogueEntry(*s, c.number, 0x10000000, 0x1000FFFF, 1, c.name);
    const CatalogueEntry& e = s->catalogue[std::size_t(c.number)];
    EXPECT_EQ(e.name, c.kept);
    EXPECT_EQ(e.label, c.label);
    EXPECT_EQ(e.startAddress, 0x10000000u);
    EXPECT_EQ(e.endAddress, 0x1000FFFFu);
    EXPECT_EQ(e.trimPadding, 1);
    // Resets and a new profile keep every label and clear what the entry held.
    for (int round = 0; round < 3; ++round) resetSlots(*s);
    EXPECT_EQ(e.label, c.label);
    EXPECT_EQ(e.name, "");
    EXPECT_EQ(e.startAddress, 0u);
    EXPECT_EQ(e.trimPadding, 0);
    copyProfileToCatalogue(*s);
    EXPECT_EQ(e.label, c.label);
  }
  // Numbers outside the catalogue change nothing.
  const CodeGroupCatalogue before = s->catalogue;
  for (int number : {-1, kCatalogueSize}) setCatalogueEntry(*s, number, 1, 2, 1, "x");
  for (int n = 0; n < kCatalogueSize; ++n) {
    EXPECT_EQ(s->catalogue[std::size_t(n)].name, before[std::size_t(n)].name);
    EXPECT_EQ(s->catalogue[std::size_t(n)].startAddress, before[std::size_t(n)].startAddress);
  }
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
      {1, 2, 0x10000000, 0x13FFFFFF, StatusCode::None},  // the flash window exactly
      {1, 2, 0x0FFFFFFF, 0x11000000, StatusCode::AddressRange},
      {1, 2, 0x11280000, 0x14000000, StatusCode::AddressRange},
      {1, 2, 0x80000000, 0x11000000, StatusCode::AddressRange},
      {1, 256, 0x00001000, 0x00001FFF, StatusCode::AddressRange},
  };
  auto s = freshEditor();
  for (const Case& c : cases) {
    EXPECT_EQ(placeInSlot(*s, c.slot, c.cg, c.start, c.end), c.status)
        << std::hex << c.start << "-" << c.end;
    EXPECT_EQ(s->slots[std::size_t(c.slot)].endAddress, c.end);  // the slot is filled anyway
  }
}

TEST(RegionBoundsTests, LaterSlotWinsAndSlot20Ignored) {
  auto s = freshEditor();
  resetSlots(*s);
  (void)placeInSlot(*s, 1, 2, 0x11280000, 0x112800FF);
  (void)placeInSlot(*s, 4, 2, 0x11300000, 0x113000FF);
  (void)placeInSlot(*s, 20, 4, 0x11100000, 0x111000FF);
  computeRegionBounds(*s);
  EXPECT_EQ(s->bounds.flexStart, 0x1300000);
  EXPECT_EQ(s->bounds.flexEnd, 0x13000FF);
  EXPECT_EQ(s->bounds.languageStart, 0);
  EXPECT_TRUE(s->bounds.hasFlex);
  EXPECT_FALSE(s->bounds.hasLanguage);
  // Nothing is kept for a later file without that code group.
  resetSlots(*s);
  EXPECT_EQ(s->bounds.flexStart, 0);
  EXPECT_FALSE(s->bounds.hasFlex);
  (void)placeInSlot(*s, 2, 4, 0x11100000, 0x111000FF);
  computeRegionBounds(*s);
  EXPECT_EQ(s->bounds.flexEnd, 0);
  EXPECT_EQ(s->bounds.languageEnd, 0x11000FF);
  EXPECT_FALSE(s->bounds.hasFlex);
}

class FinaliseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s = freshEditor();
    resetSlots(*s);
    copyProfileToCatalogue(*s);  // as the header parse does before placing
  }
  CodeGroupSlot& load(int slot, int cg, std::uint32_t start, std::uint32_t length) {
    (void)placeInSlot(*s, slot, cg, start, start + length - 1);
    CodeGroupSlot& placed = s->slots[std::size_t(slot)];
    placed.recordAddress = start;
    placed.recordLength = length;
    return placed;
  }
  std::uint8_t* at(std::uint32_t offset) { return imageData(*s) + offset; }
  std::unique_ptr<EditorState> s;
};

TEST_F(FinaliseTest, TrimKeeps32ErasedBytesAndCutsAt33) {
  const struct {
    int cg;
    std::uint32_t length, written, trimmed;
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
    // An export takes the trimmed bytes without summing them or changing the slot.
    std::span<const std::uint8_t> exported;
    EXPECT_EQ(finalisedBytes(s->image, slot, FinaliseFrom::Record, exported), StatusCode::None);
    EXPECT_EQ(slot.length, c.length);
    EXPECT_EQ(finaliseSlot(*s, 1, FinaliseFrom::Record), StatusCode::None);
    EXPECT_EQ(slot.length, c.trimmed) << c.cg << " " << c.written;
    EXPECT_EQ(slot.endAddress, 0x11000000 + c.trimmed - 1);
    EXPECT_EQ(exported.data(), at(0x1000000));
    EXPECT_EQ(exported.size(), c.trimmed);
  }
}

TEST_F(FinaliseTest, RamdldFitsItsAreaExactly) {
  auto& rdl = load(0, 0, 0x03FC8000, 0x30000);
  EXPECT_EQ(finaliseSlot(*s, 0, FinaliseFrom::Record), StatusCode::None);
  EXPECT_EQ(rdl.length, 0x30000);
  rdl.recordLength = 0x30001;
  rdl.endAddress += 1;
  EXPECT_EQ(finaliseSlot(*s, 0, FinaliseFrom::Record), StatusCode::BufferAddressOverflow);
  EXPECT_EQ(rdl.length, 0x30000);  // failing slot unchanged
}

TEST(FlashImageTests, NextWrittenIsWhereErasedBytesMayEnd) {
  FlashImage image;
  ASSERT_TRUE(image.allocate());
  // Before the first fill nothing is known to be erased.
  EXPECT_EQ(image.nextWritten(0x100), 0x100u);
  image.fill();
  EXPECT_EQ(image.nextWritten(0), kImageSize);
  (void)image.write(0x1000, 0x10);
  (void)image.write(0x3000, 0x100);
  (void)image.write(0x2000, 1);
  const struct {
    std::uint64_t offset;
    std::uint64_t next;
  } cases[] = {
      {0, 0x1000},          {0xFFF, 0x1000},
      {0x1000, 0x1000},     {0x100F, 0x100F},
      {0x1010, 0x2000},     {0x2000, 0x2000},
      {0x2001, 0x3000},     {0x30FF, 0x30FF},
      {0x3100, kImageSize}, {kImageSize - 1, kImageSize},
  };
  for (const auto& c : cases) EXPECT_EQ(image.nextWritten(c.offset), c.next) << c.offset;

  // A fill forgets the ranges; more separate ranges than are tracked forget what is erased.
  image.fill();
  EXPECT_EQ(image.nextWritten(0x1000), kImageSize);
  for (std::uint64_t k = 0; k < 200; ++k) (void)image.write(k * 0x10000, 3);
  EXPECT_EQ(image.nextWritten(0x3FFFFFF), 0x3FFFFFFu);
}

TEST(FlashImageTests, RefillErasesEveryByteWrittenSinceTheLastFill) {
  FlashImage image;
  ASSERT_TRUE(image.allocate());
  // Aligned so that the system can back it with 2 MiB pages.
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(image.all().data()) % (std::uintptr_t(2) << 20), 0u);
  image.fill();
  auto allErased = [&image] {
    const auto bytes = image.all();
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0xFF; });
  };
  ASSERT_TRUE(allErased());

  const struct {
    const char* what;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> writes;  // offset, count
  } cases[] = {
      {"one range", {{0x1280000, 0x100}}},
      {"ranges out of order and overlapping", {{0x2000, 16}, {0x1000, 8}, {0x1004, 0x2000}}},
      {"a run of short writes one after another", {{0x10, 1}, {0x11, 1}, {0x12, 4}}},
      {"the image's first and last bytes", {{0, 1}, {kImageSize - 1, 1}}},
      {"more separate ranges than are tracked", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto writes = c.writes;
    if (writes.empty()) {
      for (std::uint64_t k = 0; k < 200; ++k) writes.push_back({k * 0x10000, 3});
    }
    for (const auto& [offset, count] : writes) {
      const auto bytes = image.write(offset, count);
      ASSERT_EQ(bytes.size(), count);
      std::fill(bytes.begin(), bytes.end(), 0x00);
    }
    image.fill();
    EXPECT_TRUE(allErased());
  }

  // A clipped write is recorded as well; a read is not a write.
  const auto clipped = image.writeClipped(-5, 10);
  ASSERT_EQ(clipped.size(), 5u);
  std::fill(clipped.begin(), clipped.end(), 0x00);
  EXPECT_EQ(image.readClipped(kImageSize - 2, 10).size(), 2u);
  image.fill();
  EXPECT_TRUE(allErased());
}

// A fill of the whole image erases each 2 MiB chunk only when an access first touches it. The
// image is first dirtied with 0x5A and then made to need a whole fill, so a chunk that some
// path hands out without erasing it shows 0x5A.
TEST(FlashImageTests, EveryPathReadsErasedBytesAfterAWholeFill) {
  constexpr std::uint64_t kChunk = std::uint64_t(2) << 20;
  FlashImage image;
  ASSERT_TRUE(image.allocate());
  // Written back to front in 1 MiB pieces, 65 ranges that do not merge: more than are
  // tracked, so the next fill is a whole one.
  auto dirtyThenFill = [&image] {
    image.fill();
    constexpr std::uint64_t kPiece = std::uint64_t(1) << 20;
    for (std::uint64_t k = kImageSize / kPiece + 1; k-- > 0;) {
      const auto piece =
          image.write(k * kPiece, std::min<std::uint64_t>(kPiece, kImageSize - k * kPiece));
      std::fill(piece.begin(), piece.end(), 0x5A);
    }
    image.fill();
  };
  auto erased = [](std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == kErased; });
  };

  const struct {
    const char* what;
    std::function<std::vector<std::uint8_t>(FlashImage&)> access;
    std::size_t size;            // bytes the access must see
    std::ptrdiff_t written = 0;  // bytes the access itself sets to something else
  } cases[] = {
      {"the first byte", [](FlashImage& i) { return bytesOf(i.read(0, 1)); }, 1},
      {"the last byte", [](FlashImage& i) { return bytesOf(i.read(kImageSize - 1, 1)); }, 1},
      {"across one chunk border", [](FlashImage& i) { return bytesOf(i.read(kChunk - 16, 32)); },
       32},
      {"across three chunks", [](FlashImage& i) { return bytesOf(i.read(kChunk - 1, kChunk + 2)); },
       kChunk + 2},
      {"the short last chunk",
       [](FlashImage& i) { return bytesOf(i.read(kRamdldOffset, kRamdldAreaSize)); },
       kRamdldAreaSize},
      {"clipped before the start", [](FlashImage& i) { return bytesOf(i.readClipped(-8, 16)); }, 8},
      {"clipped past the end",
       [](FlashImage& i) { return bytesOf(i.readClipped(kImageSize - 4, 16)); }, 4},
      {"byte by byte about a border",
       [](FlashImage& i) {
         std::vector<std::uint8_t> b;
         for (std::int64_t o = 3 * kChunk - 2; o < std::int64_t(3 * kChunk) + 2; ++o)
           b.push_back(i.byteAt(o));
         return b;
       },
       4},
      {"a span handed out for writing",
       [](FlashImage& i) { return bytesOf(i.write(5 * kChunk - 4, 8)); }, 8},
      {"a clipped span handed out for writing",
       [](FlashImage& i) { return bytesOf(i.writeClipped(kImageSize - 2, 8)); }, 2},
      {"a span written only in part",
       [](FlashImage& i) {
         const auto span = i.write(7 * kChunk - 1, 4);
         span[0] = 0x00;
         return bytesOf(i.read(7 * kChunk, 3));
       },
       3, 1},
      {"beside a lent span its borrower sets",
       [](FlashImage& i) {
         const auto lent = i.lend(kChunk - 4, 2 * kChunk + 8);
         std::fill(lent.begin(), lent.end(), kErased);
         auto b = bytesOf(i.read(kChunk - 8, 4));
         const auto after = bytesOf(i.read(3 * kChunk + 4, 4));
         b.insert(b.end(), after.begin(), after.end());
         return b;
       },
       8},
      {"a lent span given back past its first bytes",
       [](FlashImage& i) {
         const auto lent = i.lend(kChunk - 4, 3 * kChunk + 8);
         std::fill(lent.begin(), lent.end(), 0x5A);  // as fresh memory may hold anything
         lent[0] = lent[1] = 0x00;
         i.giveBack(kChunk - 2, 3 * kChunk + 6);
         return bytesOf(i.read(kChunk - 2, 3 * kChunk + 6));
       },
       3 * kChunk + 6, 2},
      {"the whole image", [](FlashImage& i) { return bytesOf(i.all()); }, kImageSize},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    dirtyThenFill();
    const std::vector<std::uint8_t> seen = c.access(image);
    ASSERT_EQ(seen.size(), c.size);
    EXPECT_TRUE(erased(seen));
    // Whatever the first access erased, every other byte still reads as erased too.
    const auto all = image.all();
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](std::uint8_t b) { return b != kErased; }),
              c.written);
  }
}

TEST(FlashImageTests, WritesAfterAWholeFillAreErasedByTheNextFill) {
  constexpr std::uint64_t kChunk = std::uint64_t(2) << 20;
  FlashImage image;
  ASSERT_TRUE(image.allocate());
  image.fill();
  // Chunks untouched before the refill stay waiting and must still read erased after it.
  const std::pair<std::uint64_t, std::uint64_t> writes[] = {{kChunk - 3, 6},
                                                            {10 * kChunk, 1},
                                                            {kImageSize - 5, 5},
                                                            {0x1280000, 0x10000},
                                                            {3 * kChunk - 7, 2 * kChunk + 9}};
  for (const auto& [offset, count] : writes) {
    const auto bytes = image.write(offset, count);
    ASSERT_EQ(bytes.size(), count);
    std::fill(bytes.begin(), bytes.end(), 0x00);
  }
  EXPECT_EQ(image.byteAt(kChunk - 4), kErased);
  EXPECT_EQ(image.byteAt(kChunk - 3), 0x00);
  EXPECT_EQ(image.byteAt(kChunk + 3), kErased);
  image.fill();
  const auto all = image.all();
  EXPECT_TRUE(std::all_of(all.begin(), all.end(), [](std::uint8_t b) { return b == kErased; }));
}

// A buffer's data is laid by moving its whole pages where it stands as its target does in a
// page, by copying where it does not. Either way the image holds exactly the data, its
// neighbours stay erased, the buffer's end takes nothing with it, and the next fill erases it.
TEST(FlashImageTests, TakeOverLaysTheDataWhetherItsPagesMoveOrNot) {
  constexpr std::uint64_t kChunk = std::uint64_t(2) << 20;
  const struct {
    const char* what;
    std::uint64_t offset;
    std::size_t size;
    std::uint64_t placedAs;  // the offset the buffer is laid out for
  } cases[] = {
      {"placed as its target, over several chunks", 3 * kChunk - 4100, 3 * kChunk + 9000,
       3 * kChunk - 4100},
      {"placed as its target, on a chunk's start", 5 * kChunk, 2 * kChunk, 5 * kChunk},
      {"placed as its target, within one page", kChunk + 10, 100, kChunk + 10},
      {"placed otherwise", 7 * kChunk + 3, kChunk + 5, 1},
      {"up to the end of the flash", kRamdldOffset - kChunk - 1, kChunk + 1,
       kRamdldOffset - kChunk - 1},
  };
  FlashImage image;
  ASSERT_TRUE(image.allocate());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    image.fill();
    std::vector<std::uint8_t> expected(c.size);
    for (std::size_t k = 0; k < c.size; ++k) expected[k] = std::uint8_t(k * 7 + 3);
    {
      PagedBuffer buffer(c.size + 64, c.placedAs);
      std::copy(expected.begin(), expected.end(), buffer.bytes().begin());
      const auto laid = image.takeOver(c.offset, buffer.bytes().first(c.size), buffer);
      ASSERT_EQ(laid.size(), c.size);
      EXPECT_EQ(laid.data(), image.read(c.offset, c.size).data());
      // A second take from the same buffer copies what is still its own.
      std::fill(buffer.bytes().end() - 64, buffer.bytes().end(), 0x11);
      const auto again = image.takeOver(kImageSize - 64, buffer.bytes().last(64), buffer);
      EXPECT_TRUE(
          std::all_of(again.begin(), again.end(), [](std::uint8_t b) { return b == 0x11; }));
    }
    EXPECT_EQ(bytesOf(image.read(c.offset, c.size)), expected);
    EXPECT_EQ(image.byteAt(std::int64_t(c.offset) - 1), kErased);
    EXPECT_EQ(image.byteAt(std::int64_t(c.offset + c.size)), kErased);
    image.fill();
    const auto all = image.all();
    EXPECT_TRUE(std::all_of(all.begin(), all.end(), [](std::uint8_t b) { return b == kErased; }));
  }
  PagedBuffer none;
  const std::vector<std::uint8_t> two(2);
  EXPECT_TRUE(image.takeOver(kImageSize - 1, two, none).empty());
}

TEST(ByteSumTests, EveryLengthAndOffsetMatchesTheSumOfItsBytes) {
  // All 0xFF is the heaviest load on the wide sum; a pattern catches lanes mixed up.
  for (const std::uint8_t fill : {std::uint8_t(0xFF), std::uint8_t(0)}) {
    fixture::Bytes bytes = fill == 0 ? fixture::pattern(4000, 9) : fixture::Bytes(4000, fill);
    for (std::size_t from = 0; from < 8; ++from) {
      for (const std::size_t size : {0u, 1u, 7u, 8u, 9u, 1023u, 1024u, 1025u, 3000u}) {
        const auto part = std::span<const std::uint8_t>(bytes).subspan(from, size);
        EXPECT_EQ(byteSum(part), fixture::sum16(part)) << from << " " << size;
      }
    }
  }
}
