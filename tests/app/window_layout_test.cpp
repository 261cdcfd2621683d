// The window's layout: resizable from its default size, with the report whole and the folder
// list taking what the window gains; a path that does not fit is elided in the middle; the
// about box and the message boxes are as large as their texts.

#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QSplitter>

#include "app_test_support.h"

using namespace apptest;

TEST_F(WindowTest, WindowIsResizableAndTheFolderListTakesTheExtraSpace) {
  startWithSample();
  const QSize designed = tavufe::MainWindow::designedClientSize();
  EXPECT_GE(window->width(), designed.width());
  EXPECT_GE(window->height(), designed.height());
  EXPECT_LE(window->minimumWidth(), window->width());
  EXPECT_LE(window->minimumHeight(), window->height());
  EXPECT_EQ(window->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));

  // The report shows its nine lines whole at the default size.
  QPlainTextEdit* report = reportView();
  const int lineSpacing = QFontMetrics(report->font()).lineSpacing();
  EXPECT_GE(report->viewport()->height(), 9 * lineSpacing);
  EXPECT_EQ(report->verticalScrollBar()->maximum(), 0);

  const int folderHeight = folderTable()->height();
  const int folderWidth = folderTable()->width();
  const int reportHeight = report->height();
  const int codeGroupHeight = codeGroupTable()->height();
  window->resize(window->size() + QSize(200, 150));
  QCoreApplication::processEvents();
  EXPECT_EQ(folderTable()->height(), folderHeight + 150);
  EXPECT_EQ(folderTable()->width(), folderWidth + 200);
  EXPECT_EQ(report->height(), reportHeight);
  EXPECT_EQ(codeGroupTable()->height(), codeGroupHeight);
  window->showMaximized();
  QCoreApplication::processEvents();
  EXPECT_TRUE(window->isMaximized());
}

TEST_F(WindowTest, ColumnsCanBeResizedByTheUser) {
  start();
  for (QTableWidget* table : {folderTable(), codeGroupTable()}) {
    SCOPED_TRACE(table->objectName().toStdString());
    EXPECT_EQ(table->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_TRUE(table->horizontalHeader()->stretchLastSection());
  }
  // All nine code-group columns can be reached: none hidden, and a scroll bar across.
  for (int c = 0; c < codeGroupTable()->columnCount(); ++c) {
    EXPECT_FALSE(codeGroupTable()->isColumnHidden(c)) << c;
  }
  EXPECT_EQ(codeGroupTable()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

// A long path keeps its start and its file name in view; the tool tip holds it whole.
TEST_F(WindowTest, LongPathIsElidedInTheMiddle) {
  start();
  tavufe::PathField* field = pathEdit();
  const QString path = "/home/user/backups/" + QString(300, 'x') + "/flex_backup.shx";
  field->setPath(path);
  EXPECT_EQ(field->path(), path);
  EXPECT_EQ(field->toolTip(), path);
  const QString shown = field->text();
  EXPECT_TRUE(shown.startsWith("/home/user/")) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith("flex_backup.shx")) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
  EXPECT_LE(field->fontMetrics().horizontalAdvance(shown), field->width());
  // Room enough: the path shows whole.
  field->resize(field->fontMetrics().horizontalAdvance(path) + 40, field->height());
  EXPECT_EQ(field->text(), path);
  field->setPath("/tmp/a.shx");
  EXPECT_EQ(field->text(), "/tmp/a.shx");
}

TEST_F(WindowTest, AboutBoxShowsEveryLineOfItsHelp) {
  start();
  auto* about = window->findChild<QDialog*>("aboutDialog");
  ASSERT_NE(about, nullptr);
  about->show();
  QCoreApplication::processEvents();
  auto* help = about->findChild<QLabel*>("helpText");
  const QStringList lines = help->text().split('\n');
  ASSERT_EQ(lines.size(), 8);
  EXPECT_EQ(lines.last(), "of your handset's user community.");
  EXPECT_EQ(about->findChild<QLabel*>("licenceText")->text(),
            "Copyright 2026 The Tavu Flex Editor developers.\nReleased under the MIT licence: free "
            "to use, copy, change and share,\nwith no warranty.");
  const QFontMetrics metrics(help->font());
  EXPECT_GE(help->contentsRect().height(), lines.size() * metrics.lineSpacing());
  for (const QString& line : lines) {
    EXPECT_LE(metrics.horizontalAdvance(line), help->contentsRect().width()) << line.toStdString();
  }
  about->hide();
}

TEST(MessageBoxTests, BoxesAreWideEnoughForTheirCaptionAndCarryTheDetails) {
  auto box = tavufe::makeMessageBox(nullptr, "File Type Not Supported, a long caption", "Short",
                                    "/tmp/x.txt");
  box->show();
  QCoreApplication::processEvents();
  QFont bold = box->font();
  bold.setBold(true);
  EXPECT_GT(box->width(), QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 100);
  EXPECT_EQ(box->text(), "Short");
  EXPECT_EQ(box->informativeText(), "/tmp/x.txt");
  EXPECT_EQ(box->icon(), QMessageBox::Warning);
  box->hide();
  EXPECT_TRUE(
      tavufe::makeMessageBox(nullptr, "WARNING", "Record Error")->informativeText().isEmpty());
}
