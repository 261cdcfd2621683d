// The window as a new user first meets it: what an empty window says, where the focus starts
// and where Tab leads, what the status line says after an export or a refused drop, and the
// first size on screens of several sizes and scales.

#include <QApplication>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QUrl>
#include <cstdio>

#include "app_test_support.h"

using namespace apptest;
using tavufe::SaveType;

namespace {

// The object name of the widget with the focus, or of the tool bar action its button shows.
QString focusName(const QMainWindow& window) {
  const QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr) return "none";
  if (const auto* bar = window.findChild<QToolBar*>("fileToolBar")) {
    for (QAction* action : bar->actions()) {
      if (bar->widgetForAction(action) == focus) return action->objectName();
    }
  }
  return focus->objectName();
}

}  // namespace

class FirstUseTest : public WindowTest {
 protected:
  // The focus at start, then after each of `presses` presses of Tab.
  QStringList focusWalk(int presses) {
    QStringList walk{focusName(*window)};
    for (int i = 0; i < presses; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      walk.append(focusName(*window));
    }
    return walk;
  }

  // A drag of `urls` over the window: whether it is taken.
  bool dragOver(const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QCoreApplication::sendEvent(window.get(), &enter);
    return enter.isAccepted();
  }
};

// An empty window says how to begin; the path field, which nothing can be typed in, takes no
// focus and has no frame.
TEST_F(FirstUseTest, EmptyWindowSaysHowToBegin) {
  start();
  EXPECT_EQ(reportView()->placeholderText(),
            "Open a superfile to begin: File > Open (Ctrl+O), or drop it onto the window.");
  EXPECT_TRUE(reportView()->toPlainText().isEmpty());
  EXPECT_EQ(pathEdit()->focusPolicy(), Qt::NoFocus);
  EXPECT_FALSE(pathEdit()->hasFrame());
  EXPECT_TRUE(pathEdit()->isReadOnly());
}

