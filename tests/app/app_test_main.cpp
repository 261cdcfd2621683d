#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/language.h"

int main(int argc, char** argv) {
  // Also when the test list is gathered at build time, where no display may exist.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // What the window remembers goes to a folder of the tests' own, never the user's settings.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  // English, as the program installs it on an English desktop: its plurals' forms.
  tavufe::Translations english;
  tavufe::installLanguage(app, english, tavufe::kSourceLanguage);
  QCoreApplication::setOrganizationName("tavufe-tests");
  QCoreApplication::setApplicationName("app_tests");
  // Tests close windows; the next test still needs its event loops.
  app.setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
