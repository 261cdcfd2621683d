// The window for a user on the keyboard or a screen reader, and on a screen of any size: where
// the focus starts and what the keys do there, the names every control gives assistive tools,
// and a window that always fits its screen.

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QScreen>

#include "app_test_support.h"

using namespace apptest;

namespace {

// Every control a user can act on, with no name for a screen reader to say: "role objectName".
void collectUnnamed(QAccessibleInterface* node, QStringList& unnamed) {
  // What is hidden (the recent files not yet there) is not offered to a screen reader.
  if (node == nullptr || node->state().invisible) return;
  using A = QAccessible;
  static const QList<A::Role> acted = {A::PushButton,   A::CheckBox, A::ButtonMenu, A::ComboBox,
                                       A::EditableText, A::Table,    A::List,       A::MenuItem};
  const QAccessible::Role role = node->role();
  if (acted.contains(role) && node->text(QAccessible::Name).trimmed().isEmpty()) {
    const QObject* object = node->object();
    unnamed.append(QString::number(role) + " " + (object ? object->objectName() : QString()));
  }
  // A table's cells are named by what they hold.
  if (role == QAccessible::Table || role == QAccessible::List || role == QAccessible::Tree) return;
  for (int i = 0; i < node->childCount(); ++i) collectUnnamed(node->child(i), unnamed);
}

}  // namespace

TEST_F(WindowTest, EveryControlHasAnAccessibleName) {
  startWithSample();
  QStringList unnamed;
  collectUnnamed(QAccessible::queryAccessibleInterface(window.get()), unnamed);
  EXPECT_EQ(unnamed, QStringList());
  // The tool bar's overflow button shows only when the bar is cut short.
  auto* more = window->findChild<QWidget*>("qt_toolbar_ext_button");
  ASSERT_NE(more, nullptr);
  EXPECT_EQ(more->accessibleName(), "More tools");
}

// Focus starts where the work is; Delete erases only in the folder list; Ctrl+Y redoes; F1
// shows the help; the list's own menu copies a folder's name and location.
TEST_F(WindowTest, KeysActWhereTheFocusIs) {
  start(writeSample("flex.sbf"));
  EXPECT_EQ(QApplication::focusWidget(), folderTable());

  clickFolder(0);  // "audio" at 0x1000
  const fixture::Bytes before = flexBytes();
  reportView()->setFocus();
  QTest::keyClick(reportView(), Qt::Key_Delete);
  EXPECT_EQ(flexBytes(), before);
  folderTable()->setFocus();
  QTest::keyClick(folderTable(), Qt::Key_Delete);
  EXPECT_EQ(flexBytes(), erasedFlex({0x1000, 0x1600, 0x1800}));
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(flexBytes(), before);
  QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(flexBytes(), erasedFlex({0x1000, 0x1600, 0x1800}));

  QTest::keyClick(window.get(), Qt::Key_F1);
  EXPECT_TRUE(dialogs.texts.value(0).startsWith(
      QString::fromUtf8("Help \u2014 Tavu Flex Editor\nDeleting a left-over skin folder\n")));

  clickFolder(2);  // "themes", now that "audio" is gone
  action("copyFolderNameAction")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "themes");
  action("copyFolderOffsetAction")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "00001A00");
}

// A remembered size larger than the screen, or a place off it, gives way to the screen.
TEST_F(WindowTest, RestoredGeometryIsClampedToTheScreen) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  for (const QPoint at : {QPoint(40, 30), area.bottomRight() + QPoint(500, 500)}) {
    SCOPED_TRACE(at.x());
    start();
    window->setMinimumSize(0, 0);
    window->setGeometry(QRect(at, area.size() * 2));
    window->close();
    window.reset();
    start();
    EXPECT_TRUE(area.contains(window->frameGeometry()));
    EXPECT_LE(window->minimumHeight(), area.height());
    window->close();
    window.reset();
  }
}
