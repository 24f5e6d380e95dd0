#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

namespace Protocol {

// The Modbus frames (0x21 write, 0x20 reply): the converter's slave address
// and the heartbeat it sends on the CAN side. Address at 3, heartbeat
// switch at 4, interval at 5..6, flags at 7 (CanRules' bits), data length
// at 8, identifier at 9..12, 64 data bytes at 13..76 and eight reserved
// 0x00 at 77..84.
struct ModbusBlock
{
    static constexpr int kAddressOffset = 3;
    static constexpr int kHeartbeatOffset = 4;
    static constexpr int kIntervalOffset = 5;
    static constexpr int kFlagsOffset = 7;
    static constexpr int kLengthOffset = 8;
    static constexpr int kCanIdOffset = 9;
    static constexpr int kDataOffset = 13;
    static constexpr int kMaxDataLength = 64;
    static constexpr int kReservedOffset = kDataOffset + kMaxDataLength;
    static constexpr int kReservedSize = 8;

    // The data lengths the heartbeat offers, in list order: those a CAN FD
    // frame can carry.
    static constexpr quint8 kLengths[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 12, 16, 20, 24, 32, 48, 64};
    static constexpr int kLengthCount = int(sizeof kLengths);
    // Data bytes of a length list position; no entry (-1) counts as 0.
    static int lengthAt(int index) { return index >= 0 && index < kLengthCount ? kLengths[index] : 0; }
    // List position of a data length, -1 when the list has none.
    static constexpr int lengthIndex(int length)
    {
        for (int i = 0; i < kLengthCount; ++i) {
            if (kLengths[i] == length)
                return i;
        }
        return -1;
    }

    quint8 address = 0;
    quint8 heartbeat = 0; // list position: off, on
    quint16 interval = 0;
    quint8 flags = 0;
    quint8 length = 0; // data bytes the heartbeat carries
    quint32 canId = 0;
    std::array<quint8, kMaxDataLength> data{}; // the whole field, also past `length`

    // The flags are ORed into the byte already at offset 7 (0x00 in a
    // frame that holds only its header).
    void encode(QByteArray &frame) const;
    static ModbusBlock decode(const QByteArray &reply);

    bool operator==(const ModbusBlock &other) const;
    bool operator!=(const ModbusBlock &other) const { return !(*this == other); }
};

} // namespace Protocol
