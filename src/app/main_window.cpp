// The window's own state: start-up, closing, the title and which commands are on.

#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTimer>
#include <QUndoStack>

#include "app/about_dialog.h"
#include "app/dialogs.h"
#include "app/icons.h"
#include "app/path_field.h"
#include "app/window_settings.h"
#include "inspect/folder_scan.h"
#include "model/codes.h"
#include "model/progress.h"
#include "model/version.h"

namespace tavufe {

namespace {

const char* const kHelpText = QT_TRANSLATE_NOOP(
    "tavufe::MainWindow",
    "Deleting a left-over skin folder\n"
    "\n"
    "1. Delete the skin files on the handset first, then make a backup of its Flex as a\n"
    "   superfile (.shx or .sbf).\n"
    "2. Open it: File > Open, File > Open Recent, or drop it onto the window. The report shows\n"
    "   what it holds; the status bar says whether its checksums hold.\n"
    "3. Select the skin folder in the folder list. The pane under it shows the bytes that a\n"
    "   delete turns to FF.\n"
    "4. Press Delete Skin Folder. Edit > Undo puts the record back.\n"
    "5. File > Save: SHX or SBF gives a superfile to flash back; SMG or BIN holds the Flex\n"
    "   code group alone.\n"
    "\n"
    "Keys\n"
    "\n"
    "Ctrl+O                  Open\n"
    "Ctrl+S                  Save\n"
    "Delete, Alt+D           Delete Skin Folder (Delete in the folder list)\n"
    "Ctrl+Z                  Undo\n"
    "Ctrl+Shift+Z, Ctrl+Y    Redo\n"
    "Ctrl+D                  Review Changes\n"
    "Ctrl+C                  Copy the selected code-group values\n"
    "Tab, Shift+Tab          Move between the controls\n"
    "Shift+F10, Menu key     The folder list's commands\n"
    "F1                      This help\n"
    "Ctrl+Q                  Exit");

const char* const kRescueHelpText = QT_TRANSLATE_NOOP(
    "tavufe::MainWindow",
    "A backup that does not open can still give up its Flex: Rescue (in the box that says why,\n"
    "or File > Rescue) reads past the damaged lines and keeps the code groups that are whole.");

}  // namespace

MainWindow::MainWindow(EditorState& state, Dialogs& dialogs, QString startupPath, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs), startupPath_(std::move(startupPath)) {
  setObjectName("mainWindow");
  setWindowIcon(programIcon());
  setAcceptDrops(true);
  numberFormat_.thousandsSeparator = QLocale::system().groupSeparator().toStdString();

  undoStack_ = new QUndoStack(this);
  connect(undoStack_, &QUndoStack::cleanChanged, this, &MainWindow::updateTitle);

  createActions();
  createMenus();
  createToolBar();
  createControls();
  createStatusBar();
  aboutDialog_ = new AboutDialog(this);
  readSettings();
  updateTitle();
  updateActions();
}

MainWindow::~MainWindow() {
  // Children outlive this class's part of the object; their last signals must not reach it.
  undoStack_->disconnect(this);
  folderTable_->selectionModel()->disconnect(this);
  codeGroupTable_->disconnect(this);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Start-up runs once the window is on screen, so that a box it shows appears above it.
  if (!started_) QTimer::singleShot(0, this, &MainWindow::startUp);
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  // The first size guessed the window manager's frame; once the frame is known, the first size
  // again, inside the screen as it really is.
  if (firstRun_ && frameGeometry() != geometry()) {
    firstRun_ = false;
    resize(firstSize());
    fitToScreen();
  }
}

void MainWindow::startUp() {
  if (started_) return;
  started_ = true;
  initialiseEditor(state_);
  if (!startupPath_.isEmpty()) loadFile(startupPath_);
  // The list is where the work is; with nothing open (or no Flex to edit), Open.
  if (folderTable_->isEnabled()) {
    folderTable_->setFocus(Qt::OtherFocusReason);
  } else {
    openButton_->setFocus(Qt::OtherFocusReason);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (busy_ || !maybeSave()) {
    event->ignore();
    return;
  }
  QSettings settings;
  settings.setValue(kSettingsGeometry, saveGeometry());
  settings.setValue(kSettingsFolderColumns, folderTable_->horizontalHeader()->saveState());
  settings.setValue(kSettingsCodeGroupColumns, codeGroupTable_->horizontalHeader()->saveState());
  event->accept();
}

bool MainWindow::isModified() const { return codeGroupsChanged_ || !undoStack_->isClean(); }

void MainWindow::updateTitle() {
  // With a file, Qt makes the title from its name and the application's display name; a
  // rescued document says so after the name.
  if (currentFile_.isEmpty()) {
    setWindowTitle(QString::fromLatin1(kWindowCaption));
  } else {
    setWindowTitle(rescued_ ? tr("%1[*] [rescued]").arg(QFileInfo(currentFile_).fileName())
                            : QString());
  }
  setWindowFilePath(currentFile_);
  setWindowModified(isModified());
}

void MainWindow::updateActions() {
  const bool idle = !busy_;
  openAction_->setEnabled(idle);
  rescueAction_->setEnabled(idle);
  exitAction_->setEnabled(idle);
  recentFilesMenu_->setEnabled(idle && recentFileActions_.first()->isVisible());
  saveAction_->setEnabled(idle && saveAllowed_);
  // Off for a reason of the document's: the tips say it, on the menu entry and the button.
  saveAction_->setToolTip(saveRefusal_.isEmpty() ? saveToolTip_ : saveRefusal_);
  saveAction_->setStatusTip(saveRefusal_.isEmpty() ? saveStatusTip_ : saveRefusal_);
  verifyAction_->setEnabled(idle && superfileTypeOf(verifyPath_).has_value());
  folderTable_->setEnabled(saveAllowed_);

  const bool canDelete = idle && canDeleteFolder(state_, selectedFolder());
  deleteFolderAction_->setEnabled(canDelete);
  reviewAction_->setEnabled(idle && fileLoaded_ && saveAllowed_ &&
                            superfileTypeOf(currentFile_).has_value());
  deleteFolderButton_->setEnabled(canDelete);
  copyFolderNameAction_->setEnabled(selectedFolder() >= 0);
  copyFolderOffsetAction_->setEnabled(selectedFolder() >= 0);
  undoAction_->setEnabled(idle && undoStack_->canUndo());
  redoAction_->setEnabled(idle && undoStack_->canRedo());

  const bool canCut = idle && canCutSlot(state_, currentCodeGroupSlot());
  for (QAction* action : {cutCodeGroupAction_, saveSelectedAction_, replaceSelectedAction_}) {
    action->setEnabled(canCut);
  }
  undoCutAction_->setEnabled(idle && state_.undo.undoCount > 0);
}

void MainWindow::showBarAtStart() {
  progressBar_->setMaximum(kProgressSteps);
  progressBar_->setValue(1);
  progressBar_->show();
}

void MainWindow::pauseWithFullBar() {
  progressBar_->setValue(progressBar_->maximum());
  if (pauseMs_ <= 0) return;
  busy_ = true;
  updateActions();
  progressBar_->repaint();
  // Clicks and keys wait until the pause is over; painting goes on.
  QEventLoop pause;
  QTimer::singleShot(pauseMs_, &pause, &QEventLoop::quit);
  pause.exec(QEventLoop::ExcludeUserInputEvents);
  busy_ = false;
  updateActions();
}

void MainWindow::showHelp() {
  dialogs_.showText(this, tr("Help \u2014 %1").arg(QString::fromLatin1(kWindowCaption)),
                    tr(kHelpText) + QStringLiteral("\n\n") + tr(kRescueHelpText));
}

void MainWindow::showAbout() {
  aboutDialog_->setVersion(QString::fromLatin1(kProgramVersion));
  aboutDialog_->exec();
}

}  // namespace tavufe
