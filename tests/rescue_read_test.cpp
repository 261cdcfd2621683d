// A rescue read of a damaged backup: damage of each kind, placed in each code group in turn.
// Where it lies in a group a save drops, the saves are the sound file's to the byte; where it
// lies in the RAMDLD or the Flex, nothing can be saved, forced or not.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/open_flow.h"
#include "editor/save_flow.h"
#include "inspect/folder_scan.h"
#include "reader_support.h"
#include "sample_content.h"
#include "superfile/byte_sink.h"
#include "test_support.h"

using namespace tavufe;
using readers::Group;

namespace {

using Lines = std::vector<std::string>;

// Each group's lines without their ends: S0, its S3 lines, S7.
template <class G>
std::vector<Lines> groupLines(const std::vector<G>& groups) {
  std::vector<Lines> out;
  for (const G& g : groups) {
    Lines lines = {"S00600004844521B"};
    const std::string text = fixture::s3Lines(g.start, g.data);
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = text.find("\r\n", at);
      lines.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    lines.push_back("S70500000000FA");
    out.push_back(lines);
  }
  return out;
}

fixture::Bytes shxOf(const fixture::Header& header, const std::vector<Lines>& groups) {
  fixture::Bytes file = header.bytes();
  for (const Lines& lines : groups) {
    for (const std::string& line : lines) fixture::append(file, line + "\r\n");
  }
  return file;
}

// The S3 line with byte `index` (count 0, address 1-4) set to `value` and its sum made right.
std::string withByte(std::string line, std::size_t index, std::uint8_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  line[2 + 2 * index] = kDigits[value >> 4];
  line[3 + 2 * index] = kDigits[value & 0xF];
  unsigned sum = 0;
  for (std::size_t k = 2; k + 2 < line.size(); k += 2)
    sum += unsigned(std::stoul(line.substr(k, 2), nullptr, 16));
  const unsigned check = 0xFF - (sum & 0xFF);
  line[line.size() - 2] = kDigits[check >> 4];
  line[line.size() - 1] = kDigits[check & 0xF];
  return line;
}

struct Outcome {
  std::unique_ptr<EditorState> state = freshEditor();
  OpenedSuperfile opened;
};

Outcome open(const fixture::Bytes& file, SuperfileEncoding encoding, bool rescue) {
  Outcome o;
  OpenOptions options;
  options.encoding = encoding;
  options.rescue = rescue;
  Progress progress;
  o.opened = openForEditing(*o.state, file, options, progress);
  return o;
}

// What each save of the document writes, the last folder deleted first when `deleteLast`.
std::vector<fixture::Bytes> saves(EditorState& state, bool deleteLast) {
  if (deleteLast) {
    int rows = 0;
    while (rows < kMaxFolders && state.folders[std::size_t(rows)].recordOffset != 0) ++rows;
    if (rows > 0) {
      EXPECT_TRUE(deleteFolder(state, rows - 1));
    }
  }
  std::vector<fixture::Bytes> out;
  for (const SaveType type : {SaveType::Shx, SaveType::Sbf, SaveType::Smg}) {
    MemorySink sink;
    SaveOptions options;
    options.dateText = "Sun September 06 09:05:03 2026";
    Progress progress;
    EXPECT_EQ(saveToBytes(state, type, options, progress, sink), StatusCode::None);
    out.push_back(sink.bytes);
  }
  return out;
}

}  // namespace

