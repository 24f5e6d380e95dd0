// Saving and loading the configuration file through the two buttons.
#include "KnownConfiguration.h"
#include "TestRig.h"
#include "app/FileDialog.h"
#include "files/ConfigFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class TestConfigFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveAndLoadThroughTheButtons();
    void mappingFollowsTheLoadedCanMode();
    void cancelledDialogs();
    void saveReplacesAFileWhole();
    void refusedFilesChangeNoPage_data();
    void refusedFilesChangeNoPage();
    void memberThatIsNotAnObjectLoadsDefaults();
    void malformedFilesNeverCrash();

private:
    // What the pages hold, as the file would store it.
    static QByteArray pagesText(TestRig &rig);
    void answerDialogsWith(const QString &fileName);
    QString write(const QString &name, const QByteArray &text);

    QTemporaryDir m_dir;
    QStringList m_captions;
};

void TestConfigFile::init()
{
    QVERIFY(m_dir.isValid());
    m_captions.clear();
}

void TestConfigFile::cleanup()
{
    setFileNameProvider({});
}

QByteArray TestConfigFile::pagesText(TestRig &rig)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("snapshot.txt"));
    rig.center().saveConfiguration(path);
    rig.boxes().clear();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestConfigFile::answerDialogsWith(const QString &fileName)
{
    setFileNameProvider([this, fileName](FileDialogKind, const QString &caption, const QString &filter) {
        m_captions << caption + QLatin1Char('|') + filter;
        return fileName;
    });
}

QString TestConfigFile::write(const QString &name, const QByteArray &text)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestConfigFile::saveAndLoadThroughTheButtons()
{
    const QString known = write(QStringLiteral("known.txt"), kKnownConfiguration);
    const QString saved = m_dir.filePath(QStringLiteral("saved.txt"));
    {
        TestRig rig;
        QVERIFY(rig.connectDevice());
        rig.boxes().clear();
        answerDialogsWith(known);
        rig.click("m_pushButtonReadFromFile");
        answerDialogsWith(saved);
        rig.click("m_pushButtonSaveToFile");
        QCOMPARE(m_captions, (QStringList{QStringLiteral("打开配置|TXT文件(*.txt)"),
                                          QStringLiteral("保存配置|TXT files(*.txt)")}));
        QCOMPARE(rig.boxes().texts(), (QStringList{QStringLiteral("读取成功"), QStringLiteral("保存配置成功")}));
        QCOMPARE(rig.boxes().titles(), (QStringList{QStringLiteral("提示"), QStringLiteral("成功")}));
    }
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray(kKnownConfiguration));

    // Every page takes its values back in a fresh window.
    TestRig fresh;
    fresh.center().loadConfiguration(saved);
    QCOMPARE(pagesText(fresh), QByteArray(kKnownConfiguration));
}

void TestConfigFile::mappingFollowsTheLoadedCanMode()
{
    TestRig rig;
    QVERIFY(rig.connectDevice());
    QJsonObject root = QJsonDocument::fromJson(kKnownConfiguration).object();
    QJsonObject can = root.value(ConfigFile::CanParamKey).toObject();
    can.insert(QStringLiteral("Agreement"), 0); // classic CAN
    root.insert(ConfigFile::CanParamKey, can);
    QJsonObject map = root.value(ConfigFile::CanMapKey).toObject();
    map.insert(QStringLiteral("recMap"), QJsonArray{QStringLiteral("2,123,104,31,")});
    root.insert(ConfigFile::CanMapKey, map);
    rig.center().loadConfiguration(write(QStringLiteral("classic.txt"), ConfigFile::documentText(root)));

    const QJsonObject rows = QJsonDocument::fromJson(pagesText(rig)).object().value(ConfigFile::CanMapKey).toObject();
    // "FD加速" becomes "CAN"; 32 registers become the classic limit of 4.
    QCOMPARE(rows.value(QStringLiteral("sendMap")).toArray().first().toString(),
             QStringLiteral("2,0,1,0,15,1fffffff,40000,"));
    QCOMPARE(rows.value(QStringLiteral("recMap")).toArray().first().toString(), QStringLiteral("2,123,104,3,"));
}

void TestConfigFile::cancelledDialogs()
{
    TestRig rig;
    QVERIFY(rig.connectDevice());
    rig.boxes().clear();
    answerDialogsWith(QString());

    rig.click("m_pushButtonSaveToFile");
    QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("保存配置出错.")});
    QCOMPARE(rig.boxes().last().title, QStringLiteral("错误"));
    QCOMPARE(rig.boxes().last().icon, QMessageBox::Information);

    rig.boxes().clear();
    rig.click("m_pushButtonReadFromFile");
    QCOMPARE(rig.boxes().count(), 0);
}

void TestConfigFile::saveReplacesAFileWhole()
{
    TestRig rig;
    const QString path = write(QStringLiteral("old.txt"), QByteArray(100000, 'x'));
    rig.center().saveConfiguration(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.startsWith('{'));
    QVERIFY(!text.contains('x'));
    // Nothing of the temporary file is left behind.
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("old.txt*")}, QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("old.txt")});
}

