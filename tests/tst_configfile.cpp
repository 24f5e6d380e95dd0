// Saving and loading the configuration file through the two buttons.
#include "KnownConfiguration.h"
#include "TestRig.h"
#include "app/WindowSettings.h"
#include "common/FileDialog.h"
#include "files/BackupStore.h"
#include "files/BackupsDialog.h"
#include "files/ConfigFile.h"
#include "link/TrafficLog.h"
#include "serial/SerialLine.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

class TestConfigFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &b) { return writeFile(m_dir.filePath(name), b); }

    // A configuration file with values drawn from those that make a load
    // depend on the pages' earlier state: start positions and lengths
    // beyond a classic or standard bus, custom timing words (good, too
    // wide, unreadable), the filter switch, a remote heartbeat on CAN FD,
    // and send identifiers a standard frame refuses.
    static QByteArray randomFile(QRandomGenerator &r)
    {
        const auto pick = [&r](const QJsonArray &values) { return values.at(r.bounded(values.size())); };
        const auto upTo = [&r](int last) { return r.bounded(last + 1); };
        QJsonObject can{{"CANStandard", upTo(1)},
                        {"Agreement", upTo(1)},
                        {"frameType", upTo(1)},
                        {"speed", upTo(1)},
                        {"sendID", pick({"7ff", "800", "1abcdef0", "123", "", "zz"})},
                        {"Arbitrationarea", pick({3, 14, 14})},
                        {"Dataarea", pick({2, 13, 13})},
                        {"FilterEnable", pick({0, 2})}};
        // The tool saves a word with every custom position, and none
        // otherwise; a word beside a preset is ignored.
        const QJsonArray words{"0x0012abcd", "0x8BCF203D", "12", "nothex", "0x123456789"};
        const auto word = [&](const char *position, const char *key, int custom) {
            if (can.value(position).toInt() == custom || r.bounded(2))
                can.insert(key, pick(words));
        };
        word("Arbitrationarea", "ArbitrationWord", 14);
        word("Dataarea", "DataWord", 13);
        const int filters = upTo(2);
        can.insert("NumberFilters", filters);
        for (int i = 0; i < filters; ++i) {
            const QString n = QString::number(i);
            can.insert("frametype_" + n, 1);
            can.insert("Filterstype_" + n, upTo(1));
            can.insert("IDaddress_" + n, pick({"18ff0000", "123"}));
            can.insert("Taddress_" + n, "1fffffff");
        }
        const QJsonObject convert{{"convertMode", upTo(4)}, {"convertDirect", upTo(2)},
                                  {"forwardInfo", pick({0, 2})}, {"forwartID", pick({0, 2})},
                                  {"posOffset", pick({0, 3, 7, 15, 40, 63})}, {"len", pick({1, 2, 3, 4})},
                                  {"interval", pick({0, 300})}, {"intervalCAN", pick({0, 10})}};
        const QJsonObject modbus{{"Addr", pick({"0a", "01"})},
                                 {"CANID", pick({"1abcdef0", "7ff", "00"})},
                                 {"Data", "11 22 33 44 55 66 77 88"},
                                 {"Type", upTo(2)},
                                 {"dataLen", pick({8, 9})},
                                 {"frameFormat", upTo(1)},
                                 {"frameType", upTo(1)},
                                 {"heartEnable", upTo(1)},
                                 {"interval", "500"}};
        const QJsonObject map{{"sendMap", pick({QJsonArray{"2,0,1,2,15,1fffffff,40000,"},
                                                QJsonArray{"2,0,0,0,14,1,10,", "2,0,0,0,14,2,11,"}})},
                              {"recMap", pick({QJsonArray{"2,18ff50e5,100,3,"}, QJsonArray{"2,1,0,3,"}})}};
        QJsonObject root = QJsonDocument::fromJson(kKnownConfiguration).object();
        root.insert(ConfigFile::CanParamKey, can);
        root.insert(ConfigFile::ConvertParamKey, convert);
        root.insert(ConfigFile::ModBusParamKey, modbus);
        root.insert(ConfigFile::CanMapKey, map);
        return ConfigFile::documentText(root);
    }

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
        QCOMPARE(file.readAll(), knownConfigurationAsSaved());
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
    // through "备份…". Without one the write goes out all the same, and the
    // traffic log says why there is none.
    void backupBeforeWrite_data()
    {
        QTest::addColumn<bool>("writeFirst");
        QTest::addColumn<int>("silent"); // a read the connect loses, or -1
        QTest::addColumn<bool>("blocked");
        QTest::addColumn<QString>("note"); // the traffic log's word on the last write
        const QString unread = QStringLiteral("未备份设备配置：本次连接尚未完整读取设备配置");
        QTest::newRow("after connect") << false << -1 << false << "";
        QTest::newRow("after a write") << true << -1 << false << "";
        QTest::newRow("folder unusable") << false << -1 << true << "未备份设备配置：";
        QTest::newRow("read cut short") << false << 0x05 << false << unread;
        // A write of every block tells what the device holds from then on.
        QTest::newRow("read cut short, then a write") << true << 0x05 << false << "";
    }
    void backupBeforeWrite()
    {
        QFETCH(bool, writeFirst);
        QFETCH(int, silent);
        QFETCH(bool, blocked);
        QFETCH(QString, note);
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
        TrafficLog *log = rig.center().trafficLog();
        log->clear();
        rig.click("m_pushButtonWrite");
        QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("写配置成功")});
        QCOMPARE(rig.sim().receivedFrames().size(), 5);
        const TrafficLog::Entry &first = log->entry(0);
        QCOMPARE(first.direction == TrafficLog::Direction::Note, !note.isEmpty());
        QVERIFY2(note.isEmpty() || TrafficLog::markText(first).startsWith(note), qPrintable(TrafficLog::line(first)));
        if (blocked)
            return;
        rig.center().backupsAction()->trigger();
        auto *list = rig.center().findChild<QTreeWidget *>(QStringLiteral("backupsList"));
        if (!note.isEmpty()) {
            QCOMPARE(list->topLevelItemCount(), 0);
        } else {
            QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("MV2026001"));
            list->setCurrentItem(list->topLevelItem(0));
            rig.click("backupsLoadButton");
            QCOMPARE(rig.boxes().last().text, QStringLiteral("读取成功"));
            QCOMPARE(rig.pagesText(), held);
        }
    }

    // A file loads the same whatever the pages held before: after a
    // connect to a device at its defaults, after another file, and after a
    // read of a device that holds another configuration. The pages and the
    // frames a write would send are the same each time, and what the pages
    // then save loads back to itself.
    void loadDoesNotDependOnWhatCameBefore_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 16; ++seed)
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }
    void loadDoesNotDependOnWhatCameBefore()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        TestRig rig;
        QVERIFY(rig.connectDevice());
        const QByteArray file = randomFile(random);
        const QByteArray otherFile = randomFile(random), otherDevice = randomFile(random);

        // A field's rule speaks when its text changes: the boxes of a load
        // may differ, what it leaves may not.
        struct Outcome
        {
            QByteArray pages;
            QList<QByteArray> frames;
        };
        const auto load = [&rig, &file] {
            rig.loadPages(file);
            Outcome outcome{rig.pagesText(), {}};
            rig.center().writeFrames(&outcome.frames);
            return outcome;
        };
        const Outcome first = load();
        rig.loadPages(first.pages);
        QCOMPARE(rig.pagesText(), first.pages);
        rig.loadPages(otherFile);
        const Outcome afterFile = load();
        rig.loadPages(otherDevice);
        rig.click("m_pushButtonWrite");
        rig.click("m_pushButtonRead");
        const Outcome afterRead = load();
        for (const Outcome *other : {&afterFile, &afterRead}) {
            QCOMPARE(other->pages, first.pages);
            QCOMPARE(other->frames, first.frames);
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

    // The size the window was closed at comes back at the next start, and
    // so does the last connect's port while it is listed; a port that is
    // gone (the stand-in's pseudo-terminal is never listed; its COM port on
    // Windows is) leaves the list's own choice.
    void windowSettingsComeBack()
    {
        QSize size;
        QString port;
        {
            TestRig rig;
            QVERIFY(rig.connectDevice());
            port = rig.sim().portName();
            size = rig.center().window()->minimumSizeHint() + QSize(9, 7);
            rig.center().window()->resize(size);
            QVERIFY(rig.center().window()->close());
        }
        QStringList listed;
        for (const SerialLine::PortInfo &info : SerialLine::availablePorts())
            listed << info.name;
        {
            TARVINE next;
            QCOMPARE(next.size(), size);
            QCOMPARE(next.centerWidget()->portName(), listed.contains(port) ? port : listed.value(0));
        }
        if (listed.size() > 1) {
            storeLastPort(listed.last());
            TARVINE next;
            QCOMPARE(next.centerWidget()->portName(), listed.last());
        }
    }

#ifdef Q_OS_WIN
    // Backups go under %LOCALAPPDATA%\tarvine\backups whatever the program
    // file is called, and a write takes its backup there; the port of the
    // connect is remembered in the registry.
    void backupsAndSettingsWhereWindowsKeepsThem()
    {
        const QString local = QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA"));
        QVERIFY(!local.isEmpty());
        const QString folder = local + QStringLiteral("/tarvine/backups");
        QStandardPaths::setTestModeEnabled(false);
        QString windowFolder;
        {
            TARVINE window;
            windowFolder = window.centerWidget()->backupFolder();
        }
        QStandardPaths::setTestModeEnabled(true);
        QCOMPARE(windowFolder, folder);

        const QStringList before = QDir(folder).entryList(QDir::Files);
        // The window's settings in the registry, as the tool keeps them;
        // what was there before comes back.
        const QString lastPort = QStringLiteral("window/lastPort");
        QSettings registry(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Morvane"),
                           QStringLiteral("TARVINE"));
        const QVariant previousPort = registry.value(lastPort);
        QSettings::setDefaultFormat(QSettings::NativeFormat);
        QString port;
        {
            TestRig rig;
            rig.center().setBackupFolder(windowFolder);
            QVERIFY(rig.connectDevice());
            port = rig.sim().portName();
            rig.click("m_pushButtonWrite");
            QCOMPARE(rig.boxes().last().text, QStringLiteral("写配置成功"));
        }
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QStringList taken = QDir(folder).entryList(QDir::Files);
        for (const QString &name : before)
            taken.removeAll(name);
        QCOMPARE(taken.size(), 1);
        QVERIFY2(taken.first().startsWith(QLatin1String("MV2026001_")), qPrintable(taken.first()));
        QVERIFY(QFile::remove(folder + QLatin1Char('/') + taken.first()));

        wchar_t value[256] = {};
        DWORD size = sizeof(value);
        QCOMPARE(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Morvane\\TARVINE\\window", L"lastPort",
                              RRF_RT_REG_SZ, nullptr, value, &size),
                 LONG(ERROR_SUCCESS));
        QCOMPARE(QString::fromWCharArray(value), port);
        previousPort.isValid() ? registry.setValue(lastPort, previousPort) : registry.remove(lastPort);
    }
#endif
};

QTEST_MAIN(TestConfigFile)
#include "tst_configfile.moc"
