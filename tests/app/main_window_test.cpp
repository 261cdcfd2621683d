// The window driven as a user drives it: its actions, buttons, keys and drops, with the core
// underneath and the modal boxes answered by a fake.

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/about_dialog.h"
#include "app_test_support.h"

using namespace apptest;
using tavufe::SaveType;
using tavufe::UnsavedChanges;

constexpr std::size_t kHeaderSize = 8172;

namespace {

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace

class OpenTest : public WindowTest {
 protected:
  // The state after an open that found the RAMDLD and the Flex.
  void expectLoadedWithFlex() {
    EXPECT_EQ(rowText(*codeGroupTable(), 0, 2), QStringList({"RDL", "RAMDLD"}));
    EXPECT_EQ(rowText(*codeGroupTable(), 1, 2), QStringList({"2", "Flex"}));
    EXPECT_EQ(codeGroupTable()->rowCount(), 2);
    EXPECT_EQ(enabledCommands(), QStringList({"saveAction", "folderTable"}));
    EXPECT_TRUE(find<QProgressBar>("progressBar")->isHidden());
    EXPECT_EQ(column(*folderTable(), 1), kListedFolders);
  }
};

// Started without a file: titles only, every command that needs a file off, the caption alone.
TEST_F(OpenTest, StartedWindowShowsTitlesOnlyWithItsCommandsOff) {
  start();
  EXPECT_EQ(dialogs.messages, QStringList());
  EXPECT_EQ(titles(*codeGroupTable()),
            QStringList({"CG", "Name", "Start Addr", "End Addr", "CG Header Info", "Size", "Ckbuf",
                         "Ckhdr", "Code"}));
  EXPECT_EQ(titles(*folderTable()), QStringList({"#", "Skin Folder", "CG2 Location"}));
  EXPECT_EQ(codeGroupTable()->rowCount(), 0);
  EXPECT_EQ(folderTable()->rowCount(), 0);
  EXPECT_EQ(enabledCommands(), QStringList());
  EXPECT_TRUE(action("openAction")->isEnabled());
  EXPECT_TRUE(pathEdit()->text().isEmpty());
  EXPECT_TRUE(reportView()->toPlainText().isEmpty());
  EXPECT_EQ(window->windowTitle(), "Tavu Flex Editor");
  EXPECT_FALSE(window->isWindowModified());
  EXPECT_EQ(state->lastSlot, 9);  // the device profile's default layout
  // The code-group table is read-only, not greyed out.
  EXPECT_TRUE(codeGroupTable()->isEnabled());
}

// A file named on the command line opens as one chosen in the dialog, folder list included.
TEST_F(OpenTest, CommandLineFileOpensLikeOneChosenInTheDialog) {
  const QString path = writeSample("flex.sbf");
  start(path);
  EXPECT_EQ(dialogs.messages, QStringList());
  EXPECT_TRUE(dialogs.openRequests.isEmpty());
  EXPECT_EQ(pathEdit()->path(), path);
  expectLoadedWithFlex();
  EXPECT_EQ(window->windowTitle(), "flex.sbf[*]");
  EXPECT_EQ(window->windowFilePath(), path);
  EXPECT_FALSE(window->isWindowModified());  // the erase of repeated names is not a change
  EXPECT_FALSE(action("undoAction")->isEnabled());
  // Start-up runs once: showing the window again opens nothing more.
  window->hide();
  window->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(dialogs.messages, QStringList());
}

TEST_F(OpenTest, OpenFromTheDialogShowsTheReportTheTablesAndTheFolders) {
  start();
  const auto groups = sample::codeGroups({});
  const QString rdlSum = hex4(fixture::sum16(groups[0].data));
  const QString flexSum = hex4(fixture::sum16(groups[2].data));
  const std::vector<std::pair<std::string, fixture::Bytes>> files = {
      {"flex.sbf", sample::makeSbf({})},
      {"flex.shx", sample::makeShx({})},
      {"UPPER.SBF", sample::makeSbf({})},
      {"Mixed.Shx", sample::makeShx({})}};
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    const QString path = writeFile(name, bytes);
    openFromDialog(path);
    EXPECT_EQ(dialogs.messages, QStringList());
    EXPECT_EQ(
        reportView()->toPlainText().split('\n'),
        QStringList({"HEADER INFO: P2K Superfile", "Sample superfile, Tavu Flex Editor test data",
                     "Date: Mon December 07 10:00:00 2026",
                     "File: " + thousands(bytes.size()) + " Bytes", "Platform: GSM Neptune LTE",
                     "Firmware: R52_G_0E.41.9AR", "Flex: R52_G_0E.41.9AR_FLEX_SAMPLE", "RDL: 0A1B",
                     "Language: 0312"}));
    EXPECT_EQ(pathEdit()->path(), path);
    EXPECT_EQ(pathEdit()->toolTip(), path);
    EXPECT_EQ(rowText(*codeGroupTable(), 0, 9),
              QStringList({"RDL", "RAMDLD", "03FC8000", "03FCFFFF", headerInfo(groups[0].data),
                           thousands(32768), rdlSum, rdlSum, "0000"}));
    EXPECT_EQ(rowText(*codeGroupTable(), 1, 9),
              QStringList({"2", "Flex", "11280000", "112BFFFF", headerInfo(groups[2].data),
                           thousands(262144), flexSum, flexSum, "0008"}));
    expectLoadedWithFlex();
    EXPECT_EQ(rowText(*folderTable(), 3, 3), QStringList({"4", "themes", "00001A00"}));
    EXPECT_EQ(window->windowTitle(), QString::fromStdString(name) + "[*]");
  }

