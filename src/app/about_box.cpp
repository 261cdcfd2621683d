#include "app/about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

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
  setFixedSize(324, 231);

  Panel1 = new QFrame(this);
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Sunken);
  Panel1->setLineWidth(2);
  Panel1->setGeometry(8, 8, 305, 185);

  ProgramIcon = new QLabel(Panel1);
  ProgramIcon->setGeometry(54, 18, 33, 33);
  ProgramIcon->setPixmap(programIcon().pixmap(32, 32));

  ProductName = new QLabel("Tavu Flex Editor ", Panel1);
  QFont bold = ProductName->font();
  bold.setBold(true);
  ProductName->setFont(bold);
  ProductName->setGeometry(100, 12, 200, 18);

  Version = new QLabel(Panel1);
  Version->setGeometry(100, 30, 200, 18);

  Credit = new QLabel("By the Tavu Flex Editor team", Panel1);
  Credit->setGeometry(100, 46, 200, 18);

  Memo1 = new QPlainTextEdit(Panel1);
  Memo1->setGeometry(4, 66, 297, 115);
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setPlainText(kAboutLines.join('\n'));

  OKButton = new QPushButton("OK", this);
  OKButton->setGeometry(132, 198, 75, 25);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tavufe
