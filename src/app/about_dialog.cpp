#include "app/about_dialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/icons.h"

namespace tavufe {

namespace {

const char* const kAboutText =
    QT_TRANSLATE_NOOP("tavufe::AboutDialog",
                      "Delete skin files (.dat & .ski) from the Tavu using a P2K utility \n"
                      "then make a flex backup. Load flex in this program to delete \n"
                      "the remaining skin folder. Flash modded flex to the Tavu.\n"
                      "\n"
                      "Thanks to everyone who tested the early builds and sent in backups.\n"
                      "\n"
                      "Questions and skins: ask in the modding forum\n"
                      "of your handset's user community.");

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("aboutDialog");
  setWindowTitle(tr("About"));
  setModal(true);

  auto* panel = new QFrame;
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Sunken);
  panel->setLineWidth(2);

  auto* icon = new QLabel;
  icon->setPixmap(programIcon().pixmap(32, 32));
  icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  auto* productName = new QLabel("Tavu Flex Editor ");
  QFont bold = productName->font();
  bold.setBold(true);
  productName->setFont(bold);
  versionLabel_ = new QLabel;
  versionLabel_->setObjectName("versionLabel");
  auto* credit = new QLabel(tr("By the Tavu Flex Editor developers"));
  auto* licence = new QLabel(
      tr("Copyright 2026 The Tavu Flex Editor developers.\nReleased under the MIT licence: free to "
         "use, copy, change and share,\nwith no warranty."));
  licence->setObjectName("licenceText");
  licence->setTextInteractionFlags(Qt::TextSelectableByMouse);

  // A label rather than a scrolling box: it is as tall as its lines, so none is cut.
  auto* help = new QLabel(tr(kAboutText));
  help->setObjectName("helpText");
  help->setTextInteractionFlags(Qt::TextSelectableByMouse);
  help->setFrameShape(QFrame::StyledPanel);
  help->setFrameShadow(QFrame::Sunken);
  help->setMargin(4);

  auto* heading = new QGridLayout;
  heading->addWidget(icon, 0, 0, 3, 1);
  heading->addWidget(productName, 0, 1);
  heading->addWidget(versionLabel_, 1, 1);
  heading->addWidget(credit, 2, 1);
  heading->setColumnStretch(1, 1);
  heading->setColumnMinimumWidth(0, 48);

  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->addLayout(heading);
  panelLayout->addWidget(help);
  panelLayout->addWidget(licence);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setObjectName("okButton");
  ok->setDefault(true);
  buttons->setCenterButtons(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::setVersion(const QString& version) { versionLabel_->setText(version); }

}  // namespace tavufe
