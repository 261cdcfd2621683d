// The window started in each of its languages: its texts and Qt's own come from the
// catalogues, no control is cut at the longest ones, and every menu and box keeps one access
// key per entry.

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <map>

#include "app/language.h"
#include "app_test_support.h"

namespace apptest {
namespace {

using tavufe::installLanguage;

// Starts each test's window in a language; English is put back after it.
class WindowLanguageTest : public WindowTest {
 protected:
  void TearDown() override {
    WindowTest::TearDown();
    installLanguage(*QCoreApplication::instance(), translations, "en");
  }

  void startIn(const char* language) {
    if (window) {
      window->close();
      window.reset();
    }
    ASSERT_TRUE(installLanguage(*QCoreApplication::instance(), translations, language));
    startWithSample();
  }

  QMenu* menu(const char* name) const { return find<QMenu>(name); }

  tavufe::Translations translations;
};

// The letter of each access key among `texts`; a text without one is left out.
std::multimap<QString, QString> accessKeys(const QStringList& texts) {
  std::multimap<QString, QString> keys;
  for (const QString& text : texts) {
    const QKeySequence key = QKeySequence::mnemonic(text);
    if (!key.isEmpty()) keys.emplace(key.toString().toLower(), text);
  }
  return keys;
}

// Fails for two texts with one access key, naming both.
void expectUniqueAccessKeys(const QString& where, const QStringList& texts) {
  const auto keys = accessKeys(texts);
  for (auto it = keys.begin(); it != keys.end(); ++it) {
    const auto next = std::next(it);
    if (next != keys.end() && next->first == it->first) {
      ADD_FAILURE() << where.toStdString() << ": \"" << it->second.toStdString() << "\" and \""
                    << next->second.toStdString() << "\" share " << it->first.toStdString();
    }
  }
}

QStringList actionTexts(const QList<QAction*>& actions) {
  QStringList texts;
  for (const QAction* action : actions) {
    if (!action->isSeparator() && action->isVisible()) texts.append(action->text());
  }
  return texts;
}

QStringList buttonTexts(const QWidget& box) {
  QStringList texts;
  for (const QAbstractButton* button : box.findChildren<QAbstractButton*>()) {
    if (!button->text().isEmpty()) texts.append(button->text());
  }
  return texts;
}

TEST_F(WindowLanguageTest, EachLanguageShowsItsOwnTextsAndQtsOwn) {
  struct Case {
    const char* language;
    const char* fileMenu;
    const char* folderHeading;
    const char* firstReportLabel;
    const char* checksums;
    const char* closeButton;  // Qt's own standard button
  };
  const Case cases[] = {
      {"en", "&File", "Skin Folder", "HEADER INFO: ", "Checksums OK", "Close"},
      {"de", "&Datei", "Skin-Ordner", "KOPFDATEN: ", "Prüfsummen OK", "Schließen"},
      {"es", "&Archivo", "Carpeta de skin", "INFO DE CABECERA: ", "Sumas de verificación correctas",
       "Cerrar"},
      {"pl", "&Plik", "Folder skórki", "NAGŁÓWEK: ", "Sumy kontrolne poprawne", "Zamknij"},
      {"pt_BR", "&Arquivo", "Pasta de skin", "INFO DO CABEÇALHO: ", "Somas de verificação corretas",
       "Fechar"},
      {"ru", "&Файл", "Папка скина", "ЗАГОЛОВОК: ", "Контрольные суммы в порядке", "Закрыть"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    startIn(c.language);
    EXPECT_EQ(menu("fileMenu")->title(), QString::fromUtf8(c.fileMenu));
    EXPECT_EQ(titles(*folderTable()).value(1), QString::fromUtf8(c.folderHeading));
    EXPECT_TRUE(reportView()->toPlainText().startsWith(QString::fromUtf8(c.firstReportLabel)))
        << reportView()->toPlainText().toStdString();
    EXPECT_EQ(find<QLabel>("checksumLabel")->text(), QString::fromUtf8(c.checksums));
    // What the file holds is shown as it is: its folders' names and the Flex's version.
    EXPECT_EQ(column(*folderTable(), 1), kListedFolders);
    EXPECT_TRUE(reportView()->toPlainText().contains("R52_G_0E.41.9AR_FLEX_SAMPLE")) << c.language;
    QDialogButtonBox box(QDialogButtonBox::Close);
    EXPECT_EQ(box.button(QDialogButtonBox::Close)->text(), QString::fromUtf8(c.closeButton));
  }
}

// At the longest languages every button, label and heading is at least as large as it asks
// to be, the window at its designed least size.
TEST_F(WindowLanguageTest, NothingIsCutInTheLongestLanguages) {
  for (const char* language : {"de", "ru", "pt_BR"}) {
    SCOPED_TRACE(language);
    startIn(language);
    window->resize(window->minimumSize());
    QCoreApplication::processEvents();
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
      // The status line gives way at its right end by design: a long cause is cut there.
      if (!widget->isVisible() || widget->objectName() == "statusLine") continue;
      const auto* label = qobject_cast<const QLabel*>(widget);
      if (label != nullptr && label->wordWrap()) {
        EXPECT_GE(label->height(), label->heightForWidth(label->width()))
            << label->text().toStdString();
      } else if (label != nullptr || qobject_cast<const QAbstractButton*>(widget) != nullptr) {
        EXPECT_GE(widget->width(), widget->sizeHint().width())
            << widget->metaObject()->className() << " " << widget->objectName().toStdString();
        EXPECT_GE(widget->height(), widget->sizeHint().height())
            << widget->objectName().toStdString();
      }
    }
    for (QTableWidget* table : {folderTable(), codeGroupTable()}) {
      const QHeaderView* header = table->horizontalHeader();
      for (int c = 0; c < table->columnCount(); ++c) {
        if (table->isColumnHidden(c)) continue;
        EXPECT_GE(header->sectionSize(c), header->sectionSizeHint(c))
            << table->objectName().toStdString() << " "
            << table->horizontalHeaderItem(c)->text().toStdString();
      }
    }
  }
}

TEST_F(WindowLanguageTest, AccessKeysAreUniqueInEveryMenuAndBox) {
  for (const tavufe::LanguageName& language : tavufe::kLanguages) {
    SCOPED_TRACE(language.code);
    startIn(language.code);
    const QString code = QString::fromLatin1(language.code);
    // The menu bar with the window's own button: Alt and a letter reaches either.
    QStringList topLevel = actionTexts(window->menuBar()->actions());
    topLevel.append(deleteButton()->text());
    expectUniqueAccessKeys(code + " menu bar", topLevel);
    for (const QMenu* each : window->findChildren<QMenu*>()) {
      expectUniqueAccessKeys(code + " " + each->objectName(), actionTexts(each->actions()));
    }
    expectUniqueAccessKeys(code + " folder list", actionTexts(folderTable()->actions()));
    expectUniqueAccessKeys(code + " unsaved changes",
                           buttonTexts(*tavufe::makeUnsavedChangesBox(window.get(), "a.shx")));
    expectUniqueAccessKeys(code + " damaged save",
                           buttonTexts(*tavufe::makeDamagedSaveBox(window.get(), "?", "")));
    expectUniqueAccessKeys(code + " dropped groups",
                           buttonTexts(*tavufe::makeDropCodeGroupsBox(window.get(), "a", "b")));
    // Every entry of the File, Edit and Help menus has its key in every language.
    for (const char* name : {"fileMenu", "editMenu", "helpMenu"}) {
      for (const QString& text : actionTexts(menu(name)->actions())) {
        EXPECT_FALSE(QKeySequence::mnemonic(text).isEmpty()) << name << ": " << text.toStdString();
      }
    }
  }
}

// Help > Language keeps the choice for the next start and says so in the language shown now.
TEST_F(WindowLanguageTest, TheLanguageChosenIsKeptForTheNextStart) {
  startIn("de");
  QMenu* languages = menu("languageMenu");
  ASSERT_NE(languages, nullptr);
  QStringList entries = actionTexts(languages->actions());
  EXPECT_EQ(entries.takeFirst(), "&Systemsprache");
  EXPECT_EQ(entries, QStringList({"Deutsch", "English", "Español", "Polski", "Português (Brasil)",
                                  "Русский"}));
  const QList<QAction*> actions = languages->actions();
  const auto russian = std::find_if(actions.begin(), actions.end(),
                                    [](const QAction* a) { return a->data() == "ru"; });
  ASSERT_NE(russian, actions.end());
  (*russian)->trigger();
  EXPECT_EQ(QSettings().value(tavufe::kSettingsLanguage).toString(), "ru");
  EXPECT_TRUE((*russian)->isChecked());
  EXPECT_EQ(window->statusBar()->currentMessage(),
            "Die Sprache wechselt beim nächsten Start des Editors.");
  languages->actions().first()->trigger();
  EXPECT_EQ(QSettings().value(tavufe::kSettingsLanguage).toString(), "");
}

}  // namespace
}  // namespace apptest
