// tarvine-cli as a script runs it: its own process against the stand-in
// converter on a real pseudo-terminal, with the window as the reference
// for the bytes it must send and save.
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
    }

    void commands_data()
    {
        QTest::addColumn<QStringList>("args");  // PORT, KNOWN, BAD, IMAGE stand for the test's own
        QTest::addColumn<int>("fault");         // SimConverter::Fault, on every reply
        QTest::addColumn<bool>("preload");      // the device holds the known file
        QTest::addColumn<int>("modbusAddress"); // and this address instead (-1: as written)
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out"); // standard output contains this ("=" first: is exactly this)
        QTest::addColumn<bool>("nothingSent");

        const int none = int(SimConverter::Fault::None);
        const QStringList info = {"--port", "PORT", "info"};
        QTest::newRow("help") << QStringList{"--help"} << none << false << -1 << 0 << "7  batch" << true;
        QTest::newRow("command help")
            << QStringList{"verify", "--help"} << none << false << -1 << 0 << "modbus.data[N]" << true;
        QTest::newRow("no command") << QStringList{} << none << false << -1 << 2 << "=" << true;
        QTest::newRow("unknown option")
            << info + QStringList{"--frob"} << none << false << -1 << 2 << "=" << true;
        QTest::newRow("missing port") << QStringList{"info"} << none << false << -1 << 2 << "=" << true;
        QTest::newRow("ports") << QStringList{"ports", "--json"} << none << false << -1 << 0 << "[" << true;
        QTest::newRow("info")
            << info << none << false << -1 << 0
            << "device type: CANFD-SER-2\nhardware version: 1.0.3\nfirmware version: 2.1.0\n"
               "product number: MV2026001\n"
            << false;
        QTest::newRow("info json") << info + QStringList{"--json"} << none << false << -1 << 0
                                   << "\"productNumber\": \"MV2026001\"" << false;
        QTest::newRow("silent") << info << int(SimConverter::Fault::Silent) << false << -1 << 1 << "="
                                << false;
        QTest::newRow("wrong key") << info << int(SimConverter::Fault::WrongKey) << false << -1 << 5 << "="
                                   << false;
        QTest::newRow("no such port")
            << QStringList{"--port", "/dev/tarvine-none", "info"} << none << false << -1 << 6 << "=" << true;
        QTest::newRow("verify, many") << QStringList{"--port", "PORT", "verify", "KNOWN"} << none << false
                                      << -1 << 4 << "conversion.mode: device 1, file 5\n"
                                      << false;
        QTest::newRow("verify, none")
            << QStringList{"--port", "PORT", "verify", "KNOWN"} << none << true << -1 << 0 << "=" << false;
        QTest::newRow("verify, one") << QStringList{"--port", "PORT", "verify", "KNOWN"} << none << true
                                     << 0x0b << 4 << "=modbus.address: device 11, file 10\n"
                                     << false;
        QTest::newRow("verify json") << QStringList{"--port", "PORT", "verify", "KNOWN", "--json"} << none
                                     << true << 0x0b << 4 << "\"field\": \"modbus.address\"" << false;
        QTest::newRow("write") << QStringList{"--port", "PORT", "write", "KNOWN"} << none << false << -1 << 0
                               << "=" << false;
        QTest::newRow("write refused")
            << QStringList{"--port", "PORT", "write", "BAD"} << none << false << -1 << 3 << "=" << true;
        QTest::newRow("verify missing file") << QStringList{"--port", "PORT", "verify", "/nonexistent"}
                                             << none << false << -1 << 3 << "=" << true;
        QTest::newRow("defaults") << QStringList{"--port", "PORT", "defaults"} << none << true << -1 << 0
                                  << "=" << false;
        QTest::newRow("update") << QStringList{"--port", "PORT", "update", "IMAGE"} << none << false << -1
                                << 0 << "=" << false;
        QTest::newRow("update, no image") << QStringList{"--port", "PORT", "update", "/nonexistent"} << none
                                          << false << -1 << 3 << "=" << false;
    }

    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, fault);
        QFETCH(bool, preload);
        QFETCH(int, modbusAddress);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(bool, nothingSent);

        SimConverter sim;
        QVERIFY(sim.open());
        if (preload)
            this->preload(sim);
        if (modbusAddress >= 0) {
            QByteArray modbus = m_knownBlocks.value(WriteModbus);
            modbus[3] = char(modbusAddress);
            sim.setBlock(WriteModbus, modbus);
        }
        sim.setFault(SimConverter::Fault(fault));
        args.replaceInStrings(QRegularExpression("^PORT$"), sim.portName());
        args.replaceInStrings(QRegularExpression("^KNOWN$"), m_known);
        args.replaceInStrings(QRegularExpression("^BAD$"), m_bad);
        args.replaceInStrings(QRegularExpression("^IMAGE$"), m_image);

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
        if (command == "write" && exitCode == 0) // the device holds what the window wrote
            for (const quint8 code : kWriteCommands)
                QCOMPARE(sim.block(code), m_knownBlocks.value(code));
        if (command == "defaults")
            QCOMPARE(sim.block(WriteMain), SimConverter::defaultBlock(WriteMain));
        if (command == "update" && exitCode == 0) {
            QCOMPARE(sim.lastImage().left(m_imageBytes.size()), m_imageBytes);
            QVERIFY(run.err.contains("update: 100%"));
        }
    }

    // Same file, same frames: the write is the window's, byte for byte.
    void writeMatchesWindow()
    {
        SimConverter sim;
        QVERIFY(sim.open());
        const Run run = cli({"--port", sim.portName(), "write", m_known, "--no-verify"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(hexFrames(sim.receivedFrames()), m_windowWrite);
        // The Modbus frame as the known file describes it.
        QVERIFY(hexFrames(sim.receivedFrames())
                    .join(' ')
                    .contains("56aa210a0101f4b00c1abcdef0112233445566778899aabbcc"));
    }

    // Four ports at once, one silent and one answering under another key:
    // the healthy two are written, and the summary says which failed.
    void batch()
    {
        SimConverter sims[4];
        QString manifest = "# port command args\n";
        for (SimConverter &sim : sims) {
            QVERIFY(sim.open());
            manifest += sim.portName() + "  write " + m_known + "   # one unit\n";
        }
        sims[1].setFault(SimConverter::Fault::Silent);
        sims[2].setFault(SimConverter::Fault::WrongKey);
        const Run run = cli({"batch", writeFile(m_dir.filePath("jobs.txt"), manifest.toUtf8())});
        QCOMPARE(run.exitCode, 7);
        const QStringList summary = run.out.split('\n').filter(QRegularExpression("^/dev/\\S+\\twrite\\t"));
        QCOMPARE(summary.size(), 4);
        const char *results[] = {"ok", "failed (exit 1)", "failed (exit 5)", "ok"};
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(summary.at(i).startsWith(sims[i].portName() + "\twrite\t" + results[i] + "\t"),
                     qPrintable(summary.at(i)));
            if (i == 0 || i == 3)
                QCOMPARE(sims[i].block(WriteModbus), m_knownBlocks.value(WriteModbus));
        }
    }

    // The file a read saves is the window's file after the same read.
    void readMatchesWindow()
    {
        SimConverter sim;
        QVERIFY(sim.open());
        preload(sim);
        const Run toStdout = cli({"--port", sim.portName(), "read"});
        QCOMPARE(toStdout.exitCode, 0);
        QCOMPARE(toStdout.out.toUtf8(), m_windowSaved);
        const QString path = m_dir.filePath("read.txt");
        QCOMPARE(cli({"--port", sim.portName(), "read", "-o", path}).exitCode, 0);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), m_windowSaved);
    }
};

QTEST_MAIN(Tst_cli)
#include "tst_cli.moc"
