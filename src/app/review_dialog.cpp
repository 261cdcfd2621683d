#include "app/review_dialog.h"

#include "app/core_text.h"
#include "app/dialogs.h"
#include "editor/diff_flow.h"
#include "editor/flow_steps.h"
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
  // A rescued document is held against its file as the rescue read it: a plain read stops at
  // the damage the rescue read past.
  const std::string path = toCorePath(openedPath);
  const OpenDiffSide readAgain = [&path, rescued](EditorState& side, const OpenOptions& options,
                                                  Progress& progress) {
    OpenOptions again = options;
    again.rescue = rescued;
    return openForEditing(side, path, again, progress);
  };
  const DiffOutcome outcome = reviewSave(state, readAgain, *type, saveDate().text);
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
