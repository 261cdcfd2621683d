#include "app/path_field.h"

#include <QStyle>
#include <QStyleOptionFrame>

namespace tavufe {

PathField::PathField(QWidget* parent) : QLineEdit(parent) { setReadOnly(true); }

void PathField::setPath(const QString& path) {
  path_ = path;
  setToolTip(path);
  showElided();
}

void PathField::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  showElided();
}

void PathField::showElided() {
  QStyleOptionFrame option;
  initStyleOption(&option);
  const QRect text = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
  const QMargins margins = textMargins();
  // QLineEdit keeps a few pixels of its own on either side of the text.
  const int width = text.width() - margins.left() - margins.right() - 4;
  setText(fontMetrics().elidedText(path_, Qt::ElideMiddle, width));
  setCursorPosition(0);
}

}  // namespace tavufe
