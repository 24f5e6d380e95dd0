// tarvine-cli as a script runs it: its own process against the stand-in
// converter on a real pseudo-terminal, with the window as the reference
// for the bytes it must send and save.
#include "DeviceSession.h"
#include "ExitCode.h"
#include "KnownConfiguration.h"
#include "TestRig.h"

#include "protocol/ConfigFrame.h"

#include <QtTest>

using namespace ConfigFrame;

namespace {

const QList<quint8> kWriteCommands = {WriteMain, WriteFilters, WriteModbus, WriteRecvMapping,
                                      WriteSendMapping};

QStringList hexFrames(const QList<QByteArray> &frames)
{
    QStringList out;
    for (const QByteArray &f : frames)
        if (kWriteCommands.contains(quint8(f.at(2))))
            out << QString::fromLatin1(f.toHex());
    return out;
}

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

class Tst_cli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_known, m_bad, m_image;
    // The known file with a start position and identifier length that only
    // CAN FD with extended identifiers lets through: what the device held
    // before (classic CAN at its defaults) must not cut them.
    QString m_wide;
    // A file whose write once depended on what the pages showed before:
    // custom timing words, filtering off, a remote heartbeat on CAN FD.
    QString m_custom;
    QStringList m_wideOnDefaults, m_wideOnKnown; // the window's write of it to each
    QByteArray m_imageBytes;
    QHash<quint8, QByteArray> m_knownBlocks; // the device after the window wrote the known file
    QStringList m_windowWrite;               // the frames of that write
    QByteArray m_windowSaved;                // the window's file after reading that device

    // Runs tarvine-cli while the stand-in answers on this thread's loop.
    Run cli(const QStringList &args)
    {
        QProcess process;
        QSignalSpy finished(&process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished));
        process.start(QStringLiteral(TARVINE_CLI_PROGRAM), args);
        if (!finished.wait(120000))
            qFatal("tarvine-cli did not finish");
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    void preload(SimConverter &sim)
    {
        for (auto it = m_knownBlocks.cbegin(); it != m_knownBlocks.cend(); ++it)
            sim.setBlock(it.key(), it.value());
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QProcess::ExitStatus>();
        m_known = writeFile(m_dir.filePath("known.txt"), kKnownConfiguration);
        m_bad = writeFile(m_dir.filePath("bad.txt"), "{\"CANMap\": {}}\n");
        m_imageBytes = QByteArray("0123456789abcdefg").repeated(60); // 4 blocks, the last one short
        m_image = writeFile(m_dir.filePath("fw.bin"), m_imageBytes);

        TestRig rig;
        QVERIFY(rig.connectDevice());
        rig.loadPages(kKnownConfiguration);
        rig.sim().clearReceived();
        rig.click("m_pushButtonWrite");
        m_windowWrite = hexFrames(rig.sim().receivedFrames());
        QCOMPARE(m_windowWrite.size(), 5);
        for (const quint8 code : kWriteCommands)
            m_knownBlocks.insert(code, rig.sim().block(code));
        rig.click("m_pushButtonRead");
        m_windowSaved = rig.pagesText();

        const QByteArray wide = QByteArray(kKnownConfiguration)
                                    .replace("\"len\": 2", "\"len\": 4")
                                    .replace("\"posOffset\": 3", "\"posOffset\": 20");
        m_wide = writeFile(m_dir.filePath("wide.txt"), wide);
        for (QStringList *frames : {&m_wideOnDefaults, &m_wideOnKnown}) {
            TestRig other;
            if (frames == &m_wideOnKnown)
                preload(other.sim());
            QVERIFY(other.connectDevice());
            other.loadPages(wide);
            other.sim().clearReceived();
            other.click("m_pushButtonWrite");
            *frames = hexFrames(other.sim().receivedFrames());
        }
        QCOMPARE(m_wideOnDefaults, m_wideOnKnown);
        m_custom = writeFile(m_dir.filePath("custom.txt"),
                             QByteArray(kKnownConfiguration)
                                 .replace("\"Arbitrationarea\": 11,", "\"ArbitrationWord\": \"0x8bcf203d\",\n"
                                                                    "\"Arbitrationarea\": 14,")
                                 .replace("\"Dataarea\": 8,", "\"DataWord\": \"0x00270004\",\n\"Dataarea\": 13,")
                                 .replace("\"FilterEnable\": 2", "\"FilterEnable\": 0")
                                 .replace("\"frameFormat\": 0", "\"frameFormat\": 1")
                                 .replace("\"dataLen\": 9", "\"dataLen\": 8"));
    }

