// A save reads the document and writes what it finalises and patches into the output only:
// the state after any save is the state before it, so two saves in a row write the same bytes.
// The header's date is the one the front end passes, usually from saveDate().

#include "editor/save_flow.h"

#include <gtest/gtest.h>

#include <ctime>
#include <optional>

#include "save_setup.h"

using namespace tavufe;
using save_setup::layGroup;

namespace {

constexpr std::uint32_t kFirmwareStart = 0x10160000;

// What of the document a save could change: the slots, the firmware halves, the bounds and
// the RAMDLD's bytes, its address table among them.
struct Document {
  explicit Document(const EditorState& s)
      : slots(s.slots),
        lastSlot(s.lastSlot),
        halves(s.firmwareHalves),
        bounds(s.bounds),
        ramdld(imageData(s) + kRamdldOffset, imageData(s) + kRamdldOffset + 0x400) {}
  bool operator==(const Document&) const = default;

  SlotTable slots;
  std::int32_t lastSlot;
  FirmwareHalves halves;
  RegionBounds bounds;
  fixture::Bytes ramdld;
};

// RAMDLD, Flex and firmware laid and finalised, then edited in the image, as a folder erase or
// a hand edit leaves them: the Flex's sum and the firmware's padding no longer match their
// slots, and the RAMDLD's table window holds its own bytes, not the table a save writes.
std::unique_ptr<EditorState> editedDocument() {
  auto s = save_setup::emptyEditor();
  layGroup(*s, 0, 0, save_setup::kRamdldStart, fixture::pattern(0x400, 3));
  layGroup(*s, 1, 2, save_setup::kFlexStart, fixture::pattern(0x1000, 4));
  fixture::Bytes firmware = fixture::pattern(0x800, 5);
  firmware.back() = 0x01;
  layGroup(*s, 2, 1, kFirmwareStart, firmware);
  imageData(*s)[(save_setup::kFlexStart & kAddressMask) + 0x10] ^= 0x5A;
  std::fill_n(imageData(*s) + (kFirmwareStart & kAddressMask) + 0x700, 0x100, 0xFF);
  return s;
}

}  // namespace

// A save into memory (the browser page's) is the third save and writes the file's bytes.
TEST(SaveReadsTheDocumentTests, TwoSavesInARowWriteTheSameBytesAndChangeNothing) {
  auto s = editedDocument();
  const Document before(*s);
  fixture::TempDir dir;
  SaveOptions options;
  options.dateText = save_setup::kDateText;
  for (SaveType type : {SaveType::Shx, SaveType::Sbf, SaveType::Smg, SaveType::Bin}) {
    SCOPED_TRACE(extensionFor(type));
    const std::string first = dir.file(std::string("first") + extensionFor(type));
    const std::string second = dir.file(std::string("second") + extensionFor(type));
    Progress progress;
    ASSERT_EQ(saveToFile(*s, first, type, options, progress), StatusCode::None);
    EXPECT_TRUE(Document(*s) == before) << "the first save changed the document";
    ASSERT_EQ(saveToFile(*s, second, type, options, progress), StatusCode::None);
    EXPECT_TRUE(Document(*s) == before) << "the second save changed the document";
    EXPECT_EQ(fixture::readFile(first), fixture::readFile(second));
    MemorySink memory;
    ASSERT_EQ(saveToBytes(*s, type, options, progress, memory), StatusCode::None);
    EXPECT_TRUE(Document(*s) == before) << "the save to memory changed the document";
    EXPECT_EQ(memory.bytes, fixture::readFile(first));
  }
}

