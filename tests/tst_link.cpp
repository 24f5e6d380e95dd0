// The connection end to end: the tool on one side of a pseudo-terminal,
// the stand-in converter on the other.
#include "TestRig.h"
#include "app/StartupOptions.h"
#include "link/ConfigFrame.h"
#include "pages/ConvertParamWidget.h"
#include "pages/ModBusWidget.h"

#include <QComboBox>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using Fault = SimConverter::Fault;

class TestLink : public QObject
{
    Q_OBJECT

private slots:
    void connectsAndReadsSilently();
    void connectsToTheStandInProgram();
    void connectRecoversFromReplyFaults_data();
    void connectRecoversFromReplyFaults();
    void refusedChallengeClosesThePort_data();
    void refusedChallengeClosesThePort();
    void emptyPortNameSendsNothing();
    void portThatCannotOpen();
    void timeoutDuringReadIsRecoverable_data();
    void timeoutDuringReadIsRecoverable();
    void reconnectDrawsFreshChallenge();
    void pulledAdapterEndsTheConnection();
    void secondCommandDuringAWaitIsRefused();
    void refreshKeepsTypedPort();
    void portArgument_data();
    void portArgument();

private:
    static const QList<quint8> kConnectSequence;
};

const QList<quint8> TestLink::kConnectSequence = {0x01, 0x07, 0x03, 0x20, 0x24, 0x22, 0x05};

void TestLink::connectsAndReadsSilently()
{
    TestRig rig;
    QVERIFY(rig.button("m_pushButtonRead")->isEnabled() == false);
    QVERIFY(rig.connectDevice());

    QCOMPARE(rig.sim().receivedCommands(), kConnectSequence);
    QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("连接成功")});
    QCOMPARE(rig.boxes().last().title, QStringLiteral("成功"));
    QCOMPARE(rig.boxes().last().icon, QMessageBox::Information);
    QCOMPARE(rig.button("m_pushButtonConnect")->text(), QStringLiteral("断开连接"));
    QVERIFY(!rig.widget<QComboBox>("m_comboBoxSerial")->isEnabled());
    for (const char *name : {"m_pushButtonDefault", "m_pushButtonSaveToFile", "m_pushButtonReadFromFile",
                             "m_pushButtonRead", "m_pushButtonWrite"})
        QVERIFY2(rig.button(name)->isEnabled(), name);
    QVERIFY(rig.page<ConvertParamWidget>()->isEnabled());
    // The challenge is 16 bytes of the 23-byte frame, 00 01 before them.
    const QByteArray challenge = rig.sim().receivedFrames().first();
    QCOMPARE(challenge.size(), 23);
    QCOMPARE(challenge.mid(3, 2), QByteArray::fromHex("0001"));
}

void TestLink::connectsToTheStandInProgram()
{
    QProcess sim;
    sim.start(QStringLiteral(TARVINE_SIM_PROGRAM),
              {QStringLiteral("--type-text"), QStringLiteral("SIM-PROGRAM"), QStringLiteral("--hardware"),
               QStringLiteral("3.2.1")});
    QVERIFY2(sim.waitForStarted(), qPrintable(sim.errorString()));
    QTRY_VERIFY(sim.canReadLine());
    const QString port = QString::fromLocal8Bit(sim.readLine()).trimmed();
    QVERIFY2(port.startsWith(QStringLiteral("/dev/")), qPrintable(port));

    TestRig rig;
    rig.center().setPortName(port);
    QVERIFY(rig.connectDevice());
    QCOMPARE(rig.widget<QComboBox>("m_comboBoxDevPort")->currentText(), QStringLiteral("SIM-PROGRAM"));
    rig.click("m_pushButtonConnect");
    sim.terminate();
    QVERIFY(sim.waitForFinished());
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
}

void TestLink::connectRecoversFromReplyFaults_data()
{
    QTest::addColumn<int>("fault");
    QTest::newRow("split into pieces") << int(Fault::Split);
    QTest::newRow("split, wire paced") << -1;
}

