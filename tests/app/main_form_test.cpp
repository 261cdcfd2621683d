// The window's start-up, the open command in each of its states, the folder list with
// "Delete Skin Folder", cut and undo, drops, the pause after a command, exit and the about box.

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "app/about_box.h"
#include "app_test_support.h"
#include "inspect/folder_scan.h"

using namespace apptest;
using tavufe::gridCell;
using tavufe::gridRow;
using tavufe::NoticeCode;
using tavufe::StatusCode;

namespace {

const QStringList kCgTitles = {"CG",   "Name",  "Start Addr", "End Addr", "CG Header Info",
                               "Size", "Ckbuf", "Ckhdr",      "Code"};

bool gridIsBlank(const QTableWidget& grid, int shownColumns) {
  for (int row = 1; row <= grid.rowCount(); ++row) {
    for (int c = 0; c < shownColumns; ++c) {
      if (!gridCell(grid, row, c).isEmpty()) return false;
    }
  }
  return true;
}

QStringList folderColumn(const QTableWidget& grid) {
  QStringList names;
  for (int row = 1; row <= grid.rowCount(); ++row) names.append(gridCell(grid, row, 1));
  return names;
}

// A Flex holding only the sample's first folder record ("audio" at 0x1000).
std::vector<sample::CodeGroup> groupsWithOneFolder() {
  auto groups = sample::codeGroups({});
  for (auto& g : groups) {
    if (g.cgNumber != 2) continue;
    for (std::size_t at = 0x1200; at + 4 <= g.data.size() && at < 0x3000; at += 0x200) {
      g.data[at + 3] = 0x00;  // 00 00 04 00: no longer a record
    }
  }
  return groups;
}

}  // namespace

// --- Start-up -------------------------------------------------------------------------------

TEST_F(WindowTest, StartUpShowsTitledEmptyGridsAndDisabledCommands) {
  start();
  EXPECT_EQ(form->windowTitle(), "Tavu Flex Editor");
  EXPECT_EQ(form->CGgrid->rowCount() + 1, 21);
  EXPECT_EQ(form->SGrid->rowCount() + 1, 10);
  EXPECT_EQ(rowText(*form->CGgrid, 0, 9), kCgTitles);
  EXPECT_EQ(rowText(*form->SGrid, 0, 3), QStringList({"#", "Skin Folder", "CG2 Location"}));
  for (int c = 5; c <= 8; ++c) EXPECT_TRUE(form->CGgrid->isColumnHidden(c)) << c;
  for (int c = 0; c < 5; ++c) EXPECT_FALSE(form->CGgrid->isColumnHidden(c)) << c;
  EXPECT_TRUE(gridIsBlank(*form->CGgrid, 9));
  EXPECT_TRUE(gridIsBlank(*form->SGrid, 3));

  EXPECT_FALSE(form->saveAction->isEnabled());
  EXPECT_FALSE(form->SaveButton->isEnabled());
  EXPECT_FALSE(form->Button1->isEnabled());
  EXPECT_FALSE(form->SGrid->isEnabled());
  EXPECT_FALSE(form->CGgrid->isEnabled());
  EXPECT_FALSE(form->cutAction->isEnabled());
  EXPECT_FALSE(form->undoAction->isEnabled());
  EXPECT_TRUE(form->CutButton->isHidden());
  EXPECT_TRUE(form->UndoButton->isHidden());
  EXPECT_TRUE(form->ProgressBar1->isHidden());
  EXPECT_TRUE(form->Edit1->text().isEmpty());
  EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
  EXPECT_TRUE(dialogs.messages.empty());

  // The model's default layout: the device profile in slots 0 to 9.
  EXPECT_EQ(state->lastSlot, 9);
  EXPECT_EQ(state->slots[2].cgNumber, 2);
  EXPECT_EQ(state->slots[2].description, "Flex");
  EXPECT_EQ(state->slots[21].cgNumber, 257);
  EXPECT_EQ(state->currentPath, "");
}

