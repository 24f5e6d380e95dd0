#include "app/TARVINE.h"
#include "app/Language.h"
#include "app/StartupOptions.h"

#include <QApplication>
#include <QFont>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    // --help and --version answer on the terminal, with no window and no display.
    QStringList words;
    for (int i = 0; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    switch (startupRequest(words)) {
    case StartupRequest::Help:
        std::fputs(startupHelp().toUtf8().constData(), stdout);
        return 0;
    case StartupRequest::Version:
        std::printf("tarvine %s\n", TARVINE_VERSION);
        return 0;
    case StartupRequest::Window:
        break;
    }
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
#ifdef Q_OS_WIN
    // The captions are Chinese: where the interface font lacks a glyph, it
    // comes from the Chinese fonts every Windows has.
    QFont::insertSubstitutions(QApplication::font().family(),
                               {QStringLiteral("Microsoft YaHei UI"), QStringLiteral("Microsoft YaHei"),
                                QStringLiteral("SimSun")});
#endif
    // Every caption is translated as it is built: choose the language first.
    // "--lang" overrides the window's choice for this run only.
    setLanguage(languageFromArguments(QApplication::arguments(), storedLanguage()));
    TARVINE window;
    applyStartupOptions(window, QApplication::arguments());
    window.restorePanels();
    window.show();
    // The benchmark times start-up from outside: it waits for this line,
    // written once the first turn of the event loop has painted the window.
    if (qEnvironmentVariableIsSet("TARVINE_REPORT_SHOWN"))
        QTimer::singleShot(0, &app, [] {
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
        });
    return app.exec();
}
