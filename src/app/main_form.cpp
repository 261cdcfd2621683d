#include "app/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTableWidget>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

#include "app/about_box.h"
#include "app/bar_progress.h"
#include "app/dialogs.h"
#include "app/icons.h"
#include "inspect/code_group_table.h"
#include "inspect/folder_scan.h"
#include "model/catalogue.h"
#include "model/codes.h"
#include "editor/open_flow.h"

namespace tavufe {

namespace {

// Designed geometry of the client area; the code widens a control only where the platform's
// font would clip its text.
constexpr int kClientWidth = 590;
constexpr int kClientHeight = 338;
constexpr int kSpeedBarHeight = 33;
constexpr int kContentLeft = 29;
constexpr int kContentWidth = 530;
constexpr int kDesignedRowHeight = 15;
constexpr int kCellPadding = 8;
constexpr int kFolderGridRows = 10;     // title row included
constexpr int kCodeGroupGridRows = 21;  // title row and slots 0 to 19
constexpr int kCodeGroupGridLastShownColumn = 4;
constexpr int kContentRightMargin = 31;
constexpr int kFirstHexColumn = 2;
constexpr int kFolderRowsShown = 7;
constexpr double kCodeGroupGridPointSize = 8.0;

const char* const kLabel1Text =
    "Delete skin files on phone first, this program deletes the remaining skin folder only.";

// Paths are bytes in the file system's encoding; everything else the core returns is text
// from the file, which need not be UTF-8.
std::string toCorePath(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString fromCorePath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}
QString fromCoreText(const std::string& text) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString decoded = utf8.decode(QByteArray::fromStdString(text));
  return utf8.hasError() ? QString::fromLatin1(text.data(), qsizetype(text.size())) : decoded;
}

QString folderOf(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : path.left(slash + 1);
}

void setGridCell(QTableWidget& grid, int row, int column, const QString& text) {
  if (column < 0 || column >= grid.columnCount()) return;
  if (row == 0) {
    QTableWidgetItem* title = grid.horizontalHeaderItem(column);
    if (title == nullptr) {
      grid.setHorizontalHeaderItem(column, new QTableWidgetItem(text));
    } else {
      title->setText(text);
    }
    return;
  }
  if (row < 1 || row > grid.rowCount()) return;
  QTableWidgetItem* item = grid.item(row - 1, column);
  if (item == nullptr) {
    if (text.isEmpty()) return;
    item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    grid.setItem(row - 1, column, item);
  }
  item->setText(text);
}

// A string grid: titles in the header, fixed rows of the font's height, whole-row selection.
QTableWidget* makeGrid(QWidget* parent, const QFont& font, int columns, int gridRows) {
  auto* grid = new QTableWidget(gridRows - 1, columns, parent);
  grid->setFont(font);
  const int rowHeight = std::max(kDesignedRowHeight, QFontMetrics(font).height() + 3);
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setMinimumSectionSize(rowHeight);
  grid->verticalHeader()->setDefaultSectionSize(rowHeight);
  QHeaderView* titles = grid->horizontalHeader();
  titles->setFont(font);
  titles->setSectionResizeMode(QHeaderView::Fixed);
  titles->setSectionsClickable(false);
  titles->setHighlightSections(false);
  titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  titles->setMinimumSectionSize(8);
  titles->setFixedHeight(rowHeight + 2);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setWordWrap(false);
  grid->setCornerButtonEnabled(false);
  return grid;
}

// Height of a grid that shows its titles and `rows` whole rows.
int gridHeight(const QTableWidget& grid, int rows) {
  return 2 * grid.frameWidth() + grid.horizontalHeader()->height() +
         rows * grid.verticalHeader()->defaultSectionSize();
}

// Width of a column that must show `samples` whole.
int columnWidth(const QFontMetrics& metrics, int designed, std::initializer_list<QString> samples) {
  int width = designed;
  for (const QString& s : samples)
    width = std::max(width, metrics.horizontalAdvance(s) + kCellPadding);
  return width;
}

}  // namespace

QString gridCell(const QTableWidget& grid, int row, int column) {
  if (row == 0) {
    const QTableWidgetItem* title = grid.horizontalHeaderItem(column);
    return title == nullptr ? QString() : title->text();
  }
  const QTableWidgetItem* item = grid.item(row - 1, column);
  return item == nullptr ? QString() : item->text();
}

