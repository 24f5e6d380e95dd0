#include "protocol/UpdateFrame.h"

#include "protocol/ByteFields.h"
#include "protocol/Crc16.h"

namespace UpdateFrame {

QByteArray envelope(quint8 phase, const QByteArray &payload)
{
    QByteArray frame;
    frame.reserve(payload.size() + 6);
    frame.append(char(StartByte));
    frame.append(static_cast<char>(phase));
    putBe16(frame, 2, static_cast<quint16>(payload.size()));
    frame.append(payload);
    const quint16 crc = crc16Modbus(frame);
    frame.append(static_cast<char>(crc >> 8));
    frame.append(static_cast<char>(crc & 0xFF));
    return frame;
}

Ack ack(const QByteArray &reply)
{
    constexpr int kStatusOffset = 4;
    return {byteAt(reply, PhaseOffset), byteAt(reply, kStatusOffset)};
}

quint8 packetPhase(const QByteArray &packet)
{
    return byteAt(packet, 0) == StartByte ? byteAt(packet, PhaseOffset) : 0;
}

QByteArray startPacket(quint32 paddedLength)
{
    QByteArray payload(10, '\0');
    putBe32(payload, 1, paddedLength);
    return envelope(Start, payload);
}

QByteArray dataPacket(quint32 index, const QByteArray &block)
{
    QByteArray payload(10 + BlockSize, '\0');
    putBe32(payload, 6, index);
    payload.replace(10, qMin(block.size(), BlockSize), block.left(BlockSize));
    return envelope(Data, payload);
}

QByteArray endPacket(quint16 imageCrc)
{
    QByteArray payload(10, '\0');
    putBe16(payload, 0, imageCrc);
    return envelope(End, payload);
}

quint32 blockCount(qint64 size)
{
    return size <= 0 ? 0 : static_cast<quint32>((size + BlockSize - 1) / BlockSize);
}

quint32 paddedLength(qint64 size)
{
    return blockCount(size) * BlockSize;
}

QByteArray block(const QByteArray &image, quint32 index)
{
    QByteArray b = image.mid(static_cast<int>(index) * BlockSize, BlockSize);
    if (b.size() < BlockSize)
        b.append(QByteArray(BlockSize - b.size(), '\0'));
    return b;
}

} // namespace UpdateFrame
