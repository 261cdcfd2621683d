#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>
#include <functional>

class QCoreApplication;
class QMenu;

namespace tavufe {

// The languages the window and the page speak, by the code their catalogues are named with.
// English is the texts of the source; the others are translations/tavufe_<code>.ts.
struct LanguageName {
  const char* code;
  const char* nativeName;  // as its speakers write it, whatever language the window shows
};
inline constexpr LanguageName kLanguages[] = {
    {"de", "Deutsch"},
    {"en", "English"},
    {"es", "Español"},
    {"pl", "Polski"},
    {"pt_BR", "Português (Brasil)"},
    {"ru", "Русский"},
};
inline constexpr const char* kSourceLanguage = "en";
// The settings key of the language the user chose; absent or empty follows the system.
inline constexpr const char* kSettingsLanguage = "language";

// The translators a running program has installed; owned by whoever started the application
// (main, or a test), and alive as long as the texts they translate.
struct Translations {
  QString language = QString::fromLatin1(kSourceLanguage);
  QTranslator window;
  QTranslator qt;  // Qt's own, for its dialogs and standard buttons
};

// The language to show: `chosen` when the editor has it, else the first of the system's
// languages the editor has ("pt-BR", "de-AT" and "pt" all find one), else English.
QString pickLanguage(const QString& chosen, const QStringList& uiLanguages);

// Loads `language`'s catalogue and Qt's own into `translations` and installs them in `app`,
// removing what was installed before; false when the editor has no catalogue for it. English
// installs the forms of its plurals and leaves Qt's texts as they are.
bool installLanguage(QCoreApplication& app, Translations& translations, const QString& language);

// Help > Language: one checkable entry per language, and one to follow the system, with
// `current` checked (empty for the system's). `chosen` gets the code picked (empty for the
// system's) after it has been remembered in the settings.
QMenu* addLanguageMenu(QMenu& parent, const QString& current,
                       std::function<void(const QString&)> chosen);

}  // namespace tavufe