int gridRow(const QTableWidget& grid) {
  const QModelIndex current = grid.currentIndex();
  return current.isValid() ? current.row() + 1 : -1;
}

TMainForm::TMainForm(EditorState& state, Dialogs& dialogs, QString startupPath, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs), startupPath_(std::move(startupPath)) {
  setObjectName("MainForm");
  setWindowTitle(kWindowCaption);
  setWindowIcon(programIcon());
  setAcceptDrops(true);
  state_.thousandsSeparator = QLocale::system().groupSeparator().toStdString();

  createActions();
  createMenus();
  createControls();
  layoutControls();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  AboutBox = new TAboutBox(this);
}

TMainForm::~TMainForm() = default;

void TMainForm::createActions() {
  openAction = new QAction(openIcon(), "&Open...", this);
  openAction->setShortcut(QKeySequence::Open);
  openAction->setToolTip("Open");
  openAction->setStatusTip("Open an existing file");
  connect(openAction, &QAction::triggered, this, &TMainForm::FileOpen);

  saveAction = new QAction(saveIcon(), "&Save", this);
  saveAction->setIconText("SAVE");
  saveAction->setShortcut(QKeySequence::Save);
  saveAction->setToolTip("Save All GG Groups to Superfile");
  saveAction->setEnabled(false);
  connect(saveAction, &QAction::triggered, this, &TMainForm::SaveButtonClick);

  cutAction = new QAction(cutIcon(), "Cut Selected CG", this);
  cutAction->setToolTip("Cut Selected CG");
  cutAction->setEnabled(false);
  connect(cutAction, &QAction::triggered, this, &TMainForm::CutButtonClick);

  undoAction = new QAction(undoIcon(), "Undo", this);
  undoAction->setToolTip("Undo");
  undoAction->setEnabled(false);
  connect(undoAction, &QAction::triggered, this, &TMainForm::UndoButtonClick);

  exitAction = new QAction("E&xit", this);
  exitAction->setShortcut(QKeySequence::Quit);
  exitAction->setStatusTip("Exit this application");
  connect(exitAction, &QAction::triggered, this, &TMainForm::FileExit);

  saveSelectedAction = new QAction("Save Selected CG", this);
  saveSelectedAction->setEnabled(false);
  connect(saveSelectedAction, &QAction::triggered, this, &TMainForm::SaveSelectedCG1Click);

  replaceSelectedAction = new QAction("Replace Selected CG", this);
  replaceSelectedAction->setEnabled(false);
  connect(replaceSelectedAction, &QAction::triggered, this, &TMainForm::CGgridDblClick);

  aboutAction = new QAction("&About", this);
  connect(aboutAction, &QAction::triggered, this, &TMainForm::About1Click);

  // The pop-up menu's entries all start hidden and no command shows them, so right-clicking
  // the window shows nothing until one is.
  popupEntries_ = {{cutAction, false},  {saveSelectedAction, false}, {replaceSelectedAction, false},
                   {undoAction, false}, {openAction, false},         {saveAction, false},
                   {exitAction, false}};
}

void TMainForm::createMenus() {
  FileMenu = menuBar()->addMenu("&File");
  FileMenu->addAction(openAction);
  FileMenu->addSeparator();
  FileMenu->addAction(saveAction);
  FileMenu->addAction(exitAction);
  Help1 = menuBar()->addMenu("&Help");
  Help1->addAction(aboutAction);
}

