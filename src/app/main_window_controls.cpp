// Building the window: its actions, menus, tool bar, controls and status bar, and its first size.

#include <QAction>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
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
#include <QTableWidget>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <span>

#include "app/icons.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app/path_field.h"
#include "app/system_texts.h"
#include "app/window_settings.h"
#include "inspect/code_group_table.h"
#include "inspect/folder_scan.h"

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
constexpr int kLeastFolderRows = 5;     // where the screen has the height for them
constexpr int kFewestFolderRows = 2;    // on a screen that has not
constexpr int kCodeGroupRowsShown = 2;  // the RAMDLD and the Flex a save writes
constexpr double kCodeGroupTablePointSize = 8.0;

const char* const kHintText = QT_TRANSLATE_NOOP(
    "tavufe::MainWindow",
    "Delete skin files on phone first, this program deletes the remaining skin folder only.");

// Room for a window manager's frame while the window is not shown and its frame is unknown.
const QMargins kAssumedFrame(8, 40, 8, 8);

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

// The headings in the window's language.
void setTitles(QTableWidget& table, std::span<const char* const> titles) {
  table.setHorizontalHeaderLabels(translatedTitles(titles));
}

// Widens each column that is narrower than its heading.
void fitTitles(QTableWidget& table) {
  // The headings' size as they will be drawn: with the style sheet's frame applied.
  QHeaderView* header = table.horizontalHeader();
  header->ensurePolished();
  for (int c = 0; c < table.columnCount(); ++c) {
    table.setColumnWidth(c, std::max(table.columnWidth(c), header->sectionSizeHint(c)));
  }
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

QAction* makeAction(QObject* owner, const char* name, const QIcon& icon, const QString& text,
                    const QString& statusTip) {
  auto* action = new QAction(icon, text, owner);
  action->setObjectName(QString::fromLatin1(name));
  action->setStatusTip(statusTip);
  return action;
}

}  // namespace

QSize MainWindow::designedClientSize() { return {kClientWidth, kClientHeight}; }

void MainWindow::createActions() {
  createFileActions();
  createEditActions();
  createHelpActions();
}

void MainWindow::createFileActions() {
  openAction_ =
      makeAction(this, "openAction", openIcon(), tr("&Open..."), tr("Open an existing file"));
  openAction_->setShortcut(QKeySequence::Open);
  openAction_->setToolTip(tr("Open"));
  connect(openAction_, &QAction::triggered, this, &MainWindow::openFile);

  rescueAction_ =
      makeAction(this, "rescueAction", {}, tr("R&escue..."),
                 tr("Open a damaged superfile, reading past its damaged lines and records"));
  connect(rescueAction_, &QAction::triggered, this, &MainWindow::rescueFile);

  saveAction_ = makeAction(this, "saveAction", saveIcon(), tr("&Save"),
                           tr("Save the RAMDLD and the Flex to a superfile, or the Flex alone"));
  saveAction_->setIconText(tr("SAVE"));
  saveAction_->setShortcut(QKeySequence::Save);
  saveAction_->setToolTip(
      tr("Save the RAMDLD and Flex code groups as a superfile, or the Flex alone"));
  // Kept, since Save shows why it is off in their place.
  saveToolTip_ = saveAction_->toolTip();
  saveStatusTip_ = saveAction_->statusTip();
  connect(saveAction_, &QAction::triggered, this, [this] { saveAs(); });

  verifyAction_ = makeAction(this, "verifyAction", {}, tr("&Verify..."),
                             tr("Check every checksum and record of the file as it is on disk"));
  connect(verifyAction_, &QAction::triggered, this, &MainWindow::verifyFile);

  exitAction_ = makeAction(this, "exitAction", {}, tr("E&xit"), tr("Exit this application"));
  exitAction_->setShortcut(QKeySequence::Quit);
  exitAction_->setMenuRole(QAction::QuitRole);
  connect(exitAction_, &QAction::triggered, this, &QWidget::close);

  for (int i = 0; i < kMaxRecentFiles; ++i) {
    auto* action = new QAction(this);
    action->setVisible(false);
    connect(action, &QAction::triggered, this, &MainWindow::openRecentFile);
    recentFileActions_.append(action);
  }
}

