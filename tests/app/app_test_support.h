#pragma once

// A window under test: real handlers and core, with a fake in place of every modal box.

#include <gtest/gtest.h>

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <deque>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/main_form.h"
#include "model/editor_state.h"
#include "qt_printers.h"
#include "sample_content.h"
#include "superfile_fixture.h"

namespace apptest {

// Answers the window's questions from queues and records what it asked and showed.
class FakeDialogs final : public tavufe::Dialogs {
 public:
  struct Message {
    QString caption;
    QString text;
  };
  struct Request {
    QString folder;
    QString fileName;
    tavufe::SaveType type = tavufe::SaveType::Shx;
  };

  // An empty path, or an empty queue, stands for Cancel.
  std::deque<QString> openAnswers;
  std::deque<std::optional<tavufe::SaveChoice>> saveAnswers;

  std::vector<Request> openRequests;
  std::vector<Request> saveRequests;
  std::vector<Message> messages;

  QString getOpenFileName(QWidget*, const QString& folder, const QString& fileName) override {
    openRequests.push_back({folder, fileName});
    if (openAnswers.empty()) return {};
    QString answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
  }

  std::optional<tavufe::SaveChoice> getSaveFileName(QWidget*, const QString& folder,
                                                    const QString& fileName,
                                                    tavufe::SaveType type) override {
    saveRequests.push_back({folder, fileName, type});
    if (saveAnswers.empty()) return std::nullopt;
    auto answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
  }

  void showMessage(QWidget*, const QString& caption, const QString& text) override {
    messages.push_back({caption, text});
  }
};

inline QString q(const std::string& s) { return QString::fromStdString(s); }

// "1,234" with the separator the window takes from the system's locale.
inline QString grouped(const QString& digitsWithComma) {
  QString text = digitsWithComma;
  return text.replace(QLatin1Char(','), QLocale::system().groupSeparator());
}

inline QString thousands(std::uint64_t value) {
  QString digits = QString::number(value);
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QLatin1Char(','));
  return grouped(digits);
}

// The 16 first bytes of a code group as the grid's header-info column shows them.
inline QString headerInfo(const fixture::Bytes& data) {
  QString text;
  for (int i = 0; i < 16; ++i) {
    if (i > 0 && i % 4 == 0) text += "  ";
    text += QString("%1").arg(data.at(std::size_t(i)), 2, 16, QLatin1Char('0')).toUpper();
  }
  return text;
}

inline QString hex4(unsigned value) {
  return QString("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

inline QStringList rowText(const QTableWidget& grid, int row, int columns) {
  QStringList cells;
  for (int c = 0; c < columns; ++c) cells.append(tavufe::gridCell(grid, row, c));
  return cells;
}

inline fixture::Bytes sbfOf(const std::vector<sample::CodeGroup>& groups) {
  fixture::Bytes out = sample::headerFor(groups).bytes();
  for (const auto& g : groups) fixture::append(out, fixture::sbfRecord(g.start, g.data));
  return out;
}

inline const sample::CodeGroup& groupOf(const std::vector<sample::CodeGroup>& groups, int cg) {
  for (const auto& g : groups) {
    if (g.cgNumber == cg) return g;
  }
  throw std::logic_error("no such code group in the sample");
}

// The folders a default sample lists after an open from the dialog: repeats erased.
inline const QStringList kListedFolders = {
    "audio", "picture", "skins", "themes", "myskin", "a_very_long_skin_folder_name_that_go",
    "video"};

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

  QString writeFile(const std::string& name, const fixture::Bytes& bytes) {
    const std::string path = dir.file(name);
    fixture::writeFile(path, bytes);
    return q(path);
  }

  QString writeSample(const std::string& name, const sample::Options& options = {}) {
    const bool shx = name.size() >= 4 && name.substr(name.size() - 4) == ".shx";
    return writeFile(name, shx ? sample::makeShx(options) : sample::makeSbf(options));
  }

  // Opens `path` through the open command, as if chosen in the open dialog.
  void openFromDialog(const QString& path) {
    dialogs.openAnswers.push_back(path);
    form->FileOpen();
  }

  QStringList messagesText() const {
    QStringList out;
    for (const auto& m : dialogs.messages) out.append(m.caption + ": " + m.text);
    return out;
  }

  fixture::TempDir dir;
  std::unique_ptr<tavufe::EditorState> state;
  FakeDialogs dialogs;
  std::unique_ptr<tavufe::TMainForm> form;
};

}  // namespace apptest