  // A cancelled open changes nothing; the dialog starts at the file opened last.
  const QString report = reportView()->toPlainText();
  action("openAction")->trigger();
  EXPECT_EQ(dialogs.openRequests.last(), q(dir.path()) + "/|" + q(dir.file("Mixed.Shx")));
  EXPECT_EQ(dialogs.messages, QStringList());
  EXPECT_EQ(reportView()->toPlainText(), report);
  expectLoadedWithFlex();
}

// Any other name is refused before anything is touched, and the box says which file and why.
TEST_F(OpenTest, UnsupportedFileIsRefusedAndThePreviousFileStays) {
  startWithSample();
  const QString report = reportView()->toPlainText();
  for (const char* name : {"flex", "flex.txt", "flex.shx.bak", "flex.sb"}) {
    SCOPED_TRACE(name);
    dialogs.messages.clear();
    dialogs.details.clear();
    const QString refused = writeSample(name);
    openFromDialog(refused);
    EXPECT_EQ(dialogs.messages, QStringList({"NOTICE: File Type Not Supported"}));
    EXPECT_EQ(dialogs.details.value(0).split('\n'),
              QStringList({refused, "Superfiles end in .shx or .sbf."}));
    EXPECT_EQ(pathEdit()->path(), q(dir.file("flex.sbf")));
    EXPECT_EQ(reportView()->toPlainText(), report);
    EXPECT_EQ(window->windowFilePath(), q(dir.file("flex.sbf")));
    expectLoadedWithFlex();
  }
}

TEST_F(OpenTest, SuperfileWithoutFlexLoadsButCannotBeSaved) {
  start();
  auto groups = sample::codeGroups({});
  groups.erase(groups.begin() + 2);
  openFromDialog(writeFile("noflex.sbf", sbfOf(groups)));
  EXPECT_EQ(dialogs.messages, QStringList());
  EXPECT_EQ(codeGroupTable()->rowCount(), 1);
  EXPECT_EQ(rowText(*codeGroupTable(), 0, 2), QStringList({"RDL", "RAMDLD"}));
  EXPECT_EQ(enabledCommands(), QStringList());
  EXPECT_EQ(reportView()->toPlainText().split('\n').value(6), "Flex: Not Found");
  // Why the commands stay off.
  EXPECT_EQ(statusLine(), "No Flex Code Group");
}

// A failed open says why: the system's reason, or where the read stopped and what it found, with
// a pointer to File > Verify when there is more; the status bar keeps the line. The window is
// left untitled and empty, as at start-up, with File > Verify on for the file that failed; the
// checksum state says only what failed, the status line where and why.
TEST_F(OpenTest, FailedOpenSaysWhyAndLeavesTheWindowUntitled) {
  start();
  fixture::Bytes badStart = sample::makeSbf({});
  badStart.at(kHeaderSize) = 0x07;  // the first record's start marker
  const fixture::Bytes half(badStart.begin(), badStart.begin() + 12);
  const QString marker =
      "bad.sbf:00001FEC: record start marker: expected 02 00 00 00 00 00 03 02 01, found 07 00 "
      "00 00 00 00 03 02 01";
  const QString shorter =
      "half.sbf:00000000: file shorter than its header block: expected 8172 bytes, found 12 bytes";
  // The file, what the box says under the status text, and the status bar's line.
  const std::vector<std::tuple<std::string, fixture::Bytes, QString, QString, QString>> cases = {
      {"bad.sbf", badStart, "Record Error",
       marker + "\nFile > Verify lists every problem (10 in all).", marker},
      {"half.sbf", half, "Record Error", shorter, shorter},
      {"empty.shx", {}, "File Not Opened", "File is empty", "empty.shx: File is empty"},
      {"missing.sbf", {}, "File Not Opened", reason(ENOENT), "missing.sbf: " + reason(ENOENT)}};
  for (const auto& [name, bytes, status, box, line] : cases) {
    SCOPED_TRACE(name);
    openFromDialog(writeSample("good.sbf"));
    ASSERT_TRUE(action("saveAction")->isEnabled());
    dialogs.messages.clear();
    dialogs.details.clear();
    const QString path = name == "missing.sbf" ? q(dir.file(name)) : writeFile(name, bytes);
    openFromDialog(path);
    EXPECT_EQ(dialogs.messages, QStringList({"WARNING: " + status}));
    EXPECT_EQ(dialogs.details, QStringList({path + "\n" + box}));
    EXPECT_EQ(find<QLabel>("checksumLabel")->text(), status);
    EXPECT_EQ(statusLine(), status + ": " + line);
    EXPECT_TRUE(find<QProgressBar>("progressBar")->isHidden());
    EXPECT_EQ(pathEdit()->path(), QString());
    EXPECT_EQ(window->windowTitle(), "Tavu Flex Editor");
    EXPECT_TRUE(reportView()->toPlainText().isEmpty());
    EXPECT_EQ(codeGroupTable()->rowCount(), 0);
    EXPECT_EQ(folderTable()->rowCount(), 0);
    EXPECT_EQ(enabledCommands(), QStringList());
    EXPECT_TRUE(action("verifyAction")->isEnabled());
  }
}

TEST_F(OpenTest, OpenWithoutAnImageWarnsBufferError) {
  state->image.release();
  start();
  openFromDialog(writeSample("flex.sbf"));
  EXPECT_EQ(dialogs.messages, QStringList({"WARNING: Buffer Error"}));
  EXPECT_TRUE(find<QProgressBar>("progressBar")->isHidden());
  EXPECT_TRUE(pathEdit()->text().isEmpty());
  EXPECT_EQ(enabledCommands(), QStringList());
}