void MainWindow::createEditActions() {
  deleteFolderAction_ =
      makeAction(this, "deleteFolderAction", {}, tr("&Delete Skin Folder"),
                 tr("Erase the selected folder's record: its bytes become erased flash (FF)"));
  deleteFolderAction_->setShortcut(QKeySequence::Delete);
  // Delete belongs to the folder list: in any other control it must not erase a record.
  deleteFolderAction_->setShortcutContext(Qt::WidgetShortcut);
  connect(deleteFolderAction_, &QAction::triggered, this, &MainWindow::deleteSelectedFolder);

  reviewAction_ = makeAction(this, "reviewAction", {}, tr("Re&view Changes..."),
                             tr("List what a save would write differently from the opened file"));
  reviewAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  connect(reviewAction_, &QAction::triggered, this, &MainWindow::reviewChanges);

  undoAction_ = undoStack_->createUndoAction(this, tr("&Undo"));
  undoAction_->setObjectName("undoAction");
  undoAction_->setIcon(undoIcon());
  undoAction_->setShortcut(QKeySequence::Undo);
  undoAction_->setStatusTip(tr("Put back the folder record deleted last"));
  redoAction_ = undoStack_->createRedoAction(this, tr("&Redo"));
  redoAction_->setObjectName("redoAction");
  QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
  if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y))) redoKeys.append(Qt::CTRL | Qt::Key_Y);
  redoAction_->setShortcuts(redoKeys);
  redoAction_->setStatusTip(tr("Delete the folder record again"));

  copyAction_ =
      makeAction(this, "copyAction", {}, tr("&Copy"), tr("Copy the selected code-group values"));
  copyAction_->setShortcut(QKeySequence::Copy);
  copyAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(copyAction_, &QAction::triggered, this, &MainWindow::copyCodeGroupCells);

  copyFolderNameAction_ = makeAction(this, "copyFolderNameAction", {}, tr("Copy &Name"),
                                     tr("Copy the selected folder's name"));
  connect(copyFolderNameAction_, &QAction::triggered, this, [this] { copyFolderCell(1); });
  copyFolderOffsetAction_ = makeAction(this, "copyFolderOffsetAction", {}, tr("Copy &Offset"),
                                       tr("Copy the selected folder's location in the Flex"));
  connect(copyFolderOffsetAction_, &QAction::triggered, this, [this] { copyFolderCell(2); });

  cutCodeGroupAction_ =
      makeAction(this, "cutCodeGroupAction", cutIcon(), tr("Cut Selected CG"), {});
  connect(cutCodeGroupAction_, &QAction::triggered, this, &MainWindow::cutCodeGroup);
  undoCutAction_ = makeAction(this, "undoCutAction", undoIcon(), tr("Undo"), {});
  connect(undoCutAction_, &QAction::triggered, this, &MainWindow::undoCodeGroupCut);
  saveSelectedAction_ = makeAction(this, "saveSelectedAction", {}, tr("Save Selected CG"), {});
  replaceSelectedAction_ =
      makeAction(this, "replaceSelectedAction", {}, tr("Replace Selected CG"), {});
}

