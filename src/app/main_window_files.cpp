// The file commands and their questions: open, save, verify, review, recent files and drops.

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <utility>

#include "app/bar_progress.h"
#include "app/core_text.h"
#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/path_field.h"
#include "app/review_dialog.h"
#include "app/system_texts.h"
#include "app/window_settings.h"
#include "editor/output_file.h"
#include "editor/save_flow.h"
#include "editor/verify_flow.h"
#include "inspect/number_format.h"
#include "model/codes.h"
#include "model/progress.h"

namespace tavufe {

namespace {

// The slot whose bytes an SMG or BIN export writes: the Flex, as a save requires.
constexpr int kExportedSlot = 1;

QString folderOf(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : path.left(slash + 1);
}

// Why a drop of `urls` cannot be opened; empty for one superfile.
QString dropRefusal(const QList<QUrl>& urls) {
  if (urls.size() > 1) {
    return QCoreApplication::translate("tavufe::MainWindow", "Drop one superfile at a time");
  }
  const QUrl& url = urls.first();
  if (!url.isLocalFile()) {
    return QCoreApplication::translate("tavufe::MainWindow", "%1: not a file on this computer")
        .arg(url.toDisplayString());
  }
  if (superfileTypeOf(url.toLocalFile())) return {};
  return QCoreApplication::translate("tavufe::MainWindow", "%1: %2; superfiles end in .shx or .sbf")
      .arg(translatedNotice(NoticeCode::FileTypeNotSupported), url.fileName());
}

// A rescue reads past damaged lines and records, not past a file the system would not give, a
// header block that fails, or what a rescue already stopped at.
bool rescueMayHelp(const OpenedSuperfile& opened) {
  if (opened.rescued || opened.problem || opened.status == StatusCode::BufferError) return false;
  return !opened.cause || opened.cause->place == FindingPlace::Line ||
         opened.cause->at >= kHeaderSize;
}

}  // namespace

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

void MainWindow::openFile() { chooseAndLoad(OpenMode::Plain); }

void MainWindow::rescueFile() { chooseAndLoad(OpenMode::Rescue); }

void MainWindow::chooseAndLoad(OpenMode mode) {
  if (busy_ || !maybeSave()) return;
  const QString path = dialogs_.getOpenFileName(this, openDialogFolder_, openDialogFileName_);
  if (path.isEmpty()) return;
  loadFile(path, mode);
}

void MainWindow::openRecentFile() {
  const auto* action = qobject_cast<const QAction*>(sender());
  if (action == nullptr || busy_ || !maybeSave()) return;
  loadFile(action->data().toString());
}

void MainWindow::loadFile(const QString& path, OpenMode mode) {
  const std::optional<SuperfileEncoding> type = superfileTypeOf(path);
  if (!type) {
    // Refused before anything is touched: the file shown stays as it was.
    showNotice(NoticeCode::FileTypeNotSupported,
               path + QLatin1Char('\n') + tr("Superfiles end in .shx or .sbf."));
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
  prepareOpen(path, *type);

  showBarAtStart();
  BarProgress progress(*progressBar_);
  OpenOptions options;
  options.encoding = type;
  options.numbers = numberFormat_;
  options.rescue = mode == OpenMode::Rescue;
  OpenedSuperfile opened = openForEditing(state_, toCorePath(path), options, progress);
  fileLoaded_ = opened.loaded();
  if (!fileLoaded_) {
    saveAllowed_ = false;
    const bool rescue = showOpenFailure(opened, path);
    openedCheck_ = std::move(opened.check);
    // The box is closed by now: the rescue is an open of its own, as if chosen from the menu.
    if (rescue) loadFile(path, OpenMode::Rescue);
    return;
  }
  progressBar_->hide();
  showOpened(path, opened);
  updateTitle();
  updateActions();
  folderTable_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::prepareOpen(const QString& path, SuperfileEncoding type) {
  pathEdit_->setPath(path);
  reportView_->clear();
  openDialogFileName_ = path;
  openDialogFolder_ = folderOf(path);
  // The first save after an open starts beside the opened file, under a name of its own, so
  // that the backup (and what else it holds) stays unless the user chooses to replace it.
  saveDialogFolder_ = openDialogFolder_;
  saveDialogFileName_ =
      QFileInfo(path).completeBaseName() + QStringLiteral("-edited.") + QFileInfo(path).suffix();
  saveDialogType_ = type == SuperfileEncoding::Shx ? SaveType::Shx : SaveType::Sbf;
  QSettings().setValue(kSettingsOpenFolder, openDialogFolder_);
  currentFile_ = path;
  verifyPath_ = path;
  showStatusLine({});
  checksumLabel_->clear();
}

bool MainWindow::showOpenFailure(const OpenedSuperfile& opened, const QString& path) {
  // The file that did not open is not shown.
  showNothingOpened(path);

  const QString status = translatedStatus(opened.status);
  const std::string name = toCorePath(QFileInfo(path).fileName());
  QString cause;
  if (opened.problem) {
    cause = QFileInfo(path).fileName() + QStringLiteral(": ") +
            QString::fromLocal8Bit(fileProblemText(opened.problem).c_str());
  } else if (opened.cause) {
    // The check's finding where the read stopped, or else its first problem.
    cause = fromCoreText(findingLine(name, *opened.cause));
  }
  // The state on the right, the place and the cause on the left, where there is room for it.
  checksumLabel_->setText(status);
  showStatusLine(cause.isEmpty() ? status : status + QStringLiteral(": ") + cause);
  if (opened.problem) {
    showWarning(opened.status, path, opened.problem);
    return false;
  }
  QString details = path;
  if (!cause.isEmpty()) details += QLatin1Char('\n') + cause;
  if (opened.check.problems > 1) {
    details += QLatin1Char('\n') +
               tr("File > Verify lists every problem (%1 in all).").arg(opened.check.problems);
  }
  if (rescueMayHelp(opened)) {
    return dialogs_.offerRescue(this, tr("WARNING"), status, details);
  }
  dialogs_.showMessage(this, tr("WARNING"), status, details);
  return false;
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
  const bool saved = writeSave(choice);
  updateTitle();
  updateActions();
  return saved;
}

bool MainWindow::writeSave(const SaveChoice& choice) {
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
    const QString heading = tr("Could not save %1").arg(QFileInfo(choice.path).fileName());
    showWarning(status, choice.path, why, heading);
    showStatusLine(heading + QStringLiteral(": ") + translatedStatus(status));
  }
  pauseWithFullBar();
  progressBar_->hide();
  if (!saved) return false;
  // Only a superfile holds the whole document: after an export of the Flex alone the deletes
  // are still to be saved, and closing still asks. A superfile is now the file the window
  // shows: read back, so that the path, the report, the code groups and the checksum state
  // describe what was written. An export leaves the opened superfile shown.
  if (isSuperfile(choice.type)) {
    undoStack_->setClean();
    codeGroupsChanged_ = false;
    showSavedFile(choice.path);
  }
  QString message = tr("Saved to %1").arg(choice.path);
  if (!isSuperfile(choice.type)) {
    // An export leaves the title and the report as they were: this line is all that says it
    // was written, so it says what the file holds.
    message = tr("Saved the Flex code group alone to %1 (%2, %3 bytes)")
                  .arg(choice.path, QString::fromLatin1(extensionFor(choice.type)).mid(1).toUpper(),
                       QString::fromStdString(formatThousands(state_.slots[kExportedSlot].length,
                                                              numberFormat_.thousandsSeparator)));
  }
  if (otherLinks > 0) {
    message += tr("; %n other hard link(s) keep(s) the old contents", nullptr, int(otherLinks));
  }
  showStatusLine(message);
  return true;
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

bool MainWindow::confirmSaveOverProblems() {
  // A rescued document writes only groups read whole and sound: its problems lie elsewhere.
  if (openedCheck_.problems == 0 || rescued_) return true;
  const std::string name = toCorePath(QFileInfo(currentFile_).fileName());
  return dialogs_.confirmDamagedSave(this, fromCoreText(damagedSaveQuestion(name, openedCheck_)),
                                     fromCoreLines(verifyLines(name, openedCheck_)));
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
  const QString heading = (isModified() && verifyPath_ == currentFile_
                               ? tr("Checked %1 as it is on disk; unsaved changes are not in it.")
                               : tr("Checked %1 as it is on disk."))
                              .arg(verifyPath_);
  const std::string name = toCorePath(QFileInfo(verifyPath_).fileName());
  dialogs_.showText(
      this, tr("Verify \u2014 %1").arg(QFileInfo(verifyPath_).fileName()),
      heading + QStringLiteral("\n\n") + fromCoreLines(verifyLines(name, verified.check)));
}

void MainWindow::reviewChanges() {
  if (!reviewAction_->isEnabled()) return;
  const ReviewText review = reviewChangesText(state_, currentFile_, rescued_);
  if (review.notice != NoticeCode::None) {
    showNotice(review.notice, currentFile_);
  } else if (!review.ok()) {
    showWarning(review.status, currentFile_, review.problem);
  } else {
    dialogs_.showText(this, tr("Review Changes \u2014 %1").arg(QFileInfo(currentFile_).fileName()),
                      review.text);
  }
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

// The menu's entries only; whether it is enabled is updateActions' to say.
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
}

void MainWindow::showNotice(NoticeCode notice, const QString& details) {
  dialogs_.showMessage(this, tr("NOTICE"), translatedNotice(notice), details);
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
    details += QLatin1Char('\n') +
               tr("%1: the temporary file could not be removed: %2")
                   .arg(QFile::decodeName(problem.leftover.c_str()),
                        QString::fromLocal8Bit(
                            fileProblemText(FileProblem::system(problem.leftoverError)).c_str()));
  }
  dialogs_.showMessage(this, caption.isEmpty() ? tr("WARNING") : caption, translatedStatus(status),
                       details);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (busy_ || urls.isEmpty()) return;
  // A file that cannot be opened is refused here, before any question about unsaved changes;
  // the status line says why, in place of whatever it said of the last file.
  const QString refusal = dropRefusal(urls);
  if (refusal.isEmpty()) {
    event->acceptProposedAction();
  } else {
    showStatusLine(refusal);
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
