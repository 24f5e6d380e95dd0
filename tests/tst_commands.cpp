// The command sequences and the routing of replies, end to end against the
// stand-in converter.
#include "KnownConfiguration.h"
#include "TestRig.h"
#include "common/FileDialog.h"
#include "protocol/ConfigFrame.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using Fault = SimConverter::Fault;

class TestCommands : public QObject
{
    Q_OBJECT

    static QStringList deviceFields(TestRig &rig)
    {
        QStringList fields;
        for (const char *name :
             {"m_lineEditDevType", "m_lineEditHardwareVer", "m_lineEditFirmware", "m_lineEditProductNum"})
            fields << rig.widget<QLineEdit>(name)->text();
        return fields;
    }

private slots:
    void pagesSurviveWriteAndReadBack()
    {
        TestRig rig;
        QVERIFY(rig.connectDevice());
        const QByteArray factory = rig.pagesText();
        // Every page away from its defaults, in "MODBUS从站": every block goes out.
        rig.loadPages(kKnownConfiguration);
        rig.click("m_pushButtonWrite");

        // Show something else, then read the device back.
        rig.loadPages(factory);
        QCOMPARE(rig.pagesText(), factory);
        rig.sim().clearReceived();
        rig.boxes().clear();
        QList<quint8> sentWhenShown;
        rig.boxes().setOnBox([&](const MessageRecord &) { sentWhenShown = rig.sim().receivedCommands(); });
        rig.click("m_pushButtonRead");
        QCOMPARE(rig.boxes().last().title, QStringLiteral("成功"));
        // Shown as soon as the main-parameter reply arrives.
        QCOMPARE(sentWhenShown, QList<quint8>{0x03});
        QCOMPARE(rig.pagesText(), knownConfigurationAsSaved());

        // The device's store goes back to its defaults, and the Modbus page's own
        // defaults go to the device (the sequence and its box: tst_faults' cells).
        rig.sim().clearReceived();
        rig.click("m_pushButtonDefault");
        QCOMPARE(rig.sim().block(ConfigFrame::WriteMain), SimConverter::defaultBlock(ConfigFrame::WriteMain));
        // Address 01, heartbeat off, 1000 ms, classic standard data frame of 8 bytes, all zeros.
        const QByteArray modbus = QByteArray::fromHex("56AA21 01 00 03E8 00 08 00000000") + QByteArray(72, 0);
        QCOMPARE(rig.sim().receivedFrames().at(1).toHex(' '),
                 (modbus + QByteArray::fromHex("57D6")).toHex(' '));
    }

