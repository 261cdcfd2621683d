// The page's session: what its start leaves behind, a file read in pieces after it, and the
// review of its document.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editor/diff_flow.h"
#include "editor/open_flow.h"
#include "editor/save_flow.h"
#include "inspect/folder_scan.h"
#include "sample_content.h"
#include "superfile/byte_sink.h"
#include "superfile/superfile_size.h"
#include "test_support.h"
#include "web/session.h"

using namespace tavufe;

TEST(WebSessionTest, StartsWithNoFileAndOpensAPickedFileAsTheEditorDoes) {
  web::Session session;
  // The made-up file read at the start is given up without a trace.
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

  // Files the editor refuses by their size are refused with nothing touched.
  EXPECT_EQ(session.beginOpen(0, "empty.sbf").problem.kind, FileProblem::Kind::Empty);
  EXPECT_EQ(session.beginOpen(kMaxSuperfileSize + 1, "huge.shx").problem.kind,
            FileProblem::Kind::TooLarge);
  EXPECT_EQ(session.review(date).lines, opened.lines);

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
