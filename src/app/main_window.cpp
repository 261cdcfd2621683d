#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTableWidget>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUndoCommand>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <map>
#include <utility>

#include "app/about_dialog.h"
#include "app/bar_progress.h"
#include "app/dialogs.h"
#include "app/icons.h"
#include "app/path_field.h"
#include "app/review_dialog.h"
#include "editor/held_groups.h"
#include "editor/open_flow.h"
#include "editor/output_file.h"
#include "editor/verify_flow.h"
#include "inspect/code_group_table.h"
#include "inspect/folder_record.h"
#include "inspect/folder_scan.h"
#include "model/codes.h"
#include "model/progress.h"
#include "model/version.h"

namespace tavufe {

namespace {

// The designed client area; the layout grows it where the report's nine lines, the record
// preview or the platform's fonts need more.
constexpr int kClientWidth = 590;
constexpr int kClientHeight = 338;
constexpr int kReportLines = 9;
constexpr int kLeastReportLines = 3;
constexpr int kPreviewLines = 13;  // the 5 and 168 erased bytes at 16 to a line, and the gap
constexpr int kFolderRowsShown = 7;
constexpr int kCodeGroupRowsShown = 2;  // the RAMDLD and the Flex a save writes
constexpr int kFirstHexColumn = 2;
constexpr int kLastHexColumn = 4;
constexpr double kCodeGroupTablePointSize = 8.0;

const char* const kHintText =
    "Delete skin files on phone first, this program deletes the remaining skin folder only.";

const char* const kSettingsGeometry = "geometry";
const char* const kSettingsOpenFolder = "openFolder";
const char* const kSettingsSaveFolder = "saveFolder";
const char* const kSettingsRecentFiles = "recentFiles";
const char* const kSettingsFolderColumns = "folderColumns";
const char* const kSettingsCodeGroupColumns = "codeGroupColumns";

// Room for a window manager's frame while the window is not shown and its frame is unknown.
const QMargins kAssumedFrame(8, 40, 8, 8);

const char* const kHelpText =
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
    "Ctrl+Q                  Exit";

// Paths are bytes in the file system's encoding; everything else the core returns is text
// from the file, which need not be UTF-8.
std::string toCorePath(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString fromCoreText(const std::string& text) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString decoded = utf8.decode(QByteArray::fromStdString(text));
  return utf8.hasError() ? QString::fromLatin1(text.data(), qsizetype(text.size())) : decoded;
}

QString folderOf(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : path.left(slash + 1);
}

// A frame in the highlight colour while the view has the focus, whether or not a row or line is
// current; without focus it is drawn in the palette's mid tone, as wide, so nothing moves.
void showFocusFrame(QWidget& view) {
  view.setStyleSheet(QStringLiteral("#%1 { border: 2px solid palette(mid); }"
                                    "#%1:focus { border: 2px solid palette(highlight); }")
                         .arg(view.objectName()));
}

// A read-only table: titles in the header, rows of the font's height, resizable columns.
QTableWidget* makeTable(const QString& name, const QFont& font, int columns) {
  auto* table = new QTableWidget(0, columns);
  table->setObjectName(name);
  table->setFont(font);
  table->verticalHeader()->hide();
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
  QHeaderView* titles = table->horizontalHeader();
  titles->setFont(font);
  titles->setSectionResizeMode(QHeaderView::Interactive);
  titles->setStretchLastSection(true);
  titles->setSectionsClickable(false);
  titles->setHighlightSections(false);
  titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setWordWrap(false);
  table->setCornerButtonEnabled(false);
  // Tab leaves the table rather than walking its cells.
  table->setTabKeyNavigation(false);
  showFocusFrame(*table);
  return table;
}

// Height of a table that shows its titles and `rows` whole rows.
int tableHeight(const QTableWidget& table, int rows) {
  return 2 * table.frameWidth() + table.horizontalHeader()->sizeHint().height() +
         rows * table.verticalHeader()->defaultSectionSize();
}

void setTitles(QTableWidget& table, const auto& titles) {
  QStringList labels;
  for (const char* title : titles) labels.append(QString::fromLatin1(title));
  table.setHorizontalHeaderLabels(labels);
}

QTableWidgetItem* readOnlyItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

QPlainTextEdit* makeTextView(const QString& name) {
  auto* view = new QPlainTextEdit;
  view->setObjectName(name);
  view->setReadOnly(true);
  view->setLineWrapMode(QPlainTextEdit::NoWrap);
  view->setTabChangesFocus(true);
  showFocusFrame(*view);
  return view;
}

// Height of a text view that shows `lines` whole lines of its font.
int textViewHeight(const QPlainTextEdit& view, int lines) {
  return lines * QFontMetrics(view.font()).lineSpacing() +
         2 * int(view.document()->documentMargin()) + 2 * view.frameWidth() + 2;
}

// The checksum state in the status bar: a permanent label, so that no tool tip or message
// takes it away; a click on it runs File > Verify.
class ChecksumLabel : public QLabel {
 public:
  explicit ChecksumLabel(QAction& verify) : verify_(verify) {}

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && verify_.isEnabled()) verify_.trigger();
  }

 private:
  QAction& verify_;
};

// One "Delete Skin Folder": the erase, and the bytes it overwrote for its undo.
class DeleteFolderCommand : public QUndoCommand {
 public:
  DeleteFolderCommand(EditorState& state, FolderRecordBytes saved, const QString& name,
                      std::function<void()> relist)
      : QUndoCommand(QStringLiteral("Delete Skin Folder \u201C%1\u201D").arg(name)),
        state_(state),
        saved_(std::move(saved)),
        relist_(std::move(relist)) {}

