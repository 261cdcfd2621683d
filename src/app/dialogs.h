#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "editor/open_flow.h"
#include "editor/save_flow.h"

class QFileDialog;
class QMessageBox;
class QWidget;

namespace tavufe {

struct SaveChoice {
  QString path;
  SaveType type = SaveType::Shx;
};

// The answers to "save the changes first?"; Review asks again after showing the changes.
enum class UnsavedChanges { Save, Discard, Cancel, Review };

// Everything the window asks of the user through a modal box. The window talks to this
// interface only, so that a test can answer in place of the user.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The existing superfile chosen, or an empty text when the user cancels.
  virtual QString getOpenFileName(QWidget* parent, const QString& folder,
                                  const QString& fileName) = 0;
  // The path and file type accepted, or nothing when the user cancels.
  virtual std::optional<SaveChoice> getSaveFileName(QWidget* parent, const QString& folder,
                                                    const QString& fileName, SaveType type) = 0;
  // A modal box with the caption, the text, the warning icon and an OK button; `details`, when
  // given, is shown under the text (which file, and the system's reason).
  virtual void showMessage(QWidget* parent, const QString& caption, const QString& text,
                           const QString& details = {}) = 0;
  // The box of a failed open that a rescue read may get further with: the message as
  // showMessage shows it, with a Rescue button beside OK and a sentence of what a rescue does.
  // True for Rescue; OK is the default.
  virtual bool offerRescue(QWidget* parent, const QString& caption, const QString& text,
                           const QString& details) = 0;
  // Asked before unsaved changes would be lost; `fileName` is the open file's name.
  virtual UnsavedChanges askToSaveChanges(QWidget* parent, const QString& fileName) = 0;
  // A modal box with lines of text the user can select and copy, and a Close button.
  virtual void showText(QWidget* parent, const QString& title, const QString& text) = 0;
  // Asked before a file with problems is saved: `text` names the file, the count and
  // the first problems, `details` lists them all. True for "Save Anyway"; Cancel is the default.
  virtual bool confirmDamagedSave(QWidget* parent, const QString& text, const QString& details) = 0;
  // Asked before a save replaces the superfile `fileName`, which holds the code groups `groups`
  // that the save does not write; true to replace it. Cancel is the default.
  virtual bool askToDropCodeGroups(QWidget* parent, const QString& fileName,
                                   const QString& groups) = 0;
};

// The real boxes: Qt's own file dialogs (the same on every desktop) and QMessageBox.
class QtDialogs final : public Dialogs {
 public:
  QString getOpenFileName(QWidget* parent, const QString& folder, const QString& fileName) override;
  std::optional<SaveChoice> getSaveFileName(QWidget* parent, const QString& folder,
                                            const QString& fileName, SaveType type) override;
  void showMessage(QWidget* parent, const QString& caption, const QString& text,
                   const QString& details) override;
  bool offerRescue(QWidget* parent, const QString& caption, const QString& text,
                   const QString& details) override;
  UnsavedChanges askToSaveChanges(QWidget* parent, const QString& fileName) override;
  void showText(QWidget* parent, const QString& title, const QString& text) override;
  bool confirmDamagedSave(QWidget* parent, const QString& text, const QString& details) override;
  bool askToDropCodeGroups(QWidget* parent, const QString& fileName,
                           const QString& groups) override;
};

// The dialogs' file types, shown in the window's language.
inline constexpr const char* kOpenFilters[] = {
    QT_TRANSLATE_NOOP("tavufe::QtDialogs", "SuperFiles (shx-sbf) (*.shx *.sbf)"),
    QT_TRANSLATE_NOOP("tavufe::QtDialogs", "SHX Files (*.shx)"),
    QT_TRANSLATE_NOOP("tavufe::QtDialogs", "SBF Files (*.sbf)")};
inline constexpr const char* kSaveFilters[] = {
    QT_TRANSLATE_NOOP("tavufe::QtDialogs", "SHX superfile (*.shx)"),
    QT_TRANSLATE_NOOP("tavufe::QtDialogs", "SBF superfile (*.sbf)"),
    QT_TRANSLATE_NOOP("tavufe::QtDialogs", "Flex code group only (*.smg)"),
    QT_TRANSLATE_NOOP("tavufe::QtDialogs", "Flex code group only, raw (*.bin)")};
// The type of each of the save dialog's filters, in their order.
inline constexpr SaveType kSaveFilterTypes[] = {SaveType::Shx, SaveType::Sbf, SaveType::Smg,
                                                SaveType::Bin};

std::unique_ptr<QFileDialog> makeOpenDialog(QWidget* parent, const QString& folder,
                                            const QString& fileName);
// The save dialog with its four types; choosing a type renames the typed file's extension.
std::unique_ptr<QFileDialog> makeSaveDialog(QWidget* parent, const QString& folder,
                                            const QString& fileName, SaveType type);
// The message box; it is made at least wide enough for its caption, which window managers
// would otherwise cut.
std::unique_ptr<QMessageBox> makeMessageBox(QWidget* parent, const QString& caption,
                                            const QString& text, const QString& details = {});

// What a save writes for the name and type accepted in the save dialog: a name that ends in one
// of the four extensions (in any case) is written as that type, whatever type was chosen; any
// other name gets the chosen type's extension appended.
SaveChoice resolveSaveChoice(const SaveChoice& accepted);
// The superfile encoding of `path` from its extension in any case ("FLEX.SHX"); nothing for
// others.
std::optional<SuperfileEncoding> superfileTypeOf(const QString& path);

// The failed-open box with its Rescue button, the one button besides OK.
std::unique_ptr<QMessageBox> makeRescueBox(QWidget* parent, const QString& caption,
                                           const QString& text, const QString& details);

// The question before unsaved changes would be lost: Save (the default), Discard and Cancel,
// each with an access key.
std::unique_ptr<QMessageBox> makeUnsavedChangesBox(QWidget* parent, const QString& fileName);

// The question before a save drops code groups from the superfile it replaces.
QString dropCodeGroupsQuestion(const QString& fileName, const QString& groups);
// Its box: Replace, and Cancel as the default; Replace has the accept role.
std::unique_ptr<QMessageBox> makeDropCodeGroupsBox(QWidget* parent, const QString& fileName,
                                                   const QString& groups);
// The question before a file with checksum problems is saved: Cancel as the default, and Save
// Anyway with the destructive role.
std::unique_ptr<QMessageBox> makeDamagedSaveBox(QWidget* parent, const QString& text,
                                                const QString& details);

// The save dialog's filter index of a type, and the type the dialog shows from its selected
// filter.
int saveFilterIndex(SaveType type);
SaveType selectedSaveType(const QFileDialog& dialog);
// Handler of a type change in the save dialog: the typed name takes the type's extension.
void SaveDialog1TypeChange(QFileDialog& dialog);
// Puts the dialog's current file name, with `extension`, back into its name field.
void setDialogFileName(QFileDialog& dialog, const QString& extension);

// The bare file name of `path` with its extension replaced by `extension` (appended when the
// name has none): "/tmp/fw.new/flex" and ".smg" give "flex.smg".
QString fileNameWithExtension(const QString& path, const QString& extension);

}  // namespace tavufe
