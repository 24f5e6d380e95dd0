#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace Protocol {

// The CAN block of the main-parameter frames, offsets 15..42: both
// bit-rate timing words (each followed by two 0x00), the send identifier,
// the protocol, acceleration, CAN FD standard and frame type positions,
// four reserved 0x00 and the end mark 0x99.
struct CanBlock
{
    static constexpr int kArbitrationOffset = 15;
    static constexpr int kDataOffset = 21;
    static constexpr int kIdOffset = 27;
    static constexpr int kProtocolOffset = 31;
    static constexpr int kAccelerationOffset = 33;
    static constexpr int kStandardOffset = 35;
    static constexpr int kFrameTypeOffset = 37;
    static constexpr int kReservedOffset = 38;
    static constexpr int kEndMarkOffset = 42;
    static constexpr quint8 kEndMark = 0x99;

    quint32 arbitrationWord = 0;
    quint32 dataWord = 0;
    quint32 sendId = 0;
    quint8 protocol = 0;     // list position: CAN, CANFD
    quint8 acceleration = 0; // list position: no, yes
    quint8 standard = 0;     // list position: ISO, Non-ISO
    quint8 frameType = 0;    // list position: standard, extended

    // 0 classic CAN, 1 CAN FD, 2 CAN FD with bit-rate switching.
    int canMode() const;

    void encode(QByteArray &frame) const;
    static CanBlock decode(const QByteArray &reply);

    bool operator==(const CanBlock &other) const;
    bool operator!=(const CanBlock &other) const { return !(*this == other); }
};

} // namespace Protocol
