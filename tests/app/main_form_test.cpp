// The window through its real handlers: start-up and the open command in each of their states,
// the folder list with "Delete Skin Folder", cut and undo, a drop, the save command with its
// four file types and notices, the pause after a command and the about box.

#include <QCoreApplication>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "app/about_box.h"
#include "app_test_support.h"

using namespace apptest;
using tavufe::gridCell;
using tavufe::SaveType;

constexpr std::size_t kHeaderSize = 8172;

namespace {

// The state table's "File loaded with Flex", whichever way the file came in.
void expectLoadedWithFlex(const tavufe::TMainForm& form) {
  EXPECT_EQ(rowText(*form.CGgrid, 1, 2), QStringList({"RDL", "RAMDLD"}));
  EXPECT_EQ(rowText(*form.CGgrid, 2, 2), QStringList({"2", "Flex"}));
  EXPECT_TRUE(gridCell(*form.CGgrid, 3, 0).isEmpty());
  EXPECT_EQ(enabledControls(form), QStringList({"saveAction", "SaveButton", "SGrid"}));
  EXPECT_TRUE(form.ProgressBar1->isHidden());
}

}  // namespace

// Started without a file, or with one of another type: titles only, the device profile's
// default layout (slots 0 to 9), and every command that needs a file off.
TEST_F(WindowTest, StartedWindowShowsTitlesOnlyWithItsCommandsOff) {
  for (const QString& file : {QString(), writeFile("notes.txt", {'h', 'i'})}) {
    SCOPED_TRACE(file.toStdString());
    dialogs.messages.clear();
    start(file);
    EXPECT_EQ(dialogs.messages,
              file.isEmpty() ? QStringList() : QStringList({"NOTICE: File Type Not Supported"}));
    EXPECT_EQ(rowText(*form->CGgrid, 0, 9),
              QStringList({"CG", "Name", "Start Addr", "End Addr", "CG Header Info", "Size",
                           "Ckbuf", "Ckhdr", "Code"}));
    EXPECT_EQ(rowText(*form->SGrid, 0, 3), QStringList({"#", "Skin Folder", "CG2 Location"}));
    EXPECT_TRUE(gridIsBlank(*form->CGgrid, 9));
    EXPECT_TRUE(gridIsBlank(*form->SGrid, 3));
    EXPECT_EQ(enabledControls(*form), QStringList());
    EXPECT_TRUE(form->ProgressBar1->isHidden());
    EXPECT_TRUE(form->Edit1->text().isEmpty());
    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
    EXPECT_EQ(state->lastSlot, 9);
    EXPECT_EQ(state->slots[2].description, "Flex");
  }
}

TEST_F(WindowTest, StartUpOpensTheFileNamedOnTheCommandLineWithoutFolderSteps) {
  const QString path = writeSample("flex.sbf");
  form = std::make_unique<tavufe::TMainForm>(*state, dialogs, path);
  form->setPauseMilliseconds(0);
  form->show();  // start-up runs once the window first shows
  QCoreApplication::processEvents();
  EXPECT_EQ(dialogs.messages, QStringList());
  EXPECT_EQ(form->Edit1->text(), path);
  expectLoadedWithFlex(*form);
  // The folder list waits for an open from the dialog.
  EXPECT_TRUE(gridIsBlank(*form->SGrid, 3));
  EXPECT_TRUE(dialogs.openRequests.isEmpty());
  // Start-up runs only once: a second activation leaves the cut RAMDLD out.
  form->CGgrid->setCurrentCell(0, 0);
  form->CutButtonClick();
  form->FormActivate();
  EXPECT_EQ(rowText(*form->CGgrid, 1, 2), QStringList({"2", "Flex"}));
  form->hide();
}

