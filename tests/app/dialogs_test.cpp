// The real dialogs as the window builds them: the save dialog's type-change rename, the
// filters, the message box; and the progress bar adapter.

#include "app/dialogs.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>

#include "app/bar_progress.h"
#include "qt_printers.h"
#include "superfile_fixture.h"

using namespace tavufe;

namespace {

// What a user's choice of another type in the dialog's type box does.
void chooseType(QFileDialog& dialog, int index) {
  const QString filter = dialog.nameFilters().at(index);
  dialog.selectNameFilter(filter);
  Q_EMIT dialog.filterSelected(filter);
}

QString typedName(const QFileDialog& dialog) {
  return QFileInfo(dialog.selectedFiles().value(0)).fileName();
}

}  // namespace

TEST(FileNameWithExtensionTests, ReplacesOrAppendsTheExtension) {
  EXPECT_EQ(fileNameWithExtension("flex_mod.shx", ".sbf"), "flex_mod.sbf");
  EXPECT_EQ(fileNameWithExtension("flex", ".bin"), "flex.bin");
  EXPECT_EQ(fileNameWithExtension("/home/u/fw.new/flex", ".smg"), "flex.smg");
  EXPECT_EQ(fileNameWithExtension("/home/u/fw.new/flex.a.shx", ".smg"), "flex.a.smg");
  EXPECT_EQ(fileNameWithExtension("/home/u/.shx", ".sbf"), ".sbf");
}

TEST(SaveDialogTests, ChoosingATypeRenamesTheTypedFile) {
  fixture::TempDir dir;
  auto dialog =
      makeSaveDialog(nullptr, QString::fromStdString(dir.path()), "flex_mod.shx", SaveType::Shx);
  EXPECT_EQ(typedName(*dialog), "flex_mod.shx");
  chooseType(*dialog, 1);
  EXPECT_EQ(typedName(*dialog), "flex_mod.sbf");
  EXPECT_EQ(selectedSaveType(*dialog), SaveType::Sbf);
  chooseType(*dialog, 3);
  EXPECT_EQ(typedName(*dialog), "flex_mod.bin");
  EXPECT_EQ(QFileInfo(dialog->selectedFiles().value(0)).absolutePath(),
            QFileInfo(QString::fromStdString(dir.path())).absoluteFilePath());
}

TEST(SaveDialogTests, ShownDialogRenamesWhileTheNameFieldHasTheFocus) {
  fixture::TempDir dir;
  auto dialog =
      makeSaveDialog(nullptr, QString::fromStdString(dir.path()), "flex_mod.shx", SaveType::Shx);
  dialog->show();
  auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(field, nullptr);
  field->setFocus();
  field->setText("typed.shx");
  chooseType(*dialog, 1);
  EXPECT_EQ(field->text(), "typed.sbf");
  EXPECT_EQ(typedName(*dialog), "typed.sbf");
  dialog->hide();
}

TEST(SaveDialogTests, NameWithoutExtensionGetsTheTypesExtension) {
  fixture::TempDir dir;
  auto dialog = makeSaveDialog(nullptr, QString::fromStdString(dir.path()), "flex", SaveType::Shx);
  chooseType(*dialog, 3);
  EXPECT_EQ(typedName(*dialog), "flex.bin");
  chooseType(*dialog, 2);
  EXPECT_EQ(typedName(*dialog), "flex.smg");
}

TEST(SaveDialogTests, NoNameTypedStaysEmpty) {
  fixture::TempDir dir;
  auto dialog = makeSaveDialog(nullptr, QString::fromStdString(dir.path()), {}, SaveType::Shx);
  chooseType(*dialog, 1);
  EXPECT_TRUE(QFileInfo(dialog->selectedFiles().value(0)).isDir());
}

TEST(SaveDialogTests, OpensWithTheRememberedTypeAndTheFourFilters) {
  auto dialog = makeSaveDialog(nullptr, {}, "x.smg", SaveType::Smg);
  EXPECT_EQ(dialog->nameFilters(), QStringList({"SHX File (*.shx)", "SBF File (*.sbf)",
                                                "SMG File (*.smg)", "BIN File (*.bin)"}));
  EXPECT_EQ(selectedSaveType(*dialog), SaveType::Smg);
  EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_TRUE(dialog->defaultSuffix().isEmpty());
}

TEST(OpenDialogTests, OffersSuperfilesAndWantsAnExistingFile) {
  auto dialog = makeOpenDialog(nullptr, {}, {});
  EXPECT_EQ(dialog->nameFilters(), QStringList({"SuperFiles (shx-sbf) (*.shx *.sbf)",
                                                "SHX Files (*.shx)", "SBF Files (*.sbf)"}));
  EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
}

TEST(MessageBoxTests, WarningIconOkButtonAndCaption) {
  auto box = makeMessageBox(nullptr, "WARNING", "Record Error");
  EXPECT_EQ(box->windowTitle(), "WARNING");
  EXPECT_EQ(box->text(), "Record Error");
  EXPECT_EQ(box->icon(), QMessageBox::Warning);
  EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST(BarProgressTests, StepsStayInsideTheRange) {
  QProgressBar bar;
  BarProgress progress(bar);
  progress.setMaximum(3);
  progress.setPosition(1);
  progress.step();
  EXPECT_EQ(bar.value(), 2);
  progress.step();
  progress.step();
  progress.step();
  EXPECT_EQ(bar.value(), 3);
  progress.setPosition(20);
  EXPECT_EQ(bar.value(), 3);
  progress.setMaximum(20);
  progress.setPosition(20);
  EXPECT_EQ(bar.value(), 20);
}
