// tarvine-sim: the stand-in converter as a program. Prints the path of its
// pseudo-terminal on the first line of standard output, then answers the
// tool until it is stopped (Ctrl+C).
#include "SimConverter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <csignal>

namespace {

bool parseVersion(const QString &text, quint8 out[3])
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const uint v = parts.at(i).toUInt(&ok);
        if (!ok || v > 255)
            return false;
        out[i] = static_cast<quint8>(v);
    }
    return true;
}

const QList<QPair<QString, SimConverter::Fault>> kFaults = {
    {QStringLiteral("silent"), SimConverter::Fault::Silent},
    {QStringLiteral("wrong-key"), SimConverter::Fault::WrongKey},
    {QStringLiteral("corrupt-crc"), SimConverter::Fault::CorruptCrc},
    {QStringLiteral("split"), SimConverter::Fault::Split},
    {QStringLiteral("late"), SimConverter::Fault::Late},
    {QStringLiteral("garbage"), SimConverter::Fault::Garbage},
    {QStringLiteral("wrong-command"), SimConverter::Fault::WrongCommand},
    {QStringLiteral("short-reply"), SimConverter::Fault::ShortReply},
    {QStringLiteral("deferred"), SimConverter::Fault::Deferred},
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvine-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVINE_VERSION));
    std::signal(SIGINT, [](int) { QCoreApplication::quit(); });
    std::signal(SIGTERM, [](int) { QCoreApplication::quit(); });

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Stand-in converter on a pseudo-terminal."));
    parser.addHelpOption();
    parser.addVersionOption();
    QStringList faultNames;
    for (const auto &f : kFaults)
        faultNames << f.first;
    const QCommandLineOption faultOpt(QStringLiteral("fault"),
                                      QStringLiteral("Reply fault: %1.").arg(faultNames.join(QStringLiteral(", "))),
                                      QStringLiteral("name"));
    const QCommandLineOption faultCmdOpt(QStringLiteral("fault-command"),
                                         QStringLiteral("Apply the fault only to this command (hex, e.g. 03)."),
                                         QStringLiteral("code"));
    const QCommandLineOption faultTimesOpt(QStringLiteral("fault-times"),
                                           QStringLiteral("Apply the fault to this many replies only."),
                                           QStringLiteral("n"));
    const QCommandLineOption pacingOpt(QStringLiteral("pacing"),
                                       QStringLiteral("Every byte takes its time at 115200 baud 8N1."));
    const QCommandLineOption usbOpt(QStringLiteral("usb-frames"),
                                    QStringLiteral("With --pacing: a reply's bytes reach the tool once a millisecond, "
                                                   "as a USB adapter hands them over; its last byte on time."));
    const QCommandLineOption typeOpt(QStringLiteral("device-type"), QStringLiteral("Device type code (0-255)."),
                                     QStringLiteral("code"));
    const QCommandLineOption hwOpt(QStringLiteral("hardware"), QStringLiteral("Hardware version a.b.c."),
                                   QStringLiteral("version"));
    const QCommandLineOption fwOpt(QStringLiteral("firmware"), QStringLiteral("Firmware version a.b.c."),
                                   QStringLiteral("version"));
    const QCommandLineOption textOpt(QStringLiteral("type-text"), QStringLiteral("Device type text (UTF-8)."),
                                     QStringLiteral("text"));
    const QCommandLineOption productOpt(QStringLiteral("product"), QStringLiteral("Product number text."),
                                        QStringLiteral("text"));
    const QCommandLineOption blockOpt(
        QStringLiteral("block"),
        QStringLiteral("Initial block of a write command, as CODE=HEX (the frame without CRC, e.g. 21=56AA21...)."),
        QStringLiteral("code=hex"));
    const QCommandLineOption failOpt(QStringLiteral("fail-update"),
                                     QStringLiteral("Answer a firmware phase with an error: start, end, block or block:N."),
                                     QStringLiteral("phase"));
    const QCommandLineOption noAuthOpt(QStringLiteral("no-auth"),
                                       QStringLiteral("Answer configuration commands without a handshake."));
    const QCommandLineOption misstoreOpt(
        QStringLiteral("misstore"),
        QStringLiteral("Acknowledge writes of the main parameters, but store them with the lowest bit of the "
                       "CAN send identifier flipped."));
    const QCommandLineOption randomOpt(
        QStringLiteral("random-faults"),
        QStringLiteral("Each reply, with probability P (0..1), gets one of the faults at random."),
        QStringLiteral("P"));
    const QCommandLineOption seedOpt(QStringLiteral("seed"), QStringLiteral("Seed of the random faults."),
                                     QStringLiteral("n"));
    const QCommandLineOption dumpOpt(
        QStringLiteral("dump"),
        QStringLiteral("Keep FILE holding the configuration store, one block a line (\"02 56aa02...\"): "
                       "written at start and after every command that changes it."),
        QStringLiteral("file"));
    const QCommandLineOption hangUpOpt(
        QStringLiteral("hangup-after"),
        QStringLiteral("Close the line once the N-th frame has arrived (counting from 1), as a pulled "
                       "adapter; the program then ends."),
        QStringLiteral("N"));
    const QCommandLineOption hangUpBytesOpt(
        QStringLiteral("hangup-bytes"),
        QStringLiteral("With --hangup-after: close it K bytes into the reply to that frame (at most all "
                       "but its last byte)."),
        QStringLiteral("K"));
    const QCommandLineOption historyOpt(
        QStringLiteral("history"),
        QStringLiteral("Append the configuration store to FILE as --dump writes it, then an empty line: "
                       "whenever a connection begins (a challenge arrives) and once more at the end."),
        QStringLiteral("file"));
    parser.addOptions({randomOpt, seedOpt, dumpOpt, misstoreOpt, hangUpOpt, hangUpBytesOpt, historyOpt});
    parser.addOptions({faultOpt, faultCmdOpt, faultTimesOpt, pacingOpt, usbOpt, typeOpt, hwOpt, fwOpt, textOpt, productOpt,
                       blockOpt, failOpt, noAuthOpt});
    parser.process(app);

    QTextStream err(stderr);
    SimConverter sim;
    SimConverter::DeviceInfo info = sim.deviceInfo();
    if (parser.isSet(typeOpt))
        info.typeCode = static_cast<quint8>(parser.value(typeOpt).toUInt());
    if (parser.isSet(hwOpt) && !parseVersion(parser.value(hwOpt), info.hardware))
        parser.showHelp(2);
    if (parser.isSet(fwOpt) && !parseVersion(parser.value(fwOpt), info.firmware))
        parser.showHelp(2);
    if (parser.isSet(textOpt))
        info.typeText = parser.value(textOpt).toUtf8();
    if (parser.isSet(productOpt))
        info.productNumber = parser.value(productOpt).toUtf8();
    sim.setDeviceInfo(info);
    sim.setPacing(parser.isSet(pacingOpt));
    sim.setUsbFrames(parser.isSet(usbOpt));
    sim.setRequireAuth(!parser.isSet(noAuthOpt));
    sim.setMisstore(parser.isSet(misstoreOpt));

    for (const QString &spec : parser.values(blockOpt)) {
        const int eq = spec.indexOf(QLatin1Char('='));
        bool ok = false;
        const uint code = spec.left(eq).toUInt(&ok, 16);
        if (eq < 0 || !ok || code > 0xFF) {
            err << "bad --block: " << spec << "\n";
            return 2;
        }
        sim.setBlock(static_cast<quint8>(code), QByteArray::fromHex(spec.mid(eq + 1).toLatin1()));
    }
    if (parser.isSet(faultOpt)) {
        const QString name = parser.value(faultOpt);
        auto it = std::find_if(kFaults.begin(), kFaults.end(), [&](const auto &f) { return f.first == name; });
        if (it == kFaults.end()) {
            err << "unknown fault: " << name << "\n";
            return 2;
        }
        const int command = parser.isSet(faultCmdOpt) ? static_cast<int>(parser.value(faultCmdOpt).toUInt(nullptr, 16)) : -1;
        const int times = parser.isSet(faultTimesOpt) ? parser.value(faultTimesOpt).toInt() : -1;
        sim.setFault(it->second, command, times);
    }
    if (parser.isSet(failOpt)) {
        const QString phase = parser.value(failOpt);
        if (phase == QLatin1String("start"))
            sim.failUpdate(1);
        else if (phase == QLatin1String("end"))
            sim.failUpdate(3);
        else if (phase == QLatin1String("block"))
            sim.failUpdate(2);
        else if (phase.startsWith(QLatin1String("block:")))
            sim.failUpdate(2, phase.mid(6).toInt());
        else
            parser.showHelp(2);
    }

    if (parser.isSet(randomOpt)) {
        bool ok = false;
        const double p = parser.value(randomOpt).toDouble(&ok);
        if (!ok || p < 0 || p > 1) {
            err << "bad --random-faults: " << parser.value(randomOpt) << "\n";
            return 2;
        }
        const quint32 seed = parser.isSet(seedOpt) ? parser.value(seedOpt).toUInt()
                                                   : quint32(QDateTime::currentMSecsSinceEpoch());
        sim.setRandomFaults(p, seed);
    }
    if (parser.isSet(hangUpOpt)) {
        bool ok = false, bytesOk = true;
        const int frame = parser.value(hangUpOpt).toInt(&ok);
        const int bytes = parser.isSet(hangUpBytesOpt) ? parser.value(hangUpBytesOpt).toInt(&bytesOk) : 0;
        if (!ok || frame < 1 || !bytesOk || bytes < 0) {
            err << "bad --hangup-after or --hangup-bytes\n";
            return 2;
        }
        sim.hangUpAfter(frame, bytes);
        QObject::connect(&sim, &SimConverter::hungUp, &app, &QCoreApplication::quit);
    }
    if (parser.isSet(dumpOpt)) {
        const QString path = parser.value(dumpOpt);
        const auto dump = [&sim, path] {
            QSaveFile file(path);
            if (file.open(QIODevice::WriteOnly)) {
                file.write(sim.dumpStore());
                file.commit();
            }
        };
        QObject::connect(&sim, &SimConverter::storeChanged, &app, dump);
        dump();
    }

    // What the device held when each job on it began, and after the last.
    QFile history(parser.value(historyOpt));
    const auto noteHistory = [&sim, &history] {
        history.write(sim.dumpStore() + '\n');
        history.flush();
    };
    if (parser.isSet(historyOpt)) {
        if (!history.open(QIODevice::WriteOnly | QIODevice::Append)) {
            err << "cannot write " << history.fileName() << "\n";
            return 2;
        }
        QObject::connect(&sim, &SimConverter::frameReceived, &app, [noteHistory](const QByteArray &frame) {
            if (frame.size() > 2 && frame.at(0) == 0x56 && frame.at(2) == 0x01)
                noteHistory();
        });
    }

    if (!sim.open()) {
        err << "cannot open a pseudo-terminal: " << sim.errorString() << "\n";
        return 1;
    }
    QTextStream out(stdout);
    out << sim.portName() << Qt::endl;
    const int code = app.exec();
    if (history.isOpen())
        noteHistory();
    return code;
}
