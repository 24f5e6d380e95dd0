// Saving and loading the configuration file through the two buttons.
#include "KnownConfiguration.h"
#include "TestRig.h"
#include "common/FileDialog.h"
#include "files/BackupStore.h"
#include "files/BackupsDialog.h"
#include "files/ConfigFile.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

class TestConfigFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &b) { return writeFile(m_dir.filePath(name), b); }

private slots:
    void cleanup() { setFileNameProvider({}); }

    // A cancelled dialog: the save says it did not save, the load says nothing.
    // Then a file is loaded and saved as it was, over a longer file, whole.
    void saveAndLoadThroughTheButtons()
    {
        const QString known = write(QStringLiteral("known.txt"), kKnownConfiguration);
        const QString saved = write(QStringLiteral("saved.txt"), QByteArray(100000, 'x'));
        QStringList captions;
        const auto answerDialogsWith = [&captions](const QString &fileName) {
            setFileNameProvider(
                [&captions, fileName](FileDialogKind, const QString &caption, const QString &filter) {
                    captions << caption + QLatin1Char('|') + filter;
                    return fileName;
                });
        };
        TestRig rig;
        QVERIFY(rig.connectDevice());
        rig.boxes().clear();
        answerDialogsWith(QString());
        rig.click("m_pushButtonSaveToFile");
        rig.click("m_pushButtonReadFromFile");
        QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("保存配置出错.")});

        rig.boxes().clear();
        captions.clear();
        answerDialogsWith(known);
        rig.click("m_pushButtonReadFromFile");
        answerDialogsWith(saved);
        rig.click("m_pushButtonSaveToFile");
        QCOMPARE(captions, (QStringList{QStringLiteral("打开配置|TXT文件(*.txt)"),
                                        QStringLiteral("保存配置|TXT files(*.txt)")}));
        QCOMPARE(rig.boxes().texts(),
                 (QStringList{QStringLiteral("读取成功"), QStringLiteral("保存配置成功")}));
        QCOMPARE(rig.boxes().boxes().first().title, QStringLiteral("提示"));
        QCOMPARE(rig.boxes().last().title, QStringLiteral("成功"));
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray(kKnownConfiguration));
        // Nothing of the temporary file is left behind.
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("saved.txt*")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("saved.txt")});
    }

    // A refused file leaves every page as it was (pages away from their
    // defaults, so that a reset would show) and the connection up; the next
    // good file then works.
    void refusedFiles_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("name");       // under the test folder; "missing.txt" is never written
        QTest::addColumn<QByteArray>("content"); // what the file holds (load)
        QTest::addColumn<QString>("text");
        const auto load = [](const char *row, const QByteArray &content, const QString &text) {
            QTest::newRow(row) << false << "bad.txt" << content << text;
        };
        const QString parse = QStringLiteral("解析配置文件失败."),
                      saveFailed = QStringLiteral("保存配置出错.");
        const QString illegal = parse + QStringLiteral("illegal value");
        QTest::newRow("save: folder missing") << true << "no/such/folder/c.txt" << QByteArray() << saveFailed;
        QTest::newRow("save: target is a folder") << true << "." << QByteArray() << saveFailed;
        QFile missing(m_dir.filePath(QStringLiteral("missing.txt")));
        QVERIFY(!missing.open(QIODevice::ReadOnly));
        QTest::newRow("load: no such file") << false << "missing.txt" << QByteArray()
                                            << QStringLiteral("打开配置文件失败.") + missing.errorString();
        load("load: oversized", QByteArray(int(ConfigFile::MaxFileSize) + 1, ' '),
             parse + QStringLiteral("文件过大"));
        load("load: empty file", QByteArray(), illegal);
        load("load: not JSON", "CANMap = 1", illegal);
        load("load: cut short", "{\"CANMap\": {", parse + QStringLiteral("unterminated object"));
        load("load: an array", "[{\"CANMap\": {}}]", parse);
        load("load: four of five keys", R"({"CANMap":{},"CANParam":{},"ConvertParam":{},"ModBusParam":{}})",
             parse);
        load("load: keys in another case",
             R"({"canmap":{},"CANParam":{},"ConvertParam":{},"ModBusParam":{},"SerialParam":{}})", parse);
        load("load: deep nesting", QByteArray(5000, '['),
             parse + QStringLiteral("too deeply nested document"));
    }

    void refusedFiles()
    {
        QFETCH(bool, save);
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        TestRig rig;
        QVERIFY(rig.connectDevice());
        rig.loadPages(kKnownConfiguration);
        const QByteArray before = rig.pagesText();
        const QString path = m_dir.filePath(name);
        if (!save && name != QStringLiteral("missing.txt"))
            write(name, content);
        rig.boxes().clear();

        save ? rig.center().saveConfiguration(path) : rig.center().loadConfiguration(path);
        QCOMPARE(rig.boxes().texts(), QStringList{text});
        const MessageRecord box = rig.boxes().last();
        QCOMPARE(box.title, save ? QStringLiteral("错误") : QStringLiteral("失败"));
        QCOMPARE(box.icon, save ? QMessageBox::Information : QMessageBox::Warning);
        QCOMPARE(box.buttons.size(), 1);
        QCOMPARE(rig.pagesText(), before);
        if (save)
            QVERIFY(QFileInfo(path).isDir() || !QFileInfo::exists(path));

        rig.boxes().clear();
        save ? rig.center().saveConfiguration(m_dir.filePath(QStringLiteral("good.txt")))
             : rig.center().loadConfiguration(write("good.txt", kKnownConfiguration));
        QCOMPARE(rig.boxes().texts(),
                 QStringList{save ? QStringLiteral("保存配置成功") : QStringLiteral("读取成功")});
        QVERIFY(rig.center().isConnected());
    }

    // The backup before a write holds what the device held: the last
    // complete read, or the last write it acknowledged whole. It loads back
    // through "备份…". Without one, nothing is sent.
    void backupBeforeWrite_data()
    {
        QTest::addColumn<bool>("writeFirst");
        QTest::addColumn<int>("silent"); // a read the connect loses, or -1
        QTest::addColumn<bool>("blocked");
        QTest::addColumn<QString>("box");
        QTest::newRow("after connect") << false << -1 << false << "写配置成功";
        QTest::newRow("after a write") << true << -1 << false << "写配置成功";
        QTest::newRow("folder unusable") << false << -1 << true << "备份设备配置失败，写配置未发送。";
        QTest::newRow("read cut short")
            << false << 0x05 << false
            << "尚未完整读取设备配置，无法在写配置前备份，写配置未发送。请先读配置。";
    }
    void backupBeforeWrite()
    {
        QFETCH(bool, writeFirst);
        QFETCH(int, silent);
        QFETCH(bool, blocked);
        QFETCH(QString, box);
        TestRig rig;
        if (silent >= 0)
            rig.sim().setFault(SimConverter::Fault::Silent, silent, 1);
        QVERIFY(rig.connectDevice());
        QByteArray held = rig.pagesText();
        if (writeFirst) {
            rig.loadPages(kKnownConfiguration);
            held = rig.pagesText();
            rig.click("m_pushButtonWrite");
        }
        if (blocked)
            rig.center().setBackupFolder(write(QStringLiteral("plain"), "x") + QStringLiteral("/b"));
        rig.loadPages(QByteArray(kKnownConfiguration).replace(R"("Agreement": 1)", R"("Agreement": 0)"));
        rig.sim().clearReceived();
        rig.boxes().clear();
        rig.click("m_pushButtonWrite");
        const bool sent = box == QStringLiteral("写配置成功");
        QVERIFY2(rig.boxes().last().text.startsWith(box), qPrintable(rig.boxes().texts().join('|')));
        QCOMPARE(rig.boxes().last().icon, sent ? QMessageBox::Information : QMessageBox::Warning);
        QCOMPARE(rig.sim().receivedFrames().isEmpty(), !sent);
        if (sent) {
            rig.center().backupsAction()->trigger();
            auto *list = rig.center().findChild<QTreeWidget *>(QStringLiteral("backupsList"));
            QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("MV2026001"));
            list->setCurrentItem(list->topLevelItem(0));
            rig.click("backupsLoadButton");
            QCOMPARE(rig.boxes().last().text, QStringLiteral("读取成功"));
            QCOMPARE(rig.pagesText(), held);
        }
    }

    // The newest 50 of a device stay; another device's are not counted;
    // a name taken already moves on a millisecond; a reply cannot steer the path.
    void backupStoreKeepsTheNewest()
    {
        BackupStore store(m_dir.filePath(QStringLiteral("store")));
        const QDateTime t0(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC);
        QString error;
        QVERIFY(!store.save(QStringLiteral("other"), "o", t0, &error).isEmpty());
        for (int i = 0; i <= 51; ++i)
            QVERIFY(!store.save(QStringLiteral("../M V"), "m", t0.addSecs(qMin(i, 50)), &error).isEmpty());
        const QList<BackupStore::Entry> entries = store.entries();
        QCOMPARE(entries.size(), 51);
        QCOMPARE(entries.first().device, QStringLiteral("---M-V"));
        QCOMPARE(entries.first().time, t0.addSecs(50).addMSecs(1));
        QCOMPARE(entries.at(49).time, t0.addSecs(2));
        QCOMPARE(entries.last().device, QStringLiteral("other"));
    }

    // The mapping follows the loaded CAN mode; a member that is not an object loads defaults.
    void loadedFileIsAppliedAsAWhole()
    {
        TestRig rig;
        QVERIFY(rig.connectDevice());
        // Classic CAN, and a receive row of 32 registers.
        QJsonObject root = QJsonDocument::fromJson(QByteArray(kKnownConfiguration)
                                                       .replace(R"("Agreement": 1)", R"("Agreement": 0)")
                                                       .replace("2,18ff50e5,100,3,", "2,123,104,31,"))
                               .object();
        root.insert(ConfigFile::ModBusParamKey, 5);
        root.insert(ConfigFile::ConvertParamKey, QJsonArray{1, 2});
        rig.boxes().clear();
        rig.center().loadConfiguration(write(QStringLiteral("odd.txt"), ConfigFile::documentText(root)));
        QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("读取成功")});
        const QJsonObject after = QJsonDocument::fromJson(rig.pagesText()).object();
        const QJsonObject rows = after.value(ConfigFile::CanMapKey).toObject();
        // "FD加速" becomes "CAN"; 32 registers become the classic limit of 4.
        QCOMPARE(rows.value(QStringLiteral("sendMap")).toArray().first().toString(),
                 QStringLiteral("2,0,1,0,15,1fffffff,40000,"));
        QCOMPARE(rows.value(QStringLiteral("recMap")).toArray().first().toString(),
                 QStringLiteral("2,123,104,3,"));
        // Missing numbers select the first entries.
        const QJsonObject convert = after.value(ConfigFile::ConvertParamKey).toObject();
        QCOMPARE(convert.value(QStringLiteral("convertMode")).toInt(-1), 0);
    }

    // The last connect's port and the size the window was closed at come
    // back at the next start.
    void windowSettingsComeBack()
    {
        QString port;
        QSize size;
        {
            TestRig rig;
            QVERIFY(rig.connectDevice());
            port = rig.sim().portName();
            size = rig.center().window()->minimumSizeHint() + QSize(9, 7);
            rig.center().window()->resize(size);
            QVERIFY(rig.center().window()->close());
        }
        TARVINE next;
        QCOMPARE(next.size(), size);
        QCOMPARE(next.centerWidget()->portName(), port);
    }
};

QTEST_MAIN(TestConfigFile)
#include "tst_configfile.moc"
