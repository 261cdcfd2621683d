// The page's session: what its start leaves behind, a file read in pieces after it, the
// review of its document, and the rescue of a damaged file.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "editor/diff_flow.h"
#include "editor/open_flow.h"
#include "editor/save_flow.h"
#include "editor/verify_flow.h"
#include "inspect/folder_scan.h"
#include "model/hex.h"
#include "sample_content.h"
#include "superfile/byte_sink.h"
#include "superfile/superfile_size.h"
#include "test_support.h"
#include "web/session.h"

using namespace tavufe;

TEST(WebSessionTest, StartsWithNoFileAndOpensAPickedFileAsTheEditorDoes) {
  web::Session session;
  // The memory touched at the start holds no file.
  EXPECT_TRUE(session.folders().empty());
  EXPECT_FALSE(session.modified());
  EXPECT_FALSE(session.canUndo());
  EXPECT_EQ(session.saveNotice(), NoticeCode::NoFilesSelectedToSave);
  EXPECT_TRUE(session.findingLines().empty());

  const fixture::Bytes bytes = sample::makeShx({});
  ASSERT_TRUE(session.beginOpen(bytes.size(), "backup.shx").ok());
  for (std::size_t got = 0; got < bytes.size();) {
    const std::size_t piece = std::min<std::size_t>(4099, bytes.size() - got);
    std::copy_n(bytes.begin() + std::ptrdiff_t(got), piece, session.incoming().begin() + got);
    session.received(got += piece);
  }
  const OpenedSuperfile opened = session.finishOpen();

  auto fresh = freshEditor();
  OpenOptions read;
  read.encoding = SuperfileEncoding::Shx;
  Progress progress;
  const OpenedSuperfile expected = openForEditing(*fresh, bytes, read, progress);
  ASSERT_TRUE(expected.loaded());
  EXPECT_EQ(opened.report, expected.report);
  EXPECT_EQ(opened.codeGroups, expected.codeGroups);
  EXPECT_EQ(opened.folders, expected.folders);
  EXPECT_EQ(session.saveNotice(), NoticeCode::None);

  const std::string date = "Tue January 06 12:00:00 2026";
  for (const SaveType type : {SaveType::Shx, SaveType::Smg}) {
    ASSERT_EQ(session.save(type, date), StatusCode::None);
    SaveOptions options;
    options.dateText = date;
    options.staleSlots = StaleSlots::ExportAndWarn;
    MemorySink sink;
    ASSERT_EQ(saveToBytes(*fresh, type, options, progress, sink), StatusCode::None);
    EXPECT_EQ(session.saved(), sink.bytes);
  }
}