TEST_F(WindowTest, OpenFromTheDialogShowsTheReportTheGridsAndTheFolders) {
  start();
  const auto groups = sample::codeGroups({});
  const QString rdlSum = hex4(fixture::sum16(groups[0].data));
  const QString flexSum = hex4(fixture::sum16(groups[2].data));
  const std::vector<std::pair<std::string, fixture::Bytes>> files = {
      {"flex.sbf", sample::makeSbf({})}, {"flex.shx", sample::makeShx({})}};
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    const QString path = writeFile(name, bytes);
    openFromDialog(path);
    EXPECT_EQ(dialogs.messages, QStringList());
    EXPECT_EQ(
        form->Memo1->toPlainText().split('\n'),
        QStringList({"HEADER INFO: P2K Superfile", "Sample superfile, Tavu Flex Editor test data",
                     "Date: Mon December 07 10:00:00 2026",
                     "File: " + thousands(bytes.size()) + " Bytes", "Platform: GSM Neptune LTE",
                     "Firmware: R52_G_0E.41.9AR", "Flex: R52_G_0E.41.9AR_FLEX_SAMPLE", "RDL: 0A1B",
                     "Language: 0312"}));
    EXPECT_EQ(form->Edit1->text(), path);
    EXPECT_EQ(rowText(*form->CGgrid, 1, 9),
              QStringList({"RDL", "RAMDLD", "03FC8000", "03FCFFFF", headerInfo(groups[0].data),
                           thousands(32768), rdlSum, rdlSum, "0000"}));
    EXPECT_EQ(rowText(*form->CGgrid, 2, 9),
              QStringList({"2", "Flex", "11280000", "112BFFFF", headerInfo(groups[2].data),
                           thousands(262144), flexSum, flexSum, "0008"}));
    expectLoadedWithFlex(*form);
    EXPECT_EQ(folderColumn(*form->SGrid), kListedFolders);
    EXPECT_EQ(rowText(*form->SGrid, 4, 3), QStringList({"4", "themes", "00001A00"}));
  }

  // A cancelled open changes nothing; the dialog starts at the file opened last.
  const QString memo = form->Memo1->toPlainText();
  form->FileOpen();
  EXPECT_EQ(dialogs.openRequests.last(), q(dir.path()) + "/|" + q(dir.file("flex.shx")));
  EXPECT_EQ(dialogs.messages, QStringList());
  EXPECT_EQ(form->Memo1->toPlainText(), memo);
  EXPECT_EQ(folderColumn(*form->SGrid), kListedFolders);
  expectLoadedWithFlex(*form);
}

TEST_F(WindowTest, UnsupportedFileIsRefusedAndThePreviousFileStays) {
  startWithSample();
  const QString memo = form->Memo1->toPlainText();
  for (const char* name : {"FLEX.SHX", "flex"}) {
    SCOPED_TRACE(name);
    dialogs.messages.clear();
    const QString refused = writeSample(name);
    openFromDialog(refused);
    EXPECT_EQ(dialogs.messages, QStringList({"NOTICE: File Type Not Supported"}));
    EXPECT_EQ(form->Edit1->text(), q(dir.file("flex.sbf")));
    EXPECT_EQ(form->Memo1->toPlainText(), memo);
    EXPECT_EQ(state->lastSlot, 1);
    expectLoadedWithFlex(*form);
    // The folder steps still ran, over the image the earlier file left.
    EXPECT_EQ(folderColumn(*form->SGrid), kListedFolders);
  }
}

TEST_F(WindowTest, SuperfileWithoutFlexLoadsButCannotBeSaved) {
  start();
  auto groups = sample::codeGroups({});
  groups.erase(groups.begin() + 2);
  openFromDialog(writeFile("noflex.sbf", sbfOf(groups)));
  EXPECT_EQ(dialogs.messages, QStringList());
  EXPECT_EQ(state->lastSlot, 0);
  EXPECT_EQ(rowText(*form->CGgrid, 1, 2), QStringList({"RDL", "RAMDLD"}));
  EXPECT_TRUE(gridCell(*form->CGgrid, 2, 0).isEmpty());
  EXPECT_EQ(enabledControls(*form), QStringList());
  EXPECT_EQ(form->Memo1->toPlainText().split('\n').value(6), "Flex: Not Found");
}

