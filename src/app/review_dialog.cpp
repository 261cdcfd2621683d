#include "app/review_dialog.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>
#include <string>

#include "app/dialogs.h"
#include "editor/diff_flow.h"
#include "editor/save_flow.h"

namespace tavufe {

namespace {

// Header texts come from the file and need not be UTF-8.
QString fromFileText(const std::string& text) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString decoded = utf8.decode(QByteArray::fromStdString(text));
  return utf8.hasError() ? QString::fromLatin1(text.data(), qsizetype(text.size())) : decoded;
}

}  // namespace

ReviewText reviewChangesText(const EditorState& state, const QString& openedPath) {
  ReviewText review;
  const std::optional<SuperfileEncoding> type = superfileTypeOf(openedPath);
  if (!type) {
    review.notice = NoticeCode::FileTypeNotSupported;
    return review;
  }
  // The date a save made now would write, so that the review shows it as the save would.
  const DiffOutcome outcome =
      reviewSave(state, QFile::encodeName(openedPath).toStdString(), *type, saveDate().text);
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
  QStringList lines;
  for (const std::string& line : diffLines(outcome.diff)) lines.append(fromFileText(line));
  review.text = lines.join(QLatin1Char('\n'));
  return review;
}

}  // namespace tavufe