void TMainForm::createControls() {
  auto* client = new QWidget(this);
  setCentralWidget(client);

  SpeedBar = new QFrame(client);
  SpeedBar->setFrameShape(QFrame::Panel);
  SpeedBar->setFrameShadow(QFrame::Raised);

  auto toolButton = [this](QAction* action) {
    auto* button = new QToolButton(SpeedBar);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setIconSize(QSize(18, 18));
    return button;
  };
  SpeedButton1 = toolButton(openAction);
  SpeedButton1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  SaveButton = toolButton(saveAction);
  SaveButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QFont bold = SaveButton->font();
  bold.setBold(true);
  SaveButton->setFont(bold);
  CutButton = toolButton(cutAction);
  CutButton->hide();
  UndoButton = toolButton(undoAction);
  UndoButton->hide();

  Button1 = new QPushButton("Delete Skin Folder", SpeedBar);
  Button1->setFont(bold);
  Button1->setEnabled(false);
  Button1->installEventFilter(this);
  connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);

  Label1 = new QLabel(kLabel1Text, client);

  Edit1 = new QLineEdit(client);
  Edit1->setReadOnly(true);

  ProgressBar1 = new QProgressBar(client);
  ProgressBar1->setRange(0, 20);
  ProgressBar1->setValue(20);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->hide();

  Memo1 = new QPlainTextEdit(client);
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  SGrid = makeGrid(client, font(), int(kFolderGridTitles.size()), kFolderGridRows);
  SGrid->setEnabled(false);
  connect(SGrid, &QTableWidget::currentCellChanged, this, [this] { SGridClick(); });
  connect(SGrid, &QTableWidget::cellClicked, this, [this] { SGridClick(); });

  // The code-group grid has its own, smaller font; its hexadecimal cells use the fixed-pitch
  // one, so that any digits fit the columns. 20 rows as designed, 21 from start-up on.
  // Columns 5 to 8 hold the size and checksums: stored with the row but not shown.
  QFont gridFont = font();
  gridFont.setPointSizeF(std::min(gridFont.pointSizeF(), kCodeGroupGridPointSize));
  hexFont_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  hexFont_.setPointSizeF(gridFont.pointSizeF());
  CGgrid = makeGrid(client, gridFont, int(kCodeGroupGridTitles.size()), kCodeGroupGridRows - 1);
  for (int c = kCodeGroupGridShownColumns; c < CGgrid->columnCount(); ++c) {
    CGgrid->setColumnHidden(c, true);
  }
  CGgrid->setCursor(Qt::ArrowCursor);
  CGgrid->setEnabled(false);
  connect(CGgrid, &QTableWidget::cellDoubleClicked, this, [this] { CGgridDblClick(); });
}