// One superfile is taken at drag-enter; two files or a file of another type are refused there,
// before any question about unsaved changes.
TEST_F(OpenTest, OneDroppedSuperfileOpens) {
  start();
  const QUrl url = QUrl::fromLocalFile(writeSample("dropped.shx"));
  QMimeData two, one, text;
  two.setUrls({url, url});
  one.setUrls({url});
  text.setUrls({QUrl::fromLocalFile(writeFile("notes.txt", {}))});
  for (QMimeData* mime : {&two, &text, &one}) {
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QCoreApplication::sendEvent(window.get(), &enter);
    EXPECT_EQ(enter.isAccepted(), mime == &one);
  }
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &one, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.get(), &drop);
  QCoreApplication::processEvents();
  EXPECT_EQ(pathEdit()->path(), url.toLocalFile());
  EXPECT_EQ(column(*folderTable(), 1), kListedFolders);
}

class DeleteTest : public WindowTest {};

// A delete erases the selected record, relists, and leaves nothing selected: further clicks,
// a double click or the Delete key cannot erase the neighbour that moved into its place.
TEST_F(DeleteTest, DeleteErasesTheSelectedRecordAndCannotCascade) {
  startWithSample();
  clickDelete();  // nothing selected: nothing to erase
  EXPECT_EQ(flexBytes(), erasedFlex({0x1600, 0x1800}));
  EXPECT_FALSE(deleteButton()->isEnabled());

  clickFolder(2);  // "skins" at 0x1400
  EXPECT_TRUE(deleteButton()->isEnabled());
  EXPECT_TRUE(action("deleteFolderAction")->isEnabled());
  clickDelete();
  QStringList expected = kListedFolders;
  expected.removeAt(2);
  EXPECT_EQ(column(*folderTable(), 1), expected);
  EXPECT_EQ(rowText(*folderTable(), 2, 3), QStringList({"3", "themes", "00001A00"}));
  EXPECT_EQ(flexBytes(), erasedFlex({0x1400, 0x1600, 0x1800}));
  EXPECT_TRUE(folderTable()->selectionModel()->selectedRows().isEmpty());
  EXPECT_FALSE(deleteButton()->isEnabled());
  EXPECT_FALSE(action("deleteFolderAction")->isEnabled());
  EXPECT_TRUE(recordPreview()->toPlainText().isEmpty());

  clickDelete();
  QTest::mouseDClick(deleteButton(), Qt::LeftButton);
  QTest::keyClick(folderTable(), Qt::Key_Delete);
  action("deleteFolderAction")->trigger();
  EXPECT_EQ(column(*folderTable(), 1), expected);
  EXPECT_EQ(flexBytes(), erasedFlex({0x1400, 0x1600, 0x1800}));

  // The last row: the selection does not move up onto the row before it.
  clickFolder(int(expected.size()) - 1);  // "video" at 0x2000
  clickDelete();
  expected.removeLast();
  EXPECT_EQ(column(*folderTable(), 1), expected);
  EXPECT_FALSE(deleteButton()->isEnabled());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(dialogs.messages, QStringList());
  EXPECT_TRUE(dialogs.openRequests.size() == 1 && dialogs.saveRequests.isEmpty());
}

TEST_F(DeleteTest, DeleteKeyAndEditMenuDeleteTheSelectedFolder) {
  startWithSample();
  clickFolder(0);  // "audio" at 0x1000
  QTest::keyClick(folderTable(), Qt::Key_Delete);
  EXPECT_EQ(flexBytes(), erasedFlex({0x1000, 0x1600, 0x1800}));
  clickFolder(0);  // "picture" at 0x1200
  auto* editMenu = find<QMenu>("editMenu");
  ASSERT_TRUE(editMenu->actions().contains(action("deleteFolderAction")));
  ASSERT_TRUE(editMenu->actions().contains(action("undoAction")));
  action("deleteFolderAction")->trigger();
  EXPECT_EQ(flexBytes(), erasedFlex({0x1000, 0x1200, 0x1600, 0x1800}));
  EXPECT_EQ(column(*folderTable(), 1).first(), "skins");
}