// Focus starts at the folder list when there is one to work in, else at Open; Tab goes top to
// bottom over what is enabled and never stops at the path field.
TEST_F(FirstUseTest, FocusStartsWhereTheWorkIsAndTabSkipsThePath) {
  auto groups = sample::codeGroups({});
  groups.erase(groups.begin() + 2);
  const struct {
    const char* name;
    QString file;
    QStringList walk;
  } cases[] = {
      {"nothing open",
       {},
       {"openAction", "reportView", "recordPreview", "codeGroupTable", "openAction"}},
      {"a superfile",
       writeSample("flex.sbf"),
       {"folderTable", "recordPreview", "codeGroupTable", "openAction", "saveAction", "reportView",
        "folderTable"}},
      {"no Flex",
       writeFile("noflex.sbf", sbfOf(groups)),
       {"openAction", "reportView", "recordPreview", "codeGroupTable", "openAction"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    start(c.file);
    EXPECT_EQ(focusWalk(int(c.walk.size()) - 1), c.walk);
    window->close();
    window.reset();
  }
}

// An export changes neither the title nor the report: the status line says what was written.
// A tip covers the line only while it shows.
TEST_F(FirstUseTest, StatusLineSaysWhatASaveWrote) {
  startWithSample();
  const QString title = window->windowTitle();
  const QString flexSize = thousands(kFlexSize);
  const struct {
    const char* file;
    SaveType type;
    QString line;
  } cases[] = {
      {"flex.smg", SaveType::Smg,
       "Saved the Flex code group alone to %1 (SMG, " + flexSize + " bytes)"},
      {"flex.bin", SaveType::Bin,
       "Saved the Flex code group alone to %1 (BIN, " + flexSize + " bytes)"},
      {"whole.shx", SaveType::Shx, "Saved to %1"},
  };
  const QString report = reportView()->toPlainText();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    save(q(dir.file(c.file)), c.type);
    EXPECT_EQ(statusLine(), c.line.arg(q(dir.file(c.file))));
    if (c.type == SaveType::Smg || c.type == SaveType::Bin) {
      EXPECT_EQ(window->windowTitle(), title);
      EXPECT_EQ(reportView()->toPlainText(), report);
    }
  }
  QLabel* line = find<QLabel>("statusLine");
  QStatusTipEvent tip(action("openAction")->statusTip());
  QCoreApplication::sendEvent(window.get(), &tip);
  EXPECT_FALSE(line->isVisible());
  QStatusTipEvent tipGone({});
  QCoreApplication::sendEvent(window.get(), &tipGone);
  EXPECT_TRUE(line->isVisible());
  EXPECT_EQ(statusLine(), "Saved to " + q(dir.file("whole.shx")));
}

// A drop the window cannot open is refused as it is dragged in, and the status line says why in
// place of what it said of the last file (here, why it did not open).
TEST_F(FirstUseTest, RefusedDropReplacesTheStatusLine) {
  start();
  openFromDialog(writeFile("bad.sbf", {1, 2, 3}));
  ASSERT_TRUE(statusLine().startsWith("Record Error: bad.sbf"));
  const QUrl superfile = QUrl::fromLocalFile(writeSample("flex.shx"));
  const struct {
    const char* name;
    QList<QUrl> urls;
    QString line;  // empty: taken
  } cases[] = {
      {"text",
       {QUrl::fromLocalFile(writeFile("notes.txt", {}))},
       "File Type Not Supported: notes.txt; superfiles end in .shx or .sbf"},
      {"two", {superfile, superfile}, "Drop one superfile at a time"},
      {"remote",
       {QUrl("https://example.org/flex.shx")},
       "https://example.org/flex.shx: not a file on this computer"},
      {"superfile", {superfile}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString before = statusLine();
    EXPECT_EQ(dragOver(c.urls), c.line.isEmpty());
    EXPECT_EQ(statusLine(), c.line.isEmpty() ? before : c.line);
  }
  EXPECT_EQ(dialogs.messages.size(), 1);  // the bad file's box, and no other
}

// The first size, measured in a window started on a screen of its own: every code-group column
// in view on a 1600x1000 screen, five folder rows where the screen has the height, and the
// whole window on the screen. Each screen needs a process of its own.
TEST(FirstSizeTest, FitsEveryScreenWithTheColumnsAndFolderRowsItAllows) {
  const struct {
    int width, height;
    const char* scale;
    bool allColumns;
    int leastRows;
  } cases[] = {
      {1600, 1000, "1", true, 5},
      {1600, 1000, "2", false, 5},
      {1024, 600, "1", false, 5},
      {800, 360, "1", false, 2},
  };
  QTemporaryDir dir;
  for (const auto& c : cases) {
    const QString name = QString("%1x%2@%3").arg(c.width).arg(c.height).arg(c.scale);
    SCOPED_TRACE(name.toStdString());
    const QString config = dir.filePath(name + ".json");
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QString(R"({"screens": [{"name": "probe", "x": 0, "y": 0, "width": %1,)"
                       R"( "height": %2, "logicalDpi": 96}]})")
                   .arg(c.width)
                   .arg(c.height)
                   .toUtf8());
    file.close();
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
    environment.insert("QT_SCALE_FACTOR", c.scale);
    probe.setProcessEnvironment(environment);
    probe.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=*.DISABLED_FirstSizeProbe", "--gtest_also_run_disabled_tests"});
    ASSERT_TRUE(probe.waitForFinished(60000));
    const QString out = QString::fromLocal8Bit(probe.readAllStandardOutput());
    const qsizetype at = out.indexOf("probe:");
    ASSERT_GE(at, 0) << out.toStdString();
    const QStringList measured = out.mid(at).section('\n', 0, 0).split(' ');
    ASSERT_EQ(measured.size(), 7) << out.toStdString();
    if (c.allColumns) {
      EXPECT_EQ(measured[2], "1") << out.toStdString();
    }
    EXPECT_GE(measured[4].toInt(), c.leastRows) << out.toStdString();
    EXPECT_EQ(measured[6], "1") << out.toStdString();
    EXPECT_EQ(probe.exitCode(), 0) << out.toStdString();
  }
}

// Run by the test above, once per screen: prints "probe: columns C rows R fits F".
TEST_F(WindowTest, DISABLED_FirstSizeProbe) {
  startWithSample();
  QCoreApplication::processEvents();
  const bool allColumns = codeGroupTable()->horizontalScrollBar()->maximum() == 0;
  const int rows =
      folderTable()->viewport()->height() / folderTable()->verticalHeader()->defaultSectionSize();
  const bool fits =
      QGuiApplication::primaryScreen()->availableGeometry().contains(window->frameGeometry());
  std::printf("probe: columns %d rows %d fits %d\n", int(allColumns), rows, int(fits));
}
