// The connection end to end: the tool on one side of a pseudo-terminal,
// the stand-in converter on the other.
#include "TestRig.h"
#include "common/FileDialog.h"
#include "link/TrafficLog.h"
#include "pages/ConvertParamWidget.h"
#include "protocol/ConfigFrame.h"
#include "update/UpadteWidget.h"

#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QMenu>
#include <QProcess>
#include <QTableView>
#include <QTimer>
#include <QtTest>

using Fault = SimConverter::Fault;

class TestLink : public QObject
{
    Q_OBJECT

private slots:
    // The connect reads the device without a box of its own, or is refused
    // with one box: no port name, a port that cannot be opened, the challenge
    // answered under another key. The port is given back, and the next
    // connect draws a fresh challenge.
    void connectAndReconnect_data()
    {
        QTest::addColumn<QString>("port"); // PORT: the stand-in's; KEY: it answers under another key
        QTest::addColumn<bool>("paced"); // every byte takes its time at 115200 baud: replies arrive in pieces
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("box"); // a pattern for title|text
        QTest::addColumn<QList<quint8>>("sent");
        const int information = int(QMessageBox::Information);
        const QList<quint8> read = {0x01, 0x07, 0x03, 0x20, 0x24, 0x22, 0x05};
        QTest::newRow("replies at once") << "PORT" << false << information << "^成功\\|连接成功$" << read;
        QTest::newRow("paced line") << "PORT" << true << information << "^成功\\|连接成功$" << read;
        QTest::newRow("empty name") << QString() << false << information << "^提示\\|串口名不能位空\\.$"
                                    << QList<quint8>{};
        QTest::newRow("cannot open") << "/dev/tarvine-no-such-port" << false << int(QMessageBox::Warning)
                                     << "^错误\\|打开设备失败\\.错误码:.*,描述：" << QList<quint8>{};
        QTest::newRow("wrong key") << "KEY" << false << information << "^失败\\|连接失败$"
                                   << QList<quint8>{0x01};
    }