// Each delete since the open can be undone with Ctrl+Z and done again with redo; a save marks
// the point where the window is no longer modified.
TEST_F(DeleteTest, DeletesAreUndoneAndRedoneInOrder) {
  startWithSample();
  const fixture::Bytes opened = flexBytes();
  clickFolder(0);  // "audio" at 0x1000
  clickDelete();
  EXPECT_TRUE(window->isWindowModified());
  clickFolder(4);  // "a_very_long..." at 0x1E00, now row 5
  clickDelete();
  EXPECT_EQ(flexBytes(), erasedFlex({0x1000, 0x1E00, 0x1600, 0x1800}));
  EXPECT_EQ(action("undoAction")->text(),
            "&Undo Delete Skin Folder \u201Ca_very_long_skin_folder_name_that_go\u201D");

  QTest::keyClick(folderTable(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(flexBytes(), erasedFlex({0x1000, 0x1600, 0x1800}));
  EXPECT_EQ(column(*folderTable(), 1), kListedFolders.mid(1));
  EXPECT_TRUE(window->isWindowModified());
  action("undoAction")->trigger();
  EXPECT_EQ(flexBytes(), opened);
  EXPECT_EQ(column(*folderTable(), 1), kListedFolders);
  EXPECT_FALSE(window->isWindowModified());
  EXPECT_FALSE(action("undoAction")->isEnabled());
  action("undoAction")->trigger();  // nothing left: the repeats erased at open stay erased
  EXPECT_EQ(flexBytes(), opened);

  action("redoAction")->trigger();
  action("redoAction")->trigger();
  EXPECT_EQ(flexBytes(), erasedFlex({0x1000, 0x1E00, 0x1600, 0x1800}));
  EXPECT_FALSE(action("redoAction")->isEnabled());

  save(q(dir.file("out.shx")), SaveType::Shx);
  EXPECT_FALSE(window->isWindowModified());
  action("undoAction")->trigger();
  EXPECT_TRUE(window->isWindowModified());

  // An open forgets what could be undone.
  dialogs.unsavedAnswer = UnsavedChanges::Discard;
  openFromDialog(q(dir.file("flex.sbf")));
  EXPECT_FALSE(action("undoAction")->isEnabled());
  EXPECT_FALSE(action("redoAction")->isEnabled());
  EXPECT_FALSE(window->isWindowModified());
}

// Selecting a folder shows the bytes a delete turns to FF.
TEST_F(DeleteTest, PreviewShowsTheRecordBeforeItIsErased) {
  startWithSample();
  EXPECT_TRUE(recordPreview()->toPlainText().isEmpty());
  clickFolder(3);  // "themes" at 0x1A00
  const QStringList lines = recordPreview()->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 13);
  const fixture::Bytes flex = sample::codeGroups({}).at(2).data;
  auto hexOf = [&](std::size_t from, std::size_t count) {
    QStringList pairs;
    for (std::size_t i = 0; i < count; ++i) {
      pairs.append(QString("%1").arg(flex.at(from + i), 2, 16, QLatin1Char('0')).toUpper());
    }
    return pairs.join(' ');
  };
  EXPECT_TRUE(lines[0].startsWith("000018FB  " + hexOf(0x1A00 - 261, 5) + " "))
      << lines[0].toStdString();
  EXPECT_EQ(lines[1], "...       252 bytes kept");
  EXPECT_TRUE(lines[2].startsWith("000019FC  " + hexOf(0x1A00 - 4, 16) + "  "))
      << lines[2].toStdString();
  EXPECT_TRUE(lines[2].contains("00 00 04 05 02 04 00 07 FF FF FF FF")) << lines[2].toStdString();
  EXPECT_TRUE(lines[3].endsWith(".t")) << lines[3].toStdString();  // the name starts at +27
  EXPECT_TRUE(lines[12].startsWith("00001A9C  " + hexOf(0x1A00 + 156, 8)))
      << lines[12].toStdString();
  // The preview follows the selection.
  clickFolder(0);
  EXPECT_TRUE(recordPreview()->toPlainText().startsWith("00000EFB  "));
}

class SaveTest : public WindowTest {};

// File > Save opens the save dialog, never the open dialog, and writes the file; the status bar
// says where.
TEST_F(SaveTest, SaveAsksForTheFileAndSaysWhereItWrote) {
  startWithSample();
  const std::string smg = dir.file("out.smg");
  save(q(smg), SaveType::Smg);
  EXPECT_EQ(dialogs.openRequests.size(), 1);
  EXPECT_EQ(dialogs.saveRequests.size(), 1);
  EXPECT_EQ(fixture::readFile(smg), erasedFlex({0x1600, 0x1800}));
  EXPECT_EQ(statusLine(), "Saved the Flex code group alone to " + q(smg) + " (SMG, " +
                              thousands(kFlexSize) + " bytes)");
  EXPECT_TRUE(window->isVisible());

  clickFolder(0);  // "audio" at 0x1000
  clickDelete();
  dialogs.saveAnswer = tavufe::SaveChoice{q(dir.file("out.bin")), SaveType::Bin};
  QTest::keySequence(window.get(), QKeySequence::Save);
  EXPECT_EQ(fixture::readFile(dir.file("out.bin")), erasedFlex({0x1000, 0x1600, 0x1800}));
  // The Flex alone is not the document: its deletes are still to be saved as a superfile.
  EXPECT_TRUE(window->isWindowModified());

  // The first dialog after the open proposes NAME-edited.EXT beside the opened file; then the
  // last choice. A cancelled save writes nothing.
  action("saveAction")->trigger();
  const QString folder = q(dir.path()) + "/|";
  EXPECT_EQ(dialogs.saveRequests, QStringList({folder + "flex-edited.sbf|.sbf",
                                               folder + "out.smg|.smg", folder + "out.bin|.bin"}));
  EXPECT_EQ(dialogs.messages, QStringList());
  const auto files = std::filesystem::directory_iterator(dir.path());
  EXPECT_EQ(std::distance(std::filesystem::begin(files), std::filesystem::end(files)), 3);
}

// A typed name that ends in a known extension decides the format, in any case; any other name
// gets the chosen type's extension.
TEST_F(SaveTest, TypedExtensionWinsOverTheChosenType) {
  startWithSample();
  const QString flexSum = hex4(fixture::sum16(erasedFlex({0x1600, 0x1800})));
  const std::vector<std::tuple<std::string, SaveType, std::string, std::string>> cases = {
      {"out.sbf", SaveType::Shx, "out.sbf", std::string("\x02\0\0\0\0\0\x03\x02\x01", 9)},
      {"out.shx", SaveType::Sbf, "out.shx", "S006"},
      {"OUT.SBF", SaveType::Shx, "OUT.SBF", std::string("\x02\0\0\0\0\0\x03\x02\x01", 9)},
      {"plain", SaveType::Shx, "plain.shx", "S006"},
      {"flex.v2", SaveType::Sbf, "flex.v2.sbf", std::string("\x02\0\0\0\0\0\x03\x02\x01", 9)}};
  for (const auto& [typed, chosen, written, start] : cases) {
    SCOPED_TRACE(typed);
    save(q(dir.file(typed)), chosen);
    ASSERT_EQ(dialogs.messages, QStringList());
    const fixture::Bytes bytes = fixture::readFile(dir.file(written));
    ASSERT_GT(bytes.size(), kHeaderSize);
    EXPECT_EQ(std::string(bytes.begin() + kHeaderSize, bytes.end()).substr(0, start.size()), start);
    EXPECT_EQ(window->windowFilePath(), q(dir.file(written)));

    // It opens again as what it was written as, with the saved Flex.
    openFromDialog(q(dir.file(written)));
    ASSERT_EQ(dialogs.messages, QStringList());
    EXPECT_EQ(reportView()->toPlainText().split('\n').value(1),
              "CSF Protected Superfile Generated by TavuFE 1.00");
    EXPECT_EQ(cell(*codeGroupTable(), 1, 6), flexSum);
    EXPECT_EQ(column(*folderTable(), 1), kListedFolders);
  }
  const auto files = std::filesystem::directory_iterator(dir.path());
  EXPECT_EQ(std::distance(std::filesystem::begin(files), std::filesystem::end(files)), 6);
}

// After a save as a superfile the window shows the saved file: path, title, report and checksum
// state, with the deletes still undoable. An export leaves the superfile shown.
TEST_F(SaveTest, SaveAsShowsTheSavedFile) {
  startWithSample();
  clickFolder(0);
  clickDelete();
  const QString saved = q(dir.file("saved.shx"));
  save(saved, SaveType::Shx);
  ASSERT_EQ(dialogs.messages, QStringList());
  EXPECT_EQ(pathEdit()->path(), saved);
  EXPECT_EQ(window->windowFilePath(), saved);
  const QStringList report = reportView()->toPlainText().split('\n');
  EXPECT_EQ(report.value(1), "CSF Protected Superfile Generated by TavuFE 1.00");
  EXPECT_EQ(report.value(3),
            "File: " + thousands(fixture::readFile(dir.file("saved.shx")).size()) + " Bytes");
  EXPECT_EQ(report.value(5), "Firmware: Not Found");
  EXPECT_EQ(find<QLabel>("checksumLabel")->text(), "Checksums OK");
  EXPECT_EQ(column(*folderTable(), 1), kListedFolders.mid(1));
  action("undoAction")->trigger();
  EXPECT_EQ(column(*folderTable(), 1), kListedFolders);
  EXPECT_TRUE(window->isWindowModified());

  save(q(dir.file("flex.smg")), SaveType::Smg);
  EXPECT_EQ(pathEdit()->path(), saved);
  EXPECT_EQ(reportView()->toPlainText().split('\n'), report);
  EXPECT_TRUE(
      statusLine().startsWith("Saved the Flex code group alone to " + q(dir.file("flex.smg"))));
}

TEST_F(SaveTest, FailedSaveWarnsWithTheFileAndTheReasonAndStaysModified) {
  startWithSample();
  clickFolder(0);
  clickDelete();
  const QString path = q(dir.file("missing/out.shx"));
  save(path, SaveType::Shx);
  EXPECT_EQ(dialogs.messages, QStringList({"Could not save out.shx: File Not Opened"}));
  EXPECT_EQ(dialogs.details, QStringList({path + "\n" + reason(ENOENT)}));
  EXPECT_TRUE(find<QProgressBar>("progressBar")->isHidden());
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
  EXPECT_TRUE(window->isWindowModified());
  EXPECT_EQ(statusLine(), "Could not save out.shx: File Not Opened");
}

// Every code group cut: the save stops with a notice before its dialog.
TEST_F(SaveTest, CutAndUndoOfCodeGroupsStayHiddenButWork) {
  startWithSample();
  for (const char* menu : {"fileMenu", "editMenu", "helpMenu"}) {
    EXPECT_FALSE(find<QMenu>(menu)->actions().contains(action("cutCodeGroupAction"))) << menu;
  }
  codeGroupTable()->setCurrentCell(0, 0);
  action("cutCodeGroupAction")->trigger();
  EXPECT_EQ(rowText(*codeGroupTable(), 0, 2), QStringList({"2", "Flex"}));
  EXPECT_TRUE(window->isWindowModified());
  EXPECT_EQ(column(*folderTable(), 1), kListedFolders);
  codeGroupTable()->setCurrentCell(0, 0);
  action("cutCodeGroupAction")->trigger();
  EXPECT_EQ(codeGroupTable()->rowCount(), 0);
  action("saveAction")->trigger();
  EXPECT_EQ(dialogs.messages, QStringList({"NOTICE: No File(s) Selected To Save"}));
  action("undoCutAction")->trigger();
  action("undoCutAction")->trigger();
  EXPECT_EQ(rowText(*codeGroupTable(), 1, 2), QStringList({"2", "Flex"}));
  EXPECT_FALSE(action("undoCutAction")->isEnabled());
  EXPECT_TRUE(dialogs.saveRequests.isEmpty());
}

class UnsavedTest : public WindowTest {
 protected:
  // Opens the sample and deletes its first folder.
  void startModified() {
    startWithSample();
    clickFolder(0);
    clickDelete();
    ASSERT_TRUE(window->isWindowModified());
    ASSERT_EQ(window->windowTitle(), "flex.sbf[*]");
  }
};

// Quitting, closing, opening or dropping another file while modified asks first; Cancel keeps
// everything, Discard goes on, Save saves and then goes on.
TEST_F(UnsavedTest, LeavingUnsavedChangesAsksFirst) {
  startModified();
  const QString other = writeSample("other.shx");

  dialogs.unsavedAnswer = UnsavedChanges::Cancel;
  action("exitAction")->trigger();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(dialogs.unsavedQuestions.size(), 1);
  window->close();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(dialogs.unsavedQuestions.size(), 2);
  openFromDialog(other);
  EXPECT_EQ(dialogs.unsavedQuestions.size(), 3);
  EXPECT_TRUE(dialogs.openRequests.size() == 1);  // no dialog after Cancel
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(other)});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.get(), &enter);
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.get(), &drop);
  QCoreApplication::processEvents();
  EXPECT_EQ(pathEdit()->path(), q(dir.file("flex.sbf")));
  EXPECT_EQ(dialogs.unsavedQuestions, QStringList(4, "flex.sbf"));
  EXPECT_EQ(flexBytes(), erasedFlex({0x1000, 0x1600, 0x1800}));

  // Save, with its dialog cancelled, is a Cancel too.
  dialogs.unsavedAnswer = UnsavedChanges::Save;
  openFromDialog(other);
  EXPECT_EQ(dialogs.saveRequests.size(), 1);
  EXPECT_EQ(pathEdit()->path(), q(dir.file("flex.sbf")));

  dialogs.saveAnswer = tavufe::SaveChoice{q(dir.file("kept.shx")), SaveType::Shx};
  openFromDialog(other);
  EXPECT_TRUE(std::filesystem::exists(dir.file("kept.shx")));
  EXPECT_EQ(pathEdit()->path(), other);
  EXPECT_FALSE(window->isWindowModified());

  // Not modified: no question.
  openFromDialog(q(dir.file("flex.sbf")));
  EXPECT_EQ(dialogs.unsavedQuestions.size(), 6);
  EXPECT_EQ(dialogs.messages, QStringList());
}

