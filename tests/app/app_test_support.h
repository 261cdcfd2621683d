#pragma once

// A window under test: real handlers and core, driven through its actions, buttons and keys,
// with a fake in place of every modal box.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <QTest>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/path_field.h"
#include "model/editor_state.h"
#include "sample_content.h"
#include "superfile_fixture.h"

// Readable failure messages for Qt's strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* os) {
  *os << "{\"" << list.join("\", \"").toStdString() << "\"}";
}

namespace apptest {

// Gives the answers set beforehand and records what the window asked and showed.
class FakeDialogs final : public tavufe::Dialogs {
 public:
  // The next answer of each file dialog, used once; an empty one stands for Cancel.
  QString openAnswer;
  std::optional<tavufe::SaveChoice> saveAnswer;
  // The answer to every "save the changes first?".
  tavufe::UnsavedChanges unsavedAnswer = tavufe::UnsavedChanges::Cancel;
  // Each question as "folder|file name", with "|extension" of the type for a save.
  QStringList openRequests;
  QStringList saveRequests;
  QStringList unsavedQuestions;  // the file name asked about
  QStringList messages;          // "CAPTION: text"
  QStringList details;           // what each message adds under its text

  QString getOpenFileName(QWidget*, const QString& folder, const QString& fileName) override {
    openRequests.append(folder + "|" + fileName);
    return std::exchange(openAnswer, QString());
  }
  std::optional<tavufe::SaveChoice> getSaveFileName(QWidget*, const QString& folder,
                                                    const QString& fileName,
                                                    tavufe::SaveType type) override {
    saveRequests.append(folder + "|" + fileName + "|" + tavufe::extensionFor(type));
    return std::exchange(saveAnswer, std::nullopt);
  }
  void showMessage(QWidget*, const QString& caption, const QString& text,
                   const QString& more) override {
    messages.append(caption + ": " + text);
    details.append(more);
  }
  // Answers given once each, before unsavedAnswer.
  QList<tavufe::UnsavedChanges> firstUnsavedAnswers;
  tavufe::UnsavedChanges askToSaveChanges(QWidget*, const QString& fileName) override {
    unsavedQuestions.append(fileName);
    return firstUnsavedAnswers.isEmpty() ? unsavedAnswer : firstUnsavedAnswers.takeFirst();
  }
  void showText(QWidget*, const QString& title, const QString& text) override {
    texts.append(title + "\n" + text);
  }
  QStringList texts;  // "title\ntext" of each text box shown
  // The answer to "save a file with checksum problems?", and the texts of each such question.
  bool damagedSaveAnswer = false;
  QStringList damagedSaveQuestions;
  bool confirmDamagedSave(QWidget*, const QString& text, const QString& more) override {
    damagedSaveQuestions.append(text + "\n--\n" + more);
    return damagedSaveAnswer;
  }
  // The answer to every "replace it anyway?", and each question as "file name|groups".
  bool dropAnswer = false;
  QStringList dropQuestions;
  bool askToDropCodeGroups(QWidget*, const QString& fileName, const QString& groups) override {
    dropQuestions.append(fileName + "|" + groups);
    return dropAnswer;
  }
};

inline QString q(const std::string& s) { return QString::fromStdString(s); }

// A number with the group separator the window takes from the system's locale.
inline QString thousands(std::uint64_t value) {
  QString digits = QString::number(value);
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
    digits.insert(at, QLocale::system().groupSeparator());
  }
  return digits;
}

