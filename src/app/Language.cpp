#include "app/Language.h"

#include "app/WindowSettings.h"
#include "common/AppResources.h"

#include <QCoreApplication>
#include <QTranslator>

Language languageFromArguments(const QStringList &arguments, Language fallback)
{
    const int at = arguments.indexOf(QStringLiteral("--lang"));
    if (at < 0 || at + 1 >= arguments.size())
        return fallback;
    const QString code = arguments.at(at + 1).toLower();
    if (code == QLatin1String("en"))
        return Language::English;
    if (code == QLatin1String("zh"))
        return Language::Chinese;
    return fallback;
}

namespace {

Language g_current = Language::Chinese;

const char *const kLanguageKey = "window/language";

} // namespace

Language storedLanguage()
{
    const QString code = windowSettings().value(QLatin1String(kLanguageKey)).toString();
    return code == QLatin1String("en") ? Language::English : Language::Chinese;
}

void storeLanguage(Language language)
{
    windowSettings().setValue(QLatin1String(kLanguageKey),
                              language == Language::English ? QStringLiteral("en") : QStringLiteral("zh"));
}

Language currentLanguage()
{
    return g_current;
}

bool setLanguage(Language language)
{
    // One translator for the whole program: switching removes the previous
    // catalogue first, so Chinese is exactly the untranslated texts.
    static QTranslator translator;
    QCoreApplication::removeTranslator(&translator);
    g_current = Language::Chinese;
    if (language == Language::Chinese)
        return true;
    ensureAppResources();
    if (!translator.load(QStringLiteral(":/i18n/tarvine_en.qm")) ||
        !QCoreApplication::installTranslator(&translator))
        return false;
    g_current = Language::English;
    return true;
}
