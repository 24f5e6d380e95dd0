#include "CliRunner.h"

#include "DeviceSession.h"
#include "ExitCode.h"

#include "link/TrafficLog.h"
#include "protocol/DeviceInfo.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

void printOut(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void printErr(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

namespace {

QString orDash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

QString hex4(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

QString jsonText(const QJsonDocument &document)
{
    return QString::fromUtf8(document.toJson(QJsonDocument::Indented));
}

// "42% 11.3 KiB/s 0:15 left"
QString progressText(qint64 done, qint64 total, qint64 elapsedMs)
{
    const int percent = total > 0 ? int(done * 100 / total) : 100;
    const double rate = elapsedMs > 0 ? done * 1000.0 / elapsedMs : 0.0;
    const qint64 leftS = rate > 0 ? qint64((total - done) / rate + 0.5) : 0;
    return QStringLiteral("update: %1% %2 B/s %3:%4 left")
        .arg(percent, 3)
        .arg(qint64(rate))
        .arg(leftS / 60)
        .arg(leftS % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

CliRunner::CliRunner(const CliOptions &options) : m_options(options) {}

CliRunner::~CliRunner() = default;

int CliRunner::run()
{
    if (m_options.command == QLatin1String("ports"))
        return ports();

    // Declared before the session: it outlives the log that writes to it.
    QFile trace(m_options.trace);
    if (!m_options.trace.isEmpty() && !trace.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        printErr(QStringLiteral("cannot write %1: %2\n").arg(m_options.trace, trace.errorString()));
        return ExitCode::BadFile;
    }
    m_session = std::make_unique<DeviceSession>(
        m_options.port, [](const QString &line) { printErr(line + QLatin1Char('\n')); });
    DeviceSession &session = *m_session;
    if (trace.isOpen()) {
        // Line by line as the window's panel shows them, each flushed, so
        // that a session that hangs or dies leaves its last frames behind.
        TrafficLog *log = session.trafficLog();
        QObject::connect(log, &TrafficLog::appended, log, [log, &trace] {
            trace.write((TrafficLog::line(log->entry(log->count() - 1)) + QLatin1Char('\n')).toUtf8());
            trace.flush();
        });
    }
    // A file the tool would refuse is refused before the port is touched.
    const QString &c = m_options.command;
    // A batch checked the file already (see BatchRunner::checkFiles).
    const QStringList checkedByBatch =
        qEnvironmentVariable("TARVINE_CLI_CHECKED_FILES").split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString file = QFileInfo(m_options.arguments.value(0)).absoluteFilePath();
    if ((c == QLatin1String("write") || c == QLatin1String("verify")) && !checkedByBatch.contains(file)) {
        const int checked = session.checkFile(m_options.arguments.value(0));
        if (checked != ExitCode::Success)
            return checked;
    }
    const int connected = session.connectDevice();
    if (connected != ExitCode::Success) {
        printErr(connectFailureText(connected, m_options.port) + QLatin1Char('\n'));
        return connected;
    }
    if (c == QLatin1String("info"))
        return info(session);
    if (c == QLatin1String("read"))
        return read(session);
    if (c == QLatin1String("write"))
        return write(session);
    if (c == QLatin1String("verify"))
        return verify(session, m_options.arguments.value(0));
    if (c == QLatin1String("defaults"))
        return defaults(session);
    return update(session);
}

int openFailureCode(SerialLine::Error error)
{
    return error == SerialLine::Error::Unavailable ? ExitCode::PortUnavailable : ExitCode::NoAnswer;
}

QString connectFailureText(int code, const QString &port)
{
    switch (code) {
    case ExitCode::PortUnavailable:
#ifdef Q_OS_WIN
        return QStringLiteral("cannot open %1: it is missing or in use by another program.\nClose any other "
                              "program that holds the port (a terminal, another configuration tool); if the "
                              "port is not listed by \"tarvine-cli ports\", install the driver of the "
                              "USB serial adapter.")
            .arg(port);
#else
        return QStringLiteral("cannot open %1: it is missing, in use by another program, or you lack "
                              "permission.\nOn Linux, join the dialout group (sudo usermod -aG dialout "
                              "$USER), then log out and in again.")
            .arg(port);
#endif
    case ExitCode::ChallengeFailed:
        return QStringLiteral("%1: the device failed the challenge").arg(port);
    default:
        return QStringLiteral("%1: the device did not answer").arg(port);
    }
}

QStringList differenceLines(const QVector<Protocol::Difference> &differences, bool json)
{
    QStringList lines;
    if (json) {
        QJsonArray array;
        for (const Protocol::Difference &d : differences)
            array.append(QJsonObject{{QStringLiteral("field"), d.field},
                                     {QStringLiteral("device"), d.deviceValue},
                                     {QStringLiteral("file"), d.fileValue}});
        lines = jsonText(QJsonDocument(array)).split(QLatin1Char('\n'));
        lines.removeLast(); // after the final newline
        return lines;
    }
    for (const Protocol::Difference &d : differences)
        lines << QStringLiteral("%1: device %2, file %3").arg(d.field, d.deviceValue, d.fileValue);
    return lines;
}

int CliRunner::ports()
{
    QJsonArray array;
    QString lines;
    for (const SerialLine::PortInfo &port : SerialLine::availablePorts()) {
        const bool hasIds = port.vendorId >= 0 && port.productId >= 0;
        const QString ids = hasIds ? hex4(port.vendorId) + QLatin1Char(':') + hex4(port.productId) : QString();
        lines += QStringList{port.location, orDash(port.description), orDash(port.manufacturer),
                             orDash(port.serialNumber), orDash(ids)}
                     .join(QLatin1Char('\t')) +
                 QLatin1Char('\n');
        array.append(QJsonObject{
            {QStringLiteral("port"), port.location},
            {QStringLiteral("description"), port.description},
            {QStringLiteral("manufacturer"), port.manufacturer},
            {QStringLiteral("serialNumber"), port.serialNumber},
            {QStringLiteral("vendorId"), port.vendorId >= 0 ? hex4(port.vendorId) : QString()},
            {QStringLiteral("productId"), port.productId >= 0 ? hex4(port.productId) : QString()},
        });
    }
    printOut(m_options.json ? jsonText(QJsonDocument(array)) : lines);
    return ExitCode::Success;
}

int CliRunner::info(DeviceSession &session)
{
    using Protocol::DeviceInfo;
    const DeviceInfo d = session.deviceInfo();
    if (m_options.json) {
        printOut(jsonText(QJsonDocument(QJsonObject{
            {QStringLiteral("deviceType"), d.deviceTypeText()},
            {QStringLiteral("typeCode"), int(d.typeCode)},
            {QStringLiteral("hardwareVersion"), DeviceInfo::versionText(d.hardware)},
            {QStringLiteral("firmwareVersion"), DeviceInfo::versionText(d.firmware)},
            {QStringLiteral("productNumber"), d.productNumberText()},
        })));
        return ExitCode::Success;
    }
    printOut(
        QStringLiteral("device type: %1\nhardware version: %2\nfirmware version: %3\nproduct number: %4\n")
            .arg(d.deviceTypeText(), DeviceInfo::versionText(d.hardware), DeviceInfo::versionText(d.firmware),
                 d.productNumberText()));
    return ExitCode::Success;
}

int CliRunner::read(DeviceSession &session)
{
    const int readCode = session.read();
    if (readCode != ExitCode::Success)
        return readCode;
    if (!m_options.output.isEmpty() && m_options.output != QLatin1String("-"))
        return session.save(m_options.output);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("configuration.txt"));
    const int saved = session.save(path);
    if (saved != ExitCode::Success)
        return saved;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ExitCode::BadFile;
    const QByteArray bytes = file.readAll();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
    return ExitCode::Success;
}

int CliRunner::write(DeviceSession &session)
{
    const int loaded = session.loadFile(m_options.arguments.value(0), &m_file);
    if (loaded != ExitCode::Success)
        return loaded;
    const int written = session.write();
    if (written != ExitCode::Success || m_options.noVerify)
        return written;
    return verify(session, QString());
}

// With an empty `file`, compares with the file the session loaded last.
int CliRunner::verify(DeviceSession &session, const QString &fileName)
{
    if (!fileName.isEmpty()) {
        const int loaded = session.loadFile(fileName, &m_file);
        if (loaded != ExitCode::Success)
            return loaded;
    }
    Protocol::Configuration device;
    const int readCode = session.readBlocks(&device);
    if (readCode != ExitCode::Success)
        return readCode;

    const QVector<Protocol::Difference> differences = Protocol::Configuration::differences(device, m_file);
    for (const QString &line : differenceLines(differences, m_options.json))
        printOut(line + QLatin1Char('\n'));
    return differences.isEmpty() ? ExitCode::Success : ExitCode::Differences;
}

int CliRunner::defaults(DeviceSession &session)
{
    return session.restoreDefaults();
}

int CliRunner::update(DeviceSession &session)
{
    const bool terminal = isatty(STDERR_FILENO) != 0;
    const bool quiet = m_options.quiet;
    QElapsedTimer clock;
    clock.start();
    int lastPercent = -1;
    const int code = session.update(m_options.arguments.value(0), [&](qint64 done, qint64 total) {
        const int percent = total > 0 ? int(done * 100 / total) : 100;
        if (quiet || percent == lastPercent)
            return;
        lastPercent = percent;
        const QString text = progressText(done, total, clock.elapsed());
        printErr(terminal ? QLatin1Char('\r') + text : text + QLatin1Char('\n'));
    });
    if (terminal && !quiet && lastPercent >= 0)
        printErr(QStringLiteral("\n"));
    return code;
}
