// Tavu Flex Editor: the window.

#include <QApplication>
#include <QMessageBox>
#include <csignal>
#include <exception>
#include <memory>

#include "app/about_box.h"
#include "app/dialogs.h"
#include "app/main_form.h"
#include "model/editor_state.h"

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

}  // namespace

int main(int argc, char** argv) {
  // Past the file-size limit a save then fails with EFBIG and says so, instead of the signal
  // ending the editor part-way.
  std::signal(SIGXFSZ, SIG_IGN);
  // The image comes first; without it the editor still starts and every open says why.
  auto state = std::make_unique<tavufe::EditorState>();
  state->image.allocate();

  EditorApplication app(argc, argv);
  try {
    app.setApplicationName(tavufe::kWindowCaption);
    app.setApplicationVersion(tavufe::kProgramVersion);
    tavufe::QtDialogs dialogs;
    tavufe::TMainForm form(*state, dialogs, app.arguments().value(1));
    form.show();
    app.exec();
  } catch (const std::exception& e) {
    EditorApplication::showException(e.what());
  } catch (...) {
    EditorApplication::showException("");
  }
  return 0;
}