TEST(RescueReadTest, DamageInEachGroupIsDroppedOrRefused) {
  const std::vector<Group> groups = readers::fullSuperfile();
  const fixture::Header header = readers::headerFor(groups);
  const std::vector<Lines> clean = groupLines(groups);
  const fixture::Bytes sound = shxOf(header, clean);
  Outcome plain = open(sound, SuperfileEncoding::Shx, false);
  ASSERT_TRUE(plain.opened.loaded());
  const std::vector<fixture::Bytes> expected = saves(*plain.state, false);

  struct Damage {
    const char* what;
    void (*apply)(Lines& lines);
  };
  const Damage kinds[] = {
      {"line sum", [](Lines& l) { l[2].back() = l[2].back() == '0' ? '1' : '0'; }},
      {"non-hex digit", [](Lines& l) { l[2][14] = 'G'; }},
      {"short line", [](Lines& l) { l[2].resize(12); }},
      {"count past the line", [](Lines& l) { l[2] = withByte(l[2], 0, 0xF0); }},
      {"address jump", [](Lines& l) { l[2] = withByte(l[2], 3, 0x7F); }},
      {"first data line", [](Lines& l) { l[1].back() = l[1].back() == '0' ? '1' : '0'; }},
      {"lost S0", [](Lines& l) { l.erase(l.begin()); }},
      {"lost terminator", [](Lines& l) { l.pop_back(); }},
  };
  for (const Damage& kind : kinds) {
    for (std::size_t g = 0; g < groups.size(); ++g) {
      SCOPED_TRACE(std::string(kind.what) + " in group " + std::to_string(g));
      std::vector<Lines> damaged = clean;
      kind.apply(damaged[g]);
      const fixture::Bytes file = shxOf(header, damaged);
      Outcome rescued = open(file, SuperfileEncoding::Shx, true);
      ASSERT_TRUE(rescued.opened.loaded());
      ASSERT_EQ(rescued.opened.damaged.size(), 1u);
      EXPECT_EQ(rescued.opened.damaged[0].damage.cgNumber, groups[g].cgNumber);
      // Only the damaged line counts, not the sound lines after it; without its S0 none of a
      // group's lines can be placed.
      if (std::string(kind.what) != "lost S0") {
        EXPECT_LE(rescued.opened.damaged[0].damage.lines, 1u);
      }
      const bool written = groups[g].cgNumber == kCgRamdld || groups[g].cgNumber == kCgFlex;
      EXPECT_EQ(rescued.opened.damaged[0].written, written);
      if (written) {
        EXPECT_EQ(checkSaveable(*rescued.state), NoticeCode::DamagedCodeGroup);
        EXPECT_FALSE(rescued.opened.saveAllowed);
        MemorySink sink;
        Progress progress;
        EXPECT_EQ(saveToBytes(*rescued.state, SaveType::Smg, {}, progress, sink),
                  StatusCode::RecordError);
        EXPECT_TRUE(sink.bytes.empty());
      } else {
        EXPECT_EQ(checkSaveable(*rescued.state), NoticeCode::None);
        EXPECT_TRUE(saves(*rescued.state, false) == expected);
      }
    }
  }
}

