// The window in its users' languages: which catalogue a start picks, that every catalogue is
// built in and loads, and that the texts the core owns are translated while what a file holds
// is not.

#include "app/language.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QTranslator>
#include <vector>

#include "app/system_texts.h"
#include "inspect/code_group_table.h"
#include "inspect/folder_scan.h"
#include "inspect/report.h"
#include "model/codes.h"

namespace {

using tavufe::installLanguage;
using tavufe::kSystemTextContext;
using tavufe::pickLanguage;
using tavufe::Translations;

// Every text of the core that the window shows, as the core gives it.
std::vector<const char*> coreTexts() {
  std::vector<const char*> texts;
  for (int code = 0; code < 256; ++code) {
    if (const char* text = tavufe::statusText(tavufe::StatusCode(code)); *text)
      texts.push_back(text);
    if (const char* text = tavufe::noticeText(tavufe::NoticeCode(code)); *text)
      texts.push_back(text);
  }
  for (const char* label : tavufe::kReportLabels) {
    if (*label) texts.push_back(label);
  }
  texts.insert(texts.end(),
               {tavufe::kReportNotFound, tavufe::kReportUnknownPlatform, tavufe::kReportBytes});
  texts.insert(texts.end(), tavufe::kFolderGridTitles.begin(), tavufe::kFolderGridTitles.end());
  texts.insert(texts.end(), tavufe::kCodeGroupGridTitles.begin(),
               tavufe::kCodeGroupGridTitles.end());
  return texts;
}

// Puts English back whatever a test installed.
class LanguageTest : public ::testing::Test {
 protected:
  void TearDown() override { installLanguage(*QCoreApplication::instance(), translations_, "en"); }
  Translations translations_;
};

TEST(PickLanguage, FollowsTheChoiceThenTheSystemThenEnglish) {
  struct Case {
    const char* chosen;
    QStringList system;
    const char* expected;
  };
  const Case cases[] = {
      {"", {"de-DE", "en-US"}, "de"},
      {"", {"pt-BR"}, "pt_BR"},
      {"", {"pt-PT"}, "pt_BR"},        // the language's other region before English
      {"", {"fr-FR", "ru-RU"}, "ru"},  // the first the editor has
      {"", {"en-GB", "de-DE"}, "en"},  // English first is English, not the next
      {"", {"fr-FR", "ja-JP"}, "en"},
      {"", {}, "en"},
      {"pl", {"de-DE"}, "pl"},  // the user's choice before the system's
      {"es", {}, "es"},
      {"xx", {"ru"}, "ru"},  // a choice the editor no longer has falls back
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pickLanguage(c.chosen, c.system), QString::fromLatin1(c.expected))
        << c.chosen << " / " << c.system.join(',').toStdString();
  }
}

TEST_F(LanguageTest, EveryLanguageLoadsAndAnUnknownOneDoesNot) {
  for (const tavufe::LanguageName& language : tavufe::kLanguages) {
    EXPECT_TRUE(installLanguage(*QCoreApplication::instance(), translations_, language.code))
        << language.code;
    EXPECT_EQ(translations_.language, QString::fromLatin1(language.code));
  }
  EXPECT_FALSE(installLanguage(*QCoreApplication::instance(), translations_, "xx"));
  EXPECT_EQ(translations_.language, "en");
  ASSERT_TRUE(installLanguage(*QCoreApplication::instance(), translations_, "en"));
  EXPECT_EQ(tavufe::translatedStatus(tavufe::StatusCode::RecordError), "Record Error");
}

TEST_F(LanguageTest, EveryCatalogueHasEveryTextTheCoreOwns) {
  for (const tavufe::LanguageName& language : tavufe::kLanguages) {
    if (QString::fromLatin1(language.code) == tavufe::kSourceLanguage) continue;
    QTranslator catalogue;
    ASSERT_TRUE(catalogue.load(QStringLiteral(":/translations/tavufe_") + language.code));
    for (const char* text : coreTexts()) {
      EXPECT_FALSE(catalogue.translate(kSystemTextContext, text).isEmpty())
          << language.code << ": \"" << text << "\"";
    }
  }
}

TEST_F(LanguageTest, TheSystemTextsShowInTheWindowsLanguage) {
  ASSERT_TRUE(installLanguage(*QCoreApplication::instance(), translations_, "de"));
  EXPECT_EQ(tavufe::translatedStatus(tavufe::StatusCode::ChecksumError), "Prüfsummenfehler");
  EXPECT_EQ(tavufe::translatedNotice(tavufe::NoticeCode::FileTypeNotSupported),
            "Dateityp nicht unterstützt");
  EXPECT_EQ(tavufe::translatedStatus(tavufe::StatusCode::None), "");
  EXPECT_EQ(tavufe::translatedTitles(tavufe::kFolderGridTitles),
            QStringList({"#", "Skin-Ordner", "Position in CG2"}));

  ASSERT_TRUE(installLanguage(*QCoreApplication::instance(), translations_, "ru"));
  // Labels and the core's own values are translated; what the file holds is not.
  struct Case {
    std::size_t index;
    const char* line;
    const char* expected;
  };
  const Case cases[] = {
      {0, "HEADER INFO: Not Found", "ЗАГОЛОВОК: Not Found"},
      {1, "Date: of the generator", "Date: of the generator"},
      {2, "Date: 12/07/2026", "Дата: 12/07/2026"},
      {3, "File: 1 234 567 Bytes", "Файл: 1 234 567 байт"},
      {4, "Platform: Unknown", "Платформа: Неизвестна"},
      {4, "Platform: GSM Neptune LTE", "Платформа: GSM Neptune LTE"},
      {5, "Firmware: Not Found", "Прошивка: Не найдено"},
      {6, "Flex: Unknown", "Flex: Unknown"},
      {7, "RDL: 00A1", "RDL: 00A1"},
      {8, "Language: Not Found", "Язык: Не найдено"},
      {8, "Flex: Not Found", "Flex: Not Found"},  // not the line's own label
      {9, "Language: Not Found", "Language: Not Found"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tavufe::translatedReportLine(c.index, QString::fromUtf8(c.line)),
              QString::fromUtf8(c.expected))
        << c.index << ": " << c.line;
  }
}

}  // namespace