TEST_F(WindowTest, ControlsCarryTheDesignedTextsAndShortcuts) {
  start();
  EXPECT_EQ(form->Label1->text(),
            "Delete skin files on phone first, this program deletes the remaining skin folder "
            "only.");
  EXPECT_EQ(form->Button1->text(), "Delete Skin Folder");
  EXPECT_TRUE(form->Button1->font().bold());
  EXPECT_EQ(form->SaveButton->text(), "SAVE");
  EXPECT_EQ(form->SaveButton->toolTip(), "Save All GG Groups to Superfile");
  EXPECT_EQ(form->SpeedButton1->toolTip(), "Open");
  EXPECT_EQ(form->CutButton->toolTip(), "Cut Selected CG");
  EXPECT_EQ(form->UndoButton->toolTip(), "Undo");
  EXPECT_TRUE(form->Edit1->isReadOnly());
  EXPECT_TRUE(form->Memo1->isReadOnly());
  EXPECT_EQ(form->Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(form->SGrid->selectionBehavior(), QAbstractItemView::SelectRows);

  // One action behind the menu item and the tool button.
  EXPECT_EQ(form->SpeedButton1->defaultAction(), form->openAction);
  EXPECT_EQ(form->SaveButton->defaultAction(), form->saveAction);
  EXPECT_EQ(form->CutButton->defaultAction(), form->cutAction);
  EXPECT_EQ(form->UndoButton->defaultAction(), form->undoAction);
  EXPECT_EQ(form->openAction->shortcut(), QKeySequence(QKeySequence::Open));
  EXPECT_EQ(form->saveAction->shortcut(), QKeySequence(QKeySequence::Save));
  EXPECT_EQ(form->exitAction->shortcut(), QKeySequence(QKeySequence::Quit));

  QStringList fileMenu;
  for (QAction* a : form->FileMenu->actions()) fileMenu.append(a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(fileMenu, QStringList({"&Open...", "-", "&Save", "E&xit"}));
  EXPECT_EQ(form->FileMenu->title(), "&File");
  EXPECT_EQ(form->Help1->title(), "&Help");
  ASSERT_EQ(form->Help1->actions().size(), 1);
  EXPECT_EQ(form->Help1->actions().first()->text(), "&About");
}

TEST_F(WindowTest, WindowHasAFixedSizeThatHoldsEveryControl) {
  start();
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  EXPECT_GE(form->centralWidget()->width(), 590);
  EXPECT_GE(form->centralWidget()->height(), 338);
  const QRect client = form->centralWidget()->rect();
  for (QWidget* w : std::initializer_list<QWidget*>{form->Label1, form->Edit1, form->Memo1,
                                                    form->SGrid, form->CGgrid}) {
    EXPECT_TRUE(client.contains(w->geometry())) << w->metaObject()->className();
  }
  // The label's text fits in its width.
  EXPECT_GE(form->Label1->width(),
            form->Label1->fontMetrics().horizontalAdvance(form->Label1->text()));
  // The progress bar lies over the path field.
  EXPECT_TRUE(form->Edit1->geometry().intersects(form->ProgressBar1->geometry()));
}

TEST_F(WindowTest, LoadedTextsFitTheirColumnsAndButtons) {
  start();
  openFromDialog(writeSample("flex.sbf"));
  // The item view leaves a few pixels of margin on each side of a cell's text.
  constexpr int kMargin = 6;
  for (QTableWidget* grid : {form->CGgrid, form->SGrid}) {
    for (int c = 0; c < grid->columnCount(); ++c) {
      if (grid->isColumnHidden(c)) continue;
      const QString title = gridCell(*grid, 0, c);
      EXPECT_GE(grid->columnWidth(c),
                QFontMetrics(grid->horizontalHeader()->font()).horizontalAdvance(title) + kMargin)
          << title.toStdString();
      for (int row = 1; row <= grid->rowCount(); ++row) {
        const QTableWidgetItem* item = grid->item(row - 1, c);
        if (item == nullptr) continue;
        EXPECT_GE(grid->columnWidth(c),
                  QFontMetrics(item->font()).horizontalAdvance(item->text()) + kMargin)
            << item->text().toStdString();
      }
    }
  }
  const QFontMetrics bold(form->Button1->font());
  EXPECT_GE(form->Button1->width(), bold.horizontalAdvance(form->Button1->text()) + 12);
  const QFontMetrics credit(form->AboutBox->Credit->font());
  EXPECT_GE(form->AboutBox->Credit->width(),
            credit.horizontalAdvance(form->AboutBox->Credit->text()));
}

TEST_F(WindowTest, ToolButtonsAndWindowHaveTheirPictures) {
  start();
  for (QAction* action : {form->openAction, form->saveAction, form->cutAction, form->undoAction}) {
    EXPECT_FALSE(action->icon().pixmap(18, 18).isNull()) << action->text().toStdString();
  }
  EXPECT_FALSE(form->windowIcon().pixmap(32, 32).isNull());
}

TEST_F(WindowTest, StartUpOpensTheFileNamedOnTheCommandLineWithoutFolderSteps) {
  const QString path = writeSample("flex.sbf");
  start(path);
  EXPECT_TRUE(dialogs.messages.empty()) << messagesText().join("; ").toStdString();
  EXPECT_EQ(form->Edit1->text(), path);
  EXPECT_EQ(gridCell(*form->CGgrid, 1, 0), "RDL");
  EXPECT_EQ(gridCell(*form->CGgrid, 2, 0), "2");
  EXPECT_EQ(gridCell(*form->CGgrid, 2, 1), "Flex");
  // The folder list waits for an open from the dialog.
  EXPECT_TRUE(gridIsBlank(*form->SGrid, 3));
  EXPECT_EQ(rowText(*form->SGrid, 0, 3), QStringList({"#", "Skin Folder", "CG2 Location"}));
  EXPECT_TRUE(form->saveAction->isEnabled());
  EXPECT_TRUE(form->SGrid->isEnabled());
  EXPECT_TRUE(dialogs.openRequests.empty());
}

TEST_F(WindowTest, StartUpWithATextFileShowsTheNoticeAndKeepsTheDefaultLayout) {
  const QString path = writeFile("notes.txt", {'h', 'i'});
  start(path);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, "NOTICE");
  EXPECT_EQ(dialogs.messages[0].text, "File Type Not Supported");
  EXPECT_EQ(state->lastSlot, 9);
  EXPECT_EQ(state->slots[0].cgNumber, 0);
  EXPECT_TRUE(gridIsBlank(*form->CGgrid, 9));
  EXPECT_TRUE(form->Edit1->text().isEmpty());
  EXPECT_TRUE(form->ProgressBar1->isHidden());
}

TEST_F(WindowTest, StartUpRunsOnceWhenTheWindowFirstShows) {
  const QString path = writeSample("flex.shx");
  form = std::make_unique<tavufe::TMainForm>(*state, dialogs, path);
  form->setPauseMilliseconds(0);
  EXPECT_FALSE(form->hasActivated());
  form->show();
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->hasActivated());
  EXPECT_EQ(form->Edit1->text(), path);
  form->hide();
  form->show();
  QCoreApplication::processEvents();
  form->FormActivate();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(gridCell(*form->CGgrid, 2, 1), "Flex");
}