void MainWindow::createHelpActions() {
  helpAction_ = makeAction(this, "helpAction", {}, tr("&Contents"),
                           tr("Show the steps of the job and the keys"));
  helpAction_->setShortcut(QKeySequence::HelpContents);
  connect(helpAction_, &QAction::triggered, this, &MainWindow::showHelp);

  aboutAction_ =
      makeAction(this, "aboutAction", {}, tr("&About"), tr("Show the program's version and help"));
  aboutAction_->setMenuRole(QAction::AboutRole);
  connect(aboutAction_, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::createMenus() {
  QMenu* fileMenu = menuBar()->addMenu(tr("&File"));
  fileMenu->setObjectName("fileMenu");
  fileMenu->addAction(openAction_);
  recentFilesMenu_ = fileMenu->addMenu(tr("Open &Recent"));
  recentFilesMenu_->setObjectName("recentFilesMenu");
  recentFilesMenu_->addActions(recentFileActions_);
  fileMenu->addAction(rescueAction_);
  fileMenu->addSeparator();
  fileMenu->addAction(saveAction_);
  fileMenu->addAction(verifyAction_);
  fileMenu->addSeparator();
  fileMenu->addAction(exitAction_);

  QMenu* editMenu = menuBar()->addMenu(tr("&Edit"));
  editMenu->setObjectName("editMenu");
  editMenu->addAction(undoAction_);
  editMenu->addAction(redoAction_);
  editMenu->addSeparator();
  editMenu->addAction(deleteFolderAction_);
  editMenu->addAction(reviewAction_);

  QMenu* helpMenu = menuBar()->addMenu(tr("&Help"));
  helpMenu->setObjectName("helpMenu");
  helpMenu->addAction(helpAction_);
  helpMenu->addAction(aboutAction_);
  helpMenu->addSeparator();
  // The window's texts are read as it is built: a new language shows from the next start.
  addLanguageMenu(
      *helpMenu, QSettings().value(kSettingsLanguage).toString(), [this](const QString&) {
        statusBar()->showMessage(tr("The language changes when the editor next starts."));
      });
}

void MainWindow::createToolBar() {
  QToolBar* bar = addToolBar(tr("File"));
  bar->setObjectName("fileToolBar");
  bar->setMovable(false);
  bar->setFloatable(false);
  // The bar also carries the delete button; it cannot be hidden away.
  bar->toggleViewAction()->setVisible(false);
  bar->setContextMenuPolicy(Qt::PreventContextMenu);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  bar->addAction(openAction_);
  bar->addAction(saveAction_);
  openButton_ = bar->widgetForAction(openAction_);
  saveButton_ = bar->widgetForAction(saveAction_);
  if (saveButton_ != nullptr) {
    QFont bold = saveButton_->font();
    bold.setBold(true);
    saveButton_->setFont(bold);
  }
  // Icon only, so the toolbar stays narrow; the text shows when the icon cannot be drawn.
  if (!openAction_->icon().isNull()) {
    static_cast<QToolButton*>(openButton_)->setToolButtonStyle(Qt::ToolButtonIconOnly);
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
  openButton_->setFocusPolicy(Qt::TabFocus);
  saveButton_->setFocusPolicy(Qt::TabFocus);
  deleteFolderButton_->setFocusPolicy(Qt::StrongFocus);
  // The button that shows what a narrow bar cannot: screen readers need a name for it.
  if (auto* more = bar->findChild<QToolButton*>("qt_toolbar_ext_button")) {
    more->setAccessibleName(tr("More tools"));
  }
}

void MainWindow::createControls() {
  auto* client = new QWidget;
  setCentralWidget(client);

  hintLabel_ = new QLabel(tr(kHintText));
  hintLabel_->setObjectName("hintLabel");
  hintLabel_->setWordWrap(true);

  pathEdit_ = new PathField;
  pathEdit_->setObjectName("pathEdit");
  pathEdit_->setAccessibleName(tr("Opened file"));
  pathEdit_->setAccessibleDescription(tr("The path of the superfile shown"));

  reportView_ = makeTextView("reportView");
  reportView_->setAccessibleName(tr("Report"));
  reportView_->setAccessibleDescription(tr("What the superfile's header and code groups say"));
  // What an empty window shows: how to begin.
  reportView_->setPlaceholderText(
      tr("Open a superfile to begin: File > Open (%1), or drop it onto the window.")
          .arg(openAction_->shortcut().toString(QKeySequence::NativeText)));
  // Nine lines whole where there is room; on a small screen it scrolls.
  reportView_->setMinimumHeight(textViewHeight(*reportView_, kLeastReportLines));
  reportView_->setMaximumHeight(textViewHeight(*reportView_, kReportLines));

  QWidget* folderViews = createFolderViews();
  createCodeGroupTable();

  auto* layout = new QVBoxLayout(client);
  layout->addWidget(hintLabel_);
  layout->addWidget(pathEdit_);
  layout->addWidget(reportView_);
  layout->addWidget(folderViews, 1);
  layout->addWidget(codeGroupTable_);
  setTabOrders();
}

// The folder list and, under it, the bytes of the record selected in it.
QWidget* MainWindow::createFolderViews() {
  folderTable_ = makeTable("folderTable", font(), int(kFolderGridTitles.size()));
  setTitles(*folderTable_, kFolderGridTitles);
  folderTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  folderTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  folderTable_->setAccessibleName(tr("Skin folders"));
  folderTable_->setAccessibleDescription(
      tr("The folder records in the Flex code group; select one to delete it"));
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
  folderTable_->setMinimumHeight(tableHeight(*folderTable_, kLeastFolderRows));
  const QFontMetrics metrics(font());
  folderTable_->setColumnWidth(0, metrics.horizontalAdvance("200") + 16);
  folderTable_->setColumnWidth(1, metrics.horizontalAdvance(QString(30, QLatin1Char('n'))));
  fitTitles(*folderTable_);
  connect(folderTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    showRecordPreview();
    updateActions();
  });

  hexFont_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  recordPreview_ = makeTextView("recordPreview");
  recordPreview_->setFont(hexFont_);
  recordPreview_->setAccessibleName(tr("Record bytes"));
  recordPreview_->setAccessibleDescription(
      tr("The bytes of the selected folder record that a delete turns to FF"));
  recordPreview_->setPlaceholderText(
      tr("Select a folder to see the bytes \u201C"
         "Delete Skin Folder\u201D turns to FF."));

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
  // Two lines at least: on a short screen the folder list comes first.
  recordPreview_->setMinimumHeight(textViewHeight(*recordPreview_, 2));
  // Its lines are all there is to see: more height would only go to waste.
  recordPreview_->setMaximumHeight(textViewHeight(*recordPreview_, kPreviewLines) +
                                   recordPreview_->horizontalScrollBar()->sizeHint().height());
  return folderSplitter;
}

// The code-group table has its own, smaller font; its hexadecimal cells use the fixed-pitch
// one. The size and the checksums are there too, so that a user sees which sum failed.
void MainWindow::createCodeGroupTable() {
  QFont tableFont = font();
  tableFont.setPointSizeF(std::min(tableFont.pointSizeF(), kCodeGroupTablePointSize));
  hexFont_.setPointSizeF(tableFont.pointSizeF());
  codeGroupTable_ = makeTable("codeGroupTable", tableFont, int(kCodeGroupGridTitles.size()));
  setTitles(*codeGroupTable_, kCodeGroupGridTitles);
  codeGroupTable_->setAccessibleName(tr("Code groups"));
  codeGroupTable_->setAccessibleDescription(
      tr("The RAMDLD and Flex code groups that a save writes"));
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
  fitTitles(*codeGroupTable_);
  // The scroll bar is always there, so the two rows never hide under it.
  codeGroupTable_->setFixedHeight(tableHeight(*codeGroupTable_, kCodeGroupRowsShown) +
                                  codeGroupTable_->horizontalScrollBar()->sizeHint().height());
  codeGroupTable_->addAction(copyAction_);
  codeGroupTable_->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(codeGroupTable_, &QTableWidget::currentCellChanged, this, &MainWindow::updateActions);
}

// Top to bottom; the path field takes no focus.
void MainWindow::setTabOrders() {
  setTabOrder(openButton_, saveButton_);
  setTabOrder(saveButton_, deleteFolderButton_);
  setTabOrder(deleteFolderButton_, reportView_);
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
  progressBar_->setAccessibleName(tr("Progress"));
  // A widget rather than a message: a menu's tip hides it only while the tip shows. It takes
  // the room the checksum state leaves; a long cause is cut at the right, not the window.
  statusLine_ = new QLabel;
  statusLine_->setObjectName("statusLine");
  statusLine_->setAccessibleName(tr("Status"));
  statusLine_->setMinimumWidth(0);
  statusLine_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusBar()->addWidget(statusLine_, 1);
  // The checksum state stays whatever else shows, as short as its text.
  checksumLabel_ = new ChecksumLabel(*verifyAction_);
  checksumLabel_->setObjectName("checksumLabel");
  checksumLabel_->setAccessibleName(tr("Checksum state"));
  checksumLabel_->setToolTip(tr("Click for File > Verify"));
  statusBar()->addPermanentWidget(checksumLabel_);
  statusBar()->addPermanentWidget(progressBar_);
}

void MainWindow::readSettings() {
  QSettings settings;
  openDialogFolder_ = settings.value(kSettingsOpenFolder).toString();
  saveDialogFolder_ = settings.value(kSettingsSaveFolder).toString();
  updateRecentFilesMenu();
  const QSize designed = designedClientSize() + QSize(0, menuBar()->sizeHint().height());
  setMinimumSize(designed.expandedTo(minimumSizeHint()));
  leastHeight_ = minimumHeight();
  folderTable_->horizontalHeader()->restoreState(
      settings.value(kSettingsFolderColumns).toByteArray());
  codeGroupTable_->horizontalHeader()->restoreState(
      settings.value(kSettingsCodeGroupColumns).toByteArray());
  // Widths kept from a start in another language may be too narrow for this one's headings.
  fitTitles(*folderTable_);
  fitTitles(*codeGroupTable_);
  firstRun_ = !restoreGeometry(settings.value(kSettingsGeometry).toByteArray());
  if (firstRun_) {
    resize(firstSize());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      move(screen->availableGeometry().center() - rect().center());
    }
  }
  fitToScreen();
}

QSize MainWindow::firstSize() const {
  const QSize designed = designedClientSize() + QSize(0, menuBar()->sizeHint().height());
  // The folder list's own hint is taller than the rows it is meant to show by default.
  const int folderSurplus =
      std::max(0, folderTable_->sizeHint().height() - tableHeight(*folderTable_, kFolderRowsShown));
  QSize first = designed.expandedTo(sizeHint() - QSize(0, folderSurplus));
  // Every code-group column in view, so that a failed sum is seen without scrolling.
  const QMargins margins = centralWidget()->layout()->contentsMargins();
  int columns = margins.left() + margins.right() + 2 * codeGroupTable_->frameWidth();
  for (int c = 0; c < codeGroupTable_->columnCount(); ++c) {
    columns += codeGroupTable_->columnWidth(c);
  }
  first.setWidth(std::max(first.width(), columns));
  return first;
}

void MainWindow::fitFolderRows(int mostHeight) {
  // The rows the screen cannot give come off the list's least height, a whole row at a time.
  const int row = folderTable_->verticalHeader()->defaultSectionSize();
  const int shortfall = std::max(0, leastHeight_ - mostHeight);
  const int rows = std::max(kFewestFolderRows, kLeastFolderRows - (shortfall + row - 1) / row);
  folderTable_->setMinimumHeight(tableHeight(*folderTable_, rows));
  // The layouts learn of the change before they are next used, shown or not.
  folderTable_->parentWidget()->updateGeometry();
  centralWidget()->layout()->invalidate();
  setMinimumHeight(leastHeight_ - (kLeastFolderRows - rows) * row);
}

void MainWindow::fitToScreen() {
  const QScreen* screen = QGuiApplication::screenAt(geometry().center());
  const bool onScreen = screen != nullptr;
  if (!onScreen) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const bool frameKnown = isVisible() && frameGeometry() != geometry();
  const QMargins frame = frameKnown ? QMargins(geometry().left() - frameGeometry().left(),
                                               geometry().top() - frameGeometry().top(),
                                               frameGeometry().right() - geometry().right(),
                                               frameGeometry().bottom() - geometry().bottom())
                                    : kAssumedFrame;
  const QSize most = area.marginsRemoved(frame).size();
  fitFolderRows(most.height());
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

}  // namespace tavufe