    // A mapping the device cannot take as written cancels the whole write, whichever
    // table it is in (each check's box is tst_canmapping's).
    void modbusSlaveWriteStopsOnInvalidMappings_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("box"); // title|text
        // Two send rows with the same identifier, spelt differently.
        QTest::newRow("same send id") << QByteArray(R"("2,0,1,2,15,1fffffff,40000,")")
                                      << QByteArray(R"("2,0,0,0,0,7ff,10,", "2,0,1,0,0,7FF,20,")")
                                      << "ID重复|CAN发送映射列表存在重复的ID";
        QTest::newRow("receive id beyond 1FFFFFFF")
            << QByteArray("18ff50e5") << QByteArray("20000000") << "ID错误|请输入有效值";
    }

    void modbusSlaveWriteStopsOnInvalidMappings()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        TestRig rig;
        QVERIFY(rig.connectDevice());
        rig.loadPages(QByteArray(kKnownConfiguration).replace(from, to));

        rig.sim().clearReceived();
        rig.boxes().clear();
        rig.click("m_pushButtonWrite");
        QVERIFY(rig.sim().receivedFrames().isEmpty());
        QCOMPARE(rig.boxes().count(), 1);
        QTEST(rig.boxes().last().title + '|' + rig.boxes().last().text, "box");
    }

    // One field away from the device on each page: both comparisons name it as the
    // page does, read the device without touching the pages, and find nothing
    // right after a write. The file is compared after disconnecting.
    void compareWithDeviceAndFile_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("line"); // page|field|other value|window value
        QTest::newRow("转换模式") << QByteArray(R"("convertDirect": 2)")
                                  << QByteArray(R"("convertDirect": 0)")
                                  << "转换模式|转换方向|仅CAN到串口|双向";
        QTest::newRow("串口参数") << QByteArray(R"("oddEvenCheck": 2)") << QByteArray(R"("oddEvenCheck": 1)")
                                  << "串口参数|RS232 奇偶校验|偶校验|奇校验";
        QTest::newRow("CAN参数") << QByteArray(R"("Arbitrationarea": 11)")
                                 << QByteArray(R"("Arbitrationarea": 9)") << "CAN参数|仲裁域波特率|500K|250K";
        QTest::newRow("Modbus") << QByteArray(R"("interval": "500")") << QByteArray(R"("interval": "600")")
                                << "Modbus|时间间隔(ms)|500|600";
        QTest::newRow("ID映射") << QByteArray("18ff50e5,100,3,") << QByteArray("18ff50e5,100,4,")
                                << "ID映射|接收映射 第1行 映射数量|4|5";
    }

    void compareWithDeviceAndFile()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, line);
        TestRig rig;
        QVERIFY(rig.connectDevice());
        rig.loadPages(kKnownConfiguration);
        rig.click("m_pushButtonWrite");
        rig.boxes().clear();
        QAction *device = rig.center().compareDeviceAction();
        device->trigger();

        rig.loadPages(QByteArray(kKnownConfiguration).replace(from, to));
        const QByteArray shown = rig.pagesText();
        rig.sim().clearReceived();
        device->trigger();
        QCOMPARE(rig.sim().receivedCommands(), (QList<quint8>{0x03, 0x20, 0x24, 0x22, 0x05}));
        QCOMPARE(rig.pagesText(), shown);

        rig.click("m_pushButtonConnect");
        QVERIFY(!device->isEnabled());
        QTemporaryDir dir;
        const QString file = writeFile(dir.filePath("known.txt"), kKnownConfiguration);
        setFileNameProvider([&](FileDialogKind, const QString &, const QString &) { return file; });
        rig.center().compareFileAction()->trigger();
        setFileNameProvider({});
        QCOMPARE(rig.pagesText(), shown);
        QCOMPARE(rig.boxes().lists().size(), 2);
        QCOMPARE(rig.boxes().lists().first().lines, (QStringList{"页面|参数|设备中的值|窗口中的值", line}));
        QCOMPARE(rig.boxes().lists().last().lines, (QStringList{"页面|参数|文件中的值|窗口中的值", line}));
        // Only the window's own load announced itself, not the file compared.
        QCOMPARE(rig.boxes().texts(), (QStringList{"设备中的配置与窗口一致。", "读取成功"}));
    }

    // Verification reads an acknowledged write back and alone may call it done; off,
    // a write is today's: the same frames, the device's word taken for it.
    void verifyAfterWrite_data()
    {
        QTest::addColumn<bool>("verify");
        QTest::addColumn<bool>("misstore");
        QTest::addColumn<int>("fault"); // on the read-back's first reply
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("list"); // what a mismatch lists
        QTest::addColumn<int>("sent");         // configuration frames on the line
        const int none = int(Fault::None);
        const QStringList ok{"写配置成功"}, nothing;
        const QStringList flipped{"页面|参数|设备中的值|窗口中的值",
                                  "CAN参数|CAN ID(HEX)|0x1abcdef1|0x1abcdef0"};
        QTest::newRow("off") << false << false << none << ok << nothing << 5;
        QTest::newRow("off, stored otherwise") << false << true << none << ok << nothing << 5;
        QTest::newRow("on") << true << false << none << ok << nothing << 10;
        QTest::newRow("on, stored otherwise") << true << true << none << nothing << flipped << 10;
        QTest::newRow("on, read-back lost")
            << true << false << int(Fault::Silent) << QStringList{"时间超时"} << nothing << 6;
    }

    void verifyAfterWrite()
    {
        QFETCH(bool, verify);
        QFETCH(bool, misstore);
        QFETCH(int, fault);
        TestRig rig;
        rig.center().verifyAfterWriteBox()->setChecked(verify);
        QCOMPARE(TARVINE().centerWidget()->verifyAfterWriteBox()->isChecked(), verify);
        QVERIFY(rig.connectDevice());
        rig.loadPages(kKnownConfiguration);
        rig.sim().setMisstore(misstore);
        rig.sim().setFault(Fault(fault), ConfigFrame::ReadMain, 1);
        rig.sim().clearReceived();
        rig.boxes().clear();
        rig.click("m_pushButtonWrite");
        QTEST(rig.boxes().texts(), "texts");
        QTEST(rig.boxes().lists().isEmpty() ? QStringList() : rig.boxes().lists().last().lines, "list");
        QList<QByteArray> frames = rig.sim().receivedFrames();
        QTEST(int(frames.size()), "sent");
        for (const quint8 code : {0x02, 0x23, 0x25, 0x21, 0x04})
            QCOMPARE(frames.takeFirst(), rig.center().configFrame(code));
    }

    // A second device's information replaces every field of the first, empty
    // ones too; a refused reply changes nothing; disconnecting leaves the page
    // as it was.
    void deviceInformation_data()
    {
        QTest::addColumn<int>("fault"); // on the second device's information reply
        QTest::addColumn<QByteArray>("typeText");
        QTest::addColumn<QByteArray>("product");
        QTest::addColumn<QStringList>("shown");
        const int none = int(Fault::None);
        const QStringList first{"CANFD-SER-2", "1.0.3", "2.1.0", "MV2026001"};
        QTest::newRow("plain") << none << QByteArray("TV-485") << QByteArray("MV2026002")
                               << QStringList{"TV-485", "1.0.12", "255.9.0", "MV2026002"};
        QTest::newRow("empty texts") << none << QByteArray() << QByteArray()
                                     << QStringList{"", "1.0.12", "255.9.0", ""};
        QTest::newRow("short reply") << int(Fault::ShortReply) << QByteArray("X") << QByteArray("Y") << first;
        QTest::newRow("unknown command byte")
            << int(Fault::WrongCommand) << QByteArray("X") << QByteArray("Y") << first;
    }

    void deviceInformation()
    {
        QFETCH(int, fault);
        QFETCH(QByteArray, typeText);
        QFETCH(QByteArray, product);
        QFETCH(QStringList, shown);
        TestRig rig;
        QVERIFY(rig.connectDevice());
        rig.click("m_pushButtonConnect");

        SimConverter::DeviceInfo info;
        info.typeText = typeText;
        info.productNumber = product;
        memcpy(info.hardware, "\x01\x00\x0c", 3);
        memcpy(info.firmware, "\xff\x09\x00", 3);
        rig.sim().setDeviceInfo(info);
        if (fault != int(Fault::None))
            rig.sim().setFault(Fault(fault), ConfigFrame::ReadDeviceInfo, 1);
        QVERIFY(rig.connectDevice());

        QCOMPARE(deviceFields(rig), shown);
        auto *devices = rig.widget<QComboBox>("m_comboBoxDevPort");
        QCOMPARE(devices->count(), fault == int(Fault::None) ? 1 : 0);
        QCOMPARE(devices->currentText(), fault == int(Fault::None) ? shown.first() : QString());
        rig.click("m_pushButtonConnect");
        QCOMPARE(deviceFields(rig), shown);
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