TEST_F(UnsavedTest, DiscardLetsTheWindowClose) {
  startModified();
  dialogs.unsavedAnswer = UnsavedChanges::Discard;
  action("exitAction")->trigger();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(dialogs.unsavedQuestions, QStringList({"flex.sbf"}));
  EXPECT_TRUE(dialogs.saveRequests.isEmpty());
}

// Folders, geometry, column widths and the last eight files are remembered from one run to the
// next.
TEST_F(WindowTest, SettingsCarryFoldersAndRecentFilesToTheNextRun) {
  start();
  QStringList opened;
  for (int i = 0; i < 10; ++i) {
    opened.prepend(writeSample("f" + std::to_string(i) + ".sbf"));
    openFromDialog(opened.first());
  }
  std::filesystem::create_directory(dir.file("exports"));
  save(q(dir.file("exports/saved.smg")), SaveType::Smg);
  window->resize(700, 500);
  codeGroupTable()->setColumnWidth(6, 91);
  window->close();
  window.reset();

  state = std::make_unique<tavufe::EditorState>();
  ASSERT_TRUE(state->image.allocate());
  start();
  EXPECT_EQ(window->size(), QSize(700, 500));
  EXPECT_EQ(codeGroupTable()->columnWidth(6), 91);
  auto* recent = find<QMenu>("recentFilesMenu");
  QStringList shown;
  for (QAction* entry : recent->actions()) {
    if (entry->isVisible()) shown.append(entry->text());
  }
  EXPECT_EQ(shown, QStringList({"&1 f9.sbf", "&2 f8.sbf", "&3 f7.sbf", "&4 f6.sbf", "&5 f5.sbf",
                                "&6 f4.sbf", "&7 f3.sbf", "&8 f2.sbf"}));
  recent->actions().at(3)->trigger();
  EXPECT_EQ(pathEdit()->path(), opened.at(3));
  EXPECT_EQ(column(*folderTable(), 1), kListedFolders);

  action("openAction")->trigger();
  const QString folder = q(dir.path()) + "/";
  EXPECT_EQ(dialogs.openRequests.last(), folder + "|" + opened.at(3));
  // A reopened recent file goes to the top.
  EXPECT_EQ(recent->actions().at(0)->text(), "&1 f6.sbf");
  // The first save after the open starts beside the opened file, then where the last went.
  save(q(dir.file("exports/again.smg")), SaveType::Smg);
  action("saveAction")->trigger();
  EXPECT_EQ(dialogs.saveRequests.mid(1),
            QStringList({folder + "|f6-edited.sbf|.sbf", folder + "exports/|again.smg|.smg"}));
}

