#include "BatchDeviceJob.h"

#include "CliRunner.h"
#include "ExitCode.h"

#include "link/CenterWidget.h"
#include "protocol/ConfigFrame.h"
#include "protocol/Handshake.h"

#include <QCoreApplication>

#include <iterator>

using namespace ConfigFrame;

namespace {

QString windowText(const char *source)
{
    return QCoreApplication::translate("CenterWidget", source);
}

constexpr int kReads = int(std::size(FullReadOrder));

bool usable(const QByteArray &reply)
{
    return reply.size() >= minimumReplyLength(commandOf(reply));
}

} // namespace

BatchDeviceJob::BatchDeviceJob(const Setup &setup, Planner planner, Printer printer, QObject *parent)
    : QObject(parent), m_setup(setup), m_planner(std::move(planner)), m_print(std::move(printer)),
      m_line(setup.port)
{
    connect(&m_line, &LineExchange::answered, this, &BatchDeviceJob::onAnswered);
    connect(&m_line, &LineExchange::timedOut, this, &BatchDeviceJob::onTimedOut);
    connect(&m_line, &LineExchange::unawaited, this, &BatchDeviceJob::onUnawaited);
    connect(&m_line, &LineExchange::lost, this, &BatchDeviceJob::onLost);
}

void BatchDeviceJob::box(const char *title, const QString &text)
{
    m_print(windowText(title) + QLatin1String(": ") + text, false);
}

void BatchDeviceJob::start()
{
    if (!m_line.open()) {
        box("错误", CenterWidget::openFailureText(m_line.port()));
        failConnect(openFailureCode(m_line.port().error()));
        return;
    }
    m_challenge = Handshake::newChallenge();
    m_step = Step::Challenge;
    send(challengeRequest(m_challenge));
}

void BatchDeviceJob::send(const QByteArray &frame)
{
    if (m_line.send(frame))
        return;
    box("提醒", windowText("发送失败"));
    if (m_step == Step::Challenge) {
        m_line.close();
        failConnect(ExitCode::NoAnswer);
        return;
    }
    // As the window: the frame counts as unanswered and the sequence goes on.
    ++m_index;
    advance();
}

void BatchDeviceJob::onAnswered(const QByteArray &reply)
{
    const bool ok = usable(reply);
    switch (m_step) {
    case Step::Challenge:
        if (!ok) { // ends the wait, yet proves nothing
            m_line.close();
            failConnect(ExitCode::NoAnswer);
            return;
        }
        if (!Handshake::replyMatches(reply, m_challenge, CenterWidget::sharedKey())) {
            box("失败", windowText("连接失败"));
            m_line.close();
            failConnect(ExitCode::ChallengeFailed);
            return;
        }
        box("成功", windowText("连接成功"));
        break;
    case Step::DeviceInfo:
        if (ok)
            m_deviceInfo = reply;
        break;
    case Step::ConnectRead:
        if (ok)
            m_reads[m_index] = reply;
        break;
    case Step::Write:
        if (ok)
            m_acknowledged.insert(commandOf(reply));
        break;
    case Step::ReadBack:
        if (ok)
            m_device.takeFrame(reply);
        break;
    }
    ++m_index;
    advance();
}

void BatchDeviceJob::onUnawaited(const QByteArray &reply)
{
    // A late acknowledgement still counts while the write is under way.
    if (m_step == Step::Write && usable(reply))
        m_acknowledged.insert(commandOf(reply));
}

void BatchDeviceJob::onTimedOut()
{
    if (m_step == Step::Challenge) {
        m_line.close();
        box("提醒", windowText("设备连接校验失败"));
        failConnect(ExitCode::NoAnswer);
        return;
    }
    box("提醒", windowText("时间超时"));
    m_timedOut = true;
    if (m_step == Step::ReadBack) {
        finish(ExitCode::NoAnswer);
        return;
    }
    // A connect's read stops at its first time-out, but for the last read;
    // a write sends its remaining frames all the same.
    if (m_step == Step::ConnectRead && m_index < kReads - 1) {
        connected();
        return;
    }
    ++m_index;
    advance();
}

void BatchDeviceJob::onLost(const QString &reason)
{
    box("错误", windowText("串口已断开: ") + reason);
    if (m_step == Step::Challenge || m_step == Step::DeviceInfo || m_step == Step::ConnectRead)
        failConnect(ExitCode::NoAnswer);
    else
        finish(ExitCode::NoAnswer);
}

void BatchDeviceJob::advance()
{
    if (m_done)
        return;
    switch (m_step) {
    case Step::Challenge:
        m_step = Step::DeviceInfo;
        send(readRequest(ReadDeviceInfo));
        return;
    case Step::DeviceInfo:
        // Reads follow even when the device information did not come.
        m_step = Step::ConnectRead;
        m_index = 0;
        m_reads = QList<QByteArray>();
        for (int i = 0; i < kReads; ++i)
            m_reads << QByteArray();
        send(readRequest(FullReadOrder[0]));
        return;
    case Step::Write:
        if (m_index < m_frames.size())
            send(m_frames.at(m_index));
        else
            written();
        return;
    case Step::ConnectRead:
    case Step::ReadBack: // the full read's frames, both
        if (m_index < kReads)
            send(readRequest(FullReadOrder[m_index]));
        else if (m_step == Step::ConnectRead)
            connected();
        else
            readBack();
        return;
    }
}

void BatchDeviceJob::connected()
{
    // Nothing is planned, let alone written, from a read with a gap.
    if (m_timedOut || m_deviceInfo.isEmpty() || m_reads.contains(QByteArray())) {
        failConnect(ExitCode::NoAnswer);
        return;
    }
    QStringList lines;
    const int planned = m_planner(m_deviceInfo, m_reads, &m_frames, &lines);
    for (const QString &line : qAsConst(lines))
        m_print(line, false);
    if (planned != ExitCode::Success) {
        finish(planned);
        return;
    }
    m_index = 0;
    if (m_setup.write) {
        m_step = Step::Write;
        m_acknowledged.clear();
    } else {
        m_step = Step::ReadBack;
    }
    advance();
}

void BatchDeviceJob::written()
{
    bool whole = true;
    for (const QByteArray &frame : qAsConst(m_frames))
        whole = whole && m_acknowledged.contains(commandOf(frame));
    if (whole)
        box("成功", windowText("写配置成功"));
    if (m_timedOut || !whole) {
        finish(ExitCode::NoAnswer);
        return;
    }
    if (m_setup.noVerify) {
        finish(ExitCode::Success);
        return;
    }
    m_step = Step::ReadBack;
    m_index = 0;
    m_device = Protocol::Configuration();
    advance();
}

void BatchDeviceJob::readBack()
{
    if (!m_device.isComplete()) {
        finish(ExitCode::NoAnswer);
        return;
    }
    Protocol::Configuration file;
    for (const QByteArray &frame : qAsConst(m_frames))
        file.takeFrame(frame);
    const QVector<Protocol::Difference> differences = Protocol::Configuration::differences(m_device, file);
    for (const QString &line : differenceLines(differences, m_setup.json))
        m_print(line, true);
    finish(differences.isEmpty() ? ExitCode::Success : ExitCode::Differences);
}

void BatchDeviceJob::failConnect(int code)
{
    m_print(connectFailureText(code, m_setup.port), false);
    finish(code);
}

void BatchDeviceJob::finish(int code)
{
    if (m_done)
        return;
    m_done = true;
    m_line.close();
    emit finished(code);
}
