// Showing the document: the report, the folder list and its record bytes, the code groups and
// the checksum state, and the edits made on them.

#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QUndoCommand>
#include <QUndoStack>
#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <utility>

#include "app/core_text.h"
#include "app/main_window.h"
#include "app/path_field.h"
#include "app/system_texts.h"
#include "editor/verify_flow.h"
#include "inspect/code_group_table.h"
#include "inspect/folder_record.h"
#include "inspect/folder_scan.h"
#include "model/codes.h"

namespace tavufe {

namespace {

constexpr int kFirstHexColumn = 2;
constexpr int kLastHexColumn = 4;

QTableWidgetItem* readOnlyItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

// One "Delete Skin Folder": the erase, and the bytes it overwrote for its undo.
class DeleteFolderCommand : public QUndoCommand {
 public:
  DeleteFolderCommand(EditorState& state, FolderRecordBytes saved, const QString& name,
                      std::function<void()> relist)
      : QUndoCommand(
            QCoreApplication::translate("tavufe::MainWindow", "Delete Skin Folder \u201C%1\u201D")
                .arg(name)),
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

// What a rescue found, in the status bar's words and in Save's, when it cannot save.
struct RescueSummary {
  QString damage;   // "Rescued: 3 damaged lines in Firmware, DSP"
  QString verdict;  // "the Flex is damaged: nothing can be saved"; empty when a save can write
  QString refusal;  // Save's tips: the verdict with the first damaged place
};

QString joinedGroupNames(const std::vector<DamagedCodeGroup>& groups) {
  QStringList names;
  for (const DamagedCodeGroup& g : groups) names.append(fromCoreText(g.name));
  return names.join(QStringLiteral(", "));
}

// "Rescued: 3 damaged lines in Firmware, DSP", or the groups alone where no line or record of
// them was passed over (a sum that disagrees, a group the file lacks).
QString damageText(const std::vector<DamagedCodeGroup>& damaged, SuperfileEncoding encoding) {
  if (damaged.empty()) return MainWindow::tr("Rescued: no damage found");
  std::uint64_t passed = 0;
  for (const DamagedCodeGroup& g : damaged) passed += g.damage.lines;
  const QString names = joinedGroupNames(damaged);
  if (passed == 0) return MainWindow::tr("Rescued: %1 damaged").arg(names);
  const bool shx = encoding == SuperfileEncoding::Shx;
  const QString count =
      passed == 1
          ? (shx ? MainWindow::tr("1 damaged line") : MainWindow::tr("1 damaged record"))
          : (shx ? MainWindow::tr("%1 damaged lines") : MainWindow::tr("%1 damaged records"))
                .arg(passed);
  return MainWindow::tr("Rescued: %1 in %2").arg(count, names);
}

RescueSummary rescueSummary(const std::vector<DamagedCodeGroup>& damaged,
                            SuperfileEncoding encoding, const QString& fileName) {
  RescueSummary summary;
  summary.damage = damageText(damaged, encoding);
  std::vector<DamagedCodeGroup> written;
  std::copy_if(damaged.begin(), damaged.end(), std::back_inserter(written),
               [](const DamagedCodeGroup& g) { return g.written; });
  if (written.empty()) return summary;
  const QString which =
      written.size() == 1 ? MainWindow::tr("the %1 is damaged").arg(fromCoreText(written[0].name))
                          : MainWindow::tr("the %1 and the %2 are damaged")
                                .arg(fromCoreText(written[0].name), fromCoreText(written[1].name));
  summary.verdict = MainWindow::tr("%1: nothing can be saved").arg(which);
  summary.refusal = MainWindow::tr("Nothing can be saved: %1").arg(which);
  // The first damaged place of a written group, in slot order as the rescue lists them.
  for (const DamagedCodeGroup& g : written) {
    if (!g.damage.placed) continue;
    summary.refusal = MainWindow::tr("Nothing can be saved: %1, first at %2")
                          .arg(which, fromCoreText(damagePlace(toCorePath(fileName), g.damage)));
    break;
  }
  return summary;
}

}  // namespace

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
                   folderTable_->horizontalHeader()->sectionSizeHint(2);
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
  recordPreview_->setPlainText(fromCoreLines(folderRecordDump(state_, offset)));
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

void MainWindow::copyFolderCell(int column) {
  const int row = selectedFolder();
  if (row < 0) return;
  if (const QTableWidgetItem* item = folderTable_->item(row, column)) {
    QGuiApplication::clipboard()->setText(item->text());
  }
}

// The count holds problems of every kind, not checksums alone.
void MainWindow::showCheckSummary() {
  const std::uint64_t problems = openedCheck_.problems;
  checksumLabel_->setText(
      problems == 0 ? tr("Checksums OK")
                    : tr("%n problem(s) \u2014 see File > Verify", nullptr, int(problems)));
}

void MainWindow::showOpened(const QString& path, OpenedSuperfile& opened) {
  openedCheck_ = std::move(opened.check);
  saveAllowed_ = opened.saveAllowed;
  rescued_ = opened.rescued;
  saveRefusal_.clear();
  QStringList report;
  for (std::size_t i = 0; i < opened.report.size(); ++i) {
    report.append(translatedReportLine(i, fromCoreText(opened.report[i])));
  }
  reportView_->setPlainText(report.join(QLatin1Char('\n')));
  fillCodeGroupTable(opened.codeGroups);
  fillFolderTable(opened.folders);
  addRecentFile(path);
  showCheckSummary();
  if (rescued_) {
    showRescueSummary(opened, path);
  } else if (!saveAllowed_) {
    // Nothing can be deleted or saved without the Flex: the status bar says why, as a save
    // would.
    saveRefusal_ = translatedNotice(NoticeCode::NoFlexCodeGroup);
    showStatusLine(saveRefusal_);
  }
}

void MainWindow::showRescueSummary(const OpenedSuperfile& opened, const QString& path) {
  const RescueSummary summary =
      rescueSummary(opened.damaged, opened.encoding, QFileInfo(path).fileName());
  QString verdict = tr("the RAMDLD and the Flex are sound");
  if (!saveAllowed_) {
    // Sound groups, but no Flex to save: the plain open's reason.
    const QString noFlex = translatedNotice(NoticeCode::NoFlexCodeGroup);
    verdict = summary.verdict.isEmpty() ? noFlex : summary.verdict;
    saveRefusal_ = summary.refusal.isEmpty() ? noFlex : summary.refusal;
  }
  showStatusLine(summary.damage + QStringLiteral("; ") + verdict);
}

void MainWindow::showStatusLine(const QString& text) {
  statusBar()->clearMessage();
  statusLine_->setText(text);
}

void MainWindow::showNothingOpened(const QString& path) {
  currentFile_.clear();
  rescued_ = false;
  saveRefusal_.clear();
  verifyPath_ = path;
  pathEdit_->setPath({});
  reportView_->clear();
  codeGroupTable_->setRowCount(0);
  fillFolderTable();
  progressBar_->hide();
  updateTitle();
  updateActions();
}

}  // namespace tavufe