TEST_F(WindowTest, CodeGroupValuesCanBeSelectedAndCopied) {
  startWithSample();
  QTableWidget* table = codeGroupTable();
  EXPECT_TRUE(table->isEnabled());
  table->setFocus();
  table->setCurrentCell(1, 2);
  table->setRangeSelected(QTableWidgetSelectionRange(0, 2, 1, 3), true);
  QTest::keySequence(table, QKeySequence::Copy);
  EXPECT_EQ(QApplication::clipboard()->text(), "03FC8000\t03FCFFFF\n11280000\t112BFFFF");
  // Values cannot be edited.
  QTest::keyClick(table, Qt::Key_F2);
  QTest::keyClicks(table, "x");
  EXPECT_EQ(cell(*table, 1, 2), "11280000");
}

// Tab moves from control to control, not from cell to cell.
TEST_F(WindowTest, TabLeavesTheTablesAndTheButtonHasAMnemonic) {
  startWithSample();
  EXPECT_FALSE(folderTable()->tabKeyNavigation());
  EXPECT_FALSE(codeGroupTable()->tabKeyNavigation());
  folderTable()->setFocus();
  QTest::keyClick(folderTable(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), recordPreview());
  QTest::keyClick(recordPreview(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), codeGroupTable());
  EXPECT_EQ(deleteButton()->text(), "&Delete Skin Folder");
  clickFolder(0);  // "audio" at 0x1000
  QTest::keySequence(window.get(), QKeySequence("Alt+D"));
  QTest::qWait(250);  // a mnemonic presses the button and releases it a moment later
  EXPECT_EQ(flexBytes(), erasedFlex({0x1000, 0x1600, 0x1800}));
  for (const char* name : {"openAction", "saveAction", "exitAction", "deleteFolderAction",
                           "undoAction", "aboutAction"}) {
    EXPECT_FALSE(action(name)->statusTip().isEmpty()) << name;
  }
  // A status tip shows in the status bar.
  QStatusTipEvent tip(action("openAction")->statusTip());
  QCoreApplication::sendEvent(window.get(), &tip);
  EXPECT_EQ(window->statusBar()->currentMessage(), "Open an existing file");
  EXPECT_EQ(find<QLabel>("checksumLabel")->text(), "Checksums OK");  // not taken by the tip
}

