#include "app/dialogs.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <span>

#include "app/core_text.h"

namespace tavufe {

namespace {

// Room a window manager's title bar takes beside the caption: icon, buttons and margins.
constexpr int kTitleBarButtonsWidth = 160;

QStringList filterList(std::span<const char* const> filters) {
  QStringList list;
  for (const char* filter : filters) {
    list.append(QCoreApplication::translate("tavufe::QtDialogs", filter));
  }
  return list;
}

}  // namespace

std::unique_ptr<QFileDialog> makeOpenDialog(QWidget* parent, const QString& folder,
                                            const QString& fileName) {
  auto dialog = std::make_unique<QFileDialog>(parent);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setNameFilters(filterList(kOpenFilters));
  if (!folder.isEmpty()) dialog->setDirectory(folder);
  if (!fileName.isEmpty()) dialog->selectFile(fileName);
  return dialog;
}

std::unique_ptr<QFileDialog> makeSaveDialog(QWidget* parent, const QString& folder,
                                            const QString& fileName, SaveType type) {
  auto dialog = std::make_unique<QFileDialog>(parent);
  // Qt's own dialog on every desktop: the type-change rename needs its name field.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  const QStringList filters = filterList(kSaveFilters);
  dialog->setNameFilters(filters);
  dialog->selectNameFilter(filters.value(saveFilterIndex(type), filters.first()));
  if (!folder.isEmpty()) dialog->setDirectory(folder);
  if (!fileName.isEmpty()) dialog->selectFile(fileName);
  QFileDialog* raw = dialog.get();
  QObject::connect(raw, &QFileDialog::filterSelected, raw,
                   [raw](const QString&) { SaveDialog1TypeChange(*raw); });
  return dialog;
}

std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& caption,
                                            const QString& text, const QString& details) {
  auto box =
      std::make_unique<QMessageBox>(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
  box->setDefaultButton(QMessageBox::Ok);
  if (!details.isEmpty()) box->setInformativeText(details);
  // QMessageBox sizes itself to its text alone; a spacer across its grid keeps room for the
  // caption and the title bar's buttons.
  if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
    // The title bar shows the caption with the application's name after it.
    QString title = caption;
    if (const QString name = QGuiApplication::applicationDisplayName(); name != caption) {
      title += QStringLiteral(" \u2014 ") + name;
    }
    QFont titleFont = box->font();
    titleFont.setBold(true);
    const int captionWidth =
        QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarButtonsWidth;
    grid->addItem(new QSpacerItem(captionWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  return box;
}

QString QtDialogs::getOpenFileName(QWidget* parent, const QString& folder,
                                   const QString& fileName) {
  auto dialog = makeOpenDialog(parent, folder, fileName);
  if (dialog->exec() != QDialog::Accepted) return {};
  return dialog->selectedFiles().value(0);
}

std::optional<SaveChoice> QtDialogs::getSaveFileName(QWidget* parent, const QString& folder,
                                                     const QString& fileName, SaveType type) {
  auto dialog = makeSaveDialog(parent, folder, fileName, type);
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  const QString path = dialog->selectedFiles().value(0);
  if (path.isEmpty()) return std::nullopt;
  return SaveChoice{path, selectedSaveType(*dialog)};
}

void QtDialogs::showMessage(QWidget* parent, const QString& caption, const QString& text,
                            const QString& details) {
  makeMessageBox(parent, caption, text, details)->exec();
}

std::unique_ptr<QMessageBox> makeRescueBox(QWidget* parent, const QString& caption,
                                           const QString& text, const QString& details) {
  const QString rescue = QCoreApplication::translate(
      "tavufe::QtDialogs",
      "Rescue reads past the damaged lines and keeps the code groups that are whole.");
  auto box = makeMessageBox(parent, caption, text,
                            details.isEmpty() ? rescue : details + QStringLiteral("\n\n") + rescue);
  box->addButton(QCoreApplication::translate("tavufe::QtDialogs", "&Rescue"),
                 QMessageBox::ActionRole);
  // A stray Enter only closes the box: a rescue is asked for, never fallen into.
  box->setDefaultButton(QMessageBox::Ok);
  box->setEscapeButton(QMessageBox::Ok);
  return box;
}

bool QtDialogs::offerRescue(QWidget* parent, const QString& caption, const QString& text,
                            const QString& details) {
  const std::unique_ptr<QMessageBox> box = makeRescueBox(parent, caption, text, details);
  box->exec();
  return box->buttonRole(box->clickedButton()) == QMessageBox::ActionRole;
}

void QtDialogs::showText(QWidget* parent, const QString& title, const QString& text) {
  QDialog dialog(parent);
  dialog.setWindowTitle(title);
  auto* view = new QPlainTextEdit(text, &dialog);
  view->setReadOnly(true);
  view->setLineWrapMode(QPlainTextEdit::NoWrap);
  view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(view);
  layout->addWidget(buttons);
  // Wide enough for the longest line where the screen allows, so that a text laid out in
  // columns reads without scrolling sideways.
  const QFontMetrics metrics(view->font());
  int widest = metrics.horizontalAdvance(QString(90, 'n'));
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    widest = std::max(widest, metrics.horizontalAdvance(line));
  }
  const int chrome = 2 * view->frameWidth() + 4 * metrics.averageCharWidth() +
                     view->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                     layout->contentsMargins().left() + layout->contentsMargins().right();
  int width = widest + chrome;
  if (const QScreen* screen = parent != nullptr ? parent->screen() : nullptr) {
    width = std::min(width, screen->availableGeometry().width() * 9 / 10);
  }
  dialog.resize(width, metrics.lineSpacing() * 20);
  dialog.exec();
}

std::unique_ptr<QMessageBox> makeDamagedSaveBox(QWidget* parent, const QString& text,
                                                const QString& details) {
  auto box =
      makeMessageBox(parent, QCoreApplication::translate("tavufe::QtDialogs", "WARNING"), text);
  box->setStandardButtons(QMessageBox::Cancel);
  box->button(QMessageBox::Cancel)
      ->setText(QCoreApplication::translate("tavufe::QtDialogs", "&Cancel"));
  box->addButton(QCoreApplication::translate("tavufe::QtDialogs", "Save &Anyway"),
                 QMessageBox::DestructiveRole);
  box->setDefaultButton(QMessageBox::Cancel);
  box->setEscapeButton(QMessageBox::Cancel);
  box->setDetailedText(details);
  return box;
}

bool QtDialogs::confirmDamagedSave(QWidget* parent, const QString& text, const QString& details) {
  const std::unique_ptr<QMessageBox> box = makeDamagedSaveBox(parent, text, details);
  box->exec();
  return box->buttonRole(box->clickedButton()) == QMessageBox::DestructiveRole;
}

std::unique_ptr<QMessageBox> makeUnsavedChangesBox(QWidget* parent, const QString& fileName) {
  auto box = std::make_unique<QMessageBox>(
      QMessageBox::Warning, QGuiApplication::applicationDisplayName(),
      QCoreApplication::translate(
          "tavufe::QtDialogs", "The changes to %1 have not been saved.\nDo you want to save them?")
          .arg(fileName),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
  box->setDefaultButton(QMessageBox::Save);
  // Access keys, so that the answer is one key away.
  box->button(QMessageBox::Save)
      ->setText(QCoreApplication::translate("tavufe::QtDialogs", "&Save"));
  box->button(QMessageBox::Discard)
      ->setText(QCoreApplication::translate("tavufe::QtDialogs", "&Discard"));
  box->button(QMessageBox::Cancel)
      ->setText(QCoreApplication::translate("tavufe::QtDialogs", "&Cancel"));
  box->addButton(QCoreApplication::translate("tavufe::QtDialogs", "&Review Changes"),
                 QMessageBox::ActionRole);
  return box;
}

UnsavedChanges QtDialogs::askToSaveChanges(QWidget* parent, const QString& fileName) {
  const std::unique_ptr<QMessageBox> box = makeUnsavedChangesBox(parent, fileName);
  box->exec();
  if (box->buttonRole(box->clickedButton()) == QMessageBox::ActionRole) {
    return UnsavedChanges::Review;
  }
  switch (box->standardButton(box->clickedButton())) {
    case QMessageBox::Save: return UnsavedChanges::Save;
    case QMessageBox::Discard: return UnsavedChanges::Discard;
    default: return UnsavedChanges::Cancel;
  }
}

QString dropCodeGroupsQuestion(const QString& fileName, const QString& groups) {
  return QCoreApplication::translate(
             "tavufe::QtDialogs",
             "%1 holds %2, which this save does not write.\nReplace it anyway?")
      .arg(fileName, groups);
}

std::unique_ptr<QMessageBox> makeDropCodeGroupsBox(QWidget* parent, const QString& fileName,
                                                   const QString& groups) {
  auto box = makeMessageBox(parent, QGuiApplication::applicationDisplayName(),
                            dropCodeGroupsQuestion(fileName, groups));
  box->removeButton(box->button(QMessageBox::Ok));
  box->addButton(QCoreApplication::translate("tavufe::QtDialogs", "&Replace"),
                 QMessageBox::AcceptRole);
  QPushButton* cancel = box->addButton(QMessageBox::Cancel);
  cancel->setText(QCoreApplication::translate("tavufe::QtDialogs", "&Cancel"));
  // Losing code groups is never what a stray Enter should do.
  box->setDefaultButton(cancel);
  box->setEscapeButton(cancel);
  return box;
}

bool QtDialogs::askToDropCodeGroups(QWidget* parent, const QString& fileName,
                                    const QString& groups) {
  const std::unique_ptr<QMessageBox> box = makeDropCodeGroupsBox(parent, fileName, groups);
  box->exec();
  return box->buttonRole(box->clickedButton()) == QMessageBox::AcceptRole;
}

SaveChoice resolveSaveChoice(const SaveChoice& accepted) {
  if (const std::optional<SaveType> typed = saveTypeForPath(toCorePath(accepted.path))) {
    return {accepted.path, *typed};
  }
  return {accepted.path + QString::fromLatin1(extensionFor(accepted.type)), accepted.type};
}

std::optional<SuperfileEncoding> superfileTypeOf(const QString& path) {
  return encodingForPath(toCorePath(QFileInfo(path).fileName()));
}

int saveFilterIndex(SaveType type) {
  const auto* found = std::find(std::begin(kSaveFilterTypes), std::end(kSaveFilterTypes), type);
  return int(found - std::begin(kSaveFilterTypes));
}

SaveType selectedSaveType(const QFileDialog& dialog) {
  const qsizetype index = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
  // A filter the list does not hold is the first one's type.
  return index >= 0 && index < qsizetype(std::size(kSaveFilterTypes))
             ? kSaveFilterTypes[std::size_t(index)]
             : kSaveFilterTypes[0];
}

void SaveDialog1TypeChange(QFileDialog& dialog) {
  setDialogFileName(dialog, QString::fromLatin1(extensionFor(selectedSaveType(dialog))));
}

void setDialogFileName(QFileDialog& dialog, const QString& extension) {
  // With no name typed the dialog reports its folder; there is nothing to rename then.
  const QString path = dialog.selectedFiles().value(0);
  if (path.isEmpty() || QFileInfo(path).isDir()) return;
  const QString name = fileNameWithExtension(path, extension);
  // Write the name field itself: selecting a file leaves a field that has the focus alone.
  if (auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
    field->setText(name);
  } else {
    dialog.selectFile(name);
  }
}

QString fileNameWithExtension(const QString& path, const QString& extension) {
  const QString normal = QDir::fromNativeSeparators(path);
  QString name = normal.mid(normal.lastIndexOf(QLatin1Char('/')) + 1);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot >= 0) name.truncate(dot);
  return name + extension;
}

}  // namespace tavufe
