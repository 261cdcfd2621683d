#pragma once

// A window under test: real handlers and core, with a fake in place of every modal box.

#include <gtest/gtest.h>

#include <QAction>
#include <QLocale>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <QToolButton>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/dialogs.h"
#include "app/main_form.h"
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
  // The next answer of each dialog, used once; an empty one stands for Cancel.
  QString openAnswer;
  std::optional<tavufe::SaveChoice> saveAnswer;
  // Each question as "folder|file name", with "|extension" of the type for a save.
  QStringList openRequests;
  QStringList saveRequests;
  QStringList messages;  // "CAPTION: text"

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
  void showMessage(QWidget*, const QString& caption, const QString& text) override {
    messages.append(caption + ": " + text);
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

// The first 16 bytes of a code group as the grid's "CG Header Info" column shows them.
inline QString headerInfo(const fixture::Bytes& data) {
  QString text;
  for (int i = 0; i < 16; ++i) {
    if (i > 0 && i % 4 == 0) text += "  ";
    text += QString("%1").arg(data.at(std::size_t(i)), 2, 16, QLatin1Char('0')).toUpper();
  }
  return text;
}

inline QStringList rowText(const QTableWidget& grid, int row, int columns) {
  QStringList cells;
  for (int c = 0; c < columns; ++c) cells.append(tavufe::gridCell(grid, row, c));
  return cells;
}

// True when no data row shows text in its first `columns` columns.
inline bool gridIsBlank(const QTableWidget& grid, int columns) {
  for (int row = 1; row <= grid.rowCount(); ++row) {
    if (!rowText(grid, row, columns).join("").isEmpty()) return false;
  }
  return true;
}

inline QStringList folderColumn(const QTableWidget& grid) {
  QStringList names;
  for (int row = 1; row <= grid.rowCount(); ++row) names.append(tavufe::gridCell(grid, row, 1));
  return names;
}

// The controls of the state table that are enabled, by name.
inline QStringList enabledControls(const tavufe::TMainForm& form) {
  QStringList on;
  const std::pair<const char*, bool> controls[] = {
      {"saveAction", form.saveAction->isEnabled()}, {"SaveButton", form.SaveButton->isEnabled()},
      {"Button1", form.Button1->isEnabled()},       {"SGrid", form.SGrid->isEnabled()},
      {"CGgrid", form.CGgrid->isEnabled()},         {"cutAction", form.cutAction->isEnabled()},
      {"undoAction", form.undoAction->isEnabled()}};
  for (const auto& [name, enabled] : controls) {
    if (enabled) on.append(name);
  }
  return on;
}

inline fixture::Bytes sbfOf(const std::vector<sample::CodeGroup>& groups) {
  fixture::Bytes out = sample::headerFor(groups).bytes();
  for (const auto& g : groups) fixture::append(out, fixture::sbfRecord(g.start, g.data));
  return out;
}

// The sample's code groups are the RAMDLD, the firmware, the Flex (at 0x11280000, 0x40000
// bytes), the DSP and the language pack. An open from the dialog lists the Flex's folders with
// the second and third "skins" (at 0x1600 and 0x1800) erased.
inline const QStringList kListedFolders = {
    "audio", "picture", "skins", "themes", "myskin", "a_very_long_skin_folder_name_that_go",
    "video"};

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
    state = std::make_unique<tavufe::EditorState>();
    ASSERT_TRUE(state->image.allocate());
  }

  // Creates the window as the program does and runs its start-up.
  void start(const QString& commandLinePath = {}) {
    form = std::make_unique<tavufe::TMainForm>(*state, dialogs, commandLinePath);
    form->setPauseMilliseconds(0);
    form->FormActivate();
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
    return writeFile(name, name.ends_with(".shx") ? sample::makeShx({}) : sample::makeSbf({}));
  }

  // Opens `path` through the open command, as if chosen in the open dialog.
  void openFromDialog(const QString& path) {
    dialogs.openAnswer = path;
    form->FileOpen();
  }

  // Saves through the save command, as if `path` and `type` were accepted in its dialog.
  void save(const QString& path, tavufe::SaveType type) {
    dialogs.saveAnswer = tavufe::SaveChoice{path, type};
    form->SaveButtonClick();
  }

  fixture::TempDir dir;
  std::unique_ptr<tavufe::EditorState> state;
  FakeDialogs dialogs;
  std::unique_ptr<tavufe::TMainForm> form;
};

}  // namespace apptest