void TMainForm::layoutControls() {
  const QFontMetrics metrics(font());
  const QFontMetrics boldMetrics(SaveButton->font());
  const QFontMetrics gridMetrics(CGgrid->font());
  const QFontMetrics hexMetrics(hexFont_);
  const int frame = 2 * SGrid->frameWidth();
  const int scrollBar = SGrid->verticalScrollBar()->sizeHint().width();

  // Column widths as designed, unless a title or a full cell would be cut.
  const QString hex8(8, QLatin1Char('0'));
  const int cgWidths[] = {
      columnWidth(gridMetrics, 27, {"CG", "RDL", "FBL", "256"}),
      columnWidth(gridMetrics, 126, {"Name", "Splashscreen/Config"}),
      std::max(columnWidth(gridMetrics, 59, {"Start Addr"}), columnWidth(hexMetrics, 0, {hex8})),
      std::max(columnWidth(gridMetrics, 58, {"End Addr"}), columnWidth(hexMetrics, 0, {hex8})),
      std::max(columnWidth(gridMetrics, 234, {"CG Header Info"}),
               columnWidth(hexMetrics, 0, {hex8 + "  " + hex8 + "  " + hex8 + "  " + hex8})),
  };
  int cgTotal = 0;
  for (int width : cgWidths) cgTotal += width;
  const int sgWidths[] = {columnWidth(metrics, 27, {"#", "200"}),
                          columnWidth(metrics, 303, {"Skin Folder", QString(36, QLatin1Char('n'))}),
                          columnWidth(metrics, 175, {"CG2 Location", hex8})};
  int sgTotal = 0;
  for (int width : sgWidths) sgTotal += width;

  const int contentWidth =
      std::max({kContentWidth, cgTotal + frame + scrollBar, sgTotal + frame + scrollBar});
  const int clientWidth = std::max(kClientWidth, kContentLeft + contentWidth + kContentRightMargin);
  const int spare = contentWidth - frame - scrollBar;
  // Whatever a grid has to spare goes to its last shown column.
  for (int c = 0; c < kCodeGroupGridShownColumns; ++c) CGgrid->setColumnWidth(c, cgWidths[c]);
  CGgrid->setColumnWidth(kCodeGroupGridLastShownColumn, cgWidths[4] + spare - cgTotal);
  SGrid->setColumnWidth(0, sgWidths[0]);
  SGrid->setColumnWidth(1, sgWidths[1]);
  SGrid->setColumnWidth(2, spare - sgWidths[0] - sgWidths[1]);

  SpeedBar->setGeometry(0, 0, clientWidth, kSpeedBarHeight);
  SpeedButton1->setGeometry(3, 5, 28, 24);
  const int saveWidth = std::max(60, 18 + boldMetrics.horizontalAdvance(SaveButton->text()) + 16);
  SaveButton->setGeometry(35, 5, saveWidth, 24);
  CutButton->setGeometry(280, 5, 25, 24);
  UndoButton->setGeometry(308, 5, 25, 24);
  const int contentRight = kContentLeft + contentWidth;
  const int buttonWidth = std::max(128, boldMetrics.horizontalAdvance(Button1->text()) + 20);
  Button1->setGeometry(contentRight + 1 - buttonWidth, 5, buttonWidth, 24);

  // The label keeps its place unless its text would run off the window's right edge.
  const int labelWidth = metrics.horizontalAdvance(Label1->text()) + 4;
  const int labelLeft = std::max(4, std::min(102, clientWidth - 4 - labelWidth));
  Label1->setGeometry(labelLeft, 37, labelWidth, metrics.height());

  const int editTop = std::max(55, 37 + metrics.height() + 1);
  const int editHeight = std::max(21, metrics.height() + 6);
  Edit1->setGeometry(kContentLeft + 1, editTop, contentWidth - 1, editHeight);
  ProgressBar1->setGeometry(kContentLeft + 3, editTop + 2, contentWidth - 3, editHeight - 3);
  ProgressBar1->raise();

  // The report shows its first four lines whole, the folder grid seven rows, the code-group
  // grid the two rows of RAMDLD and Flex.
  const int memoTop = editTop + editHeight;
  const int memoHeight = std::max(59, 4 * metrics.lineSpacing() + 2 * Memo1->frameWidth() +
                                          int(Memo1->document()->documentMargin()));
  Memo1->setGeometry(kContentLeft, memoTop, contentWidth, memoHeight);
  const int folderTop = memoTop + memoHeight;
  const int folderHeight = gridHeight(*SGrid, kFolderRowsShown);
  SGrid->setGeometry(kContentLeft, folderTop, contentWidth, folderHeight);
  const int cgTop = folderTop + folderHeight;
  const int cgHeight = std::max(51, gridHeight(*CGgrid, 2));
  CGgrid->setGeometry(kContentLeft, cgTop, contentWidth, cgHeight);

  const int clientHeight = std::max(kClientHeight, cgTop + cgHeight + 20);
  centralWidget()->setFixedSize(clientWidth, clientHeight);
  setFixedSize(clientWidth, clientHeight + menuBar()->sizeHint().height());
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Start-up runs once the window is on screen, so that a box it shows appears above it.
  if (!activated_) QTimer::singleShot(0, this, &TMainForm::FormActivate);
}

void TMainForm::FormActivate() {
  if (activated_) return;
  activated_ = true;
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, &TMainForm::showPopupMenu);
  clearSelections();
  CGgrid->setRowCount(kCodeGroupGridRows - 1);
  initialiseEditor(state_);
  ProgressBar1->setValue(0);
  writeGridHeaders();
  if (!startupPath_.isEmpty()) {
    // No folder steps here: the folder list appears with the next open from the dialog.
    currentPath_ = toCorePath(startupPath_);
    openCurrentFile();
  }
}

void TMainForm::showPopupMenu(const QPoint& position) {
  QList<QAction*> shown;
  for (const PopupEntry& entry : popupEntries_) {
    if (entry.shown) shown.append(entry.action);
  }
  if (shown.isEmpty()) return;
  QMenu::exec(shown, mapToGlobal(position), nullptr, this);
}

void TMainForm::clearSelections() {
  for (QTableWidget* grid : {CGgrid, SGrid}) {
    grid->clearSelection();
    grid->setCurrentIndex(QModelIndex());
  }
  Edit1->setFocus();
}