// Every open that passes the extension check empties the report; a failed read empties the
// slots and the shown grid columns and leaves saving as it was.
TEST_F(WindowTest, FailedReadWarnsEmptiesTheSlotsAndKeepsTheSaveState) {
  start();
  fixture::Bytes badStart = sample::makeSbf({});
  badStart.at(kHeaderSize) = 0x07;  // the first record's start marker
  const std::vector<std::tuple<std::string, fixture::Bytes, QString>> cases = {
      {"bad.sbf", badStart, "WARNING: Record Error"},
      {"empty.shx", {}, "WARNING: File Not Opened"}};
  for (const auto& [name, bytes, warning] : cases) {
    SCOPED_TRACE(name);
    openFromDialog(writeSample("good.sbf"));
    ASSERT_TRUE(form->saveAction->isEnabled());
    dialogs.messages.clear();
    const QString path = writeFile(name, bytes);
    openFromDialog(path);
    EXPECT_EQ(dialogs.messages, QStringList({warning}));
    EXPECT_TRUE(form->ProgressBar1->isHidden());
    EXPECT_EQ(form->Edit1->text(), path);
    EXPECT_TRUE(form->Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(gridIsBlank(*form->CGgrid, 5));
    for (int i = 0; i <= 20; ++i) EXPECT_EQ(state->slots[std::size_t(i)].cgNumber, -1) << i;
    EXPECT_EQ(enabledControls(*form), QStringList({"saveAction", "SaveButton", "SGrid"}));
    // The image was refilled before the read: no folders are left to list.
    EXPECT_EQ(folderColumn(*form->SGrid), QStringList({""}));
  }
}

TEST_F(WindowTest, OpenWithoutAnImageWarnsBufferError) {
  state->image.release();
  start();
  openFromDialog(writeSample("flex.sbf"));
  EXPECT_EQ(dialogs.messages, QStringList({"WARNING: Buffer Error"}));
  EXPECT_TRUE(form->ProgressBar1->isHidden());
  EXPECT_TRUE(form->Edit1->text().isEmpty());
  EXPECT_EQ(enabledControls(*form), QStringList());
}

TEST_F(WindowTest, DeleteSkinFolderErasesTheSelectedRecordAndRelists) {
  startWithSample();
  const std::uint8_t* flex = state->image.read(0x1280000, 0x40000).data();
  form->Button1Click();  // no row selected: nothing to erase
  EXPECT_EQ(fixture::Bytes(flex, flex + 0x40000), erasedFlex({0x1600, 0x1800}));

  form->SGrid->setCurrentCell(2, 0);  // grid row 3: "skins" at 0x1400
  EXPECT_TRUE(form->Button1->isEnabled());
  form->Button1Click();
  QStringList expected = kListedFolders;
  expected.removeAt(2);
  EXPECT_EQ(folderColumn(*form->SGrid), expected);
  EXPECT_EQ(rowText(*form->SGrid, 3, 3), QStringList({"3", "themes", "00001A00"}));
  EXPECT_EQ(fixture::Bytes(flex, flex + 0x40000), erasedFlex({0x1400, 0x1600, 0x1800}));
  // The row under the cursor now shows "themes": the button stays usable.
  EXPECT_TRUE(form->Button1->isEnabled());
  EXPECT_EQ(dialogs.messages, QStringList());
}

TEST_F(WindowTest, CutAndUndoRewriteTheCodeGroupGridUntilTheNextOpen) {
  startWithSample();
  form->CGgrid->setCurrentCell(0, 0);
  form->CutButtonClick();
  EXPECT_EQ(rowText(*form->CGgrid, 1, 2), QStringList({"2", "Flex"}));
  EXPECT_TRUE(gridCell(*form->CGgrid, 2, 0).isEmpty());
  // Row 1 now holds the Flex; a rewrite of the code-group grid empties the folder list.
  EXPECT_EQ(enabledControls(*form),
            QStringList({"saveAction", "SaveButton", "SGrid", "cutAction", "undoAction"}));
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

  // An open forgets what was cut.
  form->CGgrid->setCurrentCell(1, 0);
  form->CutButtonClick();
  openFromDialog(q(dir.file("flex.sbf")));
  EXPECT_EQ(enabledControls(*form), QStringList({"saveAction", "SaveButton", "SGrid"}));
  form->UndoButtonClick();
  EXPECT_EQ(state->lastSlot, 1);
}

TEST_F(WindowTest, OneDroppedSuperfileOpensWithTheFolderSteps) {
  start();
  const QUrl url = QUrl::fromLocalFile(writeSample("dropped.shx"));
  QMimeData two, one;
  two.setUrls({url, url});
  one.setUrls({url});
  for (QMimeData* mime : {&two, &one}) {
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QCoreApplication::sendEvent(form.get(), &enter);
    EXPECT_EQ(enter.isAccepted(), mime == &one);
  }
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &one, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form.get(), &drop);
  QCoreApplication::processEvents();
  EXPECT_EQ(form->Edit1->text(), url.toLocalFile());
  EXPECT_EQ(folderColumn(*form->SGrid), kListedFolders);
}