// --- Open command ---------------------------------------------------------------------------

TEST_F(WindowTest, OpenFromDialogShowsReportGridsAndFolders) {
  start();
  const QString path = writeSample("flex.sbf");
  openFromDialog(path);
  ASSERT_TRUE(dialogs.messages.empty()) << messagesText().join("; ").toStdString();

  const auto groups = sample::codeGroups({});
  const auto& rdl = groupOf(groups, 0);
  const auto& flex = groupOf(groups, 2);
  EXPECT_EQ(
      rowText(*form->CGgrid, 1, 9),
      QStringList({"RDL", "RAMDLD", "03FC8000", "03FCFFFF", headerInfo(rdl.data), grouped("32,768"),
                   hex4(fixture::sum16(rdl.data)), hex4(fixture::sum16(rdl.data)), "0000"}));
  EXPECT_EQ(
      rowText(*form->CGgrid, 2, 9),
      QStringList({"2", "Flex", "11280000", "112BFFFF", headerInfo(flex.data), grouped("262,144"),
                   hex4(fixture::sum16(flex.data)), hex4(fixture::sum16(flex.data)), "0008"}));
  EXPECT_TRUE(rowText(*form->CGgrid, 3, 5).join("").isEmpty());

  const QStringList report = form->Memo1->toPlainText().split('\n');
  const QString size = thousands(sample::makeSbf({}).size());
  // The text at 448 as the sample's header holds it, up to its first zero byte.
  const fixture::Bytes header = sample::headerFor(groups).bytes();
  const QString generator = QString::fromLatin1(reinterpret_cast<const char*>(&header.at(448)));
  EXPECT_EQ(report,
            QStringList({"HEADER INFO: P2K Superfile", generator,
                         "Date: Mon December 07 10:00:00 2026", "File: " + size + " Bytes",
                         "Platform: GSM Neptune LTE", "Firmware: R52_G_0E.41.9AR",
                         "Flex: R52_G_0E.41.9AR_FLEX_SAMPLE", "RDL: 0A1B", "Language: 0312"}));
  EXPECT_EQ(form->Memo1->textCursor().position(), 0);

  EXPECT_EQ(form->Edit1->text(), path);
  EXPECT_EQ(folderColumn(*form->SGrid), kListedFolders);
  EXPECT_EQ(rowText(*form->SGrid, 1, 3), QStringList({"1", "audio", "00001000"}));
  EXPECT_EQ(rowText(*form->SGrid, 3, 3), QStringList({"3", "skins", "00001400"}));
  EXPECT_EQ(rowText(*form->SGrid, 4, 3), QStringList({"4", "themes", "00001A00"}));

  EXPECT_TRUE(form->saveAction->isEnabled());
  EXPECT_TRUE(form->SGrid->isEnabled());
  EXPECT_FALSE(form->Button1->isEnabled());
  EXPECT_FALSE(form->CGgrid->isEnabled());
  EXPECT_TRUE(form->ProgressBar1->isHidden());
  EXPECT_EQ(gridRow(*form->CGgrid), -1);
  EXPECT_EQ(gridRow(*form->SGrid), -1);
}