void TestLink::connectRecoversFromReplyFaults()
{
    QFETCH(int, fault);
    TestRig rig;
    if (fault < 0)
        rig.sim().setPacing(true);
    else
        rig.sim().setFault(Fault(fault));
    QVERIFY(rig.connectDevice());
    QCOMPARE(rig.sim().receivedCommands(), kConnectSequence);
    QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("连接成功")});
}

void TestLink::refusedChallengeClosesThePort_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("wrong key") << int(Fault::WrongKey) << QStringLiteral("失败") << QStringLiteral("连接失败");
    QTest::newRow("silent device") << int(Fault::Silent) << QStringLiteral("提醒") << QStringLiteral("设备连接校验失败");
    QTest::newRow("corrupted checksum") << int(Fault::CorruptCrc) << QStringLiteral("提醒")
                                        << QStringLiteral("设备连接校验失败");
}

void TestLink::refusedChallengeClosesThePort()
{
    QFETCH(int, fault);
    QFETCH(QString, title);
    QFETCH(QString, text);
    TestRig rig;
    rig.sim().setFault(Fault(fault), ConfigFrame::Challenge, 1);

    QVERIFY(!rig.connectDevice());
    QCOMPARE(rig.boxes().texts(), QStringList{text});
    QCOMPARE(rig.boxes().last().title, title);
    QCOMPARE(rig.sim().receivedCommands(), QList<quint8>{0x01});
    QCOMPARE(rig.button("m_pushButtonConnect")->text(), QStringLiteral("连接设备"));
    QVERIFY(!rig.button("m_pushButtonRead")->isEnabled());
    QVERIFY(rig.widget<QComboBox>("m_comboBoxSerial")->isEnabled());

    // The port was closed, so the next click connects.
    rig.boxes().clear();
    QVERIFY(rig.connectDevice());
    QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("连接成功")});
}

void TestLink::emptyPortNameSendsNothing()
{
    TestRig rig;
    rig.center().setPortName(QString());
    rig.widget<QComboBox>("m_comboBoxSerial")->setEditText(QString());
    QVERIFY(!rig.connectDevice());
    QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("串口名不能位空.")});
    QCOMPARE(rig.boxes().last().title, QStringLiteral("提示"));
    QVERIFY(rig.sim().receivedFrames().isEmpty());
}

void TestLink::portThatCannotOpen()
{
    TestRig rig;
    rig.center().setPortName(QStringLiteral("/dev/tarvine-no-such-port"));
    QVERIFY(!rig.connectDevice());
    QCOMPARE(rig.boxes().count(), 1);
    const MessageRecord box = rig.boxes().last();
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.title, QStringLiteral("错误"));
    QVERIFY2(box.text.startsWith(QStringLiteral("打开设备失败.错误码:")), qPrintable(box.text));
    QVERIFY(box.text.contains(QStringLiteral(",描述：")));
    QCOMPARE(box.buttons, QStringList{QStringLiteral("OK")});
    QCOMPARE(rig.button("m_pushButtonConnect")->text(), QStringLiteral("连接设备"));
}

void TestLink::timeoutDuringReadIsRecoverable_data()
{
    QTest::addColumn<int>("fault");
    QTest::newRow("silent") << int(Fault::Silent);
    QTest::newRow("late") << int(Fault::Late);
    QTest::newRow("corrupted checksum") << int(Fault::CorruptCrc);
    QTest::newRow("garbage before the reply") << int(Fault::Garbage);
    QTest::newRow("short reply") << int(Fault::ShortReply);
}

void TestLink::timeoutDuringReadIsRecoverable()
{
    QFETCH(int, fault);
    TestRig rig;
    QVERIFY(rig.connectDevice());
    rig.sim().clearReceived();
    rig.boxes().clear();

    // One broken reply to 0x03: the read stops there with one time-out.
    rig.sim().setFault(Fault(fault), ConfigFrame::ReadMain, 1);
    rig.click("m_pushButtonRead");
    QCOMPARE(rig.sim().receivedCommands(), QList<quint8>{0x03});
    QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("时间超时")});
    QCOMPARE(rig.boxes().last().title, QStringLiteral("提醒"));
    QVERIFY(rig.center().isConnected());

    // A late reply is still handled when it lands; let it land before the
    // next read so that it cannot stand in for that read's first reply.
    if (fault == int(Fault::Late))
        QTRY_COMPARE(rig.boxes().countOf(QStringLiteral("读配置成功")), 1);
    rig.sim().clearReceived();
    rig.boxes().clear();
    rig.click("m_pushButtonRead");
    QCOMPARE(rig.sim().receivedCommands(), (QList<quint8>{0x03, 0x20, 0x24, 0x22, 0x05}));
    QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("读配置成功")});
}

