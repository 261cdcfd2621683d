#include "app/review_dialog.h"

#include "app/core_text.h"
#include "app/dialogs.h"
#include "editor/diff_flow.h"
#include "editor/save_flow.h"

namespace tavufe {

ReviewText reviewChangesText(const EditorState& state, const QString& openedPath, bool rescued) {
  ReviewText review;
  const std::optional<SuperfileEncoding> type = superfileTypeOf(openedPath);
  if (!type) {
    review.notice = NoticeCode::FileTypeNotSupported;
    return review;
  }
  // The date a save made now would write, so that the review shows it as the save would.
  const DiffOutcome outcome =
      reviewSave(state, toCorePath(openedPath), *type, saveDate().text, rescued);
  if (outcome.failed) {
    review.notice = outcome.failedOpen.notice;
    review.status = outcome.failedOpen.status;
    review.problem = outcome.failedOpen.problem;
    return review;
  }
  if (!outcome.compared()) {
    review.status = outcome.status;
    return review;
  }
  // Header texts come from the file and need not be UTF-8.
  review.text = fromCoreLines(diffLines(outcome.diff));
  return review;
}

}  // namespace tavufe