TEST_F(WindowTest, OpenDialogStartsAtTheFileOpenedLast) {
  start();
  const QString path = writeSample("flex.shx");
  openFromDialog(path);
  form->FileOpen();  // cancelled
  ASSERT_EQ(dialogs.openRequests.size(), 2u);
  EXPECT_EQ(dialogs.openRequests[0].fileName, "");
  EXPECT_EQ(dialogs.openRequests[1].fileName, path);
  EXPECT_EQ(dialogs.openRequests[1].folder, q(dir.path()) + "/");
}

TEST_F(WindowTest, CancelledOpenChangesNothing) {
  start();
  const QString path = writeSample("flex.sbf");
  openFromDialog(path);
  const QString memo = form->Memo1->toPlainText();
  const std::string currentPath = state->currentPath;
  form->FileOpen();
  EXPECT_EQ(dialogs.openRequests.size(), 2u);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(form->Memo1->toPlainText(), memo);
  EXPECT_EQ(state->currentPath, currentPath);
  EXPECT_EQ(folderColumn(*form->SGrid), kListedFolders);
  EXPECT_EQ(gridCell(*form->CGgrid, 2, 1), "Flex");
}

TEST_F(WindowTest, UnsupportedExtensionsAreRefusedAndThePreviousFileStays) {
  start();
  const QString good = writeSample("flex.sbf");
  openFromDialog(good);
  const QString memo = form->Memo1->toPlainText();
  for (const char* name : {"FLEX.SHX", "flex"}) {
    SCOPED_TRACE(name);
    dialogs.messages.clear();
    const QString refused = writeSample(name);
    openFromDialog(refused);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "NOTICE");
    EXPECT_EQ(dialogs.messages[0].text, "File Type Not Supported");
    EXPECT_EQ(state->currentPath, refused.toStdString());
    EXPECT_EQ(form->Edit1->text(), good);
    EXPECT_EQ(form->Memo1->toPlainText(), memo);
    EXPECT_EQ(gridCell(*form->CGgrid, 1, 0), "RDL");
    EXPECT_EQ(gridCell(*form->CGgrid, 2, 1), "Flex");
    EXPECT_EQ(state->lastSlot, 1);
    EXPECT_TRUE(form->saveAction->isEnabled());
    // The folder steps still ran, over the image the earlier file left.
    EXPECT_EQ(folderColumn(*form->SGrid), kListedFolders);
  }
}

