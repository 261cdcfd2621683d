#include "app/path_field.h"

#include <QPalette>
#include <QStyle>
#include <QStyleOptionFrame>

namespace tavufe {

PathField::PathField(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  // Drawn on the window's own colour, without the frame of a field that can be typed in.
  setFocusPolicy(Qt::NoFocus);
  setFrame(false);
  QPalette shown = palette();
  shown.setColor(QPalette::Base, shown.color(QPalette::Window));
  setPalette(shown);
}

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