TEST_F(WindowTest, OpenDoesNotWaitButSavePausesWithCommandsOff) {
  start();
  window->setPauseMilliseconds(60);
  bool sampled = false;
  QTimer::singleShot(20, [&] { sampled = true; });
  openFromDialog(writeSample("flex.sbf"));
  EXPECT_FALSE(sampled);  // the open returned before any timer could run
  EXPECT_TRUE(find<QProgressBar>("progressBar")->isHidden());
  EXPECT_EQ(column(*folderTable(), 1), kListedFolders);

  bool barShownFull = false, openEnabled = true;
  QTimer::singleShot(20, [&] {
    sampled = true;
    auto* bar = find<QProgressBar>("progressBar");
    barShownFull = !bar->isHidden() && bar->value() == bar->maximum();
    openEnabled = action("openAction")->isEnabled();
    action("openAction")->trigger();  // refused while the pause runs
  });
  save(q(dir.file("out.smg")), SaveType::Smg);
  ASSERT_TRUE(sampled);
  EXPECT_TRUE(barShownFull);
  EXPECT_FALSE(openEnabled);
  EXPECT_EQ(dialogs.openRequests.size(), 1);
  EXPECT_TRUE(action("openAction")->isEnabled());
}

TEST_F(WindowTest, DamagedFileIsSavedOnlyWhenTheUserInsists) {
  start();
  // One Flex byte changed after the header summed it: the file opens, with one problem.
  fixture::Bytes damaged = sample::makeSbf({});
  damaged[damaged.size() - 100] ^= 0x10;
  openFromDialog(writeFile("damaged.sbf", damaged));
  ASSERT_EQ(find<QLabel>("checksumLabel")->text(), "1 problem \u2014 see File > Verify");
  for (const bool insist : {false, true}) {
    SCOPED_TRACE(insist);
    dialogs.damagedSaveAnswer = insist;
    save(q(dir.file("out.shx")), SaveType::Shx);
    EXPECT_EQ(std::filesystem::exists(dir.file("out.shx")), insist);
  }
  ASSERT_EQ(dialogs.damagedSaveQuestions.size(), 2);
  const QString& asked = dialogs.damagedSaveQuestions[0];
  EXPECT_TRUE(asked.startsWith("damaged.sbf has 1 checksum problem:\n\ndamaged.sbf:"))
      << asked.toStdString();
  EXPECT_TRUE(asked.contains("fresh checksums")) << asked.toStdString();
  EXPECT_TRUE(asked.endsWith("\n1 problem"))
      << asked.toStdString();  // the details: every line of a verify
  // Cancel came before the save dialog: only the insisting save asked for a name.
  EXPECT_EQ(dialogs.saveRequests.size(), 1);
}

