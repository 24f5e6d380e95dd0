#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace Protocol {

// One serial port's parameters: baud rate (4 bytes), then data bits, stop
// bits and parity code, each followed by a 0x00 (10 bytes).
struct SerialPortSlot
{
    static constexpr int kBaudRate = 0;
    static constexpr int kDataBits = 4;
    static constexpr int kStopBits = 6;
    static constexpr int kParity = 8;

    quint32 baudRate = 0;
    quint8 dataBits = 0;
    quint8 stopBits = 0;
    quint8 parity = 0; // list position: none, odd, even

    bool operator==(const SerialPortSlot &other) const;
    bool operator!=(const SerialPortSlot &other) const { return !(*this == other); }
};

// The serial block of the main-parameter frames: the RS232 slot at 3..12,
// the mode at 13, the RS485 / RS422 slot at 59..68 and eight reserved
// 0x00 at 69..76. Which slot a page's parameter group uses follows the mode.
struct SerialBlock
{
    static constexpr int kFirstSlotOffset = 3;
    static constexpr int kModeOffset = 13;
    static constexpr int kSecondSlotOffset = 59;
    static constexpr int kReservedOffset = 69;
    static constexpr int kReservedSize = 8;

    // Mode list positions: RS232, RS485, RS422, RS232+RS485, RS232+RS422.
    static constexpr int kModeRs232 = 0;
    static constexpr int kFirstDualMode = 3;

    quint8 mode = 0;
    SerialPortSlot first;
    SerialPortSlot second;

    // Two ports: the second group goes to the second slot. Any mode byte
    // from 3 up reads as one.
    static bool isDualMode(int mode) { return mode >= kFirstDualMode; }
    // Single RS485 / RS422 modes describe their port in the second slot.
    static bool singlePortInSecondSlot(int mode) { return mode > kModeRs232 && mode < kFirstDualMode; }

    void encode(QByteArray &frame) const;
    // Only the reserved run: with no mode chosen, neither the mode nor a
    // slot goes out.
    static void encodeReservedOnly(QByteArray &frame);
    static SerialBlock decode(const QByteArray &reply);

    bool operator==(const SerialBlock &other) const;
    bool operator!=(const SerialBlock &other) const { return !(*this == other); }
};

} // namespace Protocol