TEST_F(WindowTest, SuperfileWithoutFlexLoadsButCannotBeSaved) {
  start();
  auto groups = sample::codeGroups({});
  std::erase_if(groups, [](const sample::CodeGroup& g) { return g.cgNumber == 2; });
  openFromDialog(writeFile("noflex.sbf", sbfOf(groups)));
  EXPECT_TRUE(dialogs.messages.empty()) << messagesText().join("; ").toStdString();
  EXPECT_EQ(state->lastSlot, 0);
  EXPECT_EQ(rowText(*form->CGgrid, 1, 2), QStringList({"RDL", "RAMDLD"}));
  EXPECT_TRUE(gridCell(*form->CGgrid, 2, 0).isEmpty());
  EXPECT_FALSE(form->saveAction->isEnabled());
  EXPECT_FALSE(form->SaveButton->isEnabled());
  EXPECT_FALSE(form->SGrid->isEnabled());
  EXPECT_EQ(form->Memo1->toPlainText().split('\n').value(6), "Flex: Not Found");
}

TEST_F(WindowTest, FailedReadWarnsEmptiesTheSlotsAndKeepsTheSaveState) {
  start();
  openFromDialog(writeSample("good.sbf"));
  ASSERT_TRUE(form->saveAction->isEnabled());

  fixture::Bytes bad = sample::makeSbf({});
  bad.at(8172) = 0x07;  // the first record's start marker
  const QString badPath = writeFile("bad.sbf", bad);
  openFromDialog(badPath);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, "WARNING");
  EXPECT_EQ(dialogs.messages[0].text, "Record Error");
  EXPECT_TRUE(form->ProgressBar1->isHidden());
  EXPECT_EQ(form->Edit1->text(), badPath);
  EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
  // Only the shown columns are cleared; the hidden ones keep the earlier file's cells.
  EXPECT_TRUE(gridIsBlank(*form->CGgrid, 5));
  EXPECT_EQ(rowText(*form->CGgrid, 0, 9), kCgTitles);
  for (int i = 0; i <= 20; ++i) EXPECT_EQ(state->slots[std::size_t(i)].cgNumber, -1) << i;
  EXPECT_TRUE(form->saveAction->isEnabled());
  // The image was refilled before the read: no folders are left to list.
  EXPECT_EQ(form->SGrid->rowCount(), 1);
  EXPECT_TRUE(gridCell(*form->SGrid, 1, 1).isEmpty());
}

TEST_F(WindowTest, EveryOpenThatPassesTheExtensionCheckEmptiesTheReport) {
  start();
  openFromDialog(writeSample("good.shx"));
  ASSERT_FALSE(form->Memo1->toPlainText().isEmpty());
  openFromDialog(writeFile("empty.shx", {}));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, "WARNING");
  EXPECT_EQ(dialogs.messages[0].text, "File Not Opened");
  EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
}

TEST_F(WindowTest, OpenWithoutAnImageWarnsBufferError) {
  state->image.release();
  start();
  openFromDialog(writeSample("flex.sbf"));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, "WARNING");
  EXPECT_EQ(dialogs.messages[0].text, "Buffer Error");
  EXPECT_TRUE(form->ProgressBar1->isHidden());
  EXPECT_TRUE(form->Edit1->text().isEmpty());
  EXPECT_FALSE(form->saveAction->isEnabled());
  EXPECT_TRUE(gridIsBlank(*form->CGgrid, 9));
}

TEST_F(WindowTest, ShxAndSbfOfTheSameContentShowTheSameGrids) {
  start();
  openFromDialog(writeSample("flex.sbf"));
  const QStringList sbfRows = rowText(*form->CGgrid, 1, 9) + rowText(*form->CGgrid, 2, 9);
  openFromDialog(writeSample("flex.shx"));
  ASSERT_TRUE(dialogs.messages.empty()) << messagesText().join("; ").toStdString();
  EXPECT_EQ(rowText(*form->CGgrid, 1, 9) + rowText(*form->CGgrid, 2, 9), sbfRows);
  EXPECT_EQ(folderColumn(*form->SGrid), kListedFolders);
}

// --- Folder list and "Delete Skin Folder" ----------------------------------------------------

