// Tavu Flex Editor: the window.

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <exception>
#include <memory>

#include "app/about_dialog.h"
#include "app/dialogs.h"
#include "app/language.h"
#include "app/main_window.h"
#include "editor/input_file.h"
#include "model/editor_state.h"
#include "model/version.h"

namespace {

// The last resort for an exception that leaves an event handler: show it and carry on.
class EditorApplication : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      showException(e.what());
    } catch (...) {
      showException("");
    }
    return false;
  }

  static void showException(const char* what) {
    QMessageBox::critical(nullptr, tavufe::kWindowCaption, QString::fromLocal8Bit(what));
  }
};

void nameApplication() {
  QCoreApplication::setOrganizationName("tavufe");
  QCoreApplication::setApplicationName(tavufe::kWindowCaption);
  QCoreApplication::setApplicationVersion(tavufe::kProgramVersion);
}

void describeCommandLine(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      "Opens a handset's Flex backup superfile (.shx or .sbf), erases a left-over skin folder "
      "record and saves a superfile to flash back.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("file", "The superfile to open.", "[FILE]");
}

// --help and --version print and end the program before any window or display is needed.
void answerTextOnlyOptions(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray argument(argv[i]);
    if (argument == "--") return;
    if (argument == "-h" || argument == "-?" || argument == "--help" || argument == "--help-all" ||
        argument == "-v" || argument == "--version") {
      QCoreApplication console(argc, argv);
      nameApplication();
      QCommandLineParser parser;
      describeCommandLine(parser);
      parser.process(console);
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  answerTextOnlyOptions(argc, argv);
  tavufe::ignoreFileSignals();

  // The image comes first; without it the editor still starts and every open says why.
  auto state = std::make_unique<tavufe::EditorState>();
  state->image.allocate();

  EditorApplication app(argc, argv);
  try {
    nameApplication();
    // The language the user chose in Help > Language, else the system's; the window's texts
    // are read as it is built, so this comes first.
    tavufe::Translations translations;
    const QString chosen = QSettings().value(tavufe::kSettingsLanguage).toString();
    tavufe::installLanguage(app, translations,
                            tavufe::pickLanguage(chosen, QLocale::system().uiLanguages()));
    // Parsed after QApplication has taken out its own options (-platform, -style, ...).
    QCommandLineParser parser;
    describeCommandLine(parser);
    parser.process(app);
    // Made absolute, as the open dialog's paths are: the recent files and the folders kept
    // for the dialogs must not depend on where the next start happens.
    const QString argument = parser.positionalArguments().value(0);
    const QString startupPath =
        argument.isEmpty() ? argument : QFileInfo(argument).absoluteFilePath();
    QGuiApplication::setApplicationDisplayName(tavufe::kWindowCaption);
    QGuiApplication::setDesktopFileName("tavu-flex-editor");
    tavufe::QtDialogs dialogs;
    tavufe::MainWindow window(*state, dialogs, startupPath);
    window.show();
    // For timing a start: the file named is opened, then the program ends.
    if (qEnvironmentVariableIsSet("TAVUFE_QUIT_AFTER_START")) {
      QTimer::singleShot(0, &app, &QCoreApplication::quit);
    }
    app.exec();
  } catch (const std::exception& e) {
    EditorApplication::showException(e.what());
  } catch (...) {
    EditorApplication::showException("");
  }
  return 0;
}