void TestConfigFile::refusedFilesChangeNoPage_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("text");
    const QString parse = QStringLiteral("解析配置文件失败.");
    QTest::newRow("empty file") << QByteArray() << parse + QStringLiteral("illegal value");
    QTest::newRow("not JSON") << QByteArray("CANMap = 1") << parse + QStringLiteral("illegal value");
    QTest::newRow("cut short") << QByteArray("{\"CANMap\": {") << parse + QStringLiteral("unterminated object");
    QTest::newRow("an array") << QByteArray("[{\"CANMap\": {}}]") << parse;
    QTest::newRow("a bare string") << QByteArray("\"CANMap\"") << parse + QStringLiteral("illegal value");
    QTest::newRow("four of five keys")
        << QByteArray("{\"CANMap\":{},\"CANParam\":{},\"ConvertParam\":{},\"ModBusParam\":{}}") << parse;
    QTest::newRow("keys in another case")
        << QByteArray("{\"canmap\":{},\"CANParam\":{},\"ConvertParam\":{},\"ModBusParam\":{},\"SerialParam\":{}}")
        << parse;
    QByteArray deep(5000, '[');
    QTest::newRow("deep nesting") << deep << parse + QStringLiteral("too deeply nested document");
}

void TestConfigFile::refusedFilesChangeNoPage()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, text);
    TestRig rig;
    QVERIFY(rig.connectDevice());
    const QByteArray before = pagesText(rig);

    rig.center().loadConfiguration(write(QStringLiteral("bad.txt"), content));
    QCOMPARE(rig.boxes().texts(), QStringList{text});
    const MessageRecord box = rig.boxes().last();
    QCOMPARE(box.title, QStringLiteral("失败"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons.size(), 1);
    QCOMPARE(pagesText(rig), before);

    // A file that cannot be opened at all.
    rig.boxes().clear();
    rig.center().loadConfiguration(m_dir.filePath(QStringLiteral("no-such-file.txt")));
    QCOMPARE(rig.boxes().count(), 1);
    QVERIFY(rig.boxes().last().text.startsWith(QStringLiteral("打开配置文件失败.")));
    QVERIFY(rig.boxes().last().text.size() > QStringLiteral("打开配置文件失败.").size());
    QCOMPARE(pagesText(rig), before);
}

void TestConfigFile::memberThatIsNotAnObjectLoadsDefaults()
{
    TestRig rig;
    QVERIFY(rig.connectDevice());
    QJsonObject root = QJsonDocument::fromJson(pagesText(rig)).object();
    root.insert(ConfigFile::ModBusParamKey, 5);
    root.insert(ConfigFile::ConvertParamKey, QJsonArray{1, 2});
    rig.center().loadConfiguration(write(QStringLiteral("odd.txt"), ConfigFile::documentText(root)));
    QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("读取成功")});
    const QJsonObject after = QJsonDocument::fromJson(pagesText(rig)).object();
    // Missing numbers select the first entries.
    const QJsonObject convert = after.value(ConfigFile::ConvertParamKey).toObject();
    QCOMPARE(convert.value(QStringLiteral("convertMode")).toInt(-1), 0);
}

void TestConfigFile::malformedFilesNeverCrash()
{
    TestRig rig;
    QVERIFY(rig.connectDevice());
    const QByteArray good = pagesText(rig);
    const QJsonObject goodRoot = QJsonDocument::fromJson(good).object();

    QRandomGenerator random(20261206);
    const QList<QJsonValue> oddValues = {QJsonValue(), QJsonValue(true), QJsonValue(-1), QJsonValue(1e300),
                                         QJsonValue(-2147483649.0), QJsonValue(2147483647),
                                         QJsonValue(QStringLiteral("\xe5\x8f\x82\xe6\x95\xb0")), QJsonValue(QString(70000, 'F')),
                                         QJsonValue(QJsonArray{QStringLiteral("2,0,0,0,0,00,00,"), 7, QJsonValue()}),
                                         QJsonValue(QJsonObject{{"x", 1}}), QJsonValue(100000)};
    for (int round = 0; round < 120; ++round) {
        QByteArray text;
        if (round % 4 == 0) {
            // Raw bytes, and bytes around a valid file.
            text = good;
            for (int i = 0; i < 1 + int(random.bounded(20)); ++i) {
                const int at = int(random.bounded(text.size()));
                text[at] = static_cast<char>(random.bounded(256));
            }
        } else {
            // A well-formed file with members of every wrong kind.
            QJsonObject root = goodRoot;
            for (const QString &member : root.keys()) {
                QJsonObject page = root.value(member).toObject();
                for (const QString &key : page.keys())
                    if (random.bounded(3) == 0)
                        page.insert(key, oddValues.at(int(random.bounded(oddValues.size()))));
                page.insert(QStringLiteral("NumberFilters"), oddValues.at(int(random.bounded(oddValues.size()))));
                root.insert(member, random.bounded(10) == 0 ? oddValues.at(int(random.bounded(oddValues.size())))
                                                             : QJsonValue(page));
            }
            text = ConfigFile::documentText(root);
        }
        const QByteArray before = pagesText(rig);
        rig.boxes().clear();
        rig.center().loadConfiguration(write(QStringLiteral("fuzz.txt"), text));
        // Every load ends with exactly one verdict, and at most one notice
        // per table on the way.
        QVERIFY2(rig.boxes().count() >= 1 && rig.boxes().count() <= 4, qPrintable(rig.boxes().texts().join('|')));
        if (rig.boxes().last().title == QStringLiteral("失败"))
            QCOMPARE(pagesText(rig), before);
    }
}

QTEST_MAIN(TestConfigFile)
#include "tst_configfile.moc"