TEST_F(WindowTest, ExportsHoldTheFlexAloneWithTheRepeatsAndTheDeletedFolderErased) {
  startWithSample();
  const std::string smg = dir.file("out.smg");
  const std::string bin = dir.file("out.bin");
  save(q(smg), SaveType::Smg);
  save(q(bin), SaveType::Bin);
  EXPECT_EQ(fixture::readFile(smg), erasedFlex({0x1600, 0x1800}));
  EXPECT_EQ(fixture::readFile(bin), erasedFlex({0x1600, 0x1800}));

  form->SGrid->setCurrentCell(0, 0);  // "audio" at 0x1000
  form->Button1Click();
  save(q(smg), SaveType::Smg);
  EXPECT_EQ(fixture::readFile(smg), erasedFlex({0x1000, 0x1600, 0x1800}));
  EXPECT_EQ(dialogs.messages, QStringList());
  EXPECT_TRUE(form->ProgressBar1->isHidden());

  // The dialog starts at the last choice; a cancelled save writes nothing.
  form->SaveButtonClick();
  const QString folder = q(dir.path()) + "/|";
  EXPECT_EQ(dialogs.saveRequests, QStringList({"||.shx", folder + "out.smg|.smg",
                                               folder + "out.bin|.bin", folder + "out.smg|.smg"}));
  const auto files = std::filesystem::directory_iterator(dir.path());
  EXPECT_EQ(std::distance(std::filesystem::begin(files), std::filesystem::end(files)), 3);
}

// The type chosen in the dialog decides the format, not the typed name; the file reads back as
// the edited one under a header of the editor's own.
TEST_F(WindowTest, SuperfilesFollowTheChosenTypeAndReadBack) {
  startWithSample();
  const QStringList rdlRange = rowText(*form->CGgrid, 1, 4);
  const QString flexSum = hex4(fixture::sum16(erasedFlex({0x1600, 0x1800})));
  const std::vector<std::tuple<SaveType, std::string, std::string, std::string>> cases = {
      {SaveType::Shx, "out.shx", "S006", "out.shx"},
      {SaveType::Sbf, "x.shx", std::string("\x02\0\0\0\0\0\x03\x02\x01", 9), "x.sbf"}};
  for (const auto& [type, name, start, reopenAs] : cases) {
    SCOPED_TRACE(name);
    save(q(dir.file(name)), type);
    ASSERT_EQ(dialogs.messages, QStringList());
    const fixture::Bytes bytes = fixture::readFile(dir.file(name));
    ASSERT_GT(bytes.size(), kHeaderSize);
    EXPECT_EQ(std::string(bytes.begin() + kHeaderSize, bytes.end()).substr(0, start.size()), start);

    openFromDialog(writeFile(reopenAs, bytes));
    ASSERT_EQ(dialogs.messages, QStringList());
    const QStringList report = form->Memo1->toPlainText().split('\n');
    EXPECT_EQ(report.value(1), "CSF Protected Superfile Generated by TavuFE 1.00");
    EXPECT_EQ(report.value(6), "Flex: R52_G_0E.41.9AR_FLEX_SAMPLE");
    EXPECT_EQ(rowText(*form->CGgrid, 1, 4), rdlRange);
    EXPECT_EQ(rowText(*form->CGgrid, 2, 2), QStringList({"2", "Flex"}));
    // The Flex and the header's checksum word are those of the saved bytes.
    EXPECT_EQ(gridCell(*form->CGgrid, 2, 6), flexSum);
    EXPECT_EQ(gridCell(*form->CGgrid, 2, 7), flexSum);
    EXPECT_EQ(folderColumn(*form->SGrid), kListedFolders);
  }
}