// Review Changes compares the document's save with the bytes it was opened from, kept until the
// next open: a delete adds its record's line, an undo takes it away, and the lines are the
// editor's review of the same document against the same file.
TEST(WebSessionTest, ReviewsTheDocumentAgainstTheFileItWasOpenedFrom) {
  const std::string date = "Tue January 06 12:00:00 2026";
  web::Session session;
  EXPECT_EQ(session.review(date).notice, NoticeCode::NoFilesSelectedToSave);

  const fixture::Bytes bytes = sample::makeSbf({});
  // A larger file opened before must not leave its bytes in the way of the one reviewed.
  const fixture::Bytes before = sample::makeShx({});
  ASSERT_TRUE(session.open(before, "before.shx").loaded());
  ASSERT_TRUE(session.open(bytes, "backup.sbf").loaded());
  const web::Session::Review opened = session.review(date);
  ASSERT_EQ(opened.status, StatusCode::None);
  ASSERT_FALSE(opened.lines.empty());

  const std::string name = session.folders().at(0).at(1);
  ASSERT_TRUE(session.deleteFolder(0));
  const std::vector<std::string> deleted = session.review(date).lines;
  // What the delete added, the count in the last line aside.
  std::vector<std::string> added(deleted.begin(), deleted.end() - 1);
  for (auto line = opened.lines.begin(); line + 1 != opened.lines.end(); ++line) {
    if (const auto at = std::find(added.begin(), added.end(), *line); at != added.end()) {
      added.erase(at);
    }
  }
  ASSERT_EQ(added.size(), 1u) << testing::PrintToString(deleted);
  EXPECT_EQ(added[0].rfind("folder \"" + name + "\" at ", 0), 0u) << added[0];
  EXPECT_TRUE(added[0].ends_with(" erased (173 bytes)")) << added[0];

  auto fresh = freshEditor();
  OpenOptions read;
  read.encoding = SuperfileEncoding::Sbf;
  Progress progress;
  ASSERT_TRUE(openForEditing(*fresh, bytes, read, progress).loaded());
  eraseFolderRecord(*fresh, fresh->folders[0].recordOffset);
  EXPECT_EQ(deleted, diffLines(reviewSave(*fresh, bytes, SuperfileEncoding::Sbf, date).diff));

  // An export of the Flex alone leaves the deletes to be saved; a superfile holds them.
  ASSERT_EQ(session.save(SaveType::Smg, date), StatusCode::None);
  EXPECT_TRUE(session.modified());
  ASSERT_EQ(session.save(SaveType::Sbf, date), StatusCode::None);
  EXPECT_FALSE(session.modified());

  ASSERT_TRUE(session.undo());
  EXPECT_EQ(session.review(date).lines, opened.lines);

  // A file that does not open leaves nothing to review.
  session.open(fixture::Bytes(bytes.begin(), bytes.begin() + 100), "cut.sbf");
  EXPECT_EQ(session.review(date).notice, NoticeCode::NoFilesSelectedToSave);
}

