#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  // Also when the test list is gathered at build time, where no display may exist.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  // Tests close windows; the next test still needs its event loops.
  app.setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
