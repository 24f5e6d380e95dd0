#include "KnownConfiguration.h"
#include "TestRig.h"
#include "app/Language.h"

#include <QtTest>
#include <QtWidgets>

// What one user session leaves behind: the file saved and the frames a
// write sent. Neither may depend on the window's language.
struct Outcome
{
    QByteArray file;
    QList<QByteArray> frames;
};

static Outcome writeAndSave(Language language, const QByteArray &configuration)
{
    setLanguage(language);
    TestRig rig;
    if (!configuration.isEmpty())
        rig.loadPages(configuration);
    Outcome outcome;
    if (rig.connectDevice()) {
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

private slots:
    void catalogueIsComplete()
    {
        // lupdate on a copy: what the sources and forms ask for today must
        // all be translated, and nothing translated may have vanished.
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("tarvine_en.ts"));
        QVERIFY(QFile::copy(QStringLiteral(TARVINE_SOURCE_DIR "/translations/tarvine_en.ts"), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.start(QStringLiteral(TARVINE_LUPDATE),
                      {QStringLiteral("-locations"), QStringLiteral("none"),
                       QStringLiteral(TARVINE_SOURCE_DIR "/src"), QStringLiteral("-ts"), copy});
        QVERIFY(lupdate.waitForFinished(-1) && lupdate.exitCode() == 0);
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString source;
        QStringList faults;
        int translated = 0;
        while (xml.readNextStartElement() || !xml.atEnd()) {
            if (xml.isStartElement() && xml.name() == QLatin1String("source"))
                source = xml.readElementText();
            else if (xml.isStartElement() && xml.name() == QLatin1String("translation")) {
                const QString type = xml.attributes().value(QLatin1String("type")).toString();
                if (!type.isEmpty() || xml.readElementText().isEmpty())
                    faults << type + QLatin1Char(' ') + source;
                else
                    ++translated;
            }
        }
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
    }

    void connectInEnglish()
    {
        QVERIFY(setLanguage(Language::English));
        TestRig rig;
        const bool connected = rig.connectDevice();
        setLanguage(Language::Chinese);
        QVERIFY(connected);
        QCOMPARE(rig.button("m_pushButtonConnect")->text(), QStringLiteral("Disconnect"));
        QCOMPARE(rig.button("m_pushButtonWrite")->text(), QStringLiteral("Write configuration"));
        auto *tabs = rig.widget<QTabWidget>("m_tabWidgetDevInfo");
        QCOMPARE(tabs->tabText(0), QStringLiteral("Conversion mode"));
        const MessageRecord box = rig.boxes().last();
        QCOMPARE(box.title + QLatin1Char('|') + box.text + QLatin1Char('|') +
                     box.buttons.join(QLatin1Char(',')),
                 QStringLiteral("Success|Connected|OK"));
    }

    void commandLineChoosesLanguage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("language");
        QTest::newRow("nothing") << QStringList{"tarvine"} << int(Language::Chinese);
        QTest::newRow("en") << QStringList{"tarvine", "--lang", "en"} << int(Language::English);
        QTest::newRow("EN, after a port")
            << QStringList{"tarvine", "--port", "x", "--lang", "EN"} << int(Language::English);
        QTest::newRow("zh") << QStringList{"tarvine", "--lang", "zh"} << int(Language::Chinese);
        QTest::newRow("unknown") << QStringList{"tarvine", "--lang", "fr"} << int(Language::Chinese);
        QTest::newRow("no value") << QStringList{"tarvine", "--lang"} << int(Language::Chinese);
    }
    void commandLineChoosesLanguage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, language);
        QCOMPARE(int(languageFromArguments(arguments)), language);
    }
};

QTEST_MAIN(Tst_translation)
#include "tst_translation.moc"