  void redo() override {
    eraseFolderRecord(state_, saved_.recordOffset);
    scanFlexFolders(state_);
    relist_();
  }
  void undo() override {
    restoreFolderRecord(state_, saved_);
    relist_();
  }

 private:
  EditorState& state_;
  FolderRecordBytes saved_;
  std::function<void()> relist_;
};

}  // namespace

QSize MainWindow::designedClientSize() { return {kClientWidth, kClientHeight}; }

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

void MainWindow::createActions() {
  auto makeAction = [this](const char* name, const QIcon& icon, const QString& text,
                           const QString& statusTip) {
    auto* action = new QAction(icon, text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(statusTip);
    return action;
  };

  openAction_ = makeAction("openAction", openIcon(), "&Open...", "Open an existing file");
  openAction_->setShortcut(QKeySequence::Open);
  openAction_->setToolTip("Open");
  connect(openAction_, &QAction::triggered, this, &MainWindow::openFile);

  saveAction_ = makeAction("saveAction", saveIcon(), "&Save",
                           "Save the RAMDLD and the Flex to a superfile, or the Flex alone");
  saveAction_->setIconText("SAVE");
  saveAction_->setShortcut(QKeySequence::Save);
  saveAction_->setToolTip("Save the RAMDLD and Flex code groups as a superfile, or the Flex alone");
  connect(saveAction_, &QAction::triggered, this, [this] { saveAs(); });

  verifyAction_ = makeAction("verifyAction", {}, "&Verify...",
                             "Check every checksum and record of the file as it is on disk");
  connect(verifyAction_, &QAction::triggered, this, &MainWindow::verifyFile);

  exitAction_ = makeAction("exitAction", {}, "E&xit", "Exit this application");
  exitAction_->setShortcut(QKeySequence::Quit);
  exitAction_->setMenuRole(QAction::QuitRole);
  connect(exitAction_, &QAction::triggered, this, &QWidget::close);

  deleteFolderAction_ =
      makeAction("deleteFolderAction", {}, "&Delete Skin Folder",
                 "Erase the selected folder's record: its bytes become erased flash (FF)");
  deleteFolderAction_->setShortcut(QKeySequence::Delete);
  // Delete belongs to the folder list: in any other control it must not erase a record.
  deleteFolderAction_->setShortcutContext(Qt::WidgetShortcut);
  connect(deleteFolderAction_, &QAction::triggered, this, &MainWindow::deleteSelectedFolder);

  reviewAction_ = makeAction("reviewAction", {}, "Re&view Changes...",
                             "List what a save would write differently from the opened file");
  reviewAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  connect(reviewAction_, &QAction::triggered, this, &MainWindow::reviewChanges);

  undoAction_ = undoStack_->createUndoAction(this, "&Undo");
  undoAction_->setObjectName("undoAction");
  undoAction_->setIcon(undoIcon());
  undoAction_->setShortcut(QKeySequence::Undo);
  undoAction_->setStatusTip("Put back the folder record deleted last");
  redoAction_ = undoStack_->createRedoAction(this, "&Redo");
  redoAction_->setObjectName("redoAction");
  QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
  if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y))) redoKeys.append(Qt::CTRL | Qt::Key_Y);
  redoAction_->setShortcuts(redoKeys);
  redoAction_->setStatusTip("Delete the folder record again");

  copyAction_ = makeAction("copyAction", {}, "&Copy", "Copy the selected code-group values");
  copyAction_->setShortcut(QKeySequence::Copy);
  copyAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(copyAction_, &QAction::triggered, this, &MainWindow::copyCodeGroupCells);

  helpAction_ = makeAction("helpAction", {}, "&Contents", "Show the steps of the job and the keys");
  helpAction_->setShortcut(QKeySequence::HelpContents);
  connect(helpAction_, &QAction::triggered, this, &MainWindow::showHelp);

  copyFolderNameAction_ =
      makeAction("copyFolderNameAction", {}, "Copy &Name", "Copy the selected folder's name");
  connect(copyFolderNameAction_, &QAction::triggered, this, [this] { copyFolderCell(1); });
  copyFolderOffsetAction_ = makeAction("copyFolderOffsetAction", {}, "Copy &Offset",
                                       "Copy the selected folder's location in the Flex");
  connect(copyFolderOffsetAction_, &QAction::triggered, this, [this] { copyFolderCell(2); });

  aboutAction_ = makeAction("aboutAction", {}, "&About", "Show the program's version and help");
  aboutAction_->setMenuRole(QAction::AboutRole);
  connect(aboutAction_, &QAction::triggered, this, &MainWindow::showAbout);

  cutCodeGroupAction_ = makeAction("cutCodeGroupAction", cutIcon(), "Cut Selected CG", {});
  connect(cutCodeGroupAction_, &QAction::triggered, this, &MainWindow::cutCodeGroup);
  undoCutAction_ = makeAction("undoCutAction", undoIcon(), "Undo", {});
  connect(undoCutAction_, &QAction::triggered, this, &MainWindow::undoCodeGroupCut);
  saveSelectedAction_ = makeAction("saveSelectedAction", {}, "Save Selected CG", {});
  replaceSelectedAction_ = makeAction("replaceSelectedAction", {}, "Replace Selected CG", {});

  for (int i = 0; i < kMaxRecentFiles; ++i) {
    auto* action = new QAction(this);
    action->setVisible(false);
    connect(action, &QAction::triggered, this, &MainWindow::openRecentFile);
    recentFileActions_.append(action);
  }
}

