#include "link/TrafficLog.h"

#include "protocol/ByteFields.h"
#include "protocol/ConfigFrame.h"
#include "protocol/UpdateFrame.h"

#include <QDateTime>

using namespace ConfigFrame;

namespace {

QString codeText(quint8 code)
{
    return QLatin1String("0x") + QString::number(code, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

} // namespace

TrafficLog::TrafficLog(QObject *parent) : QObject(parent) {}

void TrafficLog::append(Entry &&entry)
{
    entry.msecsSinceEpoch = QDateTime::currentMSecsSinceEpoch();
    // A reply cut from the receive buffer may share the port's whole read
    // chunk (16 KiB): kept as it is, a firmware update's thousands of
    // acknowledgements would hold tens of megabytes. Keep its bytes only.
    if (entry.bytes.capacity() > 2 * entry.bytes.size() + 64)
        entry.bytes = QByteArray(entry.bytes.constData(), entry.bytes.size());
    if (m_ring.size() < kCapacity) {
        m_ring.append(std::move(entry));
    } else {
        m_ring[m_head] = std::move(entry);
        m_head = (m_head + 1) % kCapacity;
    }
    ++m_recorded;
    emit appended();
}

void TrafficLog::recordSent(const QByteArray &frame)
{
    Entry entry;
    entry.bytes = frame;
    append(std::move(entry));
}

void TrafficLog::recordReceived(const QByteArray &reply, Mark mark)
{
    Entry entry;
    entry.bytes = reply;
    entry.direction = Direction::Received;
    entry.mark = mark;
    append(std::move(entry));
}

void TrafficLog::recordTimeout(quint8 awaitedCommand, quint8 awaitedPhase)
{
    Entry entry;
    entry.direction = Direction::Timeout;
    entry.awaitedCommand = awaitedCommand;
    entry.awaitedPhase = awaitedPhase;
    append(std::move(entry));
}

void TrafficLog::recordNote(const QString &text)
{
    Entry entry;
    entry.direction = Direction::Note;
    entry.note = text;
    append(std::move(entry));
}

void TrafficLog::recordDiscarded(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    // Told apart the way reply assembly looks at them: a run that carries
    // its own checksum but is shorter than its command's layout, a run that
    // starts like a reply and is long enough but fails its checksum, and
    // anything else, which never became a frame.
    const int minimum = qMax(5, minimumReplyLength(commandOf(bytes)));
    Mark mark = Mark::Unframed;
    if (bytes.size() >= 3 && hasValidCrc(bytes) && bytes.size() < minimum)
        mark = Mark::TooShort;
    else if (byteAt(bytes, 0) == 0x56 && bytes.size() >= minimum && !hasValidCrc(bytes))
        mark = Mark::BadChecksum;
    recordReceived(bytes, mark);
}

void TrafficLog::clear()
{
    m_ring.clear();
    m_ring.squeeze();
    m_head = 0;
    m_recorded = 0;
    ++m_generation;
    emit cleared();
}

QString TrafficLog::timeText(const Entry &entry)
{
    return QDateTime::fromMSecsSinceEpoch(entry.msecsSinceEpoch).toString(QStringLiteral("hh:mm:ss.zzz"));
}

QString TrafficLog::directionText(const Entry &entry)
{
    switch (entry.direction) {
    case Direction::Sent:
        return tr("发送");
    case Direction::Received:
        return tr("接收");
    case Direction::Note:
        return tr("提示");
    case Direction::Timeout:
        break;
    }
    return tr("超时");
}

QString TrafficLog::commandText(const Entry &entry)
{
    if (entry.direction == Direction::Note)
        return QString();
    const QByteArray &bytes = entry.bytes;
    quint8 phase = entry.awaitedPhase;
    if (entry.direction == Direction::Sent)
        phase = UpdateFrame::packetPhase(bytes);
    if (phase == UpdateFrame::Start)
        return tr("固件开始包");
    if (phase == UpdateFrame::End)
        return tr("固件结束包");
    if (phase != 0)
        return tr("固件数据包");
    // A run of stray bytes has no command byte to name.
    if (entry.mark == Mark::Unframed && byteAt(bytes, 0) != 0x56)
        return QString();
    const quint8 code = entry.direction == Direction::Timeout ? entry.awaitedCommand : commandOf(bytes);
    QString name;
    switch (code) {
    case UpdateFrame::AckCommand:
        name = tr("固件应答");
        break;
    case Challenge:
        name = tr("连接校验");
        break;
    case WriteMain:
        name = tr("写配置");
        break;
    case ReadMain:
        name = tr("读配置");
        break;
    case WriteFilters:
        name = tr("写CAN滤波");
        break;
    case ReadFilters:
        name = tr("读CAN滤波");
        break;
    case ReadDeviceInfo:
        name = tr("读设备信息");
        break;
    case RestoreDefaults:
        name = tr("恢复默认值");
        break;
    case ReadModbus:
        name = tr("读Modbus");
        break;
    case WriteModbus:
        name = tr("写Modbus");
        break;
    case ReadRecvMapping:
        name = tr("读接收映射");
        break;
    case WriteRecvMapping:
        name = tr("写接收映射");
        break;
    case ReadSendMapping:
        name = tr("读发送映射");
        break;
    case WriteSendMapping:
        name = tr("写发送映射");
        break;
    default:
        name = tr("未知命令");
        break;
    }
    return name + QLatin1Char(' ') + codeText(code);
}

QString TrafficLog::markText(const Entry &entry)
{
    if (entry.direction == Direction::Note)
        return entry.note;
    if (entry.direction == Direction::Timeout)
        return tr("无应答");
    switch (entry.mark) {
    case Mark::None:
        break;
    case Mark::BadChecksum:
        return tr("校验错误，已丢弃");
    case Mark::TooShort:
        return tr("长度不足，已丢弃");
    case Mark::NotAwaited:
        return tr("非当前请求的应答");
    case Mark::Unframed:
        return tr("未成帧字节，已丢弃");
    }
    return QString();
}

QString TrafficLog::lengthText(const Entry &entry)
{
    return entry.direction == Direction::Note ? QString() : QString::number(entry.bytes.size());
}

QString TrafficLog::line(const Entry &entry)
{
    QString text = timeText(entry) + QLatin1Char('\t') + directionText(entry) + QLatin1Char('\t') +
                   commandText(entry) + QLatin1Char('\t') + lengthText(entry) + QLatin1Char('\t') +
                   hexDump(entry.bytes);
    const QString mark = markText(entry);
    if (!mark.isEmpty())
        text += QLatin1Char('\t') + mark;
    return text;
}
