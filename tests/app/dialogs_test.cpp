// The real save dialog as the window builds it, with its type-change rename, and the adapter
// that drives the progress bar.

#include "app/dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

#include "app/bar_progress.h"
#include "app_test_support.h"

using namespace tavufe;

TEST(FileNameWithExtensionTests, ReplacesOrAppendsTheExtension) {
  EXPECT_EQ(fileNameWithExtension("flex_mod.shx", ".sbf"), "flex_mod.sbf");
  EXPECT_EQ(fileNameWithExtension("flex", ".bin"), "flex.bin");
  EXPECT_EQ(fileNameWithExtension("/home/u/fw.new/flex", ".smg"), "flex.smg");
  EXPECT_EQ(fileNameWithExtension("/home/u/fw.new/flex.a.shx", ".smg"), "flex.a.smg");
  EXPECT_EQ(fileNameWithExtension("/home/u/.shx", ".sbf"), ".sbf");
}

TEST(SaveDialogTests, ChoosingATypeRenamesTheTypedFile) {
  fixture::TempDir dir;
  const QString folder = QString::fromStdString(dir.path());
  // The name given or typed, whether it is typed into the shown dialog's focused name field,
  // the type chosen (filter index) and the name that results.
  const std::vector<std::tuple<QString, bool, int, QString>> cases = {
      {"flex_mod.shx", false, 1, "flex_mod.sbf"},
      {"flex_mod.shx", false, 3, "flex_mod.bin"},
      {"flex", false, 2, "flex.smg"},
      {"typed", true, 1, "typed.sbf"},
  };
  for (const auto& [name, typed, index, renamed] : cases) {
    SCOPED_TRACE(renamed.toStdString());
    auto dialog = makeSaveDialog(nullptr, folder, typed ? "other.shx" : name, SaveType::Smg);
    EXPECT_EQ(selectedSaveType(*dialog), SaveType::Smg);  // the type chosen last time
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(field, nullptr);
    if (typed) {
      dialog->show();
      dialog->activateWindow();
      field->setFocus();
      QCoreApplication::processEvents();
      ASSERT_TRUE(field->hasFocus());
      field->setText(name);
    }
    const QString filter = dialog->nameFilters().at(index);
    dialog->selectNameFilter(filter);
    Q_EMIT dialog->filterSelected(filter);  // what a user's choice in the type box does
    EXPECT_EQ(field->text(), renamed);
    const QFileInfo chosen(dialog->selectedFiles().value(0));
    EXPECT_EQ(chosen.fileName(), renamed);
    EXPECT_EQ(chosen.absolutePath(), QFileInfo(folder).absoluteFilePath());
    EXPECT_EQ(selectedSaveType(*dialog), kSaveFilterTypes[index]);
    dialog->hide();
  }
  // With no name typed there is nothing to rename.
  auto dialog = makeSaveDialog(nullptr, folder, {}, SaveType::Shx);
  Q_EMIT dialog->filterSelected(dialog->nameFilters().at(1));
  EXPECT_TRUE(QFileInfo(dialog->selectedFiles().value(0)).isDir());
}

// QProgressBar ignores a value outside its range: a reader that steps past its count must still
// leave the bar full, and a count of 0 must not turn the bar into a busy indicator.
TEST(BarProgressTests, PositionsPastTheMaximumLeaveTheBarFull) {
  QProgressBar bar;
  BarProgress progress(bar);
  progress.setMaximum(3);
  progress.setPosition(1);
  progress.step();
  EXPECT_EQ(bar.value(), 2);
  progress.setPosition(20);
  EXPECT_EQ(bar.value(), 3);
  progress.setMaximum(0);
  EXPECT_EQ(bar.maximum(), 1);
}

TEST(SaveChoiceTests, TypedExtensionDecidesTheTypeOtherwiseTheChosenOneIsAppended) {
  const struct {
    QString typed;
    SaveType chosen;
    QString path;
    SaveType written;
  } cases[] = {
      {"/d/out.sbf", SaveType::Shx, "/d/out.sbf", SaveType::Sbf},
      {"/d/out.SHX", SaveType::Bin, "/d/out.SHX", SaveType::Shx},
      {"/d/out.Smg", SaveType::Shx, "/d/out.Smg", SaveType::Smg},
      {"/d/out.bin", SaveType::Bin, "/d/out.bin", SaveType::Bin},
      {"/d/out", SaveType::Smg, "/d/out.smg", SaveType::Smg},
      {"/d/out.txt", SaveType::Sbf, "/d/out.txt.sbf", SaveType::Sbf},
      {"/d/fw.sbf/out", SaveType::Shx, "/d/fw.sbf/out.shx", SaveType::Shx},
      {"/d/.sbf", SaveType::Shx, "/d/.sbf", SaveType::Sbf},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    const SaveChoice resolved = resolveSaveChoice({c.typed, c.chosen});
    EXPECT_EQ(resolved.path, c.path);
    EXPECT_EQ(resolved.type, c.written);
  }
}

TEST(SuperfileTypeTests, ExtensionsMatchInAnyCase) {
  const std::pair<QString, std::optional<SuperfileEncoding>> cases[] = {
      {"/d/a.shx", SuperfileEncoding::Shx},
      {"/d/UPPER.SBF", SuperfileEncoding::Sbf},
      {"/d/Mixed.Shx", SuperfileEncoding::Shx},
      {"/d/a.sbf.bak", std::nullopt},
      {"/d/a", std::nullopt},
      {"/d/fw.shx/a", std::nullopt},
      {"/d/a.smg", std::nullopt},
      {"/d/.sbf", SuperfileEncoding::Sbf},
  };
  for (const auto& [path, type] : cases) {
    EXPECT_EQ(superfileTypeOf(path), type) << path.toStdString();
  }
}

// Each answer to "save the changes first?" is one access key away; Save is the default.
TEST(QuestionBoxTests, UnsavedChangesButtonsHaveAccessKeys) {
  const auto box = makeUnsavedChangesBox(nullptr, "flex.shx");
  QStringList texts;
  for (QAbstractButton* button : box->buttons()) texts.append(button->text());
  texts.sort();
  EXPECT_EQ(texts, QStringList({"&Cancel", "&Discard", "&Review Changes", "&Save"}));
  EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Save));
}
