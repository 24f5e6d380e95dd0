#include "DeviceSession.h"

#include "CliRunner.h"
#include "ExitCode.h"

#include "common/MessageBox.h"
#include "link/CenterWidget.h"
#include "protocol/ConfigFrame.h"
#include "protocol/ReplyAssembly.h"
#include "protocol/UpdateFrame.h"
#include "serial/SerialLine.h"
#include "update/UpadteWidget.h"

#include <QCoreApplication>
#include <QFile>

using namespace ConfigFrame;

namespace {

// The window's own words, looked up as its boxes look them up.
QString windowText(const char *source)
{
    return QCoreApplication::translate("CenterWidget", source);
}

constexpr int kMaxTapBuffer = 4096;

} // namespace

DeviceSession::DeviceSession(const QString &portName, Printer boxPrinter, QObject *parent)
    : QObject(parent), m_center(std::make_unique<CenterWidget>(nullptr, CenterWidget::Looks::Plain)), m_print(std::move(boxPrinter))
{
    setMessageObserver([this](const MessageRecord &box) { onBox(box.title, box.text); });
    m_center->setPortName(portName);

    // Replies pass through here on their way to the window: it still gets
    // every byte, in the same reads, and the session keeps a copy of each
    // valid reply to judge the step by what the device really said.
    m_port = m_center->findChild<SerialLine *>();
    disconnect(m_port, SIGNAL(readyRead()), m_center.get(), nullptr);
    connect(m_port, &SerialLine::readyRead, this, [this] {
        const QByteArray bytes = m_port->readAll();
        tapBytes(bytes);
        m_center->receiveBytes(bytes);
    });
}

DeviceSession::~DeviceSession()
{
    setMessageObserver({});
}

void DeviceSession::onBox(const QString &title, const QString &text)
{
    m_boxTexts << text;
    if (text == windowText("时间超时") || text == windowText("设备连接校验失败"))
        m_timedOut = true;
    if (text.startsWith(windowText("串口已断开: ")))
        m_lost = true;
    m_boxLines << title + QLatin1String(": ") + text;
    if (!m_muted)
        m_print(m_boxLines.last());
}

TrafficLog *DeviceSession::trafficLog() const
{
    return m_center->trafficLog();
}

int DeviceSession::checkFile(const QString &path)
{
    m_muted = true;
    Protocol::Configuration unused;
    const int code = loadFile(path, &unused);
    m_muted = false;
    if (code != ExitCode::Success)
        for (const QString &line : qAsConst(m_boxLines))
            m_print(line);
    return code;
}

void DeviceSession::tapBytes(const QByteArray &bytes)
{
    m_tapBuffer.append(bytes);
    if (m_tapBuffer.size() > kMaxTapBuffer)
        m_tapBuffer.remove(0, m_tapBuffer.size() - kMaxTapBuffer);
    takeReplies();
}

// Cut as the window cuts its buffer, so the copy holds exactly the replies
// the window took; only those whose CRC holds are kept.
void DeviceSession::takeReplies()
{
    for (;;) {
        const int length = ReplyAssembly::completeReplyLength(m_tapBuffer);
        if (length == 0)
            return;
        const QByteArray reply = m_tapBuffer.left(length);
        m_tapBuffer.remove(0, length);
        if (!hasValidCrc(reply))
            continue;
        const quint8 command = commandOf(reply);
        if (reply.size() < minimumReplyLength(command))
            continue;
        m_replies.insert(command, reply);
        if (command == UpdateFrame::AckCommand)
            noteUpdateReply(reply);
    }
}

void DeviceSession::noteUpdateReply(const QByteArray &reply)
{
    const UpdateFrame::Ack ack = UpdateFrame::ack(reply);
    const quint8 phase = ack.phase;
    const bool ok = ack.status == UpdateFrame::Accepted;
    if (!ok && m_updateRefusedPhase == 0)
        m_updateRefusedPhase = phase;
    if (ok && phase == UpdateFrame::Data && m_onDataAck)
        m_onDataAck(++m_updateAcked);
    if (ok && phase == UpdateFrame::End)
        m_updateDone = true;
}

void DeviceSession::beginStep()
{
    // Steps run one after another and each waits for its replies: what is
    // left from an earlier step answers nothing of this one.
    m_tapBuffer.clear();
    m_replies.clear();
    m_boxTexts.clear();
    m_boxLines.clear();
    m_timedOut = false;
    m_lost = false;
}

int DeviceSession::linkVerdict() const
{
    return m_timedOut || m_lost ? ExitCode::NoAnswer : ExitCode::Success;
}