void MainWindow::createMenus() {
  QMenu* fileMenu = menuBar()->addMenu("&File");
  fileMenu->setObjectName("fileMenu");
  fileMenu->addAction(openAction_);
  recentFilesMenu_ = fileMenu->addMenu("Open &Recent");
  recentFilesMenu_->setObjectName("recentFilesMenu");
  recentFilesMenu_->addActions(recentFileActions_);
  fileMenu->addSeparator();
  fileMenu->addAction(saveAction_);
  fileMenu->addAction(verifyAction_);
  fileMenu->addSeparator();
  fileMenu->addAction(exitAction_);

  QMenu* editMenu = menuBar()->addMenu("&Edit");
  editMenu->setObjectName("editMenu");
  editMenu->addAction(undoAction_);
  editMenu->addAction(redoAction_);
  editMenu->addSeparator();
  editMenu->addAction(deleteFolderAction_);
  editMenu->addAction(reviewAction_);

  QMenu* helpMenu = menuBar()->addMenu("&Help");
  helpMenu->setObjectName("helpMenu");
  helpMenu->addAction(helpAction_);
  helpMenu->addAction(aboutAction_);
}

void MainWindow::createToolBar() {
  QToolBar* bar = addToolBar("File");
  bar->setObjectName("fileToolBar");
  bar->setMovable(false);
  bar->setFloatable(false);
  // The bar also carries the delete button; it cannot be hidden away.
  bar->toggleViewAction()->setVisible(false);
  bar->setContextMenuPolicy(Qt::PreventContextMenu);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  bar->addAction(openAction_);
  bar->addAction(saveAction_);
  if (QWidget* saveButton = bar->widgetForAction(saveAction_)) {
    QFont bold = saveButton->font();
    bold.setBold(true);
    saveButton->setFont(bold);
  }
  if (QWidget* openButton = bar->widgetForAction(openAction_)) {
    // Icon only, so the toolbar stays narrow; the text shows when the icon cannot be drawn.
    if (!openAction_->icon().isNull()) {
      static_cast<QToolButton*>(openButton)->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
  }

  auto* spacer = new QWidget;
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  bar->addWidget(spacer);
  deleteFolderButton_ = new QPushButton(deleteFolderAction_->text());
  deleteFolderButton_->setObjectName("deleteFolderButton");
  deleteFolderButton_->setToolTip(deleteFolderAction_->statusTip());
  deleteFolderButton_->setStatusTip(deleteFolderAction_->statusTip());
  QFont bold = deleteFolderButton_->font();
  bold.setBold(true);
  deleteFolderButton_->setFont(bold);
  connect(deleteFolderButton_, &QPushButton::clicked, deleteFolderAction_, &QAction::trigger);
  bar->addWidget(deleteFolderButton_);
  // A bar's buttons take no focus by themselves; these are reached with Tab too.
  for (QAction* action : {openAction_, saveAction_}) {
    if (QWidget* button = bar->widgetForAction(action)) button->setFocusPolicy(Qt::TabFocus);
  }
  deleteFolderButton_->setFocusPolicy(Qt::StrongFocus);
  // The button that shows what a narrow bar cannot: screen readers need a name for it.
  if (auto* more = bar->findChild<QToolButton*>("qt_toolbar_ext_button")) {
    more->setAccessibleName("More tools");
  }
}

void MainWindow::createControls() {
  auto* client = new QWidget;
  setCentralWidget(client);

  hintLabel_ = new QLabel(kHintText);
  hintLabel_->setObjectName("hintLabel");
  hintLabel_->setWordWrap(true);

  pathEdit_ = new PathField;
  pathEdit_->setObjectName("pathEdit");
  pathEdit_->setAccessibleName("Opened file");
  pathEdit_->setAccessibleDescription("The path of the superfile shown");

  reportView_ = makeTextView("reportView");
  reportView_->setAccessibleName("Report");
  reportView_->setAccessibleDescription("What the superfile's header and code groups say");
  // Nine lines whole where there is room; on a small screen it scrolls.
  reportView_->setMinimumHeight(textViewHeight(*reportView_, kLeastReportLines));
  reportView_->setMaximumHeight(textViewHeight(*reportView_, kReportLines));

  folderTable_ = makeTable("folderTable", font(), int(kFolderGridTitles.size()));
  setTitles(*folderTable_, kFolderGridTitles);
  folderTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  folderTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  folderTable_->setAccessibleName("Skin folders");
  folderTable_->setAccessibleDescription(
      "The folder records in the Flex code group; select one to delete it");
  folderTable_->addActions({deleteFolderAction_, copyFolderNameAction_, copyFolderOffsetAction_});
  // The desktop's other key for a context menu, which Qt leaves to the program.
  auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), folderTable_);
  menuKey->setContext(Qt::WidgetShortcut);
  connect(menuKey, &QShortcut::activated, this, [this] {
    const QRect row = folderTable_->visualRect(folderTable_->currentIndex());
    const QPoint at = row.isValid() ? row.bottomLeft() : QPoint(0, 0);
    QMenu::exec(folderTable_->actions(), folderTable_->viewport()->mapToGlobal(at), nullptr,
                folderTable_);
  });
  folderTable_->setContextMenuPolicy(Qt::ActionsContextMenu);
  folderTable_->setMinimumHeight(tableHeight(*folderTable_, 2));
  const QFontMetrics metrics(font());
  folderTable_->setColumnWidth(0, metrics.horizontalAdvance("200") + 16);
  folderTable_->setColumnWidth(1, metrics.horizontalAdvance(QString(30, QLatin1Char('n'))));
  connect(folderTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    showRecordPreview();
    updateActions();
  });

  hexFont_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  recordPreview_ = makeTextView("recordPreview");
  recordPreview_->setFont(hexFont_);
  recordPreview_->setAccessibleName("Record bytes");
  recordPreview_->setAccessibleDescription(
      "The bytes of the selected folder record that a delete turns to FF");
  recordPreview_->setPlaceholderText(
      "Select a folder to see the bytes \u201CDelete Skin Folder\u201D turns to FF.");

  // The folder list takes the height the window gains; the preview can be given more of it.
  auto* folderSplitter = new QSplitter(Qt::Vertical);
  folderSplitter->setObjectName("folderSplitter");
  folderSplitter->setChildrenCollapsible(false);
  folderSplitter->addWidget(folderTable_);
  folderSplitter->addWidget(recordPreview_);
  folderSplitter->setStretchFactor(0, 1);
  folderSplitter->setStretchFactor(1, 0);
  folderSplitter->setSizes({tableHeight(*folderTable_, kFolderRowsShown),
                            textViewHeight(*recordPreview_, kPreviewLines)});
  recordPreview_->setMinimumHeight(textViewHeight(*recordPreview_, 3));
  // Its lines are all there is to see: more height would only go to waste.
  recordPreview_->setMaximumHeight(textViewHeight(*recordPreview_, kPreviewLines) +
                                   recordPreview_->horizontalScrollBar()->sizeHint().height());

  // The code-group table has its own, smaller font; its hexadecimal cells use the fixed-pitch
  // one. The size and the checksums are there too, so that a user sees which sum failed.
  QFont tableFont = font();
  tableFont.setPointSizeF(std::min(tableFont.pointSizeF(), kCodeGroupTablePointSize));
  hexFont_.setPointSizeF(tableFont.pointSizeF());
  codeGroupTable_ = makeTable("codeGroupTable", tableFont, int(kCodeGroupGridTitles.size()));
  setTitles(*codeGroupTable_, kCodeGroupGridTitles);
  codeGroupTable_->setAccessibleName("Code groups");
  codeGroupTable_->setAccessibleDescription("The RAMDLD and Flex code groups that a save writes");
  codeGroupTable_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  codeGroupTable_->setSelectionBehavior(QAbstractItemView::SelectItems);
  codeGroupTable_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  const QFontMetrics tableMetrics(tableFont);
  const QFontMetrics hexMetrics(hexFont_);
  const QString hex8(8, QLatin1Char('0'));
  codeGroupTable_->setColumnWidth(0, tableMetrics.horizontalAdvance("RDL") + 16);
  codeGroupTable_->setColumnWidth(1, tableMetrics.horizontalAdvance("Splashscreen/Config") + 12);
  codeGroupTable_->setColumnWidth(2, hexMetrics.horizontalAdvance(hex8) + 12);
  codeGroupTable_->setColumnWidth(3, hexMetrics.horizontalAdvance(hex8) + 12);
  codeGroupTable_->setColumnWidth(4, hexMetrics.horizontalAdvance(QString(38, '0')) + 12);
  codeGroupTable_->setColumnWidth(5, tableMetrics.horizontalAdvance("99,999,999") + 12);
  for (const int c : {6, 7, 8}) {
    codeGroupTable_->setColumnWidth(
        c,
        std::max(hexMetrics.horizontalAdvance("0000"),
                 tableMetrics.horizontalAdvance(codeGroupTable_->horizontalHeaderItem(c)->text())) +
            16);
  }
  // The scroll bar is always there, so the two rows never hide under it.
  codeGroupTable_->setFixedHeight(tableHeight(*codeGroupTable_, kCodeGroupRowsShown) +
                                  codeGroupTable_->horizontalScrollBar()->sizeHint().height());
  codeGroupTable_->addAction(copyAction_);
  codeGroupTable_->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(codeGroupTable_, &QTableWidget::currentCellChanged, this, &MainWindow::updateActions);

  auto* layout = new QVBoxLayout(client);
  layout->addWidget(hintLabel_);
  layout->addWidget(pathEdit_);
  layout->addWidget(reportView_);
  layout->addWidget(folderSplitter, 1);
  layout->addWidget(codeGroupTable_);

  if (const auto* bar = findChild<QToolBar*>("fileToolBar")) {
    QWidget* openButton = bar->widgetForAction(openAction_);
    QWidget* saveButton = bar->widgetForAction(saveAction_);
    if (openButton != nullptr && saveButton != nullptr) {
      setTabOrder(openButton, saveButton);
      setTabOrder(saveButton, deleteFolderButton_);
    }
  }
  setTabOrder(deleteFolderButton_, pathEdit_);
  setTabOrder(pathEdit_, reportView_);
  setTabOrder(reportView_, folderTable_);
  setTabOrder(folderTable_, recordPreview_);
  setTabOrder(recordPreview_, codeGroupTable_);
}