    void connectAndReconnect()
    {
        QFETCH(QString, port);
        QFETCH(bool, paced);
        QFETCH(int, icon);
        QFETCH(QString, box);
        QFETCH(QList<quint8>, sent);
        const bool connects = port == "PORT";
        TestRig rig;
        rig.sim().setPacing(paced);
        auto *ports = rig.widget<QComboBox>("m_comboBoxSerial");
        rig.center().refreshSerialPorts(); // keeps the port that was typed
        QCOMPARE(ports->currentText(), rig.sim().portName());
        if (port == "KEY")
            rig.sim().setFault(Fault::WrongKey, ConfigFrame::Challenge, 1);
        else if (!connects)
            rig.center().setPortName(port);
        QVERIFY(!rig.button("m_pushButtonRead")->isEnabled());
        QCOMPARE(rig.connectDevice(), connects);

        QCOMPARE(rig.sim().receivedCommands(), sent);
        QCOMPARE(rig.boxes().count(), 1);
        const MessageRecord shown = rig.boxes().last();
        QCOMPARE(int(shown.icon), icon);
        QVERIFY2(QRegularExpression(box).match(shown.title + '|' + shown.text).hasMatch(),
                 qPrintable(shown.text));
        QCOMPARE(shown.buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(ports->isEnabled(), !connects);
        QCOMPARE(rig.button("m_pushButtonRead")->isEnabled(), connects);
        if (connects) {
            QCOMPARE(rig.button("m_pushButtonConnect")->text(), QStringLiteral("断开连接"));
            for (const char *name : {"m_pushButtonDefault", "m_pushButtonSaveToFile",
                                     "m_pushButtonReadFromFile", "m_pushButtonWrite"})
                QVERIFY2(rig.button(name)->isEnabled(), name);
            QVERIFY(rig.page<ConvertParamWidget>()->isEnabled());
            // The challenge is 16 bytes of the 23-byte frame, 00 01 before them.
            const QByteArray challenge = rig.sim().receivedFrames().first();
            QCOMPARE(challenge.size(), 23);
            QCOMPARE(challenge.mid(3, 2), QByteArray::fromHex("0001"));

            rig.widget<QComboBox>("m_comboBoxDevPort")->addItem(QStringLiteral("x"));
            rig.click("m_pushButtonConnect");
            QVERIFY(!rig.center().isConnected());
            QCOMPARE(rig.widget<QComboBox>("m_comboBoxDevPort")->count(), 0);
            QVERIFY(ports->isEnabled());
            QVERIFY(!rig.button("m_pushButtonWrite")->isEnabled());
        }
        QCOMPARE(rig.button("m_pushButtonConnect")->text(), QStringLiteral("连接设备"));

        rig.boxes().clear();
        rig.center().setPortName(rig.sim().portName());
        QVERIFY(rig.connectDevice());
        QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("连接成功")});
        QList<QByteArray> challenges;
        for (const QByteArray &frame : rig.sim().receivedFrames())
            if (frame.at(2) == 0x01)
                challenges << frame.mid(5, 16);
        QCOMPARE(challenges.size(), sent.isEmpty() ? 1 : 2);
        QVERIFY(challenges.first() != challenges.last() || sent.isEmpty());
    }

    void connectsToTheStandInProgram()
    {
        QProcess sim;
        sim.start(QStringLiteral(TARVINE_SIM_PROGRAM), {"--type-text", "SIM-PROGRAM", "--hardware", "3.2.1"});
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

    void secondCommandDuringAWaitIsRefused()
    {
        TestRig rig;
        QVERIFY(rig.connectDevice());
        rig.sim().clearReceived();
        rig.boxes().clear();

        // While the read waits for its (late) first reply, the user clicks
        // "写配置", "默认值" and starts a firmware update: all are ignored, and
        // nothing blames the device for packets that were never sent.
        QTemporaryDir dir;
        const QString image = writeFile(dir.filePath(QStringLiteral("image.bin")), QByteArray(300, '\x5A'));
        rig.sim().setFault(Fault::Silent, ConfigFrame::ReadMain, 1);
        bool busyWhenClicked = false;
        QMetaObject::Connection clicks;
        clicks = connect(
            &rig.sim(), &SimConverter::frameReceived, &rig.center(),
            [&] {
                disconnect(clicks);
                busyWhenClicked = rig.center().isBusy();
                rig.click("m_pushButtonWrite");
                rig.click("m_pushButtonDefault");
                rig.click("m_pushButtonRead");
                rig.page<UpadteWidget>()->startUpdate(image);
            },
            Qt::QueuedConnection);
        rig.click("m_pushButtonRead");
        QVERIFY(busyWhenClicked);
        QCOMPARE(rig.sim().receivedFrames().size(), 1);
        QCOMPARE(rig.sim().receivedCommands(), QList<quint8>{0x03});
        QCOMPARE(rig.boxes().texts(), QStringList{QStringLiteral("时间超时")});
        QVERIFY(!rig.center().isBusy());

        // Once the wait is over the update runs.
        rig.page<UpadteWidget>()->startUpdate(image);
        QCOMPARE(rig.sim().lastImage(), QByteArray(300, '\x5A') + QByteArray(212, '\0'));
    }

    // The traffic log holds every frame the converter received, in order,
    // each followed by its reply; then what a fault made of a read's reply.
    void trafficLog_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QStringList>("entries"); // direction, command, reason of the read's first entries
        const QString sent = "发送 读配置 0x03", timeout = "超时 读配置 0x03 无应答";
        QTest::newRow("answered") << int(Fault::None)
                                  << QStringList{sent, "接收 读配置 0x03", "发送 读Modbus 0x20"};
        QTest::newRow("corrupted checksum")
            << int(Fault::CorruptCrc) << QStringList{sent, timeout, "接收 读配置 0x03 校验错误，已丢弃"};
        QTest::newRow("short reply") << int(Fault::ShortReply)
                                     << QStringList{sent, timeout, "接收 读配置 0x03 长度不足，已丢弃"};
        QTest::newRow("garbage first")
            << int(Fault::Garbage) << QStringList{sent, timeout, "接收 未成帧字节，已丢弃"};
        QTest::newRow("wrong command byte")
            << int(Fault::WrongCommand) << QStringList{sent, "接收 未知命令 0x43 非当前请求的应答", timeout};
        QTest::newRow("late reply") << int(Fault::Late)
                                    << QStringList{sent, timeout, "接收 读配置 0x03 非当前请求的应答"};
    }

    void trafficLog()
    {
        QFETCH(int, fault);
        QFETCH(QStringList, entries);
        TestRig rig;
        QVERIFY(rig.connectDevice());
        TrafficLog &log = *rig.center().trafficLog();
        QList<QByteArray> sent;
        for (int i = 0; i < log.count(); ++i) {
            const TrafficLog::Entry &e = log.entry(i);
            QCOMPARE(e.direction, i % 2 ? TrafficLog::Direction::Received : TrafficLog::Direction::Sent);
            QCOMPARE(e.mark, TrafficLog::Mark::None);
            if (i % 2 == 0)
                sent << e.bytes;
        }
        QCOMPARE(sent, rig.sim().receivedFrames());
        log.clear();
        rig.sim().setFault(Fault(fault), ConfigFrame::ReadMain, 1);
        rig.click("m_pushButtonRead");
        QTRY_VERIFY(!rig.sim().hasPendingOutput());
        QTRY_VERIFY(log.count() >= entries.size());
        QStringList seen;
        for (int i = 0; i < entries.size(); ++i) {
            const QStringList f = TrafficLog::line(log.entry(i)).split('\t');
            seen << QStringList{f[1], f[2], f.value(5)}.filter(QRegularExpression(".")).join(' ');
        }
        QCOMPARE(seen, entries);
    }

    void trafficLogLine()
    {
        TrafficLog::Entry entry;
        entry.msecsSinceEpoch = QDateTime(QDate(2026, 3, 4), QTime(10, 15, 2, 347)).toMSecsSinceEpoch();
        entry.bytes = ConfigFrame::readRequest(ConfigFrame::ReadMain);
        QCOMPARE(TrafficLog::line(entry),
                 QStringLiteral("10:15:02.347\t发送\t读配置 0x03\t6\t56 AA 03 00 31 7C"));
    }

    // The panel: hidden at first, shown from the tools menu, remembered for
    // the next window; it lists the log, saves and copies its lines.
    void trafficLogPanel()
    {
        QTemporaryDir dir;
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        TestRig rig;
        auto *window = qobject_cast<TARVINE *>(rig.center().window());
        QAction *action = rig.center().trafficLogAction();
        window->restorePanels();
        QVERIFY(!rig.center().findChild<QDockWidget *>("trafficLogDock")->isVisible() &&
                !action->isChecked());
        QVERIFY(window->findChild<QMenu *>("toolsMenu")->actions().contains(action));
        action->trigger();
        QVERIFY(rig.connectDevice());
        const TrafficLog &log = *rig.center().trafficLog();
        auto *view = rig.widget<QTableView>("trafficLogView");
        QTRY_COMPARE(view->model()->rowCount(), log.count());
        QString lines;
        for (int i = 0; i < log.count(); ++i)
            lines += TrafficLog::line(log.entry(i)) + '\n';
        setFileNameProvider(
            [&](FileDialogKind, const QString &, const QString &) { return dir.filePath("log.txt"); });
        rig.button("trafficLogSaveButton")->click();
        setFileNameProvider({});
        QFile saved(dir.filePath("log.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(saved.readAll()), lines);
        view->selectRow(1);
        rig.button("trafficLogCopyButton")->click();
        QCOMPARE(QApplication::clipboard()->text(), TrafficLog::line(log.entry(1)));
        rig.button("trafficLogClearButton")->click();
        QCOMPARE(view->model()->rowCount(), 0);
        TARVINE next;
        next.restorePanels();
        QVERIFY(next.centerWidget()->trafficLogAction()->isChecked());
    }
};

QTEST_MAIN(TestLink)
#include "tst_link.moc"
