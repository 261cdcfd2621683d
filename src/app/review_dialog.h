#pragma once

#include <QString>

#include "editor/file_problem.h"
#include "model/codes.h"
#include "model/editor_state.h"

namespace tavufe {

// What Edit > Review Changes shows: the lines `tavufe diff` prints for the opened file against
// what a save of the document as the same type would write, or why they could not be made.
struct ReviewText {
  QString text;
  StatusCode status = StatusCode::None;
  NoticeCode notice = NoticeCode::None;
  FileProblem problem;
  bool ok() const { return status == StatusCode::None && notice == NoticeCode::None; }
};

// Nothing is written and the document stays as it is; the opened file is read again, by a
// rescue when the document was `rescued`.
ReviewText reviewChangesText(const EditorState& state, const QString& openedPath,
                             bool rescued = false);

}  // namespace tavufe