void MainWindow::createStatusBar() {
  progressBar_ = new QProgressBar;
  progressBar_->setObjectName("progressBar");
  progressBar_->setRange(0, 20);
  progressBar_->setTextVisible(false);
  progressBar_->setMaximumWidth(200);
  progressBar_->hide();
  progressBar_->setAccessibleName("Progress");
  checksumLabel_ = new ChecksumLabel(*verifyAction_);
  checksumLabel_->setObjectName("checksumLabel");
  checksumLabel_->setAccessibleName("Checksum state");
  checksumLabel_->setToolTip("Click for File > Verify");
  // It takes the room the messages leave; a long cause is cut at the right, not the window.
  checksumLabel_->setMinimumWidth(0);
  checksumLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusBar()->addPermanentWidget(checksumLabel_, 1);
  statusBar()->addPermanentWidget(progressBar_);
}

void MainWindow::readSettings() {
  QSettings settings;
  openDialogFolder_ = settings.value(kSettingsOpenFolder).toString();
  saveDialogFolder_ = settings.value(kSettingsSaveFolder).toString();
  updateRecentFilesMenu();
  const QSize designed = designedClientSize() + QSize(0, menuBar()->sizeHint().height());
  setMinimumSize(designed.expandedTo(minimumSizeHint()));
  folderTable_->horizontalHeader()->restoreState(
      settings.value(kSettingsFolderColumns).toByteArray());
  codeGroupTable_->horizontalHeader()->restoreState(
      settings.value(kSettingsCodeGroupColumns).toByteArray());
  if (!restoreGeometry(settings.value(kSettingsGeometry).toByteArray())) {
    // The folder list's own hint is taller than the rows it is meant to show by default.
    const int folderSurplus = std::max(
        0, folderTable_->sizeHint().height() - tableHeight(*folderTable_, kFolderRowsShown));
    resize(designed.expandedTo(sizeHint() - QSize(0, folderSurplus)));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      move(screen->availableGeometry().center() - rect().center());
    }
  }
  fitToScreen();
}

