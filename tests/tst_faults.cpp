// The fault matrix: every operation of the tool against every way the line
// can let it down, end to end against the stand-in converter on
// a pseudo-terminal. Each cell checks what the user is told, that pages
// keep their values when a reply is refused, and that the next command
// works once the fault is gone.
#include "KnownConfiguration.h"
#include "TestRig.h"
#include "protocol/ConfigFrame.h"
#include "update/UpadteWidget.h"

#include <QCheckBox>
#include <QTemporaryDir>
#include <QtTest>

using Fault = SimConverter::Fault;

namespace {

enum class Op { Connect, Read, WritePlain, WriteModbusSlave, Defaults, Firmware, Compare, WriteVerified };
// The adapter pulled out while the device holds back its reply.
constexpr int kPulled = -1;
// Whether the pages must keep, must lose, or may do either with their values.
enum class Pages { Kept, Changed, Any };

const QString kTimeout = QStringLiteral("时间超时");
const QString kRead = QStringLiteral("读配置成功");
const QString kWritten = QStringLiteral("写配置成功");
const QString kDefaults = QStringLiteral("恢复默认值成功");
const QString kConnected = QStringLiteral("连接成功");
const QString kCheckFailed = QStringLiteral("设备连接校验失败");
const QString kUpdated = QStringLiteral("固件更新成功");
const QString kUpdateStopped = QStringLiteral("设备无应答，固件更新已中断");
// Followed by the port's own reason.
const QString kPortLost = QStringLiteral("串口已断开: ");
const QString kSame = QStringLiteral("设备中的配置与窗口一致。");

const QList<quint8> kReadSequence = {0x03, 0x20, 0x24, 0x22, 0x05};
const QList<quint8> kModbusWrite = {0x02, 0x23, 0x25, 0x21, 0x04};
const QList<quint8> kDefaultsSequence = {0x08, 0x21, 0x03, 0x20, 0x24, 0x22, 0x05};

// In the order of Op.
struct Operation
{
    const char *name;
    quint8 faultCommand; // the reply that goes wrong (0x00: the first firmware acknowledgement)
    QStringList success; // what the user sees when all goes well
    const char *button;  // what starts it (none: the firmware page's update)
};

const Operation kOperations[] = {
    {"connect", 0x01, {kConnected}, "m_pushButtonConnect"},
    {"read", 0x03, {kRead}, "m_pushButtonRead"},
    {"write plain", 0x04, {kWritten}, "m_pushButtonWrite"},
    {"write MODBUS从站", 0x21, {kWritten}, "m_pushButtonWrite"},
    {"restore defaults", 0x08, {kDefaults}, "m_pushButtonDefault"},
    {"firmware update", 0x00, {kUpdated}, nullptr},
    {"compare with device", 0x03, {kSame}, nullptr},
    // "写入后校验" on: the fault hits the read-back.
    {"write, verified", 0x03, {kWritten}, "m_pushButtonWrite"},
};

struct Cell
{
    Op op;
    int fault;
    QStringList boxes;     // every box, in order, once late replies have landed
    QList<quint8> sent;    // configuration commands on the line (firmware: not checked)
    bool connectedAfter;
    Pages pages;
    quint8 faultOn = 0; // the reply that goes wrong, where not the operation's
};

// What each cell must come to. A late reply is still handled when it lands:
// it tells the truth about the device (the read or write did happen), so its
// message follows the time-out. A reply with a foreign command byte answers
// nothing: the wait runs out.
//
// A write is reported as written only when the device acknowledged every
// frame of it; the frames after a missing acknowledgement still go out.
const Cell kCells[] = {
    {Op::Connect, int(Fault::Silent), {kCheckFailed}, {0x01}, false, Pages::Kept},
    {Op::Connect, int(Fault::CorruptCrc), {kCheckFailed}, {0x01}, false, Pages::Kept},
    {Op::Connect, int(Fault::Split), {kConnected}, {0x01, 0x07, 0x03, 0x20, 0x24, 0x22, 0x05}, true, Pages::Changed},
    {Op::Connect, int(Fault::Late), {kCheckFailed}, {0x01}, false, Pages::Kept},
    {Op::Connect, int(Fault::Garbage), {kCheckFailed}, {0x01}, false, Pages::Kept},
    {Op::Connect, int(Fault::WrongCommand), {kCheckFailed}, {0x01}, false, Pages::Kept},
    {Op::Connect, int(Fault::ShortReply), {kCheckFailed}, {0x01}, false, Pages::Kept},
    {Op::Connect, kPulled, {kPortLost}, {0x01}, false, Pages::Kept},

    {Op::Read, int(Fault::Silent), {kTimeout}, {0x03}, true, Pages::Kept},
    {Op::Read, int(Fault::CorruptCrc), {kTimeout}, {0x03}, true, Pages::Kept},
    {Op::Read, int(Fault::Split), {kRead}, kReadSequence, true, Pages::Changed},
    {Op::Read, int(Fault::Late), {kTimeout, kRead}, {0x03}, true, Pages::Kept},
    {Op::Read, int(Fault::Garbage), {kTimeout}, {0x03}, true, Pages::Kept},
    {Op::Read, int(Fault::WrongCommand), {kTimeout}, {0x03}, true, Pages::Kept},
    {Op::Read, int(Fault::ShortReply), {kTimeout}, {0x03}, true, Pages::Kept},
    {Op::Read, kPulled, {kPortLost}, {0x03}, false, Pages::Kept},

    {Op::WritePlain, int(Fault::Silent), {kTimeout}, {0x02, 0x04}, true, Pages::Kept},
    {Op::WritePlain, int(Fault::CorruptCrc), {kTimeout}, {0x02, 0x04}, true, Pages::Kept},
    {Op::WritePlain, int(Fault::Split), {kWritten}, {0x02, 0x04}, true, Pages::Kept},
    {Op::WritePlain, int(Fault::Late), {kTimeout, kWritten}, {0x02, 0x04}, true, Pages::Kept},
    {Op::WritePlain, int(Fault::Garbage), {kTimeout}, {0x02, 0x04}, true, Pages::Kept},
    {Op::WritePlain, int(Fault::WrongCommand), {kTimeout}, {0x02, 0x04}, true, Pages::Kept},
    // An acknowledgement is its header and one byte: cut short, it is whole.
    {Op::WritePlain, int(Fault::ShortReply), {kWritten}, {0x02, 0x04}, true, Pages::Kept},
    {Op::WritePlain, kPulled, {kPortLost}, {0x02, 0x04}, false, Pages::Kept},

    {Op::WriteModbusSlave, int(Fault::Silent), {kTimeout}, kModbusWrite, true, Pages::Kept},
    {Op::WriteModbusSlave, int(Fault::CorruptCrc), {kTimeout}, kModbusWrite, true, Pages::Kept},
    {Op::WriteModbusSlave, int(Fault::Split), {kWritten}, kModbusWrite, true, Pages::Kept},
    // The late acknowledgement arrives glued to the next one.
    {Op::WriteModbusSlave, int(Fault::Late), {kTimeout, kWritten}, kModbusWrite, true, Pages::Kept},
    {Op::WriteModbusSlave, int(Fault::Garbage), {kTimeout}, kModbusWrite, true, Pages::Kept},
    {Op::WriteModbusSlave, int(Fault::WrongCommand), {kTimeout}, kModbusWrite, true, Pages::Kept},
    {Op::WriteModbusSlave, int(Fault::ShortReply), {kWritten}, kModbusWrite, true, Pages::Kept},
    {Op::WriteModbusSlave, kPulled, {kPortLost}, {0x02, 0x23, 0x25, 0x21}, false, Pages::Kept},

    {Op::Defaults, int(Fault::Silent), {kTimeout}, kDefaultsSequence, true, Pages::Any},
    {Op::Defaults, int(Fault::CorruptCrc), {kTimeout}, kDefaultsSequence, true, Pages::Any},
    {Op::Defaults, int(Fault::Split), {kDefaults}, kDefaultsSequence, true, Pages::Any},
    {Op::Defaults, int(Fault::Late), {kTimeout, kDefaults}, kDefaultsSequence, true, Pages::Any},
    {Op::Defaults, int(Fault::Garbage), {kTimeout}, kDefaultsSequence, true, Pages::Any},
    {Op::Defaults, int(Fault::WrongCommand), {kTimeout}, kDefaultsSequence, true, Pages::Any},
    {Op::Defaults, int(Fault::ShortReply), {kDefaults}, kDefaultsSequence, true, Pages::Any},
    {Op::Defaults, kPulled, {kPortLost}, {0x08}, false, Pages::Kept},

    {Op::Firmware, int(Fault::Silent), {kTimeout, kUpdateStopped}, {}, true, Pages::Kept},
    {Op::Firmware, int(Fault::CorruptCrc), {kTimeout, kUpdateStopped}, {}, true, Pages::Kept},
    // The device restarts into its new firmware: the link ends by design.
    {Op::Firmware, int(Fault::Split), {kUpdated}, {}, false, Pages::Kept},
    {Op::Firmware, int(Fault::Late), {kTimeout, kUpdateStopped}, {}, true, Pages::Kept},
    {Op::Firmware, int(Fault::Garbage), {kTimeout, kUpdateStopped}, {}, true, Pages::Kept},
    {Op::Firmware, int(Fault::WrongCommand), {kTimeout, kUpdateStopped}, {}, true, Pages::Kept},
    {Op::Firmware, int(Fault::ShortReply), {kTimeout, kUpdateStopped}, {}, true, Pages::Kept},
    {Op::Firmware, kPulled, {kPortLost, kUpdateStopped}, {}, false, Pages::Kept},
    {Op::Compare, kPulled, {kPortLost}, {0x03}, false, Pages::Kept},
    {Op::WriteVerified, kPulled, {kPortLost}, {0x02, 0x04, 0x03}, false, Pages::Kept},

    // The main block's answer is lost: the filters still go out and are
    // acknowledged, but the write is not reported as written.
    {Op::WritePlain, int(Fault::Silent), {kTimeout}, {0x02, 0x04}, true, Pages::Kept, ConfigFrame::WriteMain},
};

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    void run(TestRig &rig, Op op)
    {
        rig.center().verifyAfterWriteBox()->setChecked(op == Op::WriteVerified);
        if (op == Op::Compare)
            rig.center().compareWithDevice();
        else if (const char *button = kOperations[int(op)].button)
            rig.click(button);
        else
            rig.page<UpadteWidget>()->startUpdate(m_dir.filePath(QStringLiteral("image.bin")));
    }

private slots:
    void initTestCase()
    {
        // Three blocks, the last one short.
        writeFile(m_dir.filePath(QStringLiteral("image.bin")), QByteArray("0123456789abcdefg").repeated(43));
    }

