#include "app/Language.h"

#include "app/AppResources.h"

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

bool setLanguage(Language language)
{
    // One translator for the whole program: switching removes the previous
    // catalogue first, so Chinese is exactly the untranslated texts.
    static QTranslator translator;
    QCoreApplication::removeTranslator(&translator);
    if (language == Language::Chinese)
        return true;
    ensureAppResources();
    if (!translator.load(QStringLiteral(":/i18n/tarvine_en.qm")))
        return false;
    return QCoreApplication::installTranslator(&translator);
}
