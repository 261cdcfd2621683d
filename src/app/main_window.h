#pragma once

#include <QFont>
#include <QList>
#include <QMainWindow>
#include <QString>

#include "editor/open_flow.h"
#include "editor/save_flow.h"
#include "inspect/number_format.h"
#include "model/editor_state.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QUndoStack;

namespace tavufe {

class AboutDialog;
struct SaveChoice;
class Dialogs;
class PathField;

inline constexpr const char* kWindowCaption = "Tavu Flex Editor";
inline constexpr int kPauseAfterCommandMs = 300;
inline constexpr int kMaxRecentFiles = 8;

// A plain open stops at the first damaged line or record; a rescue reads past them.
enum class OpenMode { Plain, Rescue };

// The editor's one window. It keeps no data of its own beyond what it shows and what the user
// may undo: it calls the core on `state` and shows what the core returns.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `startupPath` is the file named on the command line, opened when the window first shows.
  MainWindow(EditorState& state, Dialogs& dialogs, QString startupPath = {},
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // How long the full progress bar stays up after an open or a save (tests shorten it).
  void setPauseMilliseconds(int milliseconds) { pauseMs_ = milliseconds; }
  // The designed size of the window's client area: its default and least size where the
  // layout allows.
  static QSize designedClientSize();

 public Q_SLOTS:
  // File > Open: asks to save changes, then for the file.
  void openFile();
  // File > Rescue: the same, read past damaged lines and records.
  void rescueFile();
  // File > Save: asks for the name and type, then writes; true when the file was written.
  bool saveAs();
  // Edit > Delete Skin Folder: erases the selected folder's record, undoably.
  void deleteSelectedFolder();
  // File > Verify: checks the file shown, as it is on disk, and lists every finding.
  void verifyFile();
  void showAbout();
  // Help > Contents: the steps of the job and the keys.
  void showHelp();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Building the controls and actions (main_window_controls.cpp).
  void createActions();
  void createFileActions();
  void createEditActions();
  void createHelpActions();
  void createMenus();
  void createToolBar();
  void createControls();
  QWidget* createFolderViews();
  void createCodeGroupTable();
  void setTabOrders();
  void createStatusBar();
  void readSettings();
  // Keeps the whole window, frame included, inside the available area of its screen; a
  // window that lies off every screen is centred on the primary one.
  void fitToScreen();
  // The first size where no size was kept: wide enough for every code-group column, and the
  // folder list its rows; fitToScreen then takes away what the screen cannot give.
  QSize firstSize() const;
  // The folder list's least height: five rows where the screen has the height for them.
  void fitFolderRows(int mostHeight);

  // The window's own state (main_window.cpp).
  void startUp();
  // Enables every command from the window's state, in one place.
  void updateActions();
  void updateTitle();
  bool isModified() const;
  void showBarAtStart();
  // Keeps the full bar on screen for a moment; no command can start meanwhile.
  void pauseWithFullBar();

  // Showing the document (main_window_document.cpp).
  void fillCodeGroupTable();
  void fillCodeGroupTable(const std::vector<CodeGroupGridRow>& rows);
  void fillFolderTable();
  void fillFolderTable(const std::vector<FolderGridRow>& rows);
  // After an erase or its undo: the list again, with nothing selected.
  void relistFolders();
  void showRecordPreview();
  // The folder table entry and the slot that the lists' selections show; -1 for none.
  int selectedFolder() const;
  int currentCodeGroupSlot() const;
  void cutCodeGroup();
  void undoCodeGroupCut();
  void copyCodeGroupCells();
  void copyFolderCell(int column);
  // "Checksums OK" or how many problems the open's check found, in the status bar.
  void showCheckSummary();
  // After a rescue: what was damaged and whether a save can write the document.
  void showRescueSummary(const OpenedSuperfile& opened, const QString& path);
  // Shows what a good open of `path` gave: report, tables and checksum state.
  void showOpened(const QString& path, OpenedSuperfile& opened);
  // The window as it was at start-up, except that File > Verify can still check `path`.
  void showNothingOpened(const QString& path);
  // The status bar's lasting line: what the last command did or why it was refused. Tips
  // cover it only while they show.
  void showStatusLine(const QString& text);

  // The file commands and their questions (main_window_files.cpp).
  // False when the user cancels; true when there is nothing to save, it was saved or dropped.
  bool maybeSave();
  // The open flow for a file chosen, dropped, recent or named on the command line.
  // Asks for a file and opens it the way `mode` says.
  void chooseAndLoad(OpenMode mode);
  void loadFile(const QString& path, OpenMode mode = OpenMode::Plain);
  // What every open does before the read: the questions' starting places and the views cleared.
  void prepareOpen(const QString& path, SuperfileEncoding type);
  void openRecentFile();
  void addRecentFile(const QString& path);
  void updateRecentFilesMenu();
  // A failed open: the box with the path and the cause, the same line in the status bar, and
  // the window as it was at start-up. True when the user asks for a rescue of the file.
  bool showOpenFailure(const OpenedSuperfile& opened, const QString& path);
  // The save itself, once every question is answered; true when the file was written.
  bool writeSave(const SaveChoice& choice);
  // After a save as a superfile: the saved file read back and shown, the edits kept undoable.
  void showSavedFile(const QString& path);
  // Whether a save may go on over the opened file's problems: asks when there are any.
  bool confirmSaveOverProblems();
  // False when the user keeps a superfile the save would drop code groups from.
  bool mayReplace(const SaveChoice& choice);
  // Edit > Review Changes: what a save would write differently from the opened file.
  void reviewChanges();
  void showNotice(NoticeCode notice, const QString& details = {});
  // The warning with the path and, for a file the system refused, its reason; captioned
  // "WARNING" unless `caption` says otherwise.
  void showWarning(StatusCode status, const QString& path, const FileProblem& problem = {},
                   const QString& caption = {});

  EditorState& state_;
  // Sizes in the report and the grid are grouped as the user's locale groups them.
  NumberFormat numberFormat_;
  Dialogs& dialogs_;
  QString startupPath_;
  bool started_ = false;
  bool firstRun_ = false;  // no size was kept from an earlier run
  int leastHeight_ = 0;    // the window's least height with the folder list's five rows
  bool busy_ = false;
  int pauseMs_ = kPauseAfterCommandMs;

  // The file the window shows: the last one opened, or saved as a superfile.
  QString currentFile_;
  // The file File > Verify checks: the one shown, or the one whose open just failed.
  QString verifyPath_;
  bool fileLoaded_ = false;   // the last open read its file
  bool saveAllowed_ = false;  // the last good open found the Flex, and a save can write it
  bool rescued_ = false;      // the document was read by a rescue
  // Why Save is off for the document shown, in place of Save's tips; empty while it is on.
  QString saveRefusal_;
  QString saveToolTip_;  // Save's own tips
  QString saveStatusTip_;
  CheckResult openedCheck_;  // what the last open's check found in the file
  bool codeGroupsChanged_ = false;

  // What the two file dialogs start from.
  QString openDialogFolder_;
  QString openDialogFileName_;
  QString saveDialogFolder_;
  QString saveDialogFileName_;
  SaveType saveDialogType_ = SaveType::Shx;

  QUndoStack* undoStack_;
  QFont hexFont_;

  QAction* openAction_;
  QAction* rescueAction_;
  QAction* saveAction_;
  QAction* verifyAction_;
  QAction* exitAction_;
  QAction* deleteFolderAction_;
  QAction* reviewAction_;
  QAction* undoAction_;
  QAction* redoAction_;
  QAction* copyAction_;
  QAction* aboutAction_;
  QAction* helpAction_;
  QAction* copyFolderNameAction_;
  QAction* copyFolderOffsetAction_;
  // The code-group commands, in no menu: a save writes only the RAMDLD and the Flex, so cutting
  // groups has no use in the job; the actions stay for the table's own enabling rules.
  QAction* cutCodeGroupAction_;
  QAction* undoCutAction_;
  QAction* saveSelectedAction_;
  QAction* replaceSelectedAction_;
  QList<QAction*> recentFileActions_;
  QMenu* recentFilesMenu_;

  QLabel* hintLabel_;
  QWidget* openButton_;  // the tool bar's buttons of the Open and Save actions
  QWidget* saveButton_;
  QPushButton* deleteFolderButton_;
  PathField* pathEdit_;
  QPlainTextEdit* reportView_;
  QTableWidget* folderTable_;
  QPlainTextEdit* recordPreview_;
  QTableWidget* codeGroupTable_;
  QProgressBar* progressBar_;
  QLabel* statusLine_;
  QLabel* checksumLabel_;
  AboutDialog* aboutDialog_;
};

}  // namespace tavufe