void MainWindow::fitToScreen() {
  const QScreen* screen = QGuiApplication::screenAt(geometry().center());
  const bool onScreen = screen != nullptr;
  if (!onScreen) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QMargins frame = isVisible() ? QMargins(geometry().left() - frameGeometry().left(),
                                                geometry().top() - frameGeometry().top(),
                                                frameGeometry().right() - geometry().right(),
                                                frameGeometry().bottom() - geometry().bottom())
                                     : kAssumedFrame;
  const QSize most = area.marginsRemoved(frame).size();
  // The designed least size gives way on a small screen or at a large scale factor.
  setMinimumSize(minimumSize().boundedTo(most));
  resize(size().boundedTo(most));
  QRect client(onScreen ? geometry().topLeft() : QPoint(), size());
  if (!onScreen) client.moveCenter(area.center());
  const QRect inside = area.marginsRemoved(frame);
  client.moveLeft(std::clamp(client.left(), inside.left(), inside.right() - client.width() + 1));
  client.moveTop(std::clamp(client.top(), inside.top(), inside.bottom() - client.height() + 1));
  move(client.topLeft() - QPoint(frame.left(), frame.top()));
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Start-up runs once the window is on screen, so that a box it shows appears above it.
  if (!started_) QTimer::singleShot(0, this, &MainWindow::startUp);
}