    void linkFaults_data()
    {
        QTest::addColumn<int>("cell");
        const QList<QByteArray> faults = QByteArray("adapter pulled||silence||corrupted checksum|split reply|"
                                                    "late reply|garbage first|wrong command byte|short reply")
                                             .split('|'); // by Fault, after kPulled
        for (int i = 0; i < int(std::size(kCells)); ++i)
            QTest::addRow("%s x %s%s", kOperations[int(kCells[i].op)].name,
                          faults[kCells[i].fault + 1].data(), kCells[i].faultOn ? " on the main block" : "")
                << i;
    }

    void linkFaults()
    {
        QFETCH(int, cell);
        const Cell &c = kCells[cell];
#ifdef Q_OS_WIN
        if (c.fault == kPulled)
            QSKIP("closing the stand-in's end of a port pair is no pulled adapter: the tool's end stays up");
#endif
        bool pulled = false;
        TestRig rig;
        if (c.op != Op::Connect)
            QVERIFY(rig.connectDevice());
        const QByteArray deviceText = rig.pagesText();
        // Pages that differ from the device, so that a reply that gets through
        // shows ("MODBUS从站" with valid mappings, for the Modbus write).
        if (c.op == Op::Read || c.op == Op::WriteModbusSlave)
            rig.loadPages(kKnownConfiguration);
        const QByteArray pagesBefore = rig.pagesText();
        rig.boxes().clear();
        rig.sim().clearReceived();

        const quint8 faultOn = c.faultOn ? c.faultOn : kOperations[int(c.op)].faultCommand;
        rig.sim().setFault(c.fault == kPulled ? Fault::Silent : Fault(c.fault), faultOn, 1);
        // The adapter goes once the request is on the line, before any answer.
        if (c.fault == kPulled)
            connect(&rig.sim(), &SimConverter::frameReceived, &rig.sim(), [&](const QByteArray &frame) {
                if (!pulled && (faultOn ? quint8(frame.at(2)) == faultOn : frame.at(0) == 0x57)) {
                    pulled = true;
                    QTimer::singleShot(0, &rig.sim(), [&rig] { rig.sim().unplug(); });
                }
            });
        run(rig, c.op);

        // The sequence has ended; nothing it refused reached the pages.
        QVERIFY(!rig.center().isBusy());
        if (c.pages == Pages::Kept)
            QCOMPARE(rig.pagesText(), pagesBefore);
        else if (c.pages == Pages::Changed)
            QVERIFY(rig.pagesText() != pagesBefore);
        if (c.op != Op::Firmware)
            QCOMPARE(rig.sim().receivedCommands(), c.sent);

        // Late replies land; then the user has seen exactly this.
        QTRY_VERIFY(!rig.sim().hasPendingOutput());
        QTRY_COMPARE(rig.boxes().count(), c.boxes.size());
        // A lost port is reported with the system's reason after the text.
        QCOMPARE(rig.boxes().texts().replaceInStrings(QRegularExpression("^(" + kPortLost + ").*"), "\\1"),
                 c.boxes);
        QCOMPARE(rig.center().isConnected(), c.connectedAfter);
        // A write takes its backup before its first frame: what the device
        // held, whatever became of the write.
        if (c.fault == kPulled &&
            (c.op == Op::WritePlain || c.op == Op::WriteModbusSlave || c.op == Op::WriteVerified)) {
            const QFileInfoList backups = QDir(rig.backupFolder()).entryInfoList(QDir::Files);
            QCOMPARE(backups.size(), 1);
            QFile backup(backups.first().filePath());
            QVERIFY(backup.open(QIODevice::ReadOnly));
            QCOMPARE(backup.readAll(), deviceText);
        }

        // The fault is over: the same operation works again, without a new
        // connection where the link held (a pulled adapter is plugged back in).
        if (c.fault == kPulled) {
            QVERIFY(rig.sim().open());
            rig.center().setPortName(rig.sim().portName());
        }
        if (!c.connectedAfter && c.op != Op::Connect)
            QVERIFY(rig.connectDevice());
        rig.boxes().clear();
        // Once connected, the next command is a read.
        const Op next = c.op == Op::Connect && rig.center().isConnected() ? Op::Read : c.op;
        run(rig, next);
        QCOMPARE(rig.boxes().texts(), kOperations[int(next)].success);
    }

