#include "app/language.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMenu>
#include <QSettings>

namespace tavufe {

namespace {

QString codeOf(const LanguageName& language) { return QString::fromLatin1(language.code); }

QString primaryPart(const QString& code) { return code.section(QLatin1Char('_'), 0, 0); }

// The editor's code for a language tag ("pt-BR", "de_AT", "ru"); empty when it has none.
QString matchLanguage(const QString& tag) {
  const QString wanted = QString(tag).replace(QLatin1Char('-'), QLatin1Char('_'));
  for (const LanguageName& language : kLanguages) {
    if (codeOf(language).compare(wanted, Qt::CaseInsensitive) == 0) return codeOf(language);
  }
  // A region the editor has no catalogue of still reads its language's other one: a
  // Portuguese reader in Portugal is better served by Brazil's texts than by English.
  for (const LanguageName& language : kLanguages) {
    if (primaryPart(codeOf(language)).compare(primaryPart(wanted), Qt::CaseInsensitive) == 0) {
      return codeOf(language);
    }
  }
  return {};
}

}  // namespace

QString pickLanguage(const QString& chosen, const QStringList& uiLanguages) {
  if (!chosen.isEmpty()) {
    if (const QString code = matchLanguage(chosen); !code.isEmpty()) return code;
  }
  for (const QString& tag : uiLanguages) {
    if (const QString code = matchLanguage(tag); !code.isEmpty()) return code;
  }
  return QString::fromLatin1(kSourceLanguage);
}

bool installLanguage(QCoreApplication& app, Translations& translations, const QString& language) {
  app.removeTranslator(&translations.window);
  app.removeTranslator(&translations.qt);
  translations.language = QString::fromLatin1(kSourceLanguage);
  // English's catalogue holds only the forms of its plurals.
  if (!translations.window.load(QStringLiteral(":/translations/tavufe_") + language)) return false;
  app.installTranslator(&translations.window);
  if (language == QLatin1String(kSourceLanguage)) return true;
  // Qt's own texts are a nicety: the Debian package that carries them may be missing.
  if (translations.qt.load(QStringLiteral("qtbase_") + language,
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    app.installTranslator(&translations.qt);
  }
  translations.language = language;
  return true;
}

QMenu* addLanguageMenu(QMenu& parent, const QString& current,
                       std::function<void(const QString&)> chosen) {
  QMenu* menu = parent.addMenu(QCoreApplication::translate("tavufe::LanguageMenu", "&Language"));
  menu->setObjectName("languageMenu");
  auto* group = new QActionGroup(menu);
  auto addEntry = [&](const QString& text, const QString& code) {
    QAction* action = menu->addAction(text);
    action->setCheckable(true);
    action->setChecked(code == current);
    action->setData(code);
    group->addAction(action);
    QObject::connect(action, &QAction::triggered, menu, [code, chosen] {
      QSettings().setValue(kSettingsLanguage, code);
      if (chosen) chosen(code);
    });
  };
  addEntry(QCoreApplication::translate("tavufe::LanguageMenu", "&System Language"), {});
  menu->addSeparator();
  // Each language in its own name, with no access key: a key letter would depend on the
  // language the window happens to show.
  for (const LanguageName& language : kLanguages) {
    addEntry(QString::fromUtf8(language.nativeName), codeOf(language));
  }
  return menu;
}

}  // namespace tavufe