// The end of the file cut inside the last group, SBF framing lost in each group in turn, and a
// sound file read by a rescue: what a plain open of the sound file gives, folder deletes and all.
TEST(RescueReadTest, CutFilesLostFramingAndSoundFiles) {
  std::vector<Group> groups = readers::fullSuperfile();
  const fixture::Header header = readers::headerFor(groups);
  const fixture::Bytes soundShx = readers::makeShx(groups);
  const fixture::Bytes soundSbf = readers::makeSbf(groups);
  for (const bool sbf : {false, true}) {
    const fixture::Bytes& sound = sbf ? soundSbf : soundShx;
    const SuperfileEncoding encoding = sbf ? SuperfileEncoding::Sbf : SuperfileEncoding::Shx;
    Outcome plain = open(sound, encoding, false);
    Outcome rescued = open(sound, encoding, true);
    ASSERT_TRUE(rescued.opened.loaded());
    EXPECT_TRUE(rescued.opened.damaged.empty());
    EXPECT_EQ(rescued.state->slots, plain.state->slots);
    EXPECT_EQ(rescued.opened.report, plain.opened.report);
    EXPECT_TRUE(saves(*rescued.state, true) == saves(*plain.state, true));
  }
  Outcome plain = open(soundShx, SuperfileEncoding::Shx, false);
  const std::vector<fixture::Bytes> expected = saves(*plain.state, false);

  // The language pack, last in the file, loses its last lines.
  const fixture::Bytes cut(soundShx.begin(), soundShx.end() - 100);
  Outcome shortened = open(cut, SuperfileEncoding::Shx, true);
  ASSERT_EQ(shortened.opened.damaged.size(), 1u);
  EXPECT_EQ(shortened.opened.damaged[0].damage.cgNumber, 4);
  EXPECT_TRUE(saves(*shortened.state, false) == expected);

  // SBF: a start marker, a length past the file, stray bytes before the record.
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (const int how : {0, 1, 2}) {
      SCOPED_TRACE("SBF damage " + std::to_string(how) + " in group " + std::to_string(g));
      fixture::Bytes body;
      for (std::size_t k = 0; k < groups.size(); ++k) {
        fixture::Bytes record = fixture::sbfRecord(groups[k].start, groups[k].data);
        if (k == g && how == 0) record[3] ^= 0x40;
        if (k == g && how == 1) record[9] = 0x7F;  // the length's top byte
        if (k == g && how == 2) record.insert(record.begin(), {0x02, 0x00, 0x55});
        fixture::append(body, record);
      }
      fixture::Bytes file = header.bytes();
      fixture::append(file, body);
      Outcome rescued = open(file, SuperfileEncoding::Sbf, true);
      ASSERT_TRUE(rescued.opened.loaded());
      const bool written = groups[g].cgNumber == kCgRamdld || groups[g].cgNumber == kCgFlex;
      if (how == 2) {
        // Stray bytes before a record lose no group: the record after them frames soundly.
        EXPECT_TRUE(rescued.opened.damaged.empty());
        continue;
      }
      ASSERT_EQ(rescued.opened.damaged.size(), 1u);
      EXPECT_EQ(rescued.opened.damaged[0].damage.cgNumber, groups[g].cgNumber);
      EXPECT_FALSE(rescued.opened.damaged[0].damage.atLine);
      if (written) {
        EXPECT_EQ(checkSaveable(*rescued.state), NoticeCode::DamagedCodeGroup);
      } else {
        EXPECT_TRUE(saves(*rescued.state, false) == expected);
      }
    }
  }
}

// A folder deleted in a rescued document saves as the same delete in the sound file does.
TEST(RescueReadTest, AFolderDeletedInARescuedDocumentSavesAsInTheSoundFile) {
  const std::vector<sample::CodeGroup> groups = sample::codeGroups({});
  const fixture::Header header = sample::headerFor(groups);
  const std::vector<Lines> clean = groupLines(groups);
  std::vector<Lines> damaged = clean;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (groups[g].cgNumber == kCgFirmware) damaged[g][3][20] = 'Z';
  }
  Outcome sound = open(shxOf(header, clean), SuperfileEncoding::Shx, false);
  Outcome rescued = open(shxOf(header, damaged), SuperfileEncoding::Shx, true);
  ASSERT_EQ(rescued.opened.damaged.size(), 1u);
  EXPECT_EQ(rescued.opened.damaged[0].name, "Firmware");
  EXPECT_EQ(rescued.opened.folders, sound.opened.folders);
  EXPECT_GT(rescued.opened.folders.size(), 2u);
  EXPECT_TRUE(saves(*rescued.state, true) == saves(*sound.state, true));
}

// The header block is not rescued: one that fails fails the rescue with its cause.
TEST(RescueReadTest, AHeaderBlockThatFailsFailsTheRescue) {
  const fixture::Bytes sound = readers::makeShx(readers::fullSuperfile());
  const fixture::Bytes shortHeader(sound.begin(), sound.begin() + 5000);
  const Outcome o = open(shortHeader, SuperfileEncoding::Shx, true);
  EXPECT_EQ(o.opened.status, StatusCode::RecordError);
  EXPECT_TRUE(o.opened.damaged.empty());
}