int DeviceSession::connectDevice()
{
    beginStep();
    m_center->on_Connectpushbutton();
    if (!m_center->isConnected()) {
        if (openFailureCode(m_port->error()) == ExitCode::PortUnavailable)
            return ExitCode::PortUnavailable;
        // A challenge answered, but not under the key: the device is not
        // one of ours, or not healthy. A link lost after a good answer is
        // no such thing.
        return m_boxTexts.contains(windowText("连接失败")) ? ExitCode::ChallengeFailed : ExitCode::NoAnswer;
    }
    if (!hasReply(ReadDeviceInfo))
        return ExitCode::NoAnswer;
    m_deviceInfo = Protocol::DeviceInfo::decode(m_replies.value(ReadDeviceInfo));
    return linkVerdict();
}

int DeviceSession::loadFile(const QString &path, Protocol::Configuration *fileBlocks)
{
    beginStep();
    m_center->loadConfiguration(path);
    if (!m_boxTexts.contains(windowText("读取成功")))
        return ExitCode::BadFile;

    // The write's own checks, in its order; a refusal shows the same boxes
    // the write would, and nothing is sent.
    return m_center->pagesConfiguration(fileBlocks) ? ExitCode::Success : ExitCode::BadFile;
}

int DeviceSession::write()
{
    beginStep();
    m_center->on_Writepushbutton();
    // Only a write the device acknowledged frame by frame is announced: a
    // frame that could not be sent leaves the last one's answer alone.
    if (linkVerdict() != ExitCode::Success || !m_boxTexts.contains(windowText("写配置成功")))
        return ExitCode::NoAnswer;
    return ExitCode::Success;
}

int DeviceSession::planWrite(const QString &path, const QByteArray &deviceInfoReply,
                             const QList<QByteArray> &readReplies, QList<QByteArray> *frames,
                             QStringList *boxLines)
{
    m_center->takeConnectReplies(deviceInfoReply, readReplies);
    beginStep();
    m_muted = true;
    m_center->loadConfiguration(path);
    const bool taken = m_boxTexts.contains(windowText("读取成功")) && m_center->writeFrames(frames);
    m_muted = false;
    *boxLines = m_boxLines;
    return taken ? ExitCode::Success : ExitCode::BadFile;
}

int DeviceSession::read()
{
    beginStep();
    m_center->on_readconfiguration();
    if (linkVerdict() != ExitCode::Success)
        return ExitCode::NoAnswer;
    for (const quint8 code : {ReadMain, ReadFilters, ReadModbus, ReadSendMapping, ReadRecvMapping}) {
        if (!hasReply(code))
            return ExitCode::NoAnswer;
    }
    return ExitCode::Success;
}

int DeviceSession::readBlocks(Protocol::Configuration *deviceBlocks)
{
    beginStep();
    if (!m_center->readDeviceConfiguration(deviceBlocks))
        return ExitCode::NoAnswer;
    return linkVerdict();
}

int DeviceSession::save(const QString &path)
{
    beginStep();
    m_center->saveConfiguration(path);
    return m_boxTexts.contains(windowText("保存配置成功")) ? ExitCode::Success : ExitCode::BadFile;
}

int DeviceSession::restoreDefaults()
{
    beginStep();
    m_center->on_Defaultpushbutton();
    if (linkVerdict() != ExitCode::Success || !hasReply(RestoreDefaults))
        return ExitCode::NoAnswer;
    return ExitCode::Success;
}

int DeviceSession::update(const QString &imagePath, std::function<void(qint64, qint64)> progress)
{
    beginStep();
    auto *page = m_center->findChild<UpadteWidget *>();
    int packets = 0;
    const QMetaObject::Connection counter =
        connect(page, &UpadteWidget::Updasend, this, [&packets] { ++packets; });
    const qint64 total = UpdateFrame::paddedLength(QFile(imagePath).size());
    m_updateAcked = 0;
    m_updateRefusedPhase = 0;
    m_updateDone = false;
    m_onDataAck = [&](qint64 blocks) {
        if (progress)
            progress(blocks * UpdateFrame::BlockSize, total);
    };
    page->startUpdate(imagePath);
    m_onDataAck = nullptr;
    disconnect(counter);

    if (packets == 0 || m_updateRefusedPhase == UpdateFrame::Start)
        return ExitCode::BadFile; // unreadable, too large, or a length the device refuses
    if (m_updateDone && m_updateRefusedPhase == 0)
        return ExitCode::Success;
    return ExitCode::NoAnswer;
}