TEST_F(WindowTest, SelectingAFolderRowEnablesDeleteAndDeleteErasesTheRecord) {
  start();
  openFromDialog(writeSample("flex.sbf"));
  const std::int32_t flexStart = state->bounds.flexStart;
  ASSERT_EQ(flexStart, 0x1280000);

  form->SGrid->setCurrentCell(2, 0);  // grid row 3: "skins" at 0x1400
  EXPECT_EQ(gridRow(*form->SGrid), 3);
  EXPECT_TRUE(form->Button1->isEnabled());
  form->Button1Click();

  QStringList expected = kListedFolders;
  expected.removeAt(2);
  EXPECT_EQ(folderColumn(*form->SGrid), expected);
  EXPECT_EQ(rowText(*form->SGrid, 3, 3), QStringList({"3", "themes", "00001A00"}));
  const std::uint8_t* image = state->image.data();
  const std::int32_t record = flexStart + 0x1400;
  for (std::int32_t k = -4; k < 164; ++k) ASSERT_EQ(image[record + k], 0xFF) << k;
  for (std::int32_t k = -261; k <= -257; ++k) ASSERT_EQ(image[record + k], 0xFF) << k;
  // The row under the cursor now shows "themes": the button stays usable.
  EXPECT_TRUE(form->Button1->isEnabled());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(WindowTest, DeletingTheOnlyFolderLeavesOneEmptyRowAndDisablesDelete) {
  start();
  openFromDialog(writeFile("one.sbf", sbfOf(groupsWithOneFolder())));
  ASSERT_EQ(folderColumn(*form->SGrid), QStringList({"audio"}));
  form->SGrid->setCurrentCell(0, 0);
  ASSERT_TRUE(form->Button1->isEnabled());
  form->Button1Click();
  EXPECT_EQ(form->SGrid->rowCount() + 1, 2);
  EXPECT_EQ(rowText(*form->SGrid, 1, 3), QStringList({"", "", ""}));
  EXPECT_EQ(rowText(*form->SGrid, 0, 3), QStringList({"#", "Skin Folder", "CG2 Location"}));
  EXPECT_FALSE(form->Button1->isEnabled());
  // A second click finds no record there and changes nothing.
  form->Button1Click();
  EXPECT_EQ(form->SGrid->rowCount(), 1);
}

TEST_F(WindowTest, DeleteDoesNothingWithoutASelectedRecord) {
  start();
  openFromDialog(writeSample("flex.sbf"));
  std::vector<std::uint8_t> before(state->image.data() + 0x1280000,
                                   state->image.data() + 0x12C0000);
  form->Button1Click();
  EXPECT_TRUE(std::equal(before.begin(), before.end(), state->image.data() + 0x1280000));
  EXPECT_EQ(folderColumn(*form->SGrid), kListedFolders);
}

// --- Cut and undo ---------------------------------------------------------------------------

TEST_F(WindowTest, CutAndUndoRewriteTheCodeGroupGrid) {
  start();
  openFromDialog(writeSample("flex.sbf"));
  form->CGgrid->setCurrentCell(0, 0);
  form->CutButtonClick();
  EXPECT_EQ(rowText(*form->CGgrid, 1, 2), QStringList({"2", "Flex"}));
  EXPECT_TRUE(gridCell(*form->CGgrid, 2, 0).isEmpty());
  EXPECT_TRUE(form->undoAction->isEnabled());
  EXPECT_TRUE(form->cutAction->isEnabled());  // row 1 now holds the Flex
  // A rewrite of the code-group grid empties the folder list.
  EXPECT_TRUE(gridIsBlank(*form->SGrid, 3));

  form->CutButtonClick();
  EXPECT_EQ(state->lastSlot, -1);
  EXPECT_TRUE(gridIsBlank(*form->CGgrid, 5));
  EXPECT_FALSE(form->cutAction->isEnabled());
  form->CutButtonClick();  // nothing left to cut
  EXPECT_EQ(state->undo.undoCount, 2);

  form->UndoButtonClick();
  EXPECT_EQ(rowText(*form->CGgrid, 1, 2), QStringList({"2", "Flex"}));
  EXPECT_TRUE(form->undoAction->isEnabled());
  form->UndoButtonClick();
  EXPECT_EQ(rowText(*form->CGgrid, 1, 2), QStringList({"RDL", "RAMDLD"}));
  EXPECT_EQ(rowText(*form->CGgrid, 2, 2), QStringList({"2", "Flex"}));
  EXPECT_FALSE(form->undoAction->isEnabled());
}

TEST_F(WindowTest, OpenResetsTheUndoCommands) {
  start();
  const QString path = writeSample("flex.sbf");
  openFromDialog(path);
  form->CGgrid->setCurrentCell(1, 0);
  form->CutButtonClick();
  ASSERT_TRUE(form->undoAction->isEnabled());
  openFromDialog(path);
  EXPECT_FALSE(form->undoAction->isEnabled());
  EXPECT_FALSE(form->cutAction->isEnabled());
  EXPECT_EQ(state->undo.undoCount, 0);
  form->UndoButtonClick();
  EXPECT_EQ(state->lastSlot, 1);
}

// --- Drop, pause, exit, about ---------------------------------------------------------------

TEST_F(WindowTest, DroppedSuperfileOpensWithTheFolderSteps) {
  start();
  const QString path = writeSample("dropped.shx");
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(path)});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form.get(), &drop);
  QCoreApplication::processEvents();
  EXPECT_TRUE(dialogs.messages.empty()) << messagesText().join("; ").toStdString();
  EXPECT_EQ(form->Edit1->text(), path);
  EXPECT_EQ(folderColumn(*form->SGrid), kListedFolders);
  EXPECT_TRUE(dialogs.openRequests.empty());
}

