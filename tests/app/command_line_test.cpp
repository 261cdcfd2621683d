// The editor's own command line, run as a process with no display: --help and --version print
// and end without a window.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace {

struct EditorRun {
  int exitCode = -1;
  QString out;
  QString err;
};

EditorRun runEditor(const QStringList& arguments) {
  QProcess editor;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  // Nothing to show a window on: a window would fail to start rather than print.
  environment.remove("DISPLAY");
  environment.remove("WAYLAND_DISPLAY");
  environment.insert("QT_QPA_PLATFORM", "xcb");
  editor.setProcessEnvironment(environment);
  editor.start(TAVUFE_EDITOR_PATH, arguments);
  EditorRun run;
  if (!editor.waitForFinished(20000)) {
    editor.kill();
    editor.waitForFinished();
    return run;
  }
  run.exitCode = editor.exitStatus() == QProcess::NormalExit ? editor.exitCode() : -2;
  run.out = QString::fromLocal8Bit(editor.readAllStandardOutput());
  run.err = QString::fromLocal8Bit(editor.readAllStandardError());
  return run;
}

}  // namespace

TEST(EditorCommandLineTests, HelpAndVersionPrintWithoutAWindow) {
  const struct {
    QStringList arguments;
    QString firstLine;
  } cases[] = {
      {{"--version"}, "Tavu Flex Editor 1.00"},
      {{"-v"}, "Tavu Flex Editor 1.00"},
      {{"--help"}, "Usage: " TAVUFE_EDITOR_PATH " [options] [FILE]"},
      {{"backup.shx", "-h"}, "Usage: " TAVUFE_EDITOR_PATH " [options] [FILE]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const EditorRun run = runEditor(c.arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.split('\n').value(0), c.firstLine);
  }
  const EditorRun help = runEditor({"--help"});
  EXPECT_TRUE(help.out.contains("The superfile to open.")) << help.out.toStdString();
  EXPECT_TRUE(help.out.contains("--version")) << help.out.toStdString();
}

// Without a display the window cannot start; the editor says so and fails instead of hanging.
TEST(EditorCommandLineTests, AWindowRunNeedsADisplay) {
  const EditorRun run = runEditor({"backup.shx"});
  EXPECT_NE(run.exitCode, 0);
}