void TMainForm::writeGridHeaders() {
  for (int row = 0; row <= CGgrid->rowCount(); ++row) {
    for (int c = 0; c <= kCodeGroupGridLastShownColumn; ++c) setGridCell(*CGgrid, row, c, {});
  }
  for (int c = 0; c < int(kCodeGroupGridTitles.size()); ++c) {
    setGridCell(*CGgrid, 0, c, kCodeGroupGridTitles[c]);
  }
  writeFolderGridHeaders();
}

void TMainForm::writeFolderGridHeaders() {
  for (int row = 0; row <= SGrid->rowCount(); ++row) {
    for (int c = 0; c < int(kFolderGridTitles.size()); ++c) setGridCell(*SGrid, row, c, {});
  }
  for (int c = 0; c < int(kFolderGridTitles.size()); ++c) {
    setGridCell(*SGrid, 0, c, kFolderGridTitles[c]);
  }
}

void TMainForm::showNotice(NoticeCode notice) {
  dialogs_.showMessage(this, "NOTICE", QString::fromLatin1(noticeText(notice)));
}

void TMainForm::showWarning(StatusCode status) {
  ProgressBar1->hide();
  dialogs_.showMessage(this, "WARNING", QString::fromLatin1(statusText(status)));
}

void TMainForm::FileOpen() {
  if (busy_) return;
  const QString path = dialogs_.getOpenFileName(this, openDialogFolder_, openDialogFileName_);
  if (path.isEmpty()) return;
  openChosenFile(path);
}

void TMainForm::openChosenFile(const QString& path) {
  currentPath_ = toCorePath(path);
  openCurrentFile();
  // Whatever the open's outcome: both work on what the image holds.
  eraseRepeatedFolders(state_);
  fillFolderGrid();
}

void TMainForm::showBarAtStart() {
  ProgressBar1->setMaximum(20);
  ProgressBar1->setValue(1);
  ProgressBar1->show();
}

void TMainForm::openCurrentFile() {
  const std::optional<InputType> type = inputTypeForPath(currentPath_);
  repaint();
  if (!type) {
    showNotice(NoticeCode::FileTypeNotSupported);
    return;
  }
  clearSelections();
  writeGridHeaders();
  for (QAction* action : {saveSelectedAction, cutAction, replaceSelectedAction, undoAction}) {
    action->setEnabled(false);
  }
  state_.undo.undoCount = 0;
  showBarAtStart();
  if (!state_.image.exists()) {
    showWarning(StatusCode::BufferError);
    return;
  }

  const QString path = fromCorePath(currentPath_);
  Memo1->clear();
  Edit1->setText(path);
  Edit1->setCursorPosition(0);
  openDialogFileName_ = path;
  openDialogFolder_ = folderOf(path);

  BarProgress progress(*ProgressBar1);
  const OpenResult opened = openSuperfile(state_, currentPath_, *type, progress);

  QStringList lines;
  for (const std::string& line : opened.report) lines.append(fromCoreText(line));
  Memo1->setPlainText(lines.join(QLatin1Char('\n')));
  Memo1->moveCursor(QTextCursor::Start);

  if (!opened.loaded()) {
    showWarning(opened.status);
    return;
  }
  fillCodeGroupGrid();
  pauseWithFullBar();
  CGgrid->scrollToTop();
  SGrid->scrollToTop();
  ProgressBar1->hide();
  Button1->setEnabled(false);
  const bool flex = hasFlexInSlot1(state_);
  saveAction->setEnabled(flex);
  SGrid->setEnabled(flex);
  Edit1->setFocus();
}

void TMainForm::pauseWithFullBar() {
  ProgressBar1->setValue(ProgressBar1->maximum());
  if (pauseMs_ <= 0) return;
  busy_ = true;
  const QList<QAction*> commands = {openAction, saveAction, cutAction, undoAction, exitAction};
  QList<bool> wasEnabled;
  for (QAction* action : commands) {
    wasEnabled.append(action->isEnabled());
    action->setEnabled(false);
  }
  const bool buttonWasEnabled = Button1->isEnabled();
  Button1->setEnabled(false);
  ProgressBar1->repaint();

  // Clicks and keys wait until the pause is over; painting goes on.
  QEventLoop pause;
  QTimer::singleShot(pauseMs_, &pause, &QEventLoop::quit);
  pause.exec(QEventLoop::ExcludeUserInputEvents);

  for (qsizetype i = 0; i < commands.size(); ++i) commands[i]->setEnabled(wasEnabled[i]);
  Button1->setEnabled(buttonWasEnabled);
  busy_ = false;
}