    // A port that is not there: the box quotes the number the serial port
    // library gives that error on every system (1), then the system's words.
    void missingPort()
    {
        TestRig rig;
#ifdef Q_OS_WIN
        rig.center().setPortName(QStringLiteral("COM199"));
#else
        rig.center().setPortName(QStringLiteral("/dev/tarvine-no-such-port"));
#endif
        QVERIFY(!rig.connectDevice());
        QCOMPARE(rig.boxes().count(), 1);
        const QString text = rig.boxes().last().text;
        const QString head = QStringLiteral("打开设备失败.错误码:1,描述：");
        QVERIFY2(text.startsWith(head) && text.size() > head.size(), qPrintable(text));
    }

    // A reply held back from a read that timed out lands between two frames
    // of the write after it. It is handled (the Modbus page shows it), but
    // every frame the write sends is what the pages held when it began.
    void lateReplyChangesNoFrameOfAWrite()
    {
        TestRig rig;
        QVERIFY(rig.connectDevice());
        rig.sim().setFault(Fault::Deferred, ConfigFrame::ReadModbus, 1);
        rig.click("m_pushButtonRead");
        rig.loadPages(kKnownConfiguration);
        QList<QByteArray> frames;
        QVERIFY(rig.center().writeFrames(&frames));
        rig.sim().clearReceived();
        rig.boxes().clear();
        rig.click("m_pushButtonWrite");
        QCOMPARE(rig.sim().receivedFrames(), frames);
        QCOMPARE(rig.boxes().texts(), QStringList{kWritten});
    }

    // A reply to an earlier command that lands while a later one waits is
    // handled, but does not pass for the later one's answer.
    void staleReplyDoesNotEndALaterWait()
    {
        TestRig rig;
        QVERIFY(rig.connectDevice());
        rig.boxes().clear();
        rig.sim().setFault(Fault::Silent, ConfigFrame::WriteFilters, 1);
        // An acknowledgement as the device sends it: header, status 0x00, CRC.
        QByteArray ack = ConfigFrame::header(ConfigFrame::RestoreDefaults) + QByteArray(1, '\0');
        ConfigFrame::appendCrc(ack);
        // Fed once the write's last request is on the line, so during its wait.
        QObject::connect(
            &rig.sim(), &SimConverter::frameReceived, &rig.center(), [&rig, ack](const QByteArray &frame) {
                if (quint8(frame.at(2)) == ConfigFrame::WriteFilters)
                    QTimer::singleShot(0, &rig.center(), [&rig, ack] { rig.center().receiveBytes(ack); });
            });
        rig.click("m_pushButtonWrite");
        // The write's last wait ran out although a reply came during it.
        QCOMPARE(rig.boxes().texts(), (QStringList{QStringLiteral("恢复默认值成功"), kTimeout}));
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