TEST_F(WindowTest, AboutBoxShowsItsHelpAndTheVersionEveryTime) {
  start();
  for (int round = 0; round < 2; ++round) {
    QString shownVersion, help;
    QTimer::singleShot(0, [&] {
      auto* about = window->findChild<QDialog*>("aboutDialog");
      ASSERT_NE(about, nullptr);
      if (about->isModal() && about->isVisible()) {
        shownVersion = about->findChild<QLabel*>("versionLabel")->text();
        help = about->findChild<QLabel*>("helpText")->text();
      }
      QTest::mouseClick(about->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    });
    action("aboutAction")->trigger();
    EXPECT_EQ(shownVersion, "1.00");
    EXPECT_EQ(help.split('\n').mid(0, 4),
              QStringList({"Delete skin files (.dat & .ski) from the Tavu using a P2K utility ",
                           "then make a flex backup. Load flex in this program to delete ",
                           "the remaining skin folder. Flash modded flex to the Tavu.", ""}));
    EXPECT_TRUE(window->isVisible());
  }
}

// An open says in the status bar whether the file's checksums hold; File > Verify lists each
// finding of the file as it is on disk, in text the user can copy.
TEST_F(OpenTest, OpenShowsTheChecksumsAndVerifyListsTheFindings) {
  start();
  EXPECT_FALSE(action("verifyAction")->isEnabled());
  const QString good = writeSample("flex.shx");
  openFromDialog(good);
  EXPECT_EQ(find<QLabel>("checksumLabel")->text(), "Checksums OK");
  ASSERT_TRUE(action("verifyAction")->isEnabled());
  action("verifyAction")->trigger();
  EXPECT_EQ(dialogs.texts, QStringList({QString::fromUtf8("Verify \u2014 flex.shx\nChecked ") +
                                        good + " as it is on disk.\n\nOK"}));

  // One Flex byte changed in an SBF: its header checksum no longer holds.
  fixture::Bytes damaged = sample::makeSbf({});
  // Header, then the RAMDLD's and the firmware's records, then the Flex record's 17 bytes.
  const std::size_t flexData = 8172 + (29 + 0x8000) + (29 + 0x30000) + 17 + 0x3000;
  damaged.at(flexData) ^= 0x01;
  openFromDialog(writeFile("damaged.sbf", damaged));
  ASSERT_EQ(dialogs.messages, QStringList());
  EXPECT_EQ(find<QLabel>("checksumLabel")->text(),
            QString::fromUtf8("1 problem \u2014 see File > Verify"));
  // While the document has unsaved edits, the verify says they are not in what it checked.
  clickFolder(0);
  clickDelete();
  dialogs.texts.clear();
  // A click on the checksum state is File > Verify.
  QTest::mouseClick(find<QLabel>("checksumLabel"), Qt::LeftButton);
  ASSERT_EQ(dialogs.texts.size(), 1);
  const QStringList lines = dialogs.texts.first().split('\n');
  EXPECT_EQ(lines.first(), QString::fromUtf8("Verify \u2014 damaged.sbf"));
  EXPECT_EQ(lines.value(1), "Checked " + q(dir.file("damaged.sbf")) +
                                " as it is on disk; unsaved changes are not in it.");
  EXPECT_EQ(lines.last(), "1 problem");
  EXPECT_TRUE(lines.value(3).startsWith("damaged.sbf:")) << lines.value(3).toStdString();
}

// Replacing a superfile that holds code groups the save does not write asks first, naming
// them; Cancel (the default) writes nothing. A file with nothing to lose is not asked about.
TEST_F(SaveTest, ReplacingASuperfileWithMoreCodeGroupsAsksFirst) {
  startWithSample();
  const QString backup = q(dir.file("flex.sbf"));
  const fixture::Bytes before = fixture::readFile(dir.file("flex.sbf"));
  for (const bool replace : {false, true}) {
    SCOPED_TRACE(replace);
    dialogs.dropAnswer = replace;
    save(backup, SaveType::Sbf);
    EXPECT_EQ(dialogs.dropQuestions.last(), "flex.sbf|Firmware, DSP, Language Pack");
    EXPECT_EQ(fixture::readFile(dir.file("flex.sbf")) == before, !replace);
  }
  EXPECT_EQ(dialogs.messages, QStringList());
  save(backup, SaveType::Sbf);
  EXPECT_EQ(dialogs.dropQuestions.size(), 2);
  EXPECT_EQ(tavufe::dropCodeGroupsQuestion("a.shx", "DSP"),
            "a.shx holds DSP, which this save does not write.\nReplace it anyway?");
}

// Review Changes lists what a save would write differently from the opened file; the save
// question offers it and asks again afterwards. Nothing is written.
TEST_F(UnsavedTest, ReviewListsWhatASaveWouldChange) {
  // The sample's own date, so that a save's header date is no change.
  qputenv("SOURCE_DATE_EPOCH", "1796637600");
  startWithSample();
  ASSERT_TRUE(action("reviewAction")->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_D));
  ASSERT_TRUE(find<QMenu>("editMenu")->actions().contains(action("reviewAction")));
  const QString title = "Review Changes \u2014 flex.sbf\n";
  const QString before =
      "header generator: \"Sample superfile, Tavu Flex Editor test data\" -> \"CSF Protected "
      "Superfile Generated by TavuFE 1.00\"\n"
      "RAMDLD table entry 1: 10160000-10EBF7FF -> none\n"
      "RAMDLD table entry 3: 10100000-1015FFFF -> none\n"
      "RAMDLD table entry 4: 11100000-1127FFFF -> none\n"
      "Firmware 10160000-1018FFFF only in OLD\n";
  const QString after =
      "folder \"skins\" at 11281600 erased (173 bytes)\n"
      "folder \"skins\" at 11281800 erased (173 bytes)\n"
      "DSP 10100000-1010FFFF only in OLD\n"
      "Language Pack 11100000-1111FFFF only in OLD\n";
  const QString opened = title + before + after + "9 differences";
  const QString deleted = title + before + "folder \"audio\" at 11281000 erased (173 bytes)\n" +
                          after + "10 differences";

  clickFolder(0);  // "audio" at 0x1000
  clickDelete();
  QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier);
  action("undoAction")->trigger();
  action("reviewAction")->trigger();
  EXPECT_EQ(dialogs.texts, QStringList({deleted, opened}));

  dialogs.firstUnsavedAnswers = {UnsavedChanges::Review, UnsavedChanges::Cancel};
  clickFolder(0);
  clickDelete();
  window->close();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(dialogs.unsavedQuestions.size(), 2);
  EXPECT_EQ(dialogs.texts.last(), deleted);
  EXPECT_EQ(dialogs.messages, QStringList());
  // Only the opened file is there.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  qunsetenv("SOURCE_DATE_EPOCH");
}