void TMainForm::fillCodeGroupGrid() {
  writeGridHeaders();
  updateCodeGroupCommands();
  const std::vector<CodeGroupGridRow> rows = codeGroupGridRows(state_);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (int c = 0; c < int(rows[i].size()); ++c) {
      setGridCell(*CGgrid, int(i) + 1, c, fromCoreText(rows[i][c]));
      QTableWidgetItem* item = CGgrid->item(int(i), c);
      if (item != nullptr && c >= kFirstHexColumn && c <= kCodeGroupGridLastShownColumn) {
        item->setFont(hexFont_);
      }
    }
  }
}

void TMainForm::updateCodeGroupCommands() {
  const bool enabled = canCutSlot(state_, gridRow(*CGgrid) - 1);
  for (QAction* action : {saveSelectedAction, cutAction, replaceSelectedAction}) {
    action->setEnabled(enabled);
  }
}

void TMainForm::fillFolderGrid() {
  scanFlexFolders(state_);
  listFolderGrid();
}

void TMainForm::listFolderGrid() {
  const std::vector<FolderGridRow> rows = folderGridRows(state_);
  SGrid->setRowCount(std::max<int>(int(rows.size()), 1));
  for (std::size_t k = 0; k < rows.size(); ++k) {
    for (int c = 0; c < int(rows[k].size()); ++c) {
      setGridCell(*SGrid, int(k) + 1, c, fromCoreText(rows[k][c]));
    }
  }
}

void TMainForm::SGridClick() { Button1->setEnabled(isFolderListed(state_, gridRow(*SGrid) - 1)); }

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Button1 && event->type() == QEvent::FocusOut) SGridClick();
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::Button1Click() {
  if (busy_) return;
  if (!deleteFolder(state_, gridRow(*SGrid) - 1)) return;
  writeFolderGridHeaders();
  listFolderGrid();
  SGrid->setFocus();
  // Focus does not always move (a window in the background); the button follows the row.
  SGridClick();
}

void TMainForm::CutButtonClick() {
  if (busy_) return;
  if (!cutSlot(state_, gridRow(*CGgrid) - 1)) return;
  fillCodeGroupGrid();
  undoAction->setEnabled(true);
}

void TMainForm::UndoButtonClick() {
  if (busy_) return;
  if (!undoCut(state_)) return;
  fillCodeGroupGrid();
  if (state_.undo.undoCount == 0) undoAction->setEnabled(false);
}

void TMainForm::SaveButtonClick() {
  if (busy_) return;
  if (const NoticeCode notice = checkSaveable(state_); notice != NoticeCode::None) {
    showNotice(notice);
    return;
  }
  const std::optional<SaveChoice> choice =
      dialogs_.getSaveFileName(this, saveDialogFolder_, saveDialogFileName_, saveDialogType_);
  if (!choice) return;
  const std::string path = toCorePath(choice->path);
  saveDialogFolder_ = folderOf(choice->path);
  saveDialogFileName_ = QFileInfo(choice->path).fileName();
  saveDialogType_ = choice->type;

  repaint();
  showBarAtStart();
  BarProgress progress(*ProgressBar1);
  const StatusCode saved = saveToFile(state_, path, choice->type, progress);
  if (saved != StatusCode::None) showWarning(saved);
  pauseWithFullBar();
  ProgressBar1->hide();
}

void TMainForm::FileExit() { close(); }

void TMainForm::closeEvent(QCloseEvent* event) {
  state_.image.release();
  event->accept();
}

void TMainForm::About1Click() {
  AboutBox->Version->setText(kProgramVersion);
  AboutBox->exec();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (!busy_ && urls.size() == 1 && urls.first().isLocalFile()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (busy_ || urls.size() != 1 || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  // Open once the drop is over: the open may show a modal box.
  const QString path = urls.first().toLocalFile();
  QTimer::singleShot(0, this, [this, path] {
    if (!busy_) openChosenFile(path);
  });
}

}  // namespace tavufe
