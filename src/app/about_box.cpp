#include "app/about_box.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>

#include <algorithm>

#include "app/icons.h"

namespace tavufe {

namespace {

const QStringList kAboutLines = {
    "Delete skin files (.dat & .ski) from the Tavu using a P2K utility ",
    "then make a flex backup. Load flex in this program to delete ",
    "the remaining skin folder. Flash modded flex to the Tavu.",
    "",
    "Thanks to everyone who tested the early builds and sent in backups.",
    "",
    "Questions and skins: ask in the modding forum",
    "of your handset's user community.",
};

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About");
  setModal(true);
  Memo1 = new QPlainTextEdit;
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setPlainText(kAboutLines.join('\n'));
  // The help text keeps its three designed lines; the box widens when the font needs it.
  const QFontMetrics metrics(Memo1->font());
  int widest = 0;
  for (const QString& line : kAboutLines) widest = std::max(widest, metrics.horizontalAdvance(line));
  const int memoWidth =
      std::max(297, widest + 2 * int(Memo1->document()->documentMargin()) +
                        2 * Memo1->frameWidth() + Memo1->verticalScrollBar()->sizeHint().width());
  const int extra = memoWidth - 297;

  setFixedSize(324 + extra, 231);

  Panel1 = new QFrame(this);
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Sunken);
  Panel1->setLineWidth(2);
  Panel1->setGeometry(8, 8, 305 + extra, 185);

  ProgramIcon = new QLabel(Panel1);
  ProgramIcon->setGeometry(54, 18, 33, 33);
  ProgramIcon->setPixmap(programIcon().pixmap(32, 32));

  ProductName = new QLabel("Tavu Flex Editor ", Panel1);
  QFont bold = ProductName->font();
  bold.setBold(true);
  ProductName->setFont(bold);
  ProductName->setGeometry(100, 12, 200 + extra, 18);

  Version = new QLabel(Panel1);
  Version->setGeometry(100, 30, 200 + extra, 18);

  Credit = new QLabel("By the Tavu Flex Editor team", Panel1);
  Credit->setGeometry(100, 46, 200 + extra, 18);

  Memo1->setParent(Panel1);
  Memo1->setGeometry(4, 66, memoWidth, 115);

  OKButton = new QPushButton("OK", this);
  OKButton->setGeometry((324 + extra - 75) / 2, 198, 75, 25);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tavufe
