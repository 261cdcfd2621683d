// The page's session: what its start leaves behind, and a file read in pieces after it.

#include <gtest/gtest.h>

#include <algorithm>

#include "editor/open_flow.h"
#include "editor/save_flow.h"
#include "sample_content.h"
#include "superfile/byte_sink.h"
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
  ASSERT_EQ(session.beginOpen(bytes.size(), "backup.shx"), NoticeCode::None);
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
