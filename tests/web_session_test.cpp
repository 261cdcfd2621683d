// The page's session: what its start leaves behind, a file read in pieces after it, and the
// review of its document.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editor/diff_flow.h"
#include "editor/open_flow.h"
#include "editor/save_flow.h"
#include "editor/verify_flow.h"
#include "inspect/folder_scan.h"
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
