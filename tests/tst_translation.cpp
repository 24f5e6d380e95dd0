#include "KnownConfiguration.h"
#include "TestRig.h"
#include "app/Language.h"
#include "app/StartupOptions.h"

#include <QtTest>
#include <QtWidgets>

// What one user session leaves behind: the file saved and the frames a
// write sent, which may not depend on the window's language; and the
// texts the connect showed.
struct Outcome
{
    QByteArray file;
    QList<QByteArray> frames;
    QStringList seen;
};

static Outcome writeAndSave(Language language, const QByteArray &configuration)
{
    setLanguage(language);
    TestRig rig;
    if (!configuration.isEmpty())
        rig.loadPages(configuration);
    Outcome outcome;
    if (rig.connectDevice()) {
        const MessageRecord box = rig.boxes().last();
        outcome.seen << rig.button("m_pushButtonConnect")->text() << rig.button("m_pushButtonWrite")->text()
                     << rig.widget<QTabWidget>("m_tabWidgetDevInfo")->tabText(0) << box.title << box.text
                     << box.buttons.join(',');
        rig.sim().clearReceived();
        rig.click("m_pushButtonWrite");
        outcome.frames = rig.sim().receivedFrames();
    }
    outcome.file = rig.pagesText();
    setLanguage(Language::Chinese);
    return outcome;
}

class Tst_translation : public QObject
{
    Q_OBJECT

    // The window settings of this run only: never the user's own.
    QTemporaryDir m_settings;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }

    void catalogueIsComplete()
    {
#ifdef Q_OS_WIN
        QSKIP("lupdate is the build machine's program: the Linux run checks the catalogue");
#endif
        // lupdate on a copy: what the sources and forms ask for today must
        // all be translated, and nothing translated may have vanished.
        QTemporaryDir dir;
        const QString copy = dir.filePath("tarvine_en.ts");
        QVERIFY(QFile::copy(TARVINE_SOURCE_DIR "/translations/tarvine_en.ts", copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.start(TARVINE_LUPDATE, {"-locations", "none", TARVINE_SOURCE_DIR "/src", "-ts", copy});
        QVERIFY(lupdate.waitForFinished(-1) && lupdate.exitCode() == 0);
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString ts = QString::fromUtf8(file.readAll());
        const QRegularExpression message(
            "<source>(.*?)</source>\\s*<translation( type=\"\\w+\")?>(.*?)</translation>",
            QRegularExpression::DotMatchesEverythingOption);
        QStringList faults;
        int translated = 0;
        for (auto it = message.globalMatch(ts); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (!m.captured(2).isEmpty() || m.captured(3).isEmpty())
                faults << m.captured(2) + ' ' + m.captured(1);
            else
                ++translated;
        }
        QCOMPARE(translated + faults.size(), ts.count("<message>")); // every message was looked at
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        QVERIFY(translated > 200);
    }

    void languageChangesNoByte_data()
    {
        QTest::addColumn<QByteArray>("configuration");
        QTest::newRow("defaults") << QByteArray();
        QTest::newRow("every page changed") << QByteArray(kKnownConfiguration);
    }
    void languageChangesNoByte()
    {
        QFETCH(QByteArray, configuration);
        const Outcome chinese = writeAndSave(Language::Chinese, configuration);
        const Outcome english = writeAndSave(Language::English, configuration);
        QVERIFY(!chinese.frames.isEmpty());
        QCOMPARE(english.frames, chinese.frames);
        QCOMPARE(english.file, chinese.file);
        QCOMPARE(english.seen.join('|'),
                 QStringLiteral("Disconnect|Write configuration|Conversion|Success|Connected|OK"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("remembered");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("request");
        const int zh = int(Language::Chinese), en = int(Language::English);
        const int window = int(StartupRequest::Window), help = int(StartupRequest::Help),
                  version = int(StartupRequest::Version);
        QTest::newRow("nothing, English remembered") << "tarvine" << en << en << QString() << window;
        QTest::newRow("EN, after a port")
            << "tarvine --port /dev/pts/4 --lang EN" << zh << en << "/dev/pts/4" << window;
        QTest::newRow("zh over English remembered") << "tarvine --lang zh" << en << zh << QString() << window;
        QTest::newRow("unknown") << "tarvine --lang fr" << zh << zh << QString() << window;
        QTest::newRow("no language") << "tarvine --lang" << en << en << QString() << window;
        QTest::newRow("no port") << "tarvine --port" << zh << zh << QString() << window;
        QTest::newRow("other words ignored") << "tarvine x --port ttyUSB0 y" << zh << zh << "ttyUSB0" << window;
        QTest::newRow("version") << "tarvine --lang en --version" << zh << en << QString() << version;
        QTest::newRow("help first") << "tarvine -h --version" << zh << zh << QString() << help;
        // A port or language named like a switch is that port or language.
        QTest::newRow("port named --version") << "tarvine --port --version" << zh << zh << "--version" << window;
        QTest::newRow("language --help") << "tarvine --lang --help" << en << en << QString() << window;
    }
    void commandLine()
    {
        QFETCH(QString, arguments);
        QFETCH(int, remembered);
        const QStringList words = arguments.split(' ');
        QTEST(int(languageFromArguments(words, Language(remembered))), "language");
        QTEST(portFromArguments(words), "port");
        QTEST(int(startupRequest(words)), "request");
    }

    void switchIsRememberedForNextStart_data()
    {
        QTest::addColumn<int>("running");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("box");
        const int zh = int(Language::Chinese), en = int(Language::English);
        QTest::newRow("Chinese, choose English")
            << zh << "languageEnglish" << en << "语言将在重新启动后切换。";
        QTest::newRow("Chinese, choose Chinese") << zh << "languageChinese" << zh << QString();
        QTest::newRow("English, choose Chinese")
            << en << "languageChinese" << zh << "The language changes when the tool is restarted.";
    }
    void switchIsRememberedForNextStart()
    {
        QFETCH(int, running);
        QFETCH(QString, chosen);
        storeLanguage(Language(running));
        QVERIFY(setLanguage(Language(running)));
        TestRig rig;
        QWidget *window = rig.center().window();
        const char *current = Language(running) == Language::English ? "languageEnglish" : "languageChinese";
        QVERIFY(window->findChild<QAction *>(current)->isChecked());
        window->findChild<QAction *>(chosen)->trigger();
        setLanguage(Language::Chinese);
        QTEST(int(storedLanguage()), "stored");
        QTEST(rig.boxes().texts().join('|'), "box");
    }
};

QTEST_MAIN(Tst_translation)
#include "tst_translation.moc"
