#pragma once

#include <QByteArray>
#include <QtGlobal>

// Firmware packets: 0x57, phase, 16-bit big-endian payload length, payload,
// CRC-16/MODBUS over everything before it, HIGH byte first (unlike the
// configuration frames and every reply, which carry it low byte first).
namespace UpdateFrame {

enum Phase : quint8
{
    Start = 0x01,
    Data = 0x02,
    End = 0x03
};

constexpr int BlockSize = 256;

// The first byte of every packet, and where the phase stands.
constexpr quint8 StartByte = 0x57;
constexpr int PhaseOffset = 1;

// The device acknowledges a packet with a reply (a configuration frame
// with command byte 0x00, CRC low byte first) naming the phase it answers
// at offset 1 and its verdict at offset 4.
constexpr quint8 AckCommand = 0x00;
enum AckStatus : quint8
{
    Accepted = 0x00,
    Refused = 0x01
};

struct Ack
{
    quint8 phase = 0;
    quint8 status = 0; // Accepted, Refused, or a value neither names
};

Ack ack(const QByteArray &reply);
// The phase of a packet the tool sends (0 for anything that is not one).
quint8 packetPhase(const QByteArray &packet);

QByteArray envelope(quint8 phase, const QByteArray &payload);

// 57 01 00 0A | 00, L (4 bytes BE), five 00 | CRC hi, lo  (16 bytes)
QByteArray startPacket(quint32 paddedLength);
// 57 02 01 0A | six 00, index (4 bytes BE), 256 block bytes | CRC hi, lo  (272 bytes)
// A block shorter than 256 bytes is padded with 0x00.
QByteArray dataPacket(quint32 index, const QByteArray &block);
// 57 03 00 0A | image CRC hi, lo, eight 00 | CRC hi, lo  (16 bytes)
QByteArray endPacket(quint16 imageCrc);

// Block count and padded length of an image of `size` bytes.
quint32 blockCount(qint64 size);
quint32 paddedLength(qint64 size);
// Block i of the image, zero-padded to 256 bytes.
QByteArray block(const QByteArray &image, quint32 index);

} // namespace UpdateFrame