TEST_F(WindowTest, DropOfSeveralFilesIsRefused) {
  start();
  QMimeData mime;
  mime.setUrls(
      {QUrl::fromLocalFile(writeSample("a.sbf")), QUrl::fromLocalFile(writeSample("b.sbf"))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  enter.ignore();
  QCoreApplication::sendEvent(form.get(), &enter);
  EXPECT_FALSE(enter.isAccepted());
}

TEST_F(WindowTest, PauseKeepsTheFullBarUpAndCommandsOff) {
  start();
  form->setPauseMilliseconds(60);
  bool sampled = false;
  bool barShown = false;
  bool barFull = false;
  bool openEnabled = true;
  QTimer::singleShot(20, [&] {
    sampled = true;
    barShown = !form->ProgressBar1->isHidden();
    barFull = form->ProgressBar1->value() == form->ProgressBar1->maximum();
    openEnabled = form->openAction->isEnabled();
    form->FileOpen();  // refused while the pause runs
  });
  openFromDialog(writeSample("flex.sbf"));
  ASSERT_TRUE(sampled);
  EXPECT_TRUE(barShown);
  EXPECT_TRUE(barFull);
  EXPECT_FALSE(openEnabled);
  EXPECT_EQ(dialogs.openRequests.size(), 1u);
  EXPECT_TRUE(form->ProgressBar1->isHidden());
  EXPECT_TRUE(form->openAction->isEnabled());
  EXPECT_TRUE(form->saveAction->isEnabled());
}

TEST_F(WindowTest, ExitClosesTheWindowAndReleasesTheImage) {
  start();
  form->show();
  form->FileExit();
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(state->image.exists());
}

TEST_F(WindowTest, AboutBoxShowsTheVersionEveryTime) {
  start();
  EXPECT_EQ(form->AboutBox->windowTitle(), "About");
  EXPECT_EQ(form->AboutBox->ProductName->text(), "Tavu Flex Editor ");
  const QStringList lines = form->AboutBox->Memo1->toPlainText().split('\n');
  EXPECT_EQ(lines.mid(0, 3),
            QStringList({"Delete skin files (.dat & .ski) from the Tavu using a P2K utility ",
                         "then make a flex backup. Load flex in this program to delete ",
                         "the remaining skin folder. Flash modded flex to the Tavu."}));
  EXPECT_EQ(lines.value(3), "");
  EXPECT_EQ(form->AboutBox->OKButton->text(), "OK");
  EXPECT_TRUE(form->AboutBox->OKButton->isDefault());

  for (int round = 0; round < 2; ++round) {
    QString shownVersion;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
      shownVersion = form->AboutBox->Version->text();
      wasModal = form->AboutBox->isModal() && form->AboutBox->isVisible();
      form->AboutBox->OKButton->click();
    });
    form->AboutBox->Version->setText("x");
    form->About1Click();
    EXPECT_EQ(shownVersion, "1.00");
    EXPECT_TRUE(wasModal);
  }
  EXPECT_TRUE(dialogs.messages.empty());
}