// Every open that begins closes the document, so one that fails leaves nothing of the last file
// to delete, undo, save or review, and says where and why it stopped; only a file refused by
// its name leaves the document as it was.
TEST(WebSessionTest, AFailedOpenLeavesNothingOpenAndSaysWhereItStopped) {
  const fixture::Bytes good = sample::makeShx({});
  const std::string text(good.begin(), good.end());
  // One digit of a data line in the middle changed: its line's sum no longer holds.
  const std::size_t at = text.find("\nS3", text.size() / 2) + 1;
  fixture::Bytes badSum = good;
  badSum[at + 12] = badSum[at + 12] == 'A' ? 'B' : 'A';
  // Lines are counted from the end of the header block.
  const std::string badLine = std::to_string(
      std::count(text.begin() + fixture::kHeaderBlockSize, text.begin() + at, '\n') + 1);
  const fixture::Bytes sbf = sample::makeSbf({});

  struct Case {
    const char* name;
    fixture::Bytes bytes;
    std::size_t size;  // as the browser says; the bytes' own size when 0
    StatusCode status;
    std::string cause;  // how the cause begins
  };
  const Case cases[] = {
      {"sum.shx", badSum, 0, StatusCode::ChecksumError, "sum.shx:" + badLine + ": line checksum: "},
      {"short.sbf", fixture::Bytes(sbf.begin(), sbf.begin() + 1000), 0, StatusCode::RecordError,
       "short.sbf:00000000: file shorter than its header block: expected 8172 bytes, found 1000 "
       "bytes"},
      {"empty.sbf", {}, 0, StatusCode::FileNotOpened, "File is empty"},
      {"huge.shx",
       {},
       kMaxSuperfileSize + 1,
       StatusCode::FileNotOpened,
       "File is larger than any superfile can be"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    web::Session session;
    ASSERT_TRUE(session.open(good, "good.shx").loaded());
    ASSERT_TRUE(session.deleteFolder(0));
    // Refused by its name: the open never begins, and the deletes are still there to save.
    EXPECT_EQ(session.beginOpen(5, "notes.txt").notice, NoticeCode::FileTypeNotSupported);
    EXPECT_TRUE(session.modified());
    EXPECT_EQ(session.saveNotice(), NoticeCode::None);

    OpenedSuperfile opened;
    if (c.size == 0) {
      opened = session.open(c.bytes, c.name);
    } else {
      const web::Session::Begun begun = session.beginOpen(c.size, c.name);
      opened.status = begun.status;
      opened.problem = begun.problem;
    }
    EXPECT_EQ(opened.status, c.status);
    EXPECT_EQ(session.failureCause(opened).rfind(c.cause, 0), 0u) << session.failureCause(opened);
    EXPECT_TRUE(session.folders().empty());
    EXPECT_FALSE(session.modified());
    EXPECT_FALSE(session.canUndo());
    EXPECT_FALSE(session.undo());
    EXPECT_EQ(session.saveNotice(), NoticeCode::NoFilesSelectedToSave);
    EXPECT_EQ(session.review("").notice, NoticeCode::NoFilesSelectedToSave);
    // What is left is what the failed file's check found, its cause among it.
    const std::vector<std::string> findings = session.findingLines();
    if (!opened.problem) {
      EXPECT_NE(std::find(findings.begin(), findings.end(), session.failureCause(opened)),
                findings.end());
    } else {
      EXPECT_TRUE(findings.empty());
    }
  }
}

namespace {

// The sample's code groups, each damaged in one place when it is the group numbered `damaged`:
// an SHX data line whose sum no longer holds, or an SBF record whose start marker is lost.
// `at` is where that damage lies, as a finding names it (a line after the header block, or an
// offset).
struct DamagedSample {
  fixture::Bytes bytes;
  std::uint64_t at = 0;
};

DamagedSample damagedSample(bool sbf, int damaged) {
  const std::vector<sample::CodeGroup> groups = sample::codeGroups({});
  DamagedSample out{sample::headerFor(groups).bytes()};
  std::uint64_t line = 0;
  for (const sample::CodeGroup& g : groups) {
    if (sbf) {
      fixture::Bytes record = fixture::sbfRecord(g.start, g.data);
      if (g.cgNumber == damaged) {
        out.at = out.bytes.size();
        record[3] ^= 0x40;
      }
      fixture::append(out.bytes, record);
      continue;
    }
    std::string text = std::string(fixture::kS0Line) + fixture::s3Lines(g.start, g.data) +
                       std::string(fixture::kS7Line);
    if (g.cgNumber == damaged) {
      // The fourth line, the third of its data: one digit of its address changed, so that its
      // sum no longer holds.
      std::size_t begin = 0;
      for (int k = 0; k < 3; ++k) begin = text.find('\n', begin) + 1;
      text[begin + 11] = text[begin + 11] == '0' ? '1' : '0';
      out.at = line + 4;
    }
    line += std::uint64_t(std::count(text.begin(), text.end(), '\n'));
    fixture::append(out.bytes, text);
  }
  return out;
}

}  // namespace

// A damaged line or record fails a plain open, which says a rescue may open the file; the
// rescue names the damaged group and its first place. Damage in a group a save drops leaves
// the saves, a folder deleted and all, what the sound file's give; damage in the Flex leaves
// nothing that can be saved.
TEST(WebSessionTest, ARescueOpensWhatAPlainOpenRefusesAndSavesOnlyWholeGroups) {
  const std::string date = "Tue January 06 12:00:00 2026";
  struct Case {
    const char* name;
    int cgNumber;
    const char* group;
    std::string place;  // as damagePlace names it
  };
  const DamagedSample firmwareShx = damagedSample(false, kCgFirmware);
  const DamagedSample flexShx = damagedSample(false, kCgFlex);
  const DamagedSample firmwareSbf = damagedSample(true, kCgFirmware);
  const Case cases[] = {
      {"firmware.shx", kCgFirmware, "Firmware", "firmware.shx:" + std::to_string(firmwareShx.at)},
      {"flex.shx", kCgFlex, "Flex", "flex.shx:" + std::to_string(flexShx.at)},
      {"firmware.sbf", kCgFirmware, "Firmware",
       "firmware.sbf:" + hex8(std::uint32_t(firmwareSbf.at))},
  };
  const DamagedSample* samples[] = {&firmwareShx, &flexShx, &firmwareSbf};
  for (std::size_t k = 0; k < std::size(cases); ++k) {
    const Case& c = cases[k];
    const fixture::Bytes& bytes = samples[k]->bytes;
    SCOPED_TRACE(c.name);
    const bool sbf = std::string_view(c.name).ends_with(".sbf");
    web::Session session;
    const OpenedSuperfile plain = session.open(bytes, c.name);
    ASSERT_FALSE(plain.loaded());
    EXPECT_TRUE(web::Session::rescueMayHelp(plain)) << session.failureCause(plain);

    const OpenedSuperfile rescued = session.open(bytes, c.name, true);
    ASSERT_TRUE(rescued.loaded()) << session.failureCause(rescued);
    EXPECT_TRUE(rescued.rescued);
    EXPECT_FALSE(web::Session::rescueMayHelp(rescued));
    ASSERT_EQ(rescued.damaged.size(), 1u);
    const DamagedCodeGroup& damaged = rescued.damaged[0];
    EXPECT_EQ(damaged.name, c.group);
    EXPECT_EQ(damaged.damage.lines, 1u);
    EXPECT_EQ(session.damagePlace(damaged.damage), c.place);

    const bool written = c.cgNumber == kCgFlex;
    EXPECT_EQ(damaged.written, written);
    EXPECT_EQ(rescued.saveAllowed, !written);
    if (written) {
      // Nothing forces it: the save itself refuses and hands out no bytes.
      EXPECT_EQ(session.saveNotice(), NoticeCode::DamagedCodeGroup);
      EXPECT_EQ(session.review(date).notice, NoticeCode::DamagedCodeGroup);
      EXPECT_EQ(session.save(SaveType::Smg, date), StatusCode::RecordError);
      EXPECT_TRUE(session.saved().empty());
      continue;
    }
    web::Session sound;
    const fixture::Bytes soundBytes = sbf ? sample::makeSbf({}) : sample::makeShx({});
    ASSERT_TRUE(sound.open(soundBytes, c.name).loaded());
    EXPECT_EQ(session.folders(), sound.folders());
    ASSERT_TRUE(session.deleteFolder(1));
    ASSERT_TRUE(sound.deleteFolder(1));
    EXPECT_EQ(session.saveNotice(), NoticeCode::None);
    // The damaged line is a problem of the file, but not of anything a save writes.
    EXPECT_GT(session.problems(), 0u);
    EXPECT_EQ(session.damagedSaveQuestion(), "");
    for (const SaveType type : {SaveType::Shx, SaveType::Sbf, SaveType::Smg}) {
      ASSERT_EQ(session.save(type, date), StatusCode::None);
      ASSERT_EQ(sound.save(type, date), StatusCode::None);
      EXPECT_TRUE(session.saved() == sound.saved()) << extensionFor(type);
    }
  }
}

// A rescue is offered only where it may open the file: not for a file that opened, one that
// could not be read at all, one whose header block fails (no rescue reads past that), or one a
// rescue has already failed to open.
TEST(WebSessionTest, ARescueIsOfferedOnlyWhereItMayOpenTheFile) {
  const fixture::Bytes sbf = sample::makeSbf({});
  const fixture::Bytes shortHeader(sbf.begin(), sbf.begin() + 1000);
  struct Case {
    const char* name;
    fixture::Bytes bytes;
    bool rescue;
    bool offered;
  };
  const Case cases[] = {
      {"sound.sbf", sbf, false, false},
      {"empty.sbf", {}, false, false},
      {"short.sbf", shortHeader, false, false},
      {"short.sbf", shortHeader, true, false},
      {"cut.sbf", fixture::Bytes(sbf.begin(), sbf.begin() + std::ptrdiff_t(sbf.size() / 2)), false,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + (c.rescue ? " rescued" : ""));
    web::Session session;
    const OpenedSuperfile opened = session.open(c.bytes, c.name, c.rescue);
    EXPECT_EQ(web::Session::rescueMayHelp(opened), c.offered) << session.failureCause(opened);
  }
}