TEST(SaveReadsTheDocumentTests, TheSaveWritesWhatItFinalisedAndPatched) {
  // The edits reach the output although the document's slots still describe the old bytes.
  auto s = editedDocument();
  fixture::TempDir dir;
  SaveOptions options;
  options.dateText = save_setup::kDateText;
  Progress progress;
  const std::string sbf = dir.file("out.sbf");
  ASSERT_EQ(saveToFile(*s, sbf, SaveType::Sbf, options, progress), StatusCode::None);
  StatusCode status;
  EXPECT_EQ(fixture::readFile(sbf), save_setup::writeSuperfile(*s, false, status, progress));
  EXPECT_EQ(status, StatusCode::None);

  const SavePlan plan = planSave(*s);
  const std::uint8_t* flex = imageData(*s) + (save_setup::kFlexStart & kAddressMask);
  EXPECT_EQ(plan.slots[1].bufferChecksum, fixture::sum16(fixture::Bytes(flex, flex + 0x1000)));
  EXPECT_NE(plan.slots[1].bufferChecksum, s->slots[1].bufferChecksum);
  EXPECT_EQ(plan.slots[2].length, 0x708u);  // trimmed to eight erased bytes
  EXPECT_EQ(s->slots[2].length, 0x800u);
  EXPECT_EQ(plan.firmwareHalves[1].endAddress, kFirmwareStart + 0x707);
}

TEST(SaveDateTests, TheDateOptionIsTheHeadersDate) {
  fixture::TempDir dir;
  auto r = save_setup::ramdldAndFlex(0x200, 0x100);
  const std::string longText(70, 'd');
  const struct {
    SaveType type;
    std::string dateText;
    std::string written;  // up to the field's width of 59
  } cases[] = {
      {SaveType::Shx, "Tue March 03 03:03:03 2099", "Tue March 03 03:03:03 2099"},
      {SaveType::Sbf, "Tue March 03 03:03:03 2099", "Tue March 03 03:03:03 2099"},
      {SaveType::Sbf, longText, longText.substr(0, 59)},
      {SaveType::Shx, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(extensionFor(c.type)) + " " + c.dateText);
    const std::string out = dir.file(std::string("out") + extensionFor(c.type));
    SaveOptions options;
    options.dateText = c.dateText;
    Progress progress;
    ASSERT_EQ(saveToFile(*r.state, out, c.type, options, progress), StatusCode::None);
    const fixture::Bytes file = fixture::readFile(out);
    ASSERT_GT(file.size(), kDateTextOffset + 128);
    EXPECT_EQ(save_setup::text(fixture::Bytes(file.begin() + kDateTextOffset,
                                              file.begin() + kDateTextOffset + 128)),
              c.written + std::string(128 - c.written.size(), '\0'));
  }
}

TEST(SaveDateTests, SourceDateEpochIsTakenOrIgnoredWithAReason) {
  const std::time_t now = 1796601600 + 3600;
  std::tm local{};
  localtime_r(&now, &local);
  const std::string clock = formatHeaderDate(local);
  const struct {
    const char* value;  // nullptr: not set
    std::string text;
    std::optional<std::string> ignoredBecause;
  } cases[] = {
      {nullptr, clock, std::nullopt},
      {"0", "Thu January 01 00:00:00 1970", std::nullopt},
      {"1796601600", "Mon December 07 00:00:00 2026", std::nullopt},
      {"253402300799", "Fri December 31 23:59:59 9999", std::nullopt},
      {"", clock, "it is empty"},
      {"1700000000x", clock, "\"1700000000x\" is not a whole number of seconds"},
      {"-1", clock, "\"-1\" is before 1970-01-01 00:00:00"},
      {"-", clock, "\"-\" is not a whole number of seconds"},
      {" 1", clock, "\" 1\" is not a whole number of seconds"},
      {"253402300800", clock, "\"253402300800\" is after 9999-12-31 23:59:59"},
      {"99999999999999999999", clock, "\"99999999999999999999\" is after 9999-12-31 23:59:59"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value == nullptr ? "unset" : c.value);
    const SaveDate date = saveDate(c.value, now);
    EXPECT_EQ(date.text, c.text);
    EXPECT_EQ(date.ignoredBecause, c.ignoredBecause);
  }
}