// A save warns when its file cannot be made. It stops with a notice before its dialog when
// every code group was cut, and after a failed read, which empties the slots but leaves lastSlot
// at 1, so that two empty slots look alike.
TEST_F(WindowTest, SaveWarningsAndNotices) {
  startWithSample();
  save(q(dir.file("missing/out.shx")), SaveType::Shx);
  EXPECT_TRUE(form->ProgressBar1->isHidden());
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
  form->CGgrid->setCurrentCell(0, 0);
  form->CutButtonClick();
  form->CutButtonClick();
  form->SaveButtonClick();
  openFromDialog(q(dir.file("flex.sbf")));
  fixture::Bytes bad = sample::makeSbf({});
  bad.at(kHeaderSize) = 0x07;
  openFromDialog(writeFile("bad.sbf", bad));
  ASSERT_TRUE(form->saveAction->isEnabled());
  form->SaveButtonClick();
  EXPECT_EQ(dialogs.messages,
            QStringList({"WARNING: File Not Opened", "NOTICE: No File(s) Selected To Save",
                         "WARNING: Record Error", "NOTICE: Duplicate CG"}));
  EXPECT_EQ(dialogs.saveRequests.size(), 1);
}

TEST_F(WindowTest, PauseKeepsTheFullBarUpAndCommandsOff) {
  start();
  form->setPauseMilliseconds(60);
  bool sampled = false, barShownFull = false, openEnabled = true;
  QTimer::singleShot(20, [&] {
    sampled = true;
    barShownFull = !form->ProgressBar1->isHidden() &&
                   form->ProgressBar1->value() == form->ProgressBar1->maximum();
    openEnabled = form->openAction->isEnabled();
    form->FileOpen();  // refused while the pause runs
  });
  openFromDialog(writeSample("flex.sbf"));
  ASSERT_TRUE(sampled);
  EXPECT_TRUE(barShownFull);
  EXPECT_FALSE(openEnabled);
  EXPECT_EQ(dialogs.openRequests.size(), 1);
  EXPECT_TRUE(form->openAction->isEnabled());
  expectLoadedWithFlex(*form);
}

TEST_F(WindowTest, AboutBoxShowsItsHelpAndTheVersionEveryTime) {
  start();
  EXPECT_EQ(form->AboutBox->Memo1->toPlainText().split('\n').mid(0, 4),
            QStringList({"Delete skin files (.dat & .ski) from the Tavu using a P2K utility ",
                         "then make a flex backup. Load flex in this program to delete ",
                         "the remaining skin folder. Flash modded flex to the Tavu.", ""}));
  for (int round = 0; round < 2; ++round) {
    QString shownVersion;
    QTimer::singleShot(0, [&] {
      if (form->AboutBox->isModal() && form->AboutBox->isVisible()) {
        shownVersion = form->AboutBox->Version->text();
      }
      form->AboutBox->OKButton->click();
    });
    form->AboutBox->Version->setText("x");
    form->About1Click();
    EXPECT_EQ(shownVersion, "1.00");
  }
}
