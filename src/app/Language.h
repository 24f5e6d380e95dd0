#pragma once

#include <QStringList>

// The window speaks Chinese, the language its texts are written in, unless
// English is asked for: the system locale never decides.
enum class Language
{
    Chinese,
    English
};

// "--lang en" or "--lang zh" on the command line; `fallback` otherwise
// (and for a language the tool does not have).
Language languageFromArguments(const QStringList &arguments, Language fallback = Language::Chinese);

// The language chosen in the window, kept in the window settings (Chinese
// when none was chosen). A choice takes effect at the next start.
Language storedLanguage();
void storeLanguage(Language language);

// The language setLanguage() last installed.
Language currentLanguage();

// Makes every later tr() answer in `language`. Call it before the window is
// built: texts already shown stay as they are. Returns false when the
// English catalogue is missing from the resources.
bool setLanguage(Language language);