inline QString hex4(unsigned value) {
  return QString("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

// The first 16 bytes of a code group as the table's "CG Header Info" column shows them.
inline QString headerInfo(const fixture::Bytes& data) {
  QString text;
  for (int i = 0; i < 16; ++i) {
    if (i > 0 && i % 4 == 0) text += "  ";
    text += QString("%1").arg(data.at(std::size_t(i)), 2, 16, QLatin1Char('0')).toUpper();
  }
  return text;
}

inline QString cell(const QTableWidget& table, int row, int column) {
  const QTableWidgetItem* item = table.item(row, column);
  return item == nullptr ? QString() : item->text();
}

inline QStringList rowText(const QTableWidget& table, int row, int columns) {
  QStringList cells;
  for (int c = 0; c < columns; ++c) cells.append(cell(table, row, c));
  return cells;
}

inline QStringList titles(const QTableWidget& table) {
  QStringList texts;
  for (int c = 0; c < table.columnCount(); ++c) texts.append(table.horizontalHeaderItem(c)->text());
  return texts;
}

inline QStringList column(const QTableWidget& table, int c) {
  QStringList texts;
  for (int row = 0; row < table.rowCount(); ++row) texts.append(cell(table, row, c));
  return texts;
}

inline fixture::Bytes sbfOf(const std::vector<sample::CodeGroup>& groups) {
  fixture::Bytes out = sample::headerFor(groups).bytes();
  for (const auto& g : groups) fixture::append(out, fixture::sbfRecord(g.start, g.data));
  return out;
}

// The sample's code groups are the RAMDLD, the firmware, the Flex (at 0x11280000, 0x40000
// bytes), the DSP and the language pack. An open lists the Flex's folders with the second and
// third "skins" (at 0x1600 and 0x1800) erased.
inline const QStringList kListedFolders = {
    "audio", "picture", "skins", "themes", "myskin", "a_very_long_skin_folder_name_that_go",
    "video"};
inline constexpr std::size_t kFlexOffset = 0x1280000;
inline constexpr std::size_t kFlexSize = 0x40000;

// The Flex after the erase of the folder records at `records` (offsets inside the Flex): 5
// bytes from 261 before each, then 4 before it to 163 after it, set to 0xFF.
inline fixture::Bytes erasedFlex(std::initializer_list<std::size_t> records) {
  fixture::Bytes flex = sample::codeGroups({}).at(2).data;
  for (std::size_t at : records) {
    std::fill_n(flex.begin() + std::ptrdiff_t(at - 261), 5, 0xFF);
    std::fill_n(flex.begin() + std::ptrdiff_t(at - 4), 168, 0xFF);
  }
  return flex;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings().clear();
    state = std::make_unique<tavufe::EditorState>();
    ASSERT_TRUE(state->image.allocate());
  }
  void TearDown() override {
    if (window) {
      // Whatever a test left unsaved is dropped without a question.
      dialogs.unsavedAnswer = tavufe::UnsavedChanges::Discard;
      window->close();
    }
  }

  // Creates the window as the program does, shows it and lets its start-up run.
  void start(const QString& commandLinePath = {}) {
    window = std::make_unique<tavufe::MainWindow>(*state, dialogs, commandLinePath);
    window->setPauseMilliseconds(0);
    window->show();
    // Shortcuts only reach the active window.
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QCoreApplication::processEvents();
  }

  // Starts the window and opens the sample from the open dialog.
  void startWithSample() {
    start();
    openFromDialog(writeSample("flex.sbf"));
    ASSERT_EQ(dialogs.messages, QStringList());
  }

  QString writeFile(const std::string& name, const fixture::Bytes& bytes) {
    fixture::writeFile(dir.file(name), bytes);
    return q(dir.file(name));
  }

  QString writeSample(const std::string& name) {
    const bool shx = QString::fromStdString(name).endsWith(".shx", Qt::CaseInsensitive);
    return writeFile(name, shx ? sample::makeShx({}) : sample::makeSbf({}));
  }

  template <typename T>
  T* find(const char* name) const {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QAction* action(const char* name) const { return find<QAction>(name); }
  QTableWidget* folderTable() const { return find<QTableWidget>("folderTable"); }
  QTableWidget* codeGroupTable() const { return find<QTableWidget>("codeGroupTable"); }
  QPlainTextEdit* reportView() const { return find<QPlainTextEdit>("reportView"); }
  QPlainTextEdit* recordPreview() const { return find<QPlainTextEdit>("recordPreview"); }
  QPushButton* deleteButton() const { return find<QPushButton>("deleteFolderButton"); }
  tavufe::PathField* pathEdit() const { return find<tavufe::PathField>("pathEdit"); }
  // The status bar's lasting line: what the last command did or why it was refused.
  QString statusLine() const { return find<QLabel>("statusLine")->text(); }

  // Opens `path` through File > Open, as if chosen in the open dialog.
  void openFromDialog(const QString& path) {
    dialogs.openAnswer = path;
    action("openAction")->trigger();
  }

  // Saves through File > Save, as if `path` and `type` were accepted in its dialog.
  void save(const QString& path, tavufe::SaveType type) {
    dialogs.saveAnswer = tavufe::SaveChoice{path, type};
    action("saveAction")->trigger();
  }

  // A click on the name of folder row `row` (0 for the first folder).
  void clickFolder(int row) {
    QTableWidget* table = folderTable();
    const QRect cellRect = table->visualRect(table->model()->index(row, 1));
    ASSERT_TRUE(cellRect.isValid()) << row;
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cellRect.center());
  }

  void clickDelete() { QTest::mouseClick(deleteButton(), Qt::LeftButton); }

  // The Flex's bytes as the image holds them now.
  fixture::Bytes flexBytes() const {
    if (!state->image.exists()) return {};  // released: the window was closed
    const auto flex = state->image.read(kFlexOffset, kFlexSize);
    return fixture::Bytes(flex.begin(), flex.end());
  }

  // The commands that are enabled, by name.
  QStringList enabledCommands() const {
    QStringList on;
    for (const char* name : {"saveAction", "deleteFolderAction", "undoAction", "redoAction",
                             "cutCodeGroupAction", "undoCutAction"}) {
      if (action(name)->isEnabled()) on.append(name);
    }
    if (deleteButton()->isEnabled()) on.append("deleteFolderButton");
    if (folderTable()->isEnabled()) on.append("folderTable");
    return on;
  }

  fixture::TempDir dir;
  std::unique_ptr<tavufe::EditorState> state;
  FakeDialogs dialogs;
  std::unique_ptr<tavufe::MainWindow> window;
};

}  // namespace apptest