    // A file written to a unit verifies against it, whatever the unit held.
    void writtenFileVerifies_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("holdsKnown");
        for (const bool known : {false, true}) {
            QTest::addRow("wide, device %s", known ? "known" : "at defaults") << m_wide << known;
            QTest::addRow("custom, device %s", known ? "known" : "at defaults") << m_custom << known;
        }
    }
    void writtenFileVerifies()
    {
        QFETCH(QString, file);
        QFETCH(bool, holdsKnown);
        SimConverter sim;
        QVERIFY(sim.open());
        if (holdsKnown)
            preload(sim);
        const Run write = cli({"--port", sim.portName(), "write", file, "--no-verify"});
        QVERIFY2(write.exitCode == 0, qPrintable(write.err));
        const Run verify = cli({"--port", sim.portName(), "verify", file});
        QVERIFY2(verify.exitCode == 0, qPrintable(verify.out + verify.err));
    }

    void commands_data()
    {
        QTest::addColumn<QStringList>("args"); // PORT, KNOWN, BAD, IMAGE, OUT stand for the test's own
        QTest::addColumn<int>("device");       // holds the known file with this Modbus address (-1: defaults)
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out"); // standard output contains this ("=" first: is exactly this)
        QTest::addColumn<bool>("nothingSent");

        const auto row = [](const char *name, const char *args, int exitCode, const QString &out = "=",
                            bool nothingSent = false, int device = -1) {
            QTest::newRow(name) << QString(args).split(' ', Qt::SkipEmptyParts) << device << exitCode << out
                                << nothingSent;
        };
        row("help", "--help", 0, "7  batch", true);
        row("command help", "verify --help", 0, "modbus.data[N]", true);
        row("no command", "", 2, "=", true);
        row("unknown option", "--port PORT info --frob", 2, "=", true);
        row("missing port", "info", 2, "=", true);
        row("ports", "ports --json", 0, "[", true);
        row("info", "--port PORT info", 0,
            "device type: CANFD-SER-2\nhardware version: 1.0.3\nfirmware version: 2.1.0\n"
            "product number: MV2026001\n");
        row("info json", "--port PORT info --json", 0, "\"productNumber\": \"MV2026001\"");
        row("no such port", "--port /dev/tarvine-none info", 6, "=", true);
        row("verify, many", "--port PORT verify KNOWN", 4, "conversion.mode: device 1, file 5\n");
        row("verify, none", "--port PORT verify KNOWN", 0, "=", false, 10);
        row("verify, one", "--port PORT verify KNOWN", 4, "=modbus.address: device 11, file 10\n", false, 11);
        row("verify json", "--port PORT verify KNOWN --json", 4, "\"field\": \"modbus.address\"", false, 11);
        row("write", "--port PORT write KNOWN", 0);
        row("write, no verify", "--port PORT write KNOWN --no-verify", 0);
        row("write refused", "--port PORT write BAD", 3, "=", true);
        row("verify missing file", "--port PORT verify /nonexistent", 3, "=", true);
        row("defaults", "--port PORT defaults", 0, "=", false, 10);
        row("update", "--port PORT update IMAGE", 0);
        row("update, no image", "--port PORT update /nonexistent", 3);
        // The file a read saves is the window's file after the same read.
        row("read", "--port PORT read", 0, '=' + QString::fromUtf8(m_windowSaved), false, 10);
        row("read to a file", "--port PORT read -o OUT", 0, "", false, 10);
        row("info, traced", "--port PORT info --trace TRACE", 0, "device type: CANFD-SER-2");
    }

    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, device);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(bool, nothingSent);

        SimConverter sim;
        QVERIFY(sim.open());
        if (device >= 0) {
            preload(sim);
            QByteArray modbus = m_knownBlocks.value(WriteModbus);
            modbus[3] = char(device);
            sim.setBlock(WriteModbus, modbus);
        }
        const QHash<QString, QString> names = {{"PORT", sim.portName()},
                                               {"KNOWN", m_known},
                                               {"BAD", m_bad},
                                               {"IMAGE", m_image},
                                               {"OUT", m_dir.filePath("read.txt")},
                                               {"TRACE", m_dir.filePath("trace.txt")}};
        for (QString &arg : args)
            arg = names.value(arg, arg);

        const Run run = cli(args);
        QVERIFY2(run.exitCode == exitCode,
                 qPrintable(QStringLiteral("exit %1\n%2").arg(run.exitCode).arg(run.err)));
        if (out.startsWith('='))
            QCOMPARE(run.out, out.mid(1));
        else
            QVERIFY2(run.out.contains(out), qPrintable(run.out));
        if (nothingSent)
            QCOMPARE(sim.receivedFrames().size(), 0);

        const QString command = args.value(2);
        if (command == "write" && exitCode == 0) { // the device holds what the window wrote, in its frames
            const QStringList frames = hexFrames(sim.receivedFrames());
            QCOMPARE(frames, m_windowWrite);
            QVERIFY(frames.join(' ').contains("56aa210a0101f4b00c1abcdef0112233445566778899aabbcc"));
            for (const quint8 code : kWriteCommands)
                QCOMPARE(sim.block(code), m_knownBlocks.value(code));
        }
        if (command == "defaults")
            QCOMPARE(sim.block(WriteMain), SimConverter::defaultBlock(WriteMain));
        if (command == "update" && exitCode == 0) {
            QCOMPARE(sim.lastImage().left(m_imageBytes.size()), m_imageBytes);
            QVERIFY(run.err.contains("update: 100%"));
        }
        if (args.contains("--trace")) { // a line a frame the device got, each followed by its reply
            QFile trace(args.last());
            QVERIFY(trace.open(QIODevice::ReadOnly));
            const QStringList lines = QString::fromUtf8(trace.readAll()).split('\n', Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), 2 * sim.receivedFrames().size());
            QVERIFY2(lines.at(2).contains("\t发送\t读设备信息 0x07\t6\t56 AA 07 00 "),
                     qPrintable(lines.at(2)));
        }
        if (args.contains("-o")) {
            QFile saved(args.last());
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QCOMPARE(saved.readAll(), m_windowSaved);
        }
    }

    // A write one of whose frames never went out is no success, though the
    // device acknowledged every frame that did, the last one too.
    void writeWithAFrameNotSent()
    {
        SimConverter sim;
        QVERIFY(sim.open());
        DeviceSession session(sim.portName(), [](const QString &) {});
        CenterWidget *center = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets())
            center = center ? center : qobject_cast<CenterWidget *>(widget);
        QVERIFY(center);
        center->setSendRefusal([](const QByteArray &frame) { return commandOf(frame) == WriteSendMapping; });
        QCOMPARE(session.connectDevice(), ExitCode::Success);
        Protocol::Configuration file;
        QCOMPARE(session.loadFile(m_known, &file), ExitCode::Success);
        QCOMPARE(session.write(), ExitCode::NoAnswer);
        QStringList sent = m_windowWrite;
        sent.removeAt(2); // 02 23 [25] 21 04
        QCOMPARE(hexFrames(sim.receivedFrames()), sent);
    }

    // The adapter pulled after any frame of a command, at a frame boundary
    // (no reply) or three bytes into the reply: the command fails with exit
    // 1, never success, differences or a failed challenge; standard output
    // claims nothing and a read leaves no file; the trace holds every frame
    // the device got. The connect (frames 1 to 7) is every command's own
    // first seven frames: pulled there for info alone.
    void hangUps_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("bytes");
        const struct
        {
            const char *args;
            QList<int> frames;
        } commands[] = {
            {"info", {1, 2, 3, 4, 5, 6, 7}},
            {"read -o OUT", {8, 9, 10, 11, 12}},
            {"write KNOWN", {8, 9, 10, 11, 12, 13, 14, 15, 16, 17}},
            {"write KNOWN --no-verify", {8, 9, 10, 11, 12}},
            {"verify KNOWN", {8, 9, 10, 11, 12}},
            {"defaults", {8, 9, 10, 11, 12, 13, 14}},
            {"update IMAGE", {8, 10, 13}}, // start, a block, the end packet
        };
        for (const auto &c : commands)
            for (const int frame : c.frames)
                for (const int bytes : {0, 3})
                    QTest::addRow("%s, frame %d%s", c.args, frame, bytes ? ", in its reply" : "")
                        << QString(c.args) << frame << bytes;
    }

    void hangUps()
    {
        QFETCH(QString, args);
        QFETCH(int, frame);
        QFETCH(int, bytes);
        SimConverter sim; // at its defaults: a whole verify would find differences
        QVERIFY(sim.open());
        sim.hangUpAfter(frame, bytes);
        const QString out = m_dir.filePath("pulled.txt"), trace = m_dir.filePath("pulled-trace.txt");
        QFile::remove(out);
        QStringList line{"--port", sim.portName(), "--trace", trace};
        const QHash<QString, QString> names = {{"KNOWN", m_known}, {"IMAGE", m_image}, {"OUT", out}};
        for (const QString &arg : args.split(' '))
            line << names.value(arg, arg);
        const Run run = cli(line);

        QVERIFY2(run.exitCode == 1, qPrintable(QStringLiteral("exit %1\n%2").arg(run.exitCode).arg(run.err)));
        QCOMPARE(run.out, QString());
        QVERIFY(!QFile::exists(out));
        QCOMPARE(sim.receivedFrames().size(), frame);
        QFile file(trace);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QList<QByteArray> sent;
        for (const QString &line : QString::fromUtf8(file.readAll()).split('\n')) {
            const QStringList fields = line.split('\t');
            if (fields.value(1) == QStringLiteral("发送"))
                sent << QByteArray::fromHex(fields.value(4).toLatin1());
        }
        QCOMPARE(sent, sim.receivedFrames());
    }

    // Eight ports at once: one silent, one answering under another key,
    // one given a file the tool refuses (refused before any job starts: its
    // port never hears a byte), one verified against a device that differs.
    // Or eight writes, one of whose units goes in the middle of its write.
    // The healthy ones are written with the frames the window sends to that
    // very device, and the summary says which failed.
    void batch_data()
    {
        QTest::addColumn<bool>("oneGone");
        QTest::newRow("mixed") << false;
        QTest::newRow("one unit pulled mid-write") << true;
    }

    void batch()
    {
        QFETCH(bool, oneGone);
        struct Unit
        {
            const char *job;
            QString file;
            bool holdsKnown;
            SimConverter::Fault fault;
            const char *result;
            QStringList frames; // the window's, for a write that succeeds
            int hangUp = 0;     // after this frame
        };
        const auto none = SimConverter::Fault::None;
        QList<Unit> units = {
            {"write", m_known, false, none, "ok", m_windowWrite},
            {"write", m_known, false, SimConverter::Fault::Silent, "failed (exit 1)", {}},
            {"write", m_known, false, SimConverter::Fault::WrongKey, "failed (exit 5)", {}},
            {"write", m_known, true, none, "ok", m_windowWrite},
            {"write", m_bad, false, none, "failed (exit 3)", {}},
            {"verify", m_known, true, none, "failed (exit 4)", {}},
            {"write", m_wide, false, none, "ok", m_wideOnDefaults},
            {"write", m_wide, true, none, "ok", m_wideOnKnown},
        };
        if (oneGone) {
            for (int i = 1; i < 6; ++i)
                units[i] = {"write", m_known, i % 2 == 0, none, "ok", m_windowWrite};
            // Connect (7 frames), then two of the five writes acknowledged.
            units[4] = {"write", m_known, false, none, "failed (exit 1)", m_windowWrite.mid(0, 3), 10};
        }
        SimConverter sims[8];
        QString manifest = "# port command args\n";
        for (int i = 0; i < units.size(); ++i) {
            QVERIFY(sims[i].open());
            sims[i].setFault(units[i].fault);
            sims[i].hangUpAfter(units[i].hangUp);
            if (units[i].holdsKnown) {
                preload(sims[i]);
                QByteArray modbus = m_knownBlocks.value(WriteModbus);
                modbus[3] = char(11);
                sims[i].setBlock(WriteModbus, modbus);
            }
            manifest += sims[i].portName() + "  " + units[i].job + " " + units[i].file + "   # one unit\n";
        }

        const Run run = cli({"batch", writeFile(m_dir.filePath("jobs.txt"), manifest.toUtf8())});
        QCOMPARE(run.exitCode, 7);
        const QStringList summary = run.out.split('\n').filter(QRegularExpression("^/dev/\\S+\t\\w+\t"));
        QCOMPARE(summary.size(), units.size());
        for (int i = 0; i < units.size(); ++i) {
            const Unit &unit = units[i];
            QVERIFY2(summary.at(i).startsWith(
                         QStringLiteral("%1\t%2\t%3\t").arg(sims[i].portName(), unit.job, unit.result)),
                     qPrintable(summary.at(i)));
            QCOMPARE(hexFrames(sims[i].receivedFrames()), unit.frames);
        }
        if (oneGone)
            return;
        QCOMPARE(sims[4].receivedFrames().size(), 0);
        QVERIFY2(run.out.contains(
                     QStringLiteral("[%1] modbus.address: device 11, file 10\n").arg(sims[5].portName())),
                 qPrintable(run.out));
        QVERIFY2(run.err.contains(
                     QStringLiteral("[%1] %1: the device failed the challenge\n").arg(sims[2].portName())),
                 qPrintable(run.err));
    }
};

QTEST_MAIN(Tst_cli)
#include "tst_cli.moc"