void MainWindow::startUp() {
  if (started_) return;
  started_ = true;
  initialiseEditor(state_);
  if (!startupPath_.isEmpty()) loadFile(startupPath_);
  // The list is where the work is; with nothing open, the field that will name the file.
  if (fileLoaded_) {
    folderTable_->setFocus(Qt::OtherFocusReason);
  } else {
    pathEdit_->setFocus(Qt::OtherFocusReason);
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

bool MainWindow::maybeSave() {
  if (!isModified()) return true;
  for (;;) {
    switch (dialogs_.askToSaveChanges(this, QFileInfo(currentFile_).fileName())) {
      case UnsavedChanges::Save: return saveAs();
      case UnsavedChanges::Discard: return true;
      case UnsavedChanges::Cancel: return false;
      case UnsavedChanges::Review: reviewChanges(); break;
    }
  }
}

void MainWindow::updateTitle() {
  // With a file, Qt makes the title from its name and the application's display name.
  setWindowTitle(currentFile_.isEmpty() ? QString::fromLatin1(kWindowCaption) : QString());
  setWindowFilePath(currentFile_);
  setWindowModified(isModified());
}

void MainWindow::updateActions() {
  const bool idle = !busy_;
  openAction_->setEnabled(idle);
  exitAction_->setEnabled(idle);
  recentFilesMenu_->setEnabled(idle && recentFileActions_.first()->isVisible());
  saveAction_->setEnabled(idle && saveAllowed_);
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

void MainWindow::showNotice(NoticeCode notice, const QString& details) {
  dialogs_.showMessage(this, "NOTICE", QString::fromLatin1(noticeText(notice)), details);
}

void MainWindow::showWarning(StatusCode status, const QString& path, const FileProblem& problem,
                             const QString& caption) {
  progressBar_->hide();
  // A folder that could not be synced is named in place of the file it holds.
  QString details = problem.where.empty() ? path : QFile::decodeName(problem.where.c_str());
  const bool fileError = status == StatusCode::FileNotOpened ||
                         status == StatusCode::FileWriteError || status == StatusCode::VerifyError;
  if (fileError && problem) {
    details += QLatin1Char('\n') + QString::fromLocal8Bit(fileProblemText(problem).c_str());
  }
  if (!problem.leftover.empty()) {
    details +=
        QLatin1Char('\n') + QFile::decodeName(problem.leftover.c_str()) +
        QStringLiteral(": the temporary file could not be removed: ") +
        QString::fromLocal8Bit(fileProblemText(FileProblem::system(problem.leftoverError)).c_str());
  }
  dialogs_.showMessage(this, caption, QString::fromLatin1(statusText(status)), details);
}

void MainWindow::showOpenFailure(const OpenedSuperfile& opened, const QString& path) {
  // The file that did not open is not shown: the window is as it was at start-up, except that
  // File > Verify can still list what is wrong with it.
  currentFile_.clear();
  verifyPath_ = path;
  pathEdit_->setPath({});
  reportView_->clear();
  codeGroupTable_->setRowCount(0);
  fillFolderTable();
  progressBar_->hide();
  updateTitle();
  updateActions();

  const QString status = QString::fromLatin1(statusText(opened.status));
  const std::string name = toCorePath(QFileInfo(path).fileName());
  QString cause;
  if (opened.problem) {
    cause = QFileInfo(path).fileName() + QStringLiteral(": ") +
            QString::fromLocal8Bit(fileProblemText(opened.problem).c_str());
  } else if (opened.cause) {
    // The check's finding where the read stopped, or else its first problem.
    cause = fromCoreText(findingLine(name, *opened.cause));
  }
  checksumLabel_->setText(cause.isEmpty() ? status : status + QStringLiteral(": ") + cause);
  if (opened.problem) {
    showWarning(opened.status, path, opened.problem);
    return;
  }
  QString details = path;
  if (!cause.isEmpty()) details += QLatin1Char('\n') + cause;
  if (opened.check.problems > 1) {
    details += QStringLiteral("\nFile > Verify lists every problem (%1 in all).")
                   .arg(opened.check.problems);
  }
  dialogs_.showMessage(this, QStringLiteral("WARNING"), status, details);
}

void MainWindow::openFile() {
  if (busy_ || !maybeSave()) return;
  const QString path = dialogs_.getOpenFileName(this, openDialogFolder_, openDialogFileName_);
  if (path.isEmpty()) return;
  loadFile(path);
}

void MainWindow::openRecentFile() {
  const auto* action = qobject_cast<const QAction*>(sender());
  if (action == nullptr || busy_ || !maybeSave()) return;
  loadFile(action->data().toString());
}

void MainWindow::showBarAtStart() {
  progressBar_->setMaximum(kProgressSteps);
  progressBar_->setValue(1);
  progressBar_->show();
}

void MainWindow::loadFile(const QString& path) {
  const std::optional<SuperfileEncoding> type = superfileTypeOf(path);
  if (!type) {
    // Refused before anything is touched: the file shown stays as it was.
    showNotice(NoticeCode::FileTypeNotSupported, path + "\nSuperfiles end in .shx or .sbf.");
    return;
  }
  undoStack_->clear();
  codeGroupsChanged_ = false;
  folderTable_->clearSelection();
  codeGroupTable_->setCurrentIndex(QModelIndex());
  if (!state_.image.exists()) {
    showWarning(StatusCode::BufferError, path);
    return;
  }

  pathEdit_->setPath(path);
  reportView_->clear();
  openDialogFileName_ = path;
  openDialogFolder_ = folderOf(path);
  // The first save after an open starts beside the opened file, under a name of its own, so
  // that the backup (and what else it holds) stays unless the user chooses to replace it.
  saveDialogFolder_ = openDialogFolder_;
  saveDialogFileName_ =
      QFileInfo(path).completeBaseName() + QStringLiteral("-edited.") + QFileInfo(path).suffix();
  saveDialogType_ = *type == SuperfileEncoding::Shx ? SaveType::Shx : SaveType::Sbf;
  QSettings().setValue(kSettingsOpenFolder, openDialogFolder_);
  currentFile_ = path;
  verifyPath_ = path;
  statusBar()->clearMessage();
  checksumLabel_->clear();

  showBarAtStart();
  BarProgress progress(*progressBar_);
  OpenOptions options;
  options.encoding = type;
  options.numbers = numberFormat_;
  OpenedSuperfile opened = openForEditing(state_, toCorePath(path), options, progress);
  fileLoaded_ = opened.loaded();
  if (!fileLoaded_) {
    saveAllowed_ = false;
    showOpenFailure(opened, path);
    openedCheck_ = std::move(opened.check);
    return;
  }
  progressBar_->hide();
  showOpened(path, opened);
  updateTitle();
  updateActions();
  folderTable_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showOpened(const QString& path, OpenedSuperfile& opened) {
  openedCheck_ = std::move(opened.check);
  saveAllowed_ = opened.saveAllowed;
  QStringList lines;
  for (const std::string& line : opened.report) lines.append(fromCoreText(line));
  reportView_->setPlainText(lines.join(QLatin1Char('\n')));
  fillCodeGroupTable(opened.codeGroups);
  fillFolderTable(opened.folders);
  addRecentFile(path);
  showCheckSummary();
  // Nothing can be deleted or saved without the Flex: the status bar says why, as a save would.
  if (!saveAllowed_) {
    statusBar()->showMessage(QString::fromLatin1(noticeText(NoticeCode::NoFlexCodeGroup)));
  }
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

void MainWindow::fillCodeGroupTable() {
  fillCodeGroupTable(codeGroupGridRows(state_, numberFormat_));
}

void MainWindow::fillCodeGroupTable(const std::vector<CodeGroupGridRow>& rows) {
  codeGroupTable_->setRowCount(int(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (int c = 0; c < int(rows[i].size()); ++c) {
      QTableWidgetItem* item = readOnlyItem(fromCoreText(rows[i][std::size_t(c)]));
      if (c >= kFirstHexColumn && c <= kLastHexColumn) item->setFont(hexFont_);
      codeGroupTable_->setItem(int(i), c, item);
    }
  }
  codeGroupTable_->scrollToTop();
}

void MainWindow::fillFolderTable() { fillFolderTable(folderGridRows(state_)); }

void MainWindow::fillFolderTable(const std::vector<FolderGridRow>& rows) {
  const QSignalBlocker quiet(folderTable_->selectionModel());
  folderTable_->clearSelection();
  folderTable_->setCurrentIndex(QModelIndex());
  folderTable_->setRowCount(int(rows.size()));
  for (std::size_t k = 0; k < rows.size(); ++k) {
    for (int c = 0; c < int(rows[k].size()); ++c) {
      folderTable_->setItem(int(k), c, readOnlyItem(fromCoreText(rows[k][std::size_t(c)])));
    }
  }
  // Long names are shown whole as long as the location column keeps its title in view.
  const int least = QFontMetrics(folderTable_->font()).horizontalAdvance(QString(30, 'n'));
  folderTable_->resizeColumnToContents(1);
  const int widest = folderTable_->columnWidth(1);
  const int room = folderTable_->viewport()->width() - folderTable_->columnWidth(0) -
                   QFontMetrics(folderTable_->font()).horizontalAdvance("CG2 Location") - 16;
  folderTable_->setColumnWidth(1, std::max(least, std::min(widest, room)));
  showRecordPreview();
}

void MainWindow::relistFolders() {
  fillFolderTable();
  updateTitle();
  updateActions();
}

int MainWindow::selectedFolder() const {
  const QModelIndexList rows = folderTable_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

int MainWindow::currentCodeGroupSlot() const {
  const QModelIndex current = codeGroupTable_->currentIndex();
  return current.isValid() ? current.row() : -1;
}

void MainWindow::showRecordPreview() {
  const std::uint32_t offset = folderRecordOffset(state_, selectedFolder());
  if (offset == 0) {
    recordPreview_->clear();
    return;
  }
  QStringList lines;
  for (const std::string& line : folderRecordDump(state_, offset)) lines.append(fromCoreText(line));
  recordPreview_->setPlainText(lines.join(QLatin1Char('\n')));
}

void MainWindow::deleteSelectedFolder() {
  if (busy_) return;
  const int index = selectedFolder();
  if (!canDeleteFolder(state_, index)) return;
  const std::uint32_t offset = folderRecordOffset(state_, index);
  const QString name = fromCoreText(state_.folders[std::size_t(index)].folderName);
  // The command's first redo erases; the list comes back with nothing selected, so a second
  // click cannot erase the neighbour that moved up.
  undoStack_->push(new DeleteFolderCommand(state_, captureFolderRecord(state_, offset), name,
                                           [this] { relistFolders(); }));
  folderTable_->setFocus();
}

void MainWindow::cutCodeGroup() {
  if (busy_ || !cutSlot(state_, currentCodeGroupSlot())) return;
  codeGroupsChanged_ = true;
  fillCodeGroupTable();
  updateTitle();
  updateActions();
}

void MainWindow::undoCodeGroupCut() {
  if (busy_ || !undoCut(state_)) return;
  codeGroupsChanged_ = true;
  fillCodeGroupTable();
  updateTitle();
  updateActions();
}

void MainWindow::copyCodeGroupCells() {
  // The selected cells row by row, tab between columns, as spreadsheets paste them.
  std::map<int, std::map<int, QString>> cells;
  for (const QModelIndex& index : codeGroupTable_->selectionModel()->selectedIndexes()) {
    if (codeGroupTable_->isColumnHidden(index.column())) continue;
    cells[index.row()][index.column()] = index.data().toString();
  }
  QStringList lines;
  for (const auto& [row, columns] : cells) {
    QStringList values;
    for (const auto& [column, text] : columns) values.append(text);
    lines.append(values.join(QLatin1Char('\t')));
  }
  if (!lines.isEmpty()) QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}

bool MainWindow::saveAs() {
  if (busy_) return false;
  // After a failed open the slots are empty; say so rather than what two empty slots look like.
  if (!fileLoaded_) {
    showNotice(NoticeCode::NoFilesSelectedToSave);
    return false;
  }
  if (const NoticeCode notice = checkSaveable(state_); notice != NoticeCode::None) {
    showNotice(notice);
    return false;
  }
  if (!confirmSaveOverProblems()) return false;
  const std::optional<SaveChoice> accepted =
      dialogs_.getSaveFileName(this, saveDialogFolder_, saveDialogFileName_, saveDialogType_);
  if (!accepted) return false;
  const SaveChoice choice = resolveSaveChoice(*accepted);
  saveDialogFolder_ = folderOf(choice.path);
  saveDialogFileName_ = QFileInfo(choice.path).fileName();
  saveDialogType_ = choice.type;
  QSettings().setValue(kSettingsSaveFolder, saveDialogFolder_);
  if (!mayReplace(choice)) return false;

  const std::uint64_t otherLinks = otherHardLinks(toCorePath(choice.path));
  showBarAtStart();
  BarProgress progress(*progressBar_);
  SaveOptions options;
  options.dateText = saveDate().text;
  options.staleSlots = StaleSlots::ExportAndWarn;
  FileProblem why;
  const StatusCode status =
      saveToFile(state_, toCorePath(choice.path), choice.type, options, progress, &why);
  const bool saved = status == StatusCode::None;
  if (!saved) {
    // Headed as a save, so that a reason such as a read-only folder does not read as an open.
    showWarning(status, choice.path, why,
                QStringLiteral("Could not save %1").arg(QFileInfo(choice.path).fileName()));
  }
  pauseWithFullBar();
  progressBar_->hide();
  if (saved) {
    // Only a superfile holds the whole document: after an export of the Flex alone the deletes
    // are still to be saved, and closing still asks. A superfile is now the file the window
    // shows: read back, so that the path, the report, the code groups and the checksum state
    // describe what was written. An export leaves the opened superfile shown.
    if (isSuperfile(choice.type)) {
      undoStack_->setClean();
      codeGroupsChanged_ = false;
      showSavedFile(choice.path);
    }
    QString message = QStringLiteral("Saved to %1").arg(choice.path);
    if (otherLinks > 0) {
      message += QStringLiteral("; %1 other hard link%2 the old contents")
                     .arg(otherLinks)
                     .arg(otherLinks == 1 ? QStringLiteral(" keeps") : QStringLiteral("s keep"));
    }
    statusBar()->showMessage(message);
  }
  updateTitle();
  updateActions();
  return saved;
}

void MainWindow::showSavedFile(const QString& path) {
  OpenOptions options;
  options.encoding = superfileTypeOf(path);
  options.numbers = numberFormat_;
  Progress quiet;
  OpenedSuperfile opened = openForEditing(state_, toCorePath(path), options, quiet);
  fileLoaded_ = opened.loaded();
  if (!fileLoaded_) {
    saveAllowed_ = false;
    showOpenFailure(opened, path);
    return;
  }
  // The undo stack stays: the saved file holds the same bytes the deletes were made on.
  currentFile_ = path;
  verifyPath_ = path;
  pathEdit_->setPath(path);
  showOpened(path, opened);
}

bool MainWindow::mayReplace(const SaveChoice& choice) {
  const std::vector<std::string> dropped =
      groupsASaveDrops(state_, codeGroupsListedIn(toCorePath(choice.path)), choice.type);
  if (dropped.empty()) return true;
  return dialogs_.askToDropCodeGroups(this, QFileInfo(choice.path).fileName(),
                                      fromCoreText(joinedNames(dropped)));
}

void MainWindow::addRecentFile(const QString& path) {
  QSettings settings;
  QStringList files = settings.value(kSettingsRecentFiles).toStringList();
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kMaxRecentFiles) files.removeLast();
  settings.setValue(kSettingsRecentFiles, files);
  updateRecentFilesMenu();
}

void MainWindow::updateRecentFilesMenu() {
  const QStringList files = QSettings().value(kSettingsRecentFiles).toStringList();
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    QAction* action = recentFileActions_[i];
    if (i >= files.size()) {
      action->setVisible(false);
      continue;
    }
    action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName()));
    action->setData(files[i]);
    action->setStatusTip(files[i]);
    action->setVisible(true);
  }
  recentFilesMenu_->setEnabled(!busy_ && !files.isEmpty());
}

void MainWindow::showCheckSummary() {
  const std::uint64_t problems = openedCheck_.problems;
  checksumLabel_->setText(problems == 0
                              ? QStringLiteral("Checksums OK")
                              : QStringLiteral("%1 checksum problem%2 \u2014 see File > Verify")
                                    .arg(problems)
                                    .arg(problems == 1 ? "" : "s"));
}

bool MainWindow::confirmSaveOverProblems() {
  if (openedCheck_.problems == 0) return true;
  const std::string name = toCorePath(QFileInfo(currentFile_).fileName());
  QStringList all;
  for (const std::string& line : verifyLines(name, openedCheck_)) {
    all.append(fromCoreText(line));
  }
  return dialogs_.confirmDamagedSave(this, fromCoreText(damagedSaveQuestion(name, openedCheck_)),
                                     all.join(QLatin1Char('\n')));
}

void MainWindow::verifyFile() {
  const std::optional<SuperfileEncoding> type = superfileTypeOf(verifyPath_);
  if (busy_ || !type) return;
  const VerifyResult verified = verifySuperfile(toCorePath(verifyPath_), *type);
  if (!verified.read()) {
    showWarning(verified.status, verifyPath_, verified.problem);
    return;
  }
  // The check reads the file, not the document: say which file, and that edits are not in it.
  QStringList lines(QStringLiteral("Checked %1 as it is on disk%2.")
                        .arg(verifyPath_, isModified() && verifyPath_ == currentFile_
                                              ? QStringLiteral("; unsaved changes are not in it")
                                              : QString()));
  lines.append(QString());
  const std::string name = toCorePath(QFileInfo(verifyPath_).fileName());
  for (const std::string& line : verifyLines(name, verified.check))
    lines.append(fromCoreText(line));
  dialogs_.showText(this, QStringLiteral("Verify \u2014 %1").arg(QFileInfo(verifyPath_).fileName()),
                    lines.join(QLatin1Char('\n')));
}

void MainWindow::reviewChanges() {
  if (!reviewAction_->isEnabled()) return;
  const ReviewText review = reviewChangesText(state_, currentFile_);
  if (review.notice != NoticeCode::None) {
    showNotice(review.notice, currentFile_);
  } else if (!review.ok()) {
    showWarning(review.status, currentFile_, review.problem);
  } else {
    dialogs_.showText(
        this, QStringLiteral("Review Changes \u2014 %1").arg(QFileInfo(currentFile_).fileName()),
        review.text);
  }
}

void MainWindow::showHelp() {
  dialogs_.showText(this, QStringLiteral("Help \u2014 %1").arg(kWindowCaption),
                    QString::fromLatin1(kHelpText));
}

void MainWindow::copyFolderCell(int column) {
  const int row = selectedFolder();
  if (row < 0) return;
  if (const QTableWidgetItem* item = folderTable_->item(row, column)) {
    QGuiApplication::clipboard()->setText(item->text());
  }
}

void MainWindow::showAbout() {
  aboutDialog_->setVersion(QString::fromLatin1(kProgramVersion));
  aboutDialog_->exec();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  // A file that cannot be opened is refused here, before any question about unsaved changes.
  if (!busy_ && urls.size() == 1 && urls.first().isLocalFile() &&
      superfileTypeOf(urls.first().toLocalFile())) {
    event->acceptProposedAction();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (busy_ || urls.size() != 1 || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  // Open once the drop is over: the open may show a modal box.
  const QString path = urls.first().toLocalFile();
  QTimer::singleShot(0, this, [this, path] {
    if (!busy_ && maybeSave()) loadFile(path);
  });
}

}  // namespace tavufe
