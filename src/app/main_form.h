#pragma once

#include <QFont>
#include <QList>
#include <QMainWindow>
#include <QString>

#include "model/editor_state.h"
#include "editor/save_flow.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace tavufe {

class Dialogs;
class TAboutBox;

inline constexpr const char* kWindowCaption = "Tavu Flex Editor";
inline constexpr int kPauseAfterCommandMs = 300;

// Text of a grid cell, rows numbered as the grids are drawn: row 0 is the title row.
QString gridCell(const QTableWidget& grid, int row, int column);
// The current row in the same numbering: 1 for the first data row, -1 when there is none.
int gridRow(const QTableWidget& grid);

// The editor's one window. It keeps no data of its own beyond its controls: it calls the core
// on `state` and shows what the core returns.
class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // `startupPath` is the file named on the command line, opened when the window first shows.
  TMainForm(EditorState& state, Dialogs& dialogs, QString startupPath = {},
            QWidget* parent = nullptr);
  ~TMainForm() override;

  // Event handlers, named after the controls they serve.
  void FormActivate();
  void FileOpen();
  void SaveButtonClick();
  void SGridClick();
  void Button1Click();
  void CutButtonClick();
  void UndoButtonClick();
  void SaveSelectedCG1Click() {}
  void CGgridDblClick() {}
  void FileExit();
  void About1Click();

  // The open flow for state.currentPath.
  void openCurrentFile();

  void writeGridHeaders();
  void writeFolderGridHeaders();
  void fillCodeGroupGrid();
  void fillFolderGrid();
  void clearSelections();
  void showNotice(NoticeCode notice);
  void showWarning(StatusCode status);

  // How long the full progress bar stays up after an open or a save (tests shorten it).
  void setPauseMilliseconds(int milliseconds) { pauseMs_ = milliseconds; }
  bool hasActivated() const { return activated_; }

  // Controls, top to bottom.
  QFrame* SpeedBar;
  QToolButton* SpeedButton1;
  QToolButton* SaveButton;
  QToolButton* CutButton;
  QToolButton* UndoButton;
  QPushButton* Button1;
  QLabel* Label1;
  QLineEdit* Edit1;
  QProgressBar* ProgressBar1;
  QPlainTextEdit* Memo1;
  QTableWidget* SGrid;
  QTableWidget* CGgrid;

  QMenu* FileMenu;
  QMenu* Help1;

  // One action per command, shared by its menu item, tool button and pop-up entry:
  // open (FileOpenItem, SpeedButton1, Open1), save (Save1, SaveButton, Save2),
  // cut (CutButton, DeleteSelectedCG), undo (UndoButton, Undo1), exit (FileExitItem, Exit1).
  QAction* openAction;
  QAction* saveAction;
  QAction* cutAction;
  QAction* undoAction;
  QAction* exitAction;
  QAction* saveSelectedAction;     // SaveSelectedCG1
  QAction* replaceSelectedAction;  // ReplaceSelectedCG
  QAction* aboutAction;            // About1

  TAboutBox* AboutBox;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct PopupEntry {
    QAction* action;
    bool shown;
  };

  void createActions();
  void createMenus();
  void createControls();
  void layoutControls();
  void showPopupMenu(const QPoint& position);

  // An open as from the open dialog: the open flow, then the Flex folder steps.
  void openChosenFile(const QString& path);
  void listFolderGrid();
  void updateCodeGroupCommands();
  void showBarAtStart();
  // Keeps the full bar on screen for a moment; no command can start meanwhile.
  void pauseWithFullBar();

  EditorState& state_;
  // The file the window shows, as the core takes paths.
  std::string currentPath_;
  Dialogs& dialogs_;
  QString startupPath_;
  bool activated_ = false;
  bool busy_ = false;
  int pauseMs_ = kPauseAfterCommandMs;
  QList<PopupEntry> popupEntries_;
  QFont hexFont_;

  // What the two file dialogs remember from one use to the next.
  QString openDialogFolder_;
  QString openDialogFileName_;
  QString saveDialogFolder_;
  QString saveDialogFileName_;
  SaveType saveDialogType_ = SaveType::Shx;
};

}  // namespace tavufe