void TestLink::reconnectDrawsFreshChallenge()
{
    TestRig rig;
    QVERIFY(rig.connectDevice());
    rig.widget<QComboBox>("m_comboBoxDevPort")->addItem(QStringLiteral("x"));
    rig.click("m_pushButtonConnect");
    QVERIFY(!rig.center().isConnected());
    QCOMPARE(rig.button("m_pushButtonConnect")->text(), QStringLiteral("连接设备"));
    QCOMPARE(rig.widget<QComboBox>("m_comboBoxDevPort")->count(), 0);
    QVERIFY(rig.widget<QComboBox>("m_comboBoxSerial")->isEnabled());
    QVERIFY(!rig.button("m_pushButtonWrite")->isEnabled());

    QVERIFY(rig.connectDevice());
    QList<QByteArray> challenges;
    for (const QByteArray &frame : rig.sim().receivedFrames())
        if (frame.at(2) == 0x01)
            challenges << frame.mid(5, 16);
    QCOMPARE(challenges.size(), 2);
    QVERIFY(challenges.at(0) != challenges.at(1));
}

void TestLink::pulledAdapterEndsTheConnection()
{
    TestRig rig;
    QVERIFY(rig.connectDevice());
    rig.boxes().clear();
    rig.sim().unplug();
    QTRY_COMPARE(rig.boxes().count(), 1);
    QCOMPARE(rig.boxes().last().title, QStringLiteral("错误"));
    QVERIFY2(rig.boxes().last().text.startsWith(QStringLiteral("串口已断开: ")), qPrintable(rig.boxes().last().text));
    QVERIFY(!rig.center().isConnected());
    QCOMPARE(rig.button("m_pushButtonConnect")->text(), QStringLiteral("连接设备"));
    QVERIFY(!rig.button("m_pushButtonRead")->isEnabled());
}

void TestLink::secondCommandDuringAWaitIsRefused()
{
    TestRig rig;
    QVERIFY(rig.connectDevice());
    rig.sim().clearReceived();
    rig.boxes().clear();

    // While the read waits for its (late) first reply, the user clicks
    // "写配置" and "默认值": both are ignored.
    rig.sim().setFault(Fault::Silent, ConfigFrame::ReadMain, 1);
    QTimer::singleShot(100, [&rig] {
        QVERIFY(rig.center().isBusy());
        rig.click("m_pushButtonWrite");
        rig.click("m_pushButtonDefault");
        rig.click("m_pushButtonRead");
    });
    rig.click("m_pushButtonRead");
    QCOMPARE(rig.sim().receivedCommands(), QList<quint8>{0x03});
    QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("时间超时")});
    QVERIFY(!rig.center().isBusy());
}

void TestLink::refreshKeepsTypedPort()
{
    TestRig rig;
    auto *box = rig.widget<QComboBox>("m_comboBoxSerial");
    QCOMPARE(box->currentText(), rig.sim().portName());
    rig.center().refreshSerialPorts();
    QCOMPARE(box->currentText(), rig.sim().portName());
}

void TestLink::portArgument_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("port");
    QTest::newRow("none") << QStringList{"tarvine"} << QString();
    QTest::newRow("given") << QStringList{"tarvine", "--port", "/dev/pts/4"} << QStringLiteral("/dev/pts/4");
    QTest::newRow("missing value") << QStringList{"tarvine", "--port"} << QString();
    QTest::newRow("other words ignored") << QStringList{"tarvine", "x", "--port", "ttyUSB0", "y"}
                                         << QStringLiteral("ttyUSB0");
}

void TestLink::portArgument()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, port);
    QCOMPARE(portFromArguments(arguments), port);
}

QTEST_MAIN(TestLink)
#include "tst_link.moc"
