#include "protocol/ConfigFrame.h"

#include "protocol/ByteFields.h"
#include "protocol/Crc16.h"

namespace ConfigFrame {

QByteArray header(quint8 command)
{
    QByteArray frame;
    frame.reserve(requestLength(command));
    frame.append(char(0x56));
    frame.append(char(0xAA));
    frame.append(static_cast<char>(command));
    return frame;
}

quint8 commandOf(const QByteArray &frame)
{
    return byteAt(frame, CommandOffset);
}

void appendCrc(QByteArray &frame)
{
    const quint16 crc = crc16Modbus(frame);
    frame.append(static_cast<char>(crc & 0xFF));
    frame.append(static_cast<char>(crc >> 8));
}

bool hasValidCrc(const QByteArray &frame)
{
    if (frame.size() < 2)
        return false;
    const int n = frame.size() - 2;
    const quint16 crc = crc16Modbus(frame.constData(), n);
    return static_cast<quint8>(frame.at(n)) == (crc & 0xFF) &&
           static_cast<quint8>(frame.at(n + 1)) == (crc >> 8);
}

bool isConfigurationRead(quint8 command)
{
    switch (command) {
    case ReadMain:
    case ReadFilters:
    case ReadModbus:
    case ReadSendMapping:
    case ReadRecvMapping:
        return true;
    default:
        return false;
    }
}

bool isReadRequest(quint8 command)
{
    switch (command) {
    case ReadMain:
    case ReadFilters:
    case ReadDeviceInfo:
    case RestoreDefaults:
    case ReadModbus:
    case ReadRecvMapping:
    case ReadSendMapping:
        return true;
    default:
        return false;
    }
}

QByteArray readRequest(quint8 command)
{
    QByteArray frame = header(command);
    frame.append('\0');
    appendCrc(frame);
    return frame;
}

QByteArray challengeRequest(const QByteArray &challenge)
{
    QByteArray frame = header(Challenge);
    frame.append('\0');
    frame.append(char(0x01));
    frame.append(challenge.left(ChallengeSize));
    if (frame.size() < ChallengeOffset + ChallengeSize)
        frame.append(QByteArray(ChallengeOffset + ChallengeSize - frame.size(), '\0'));
    appendCrc(frame);
    return frame;
}

int requestLength(quint8 command)
{
    switch (command) {
    case Challenge:
        return 23;
    case WriteMain:
        return 79;
    case WriteFilters:
        return 353;
    case WriteModbus:
        return 87;
    case WriteRecvMapping:
        return 265;
    case WriteSendMapping:
        return 301;
    default:
        return isReadRequest(command) ? 6 : 5;
    }
}

int minimumReplyLength(quint8 command)
{
    switch (command) {
    case 0x00: // firmware acknowledgement: phase at 1, status at 4
        return 7;
    case Challenge:
        return 23;
    case ReadMain:
        return 79;
    case ReadFilters:
        return 353;
    case ReadDeviceInfo:
        return 60;
    case ReadModbus:
        return 87;
    case ReadRecvMapping:
        return 265;
    case ReadSendMapping:
        return 301;
    default:
        return 0;
    }
}

} // namespace ConfigFrame
