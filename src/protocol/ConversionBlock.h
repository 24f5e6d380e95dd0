#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace Protocol {

// The conversion block of the main-parameter frames (0x02 write, 0x03
// reply), offsets 43..58: how the serial stream and the CAN frames map
// onto each other. Every byte field is followed by a 0x00.
struct ConversionBlock
{
    static constexpr int kModeOffset = 43;
    static constexpr int kDirectionOffset = 45;
    static constexpr int kSerialIntervalOffset = 47;
    static constexpr int kForwardInfoOffset = 49;
    static constexpr int kForwardIdOffset = 51;
    static constexpr int kIdLengthOffset = 53;
    static constexpr int kStartOffsetOffset = 55;
    static constexpr int kCanIntervalOffset = 57;

    // Mode numbers: the mode list position + 1.
    static constexpr quint8 kModeModbus = 4;
    static constexpr quint8 kModeModbusSlave = 5;

    quint8 mode = 0;
    quint8 direction = 0; // list position: both ways, serial to CAN, CAN to serial
    quint16 serialInterval = 0;
    bool forwardInfo = false; // sent as 1 / 0; any other byte reads as set
    bool forwardId = false;
    quint8 idLength = 0;
    quint8 startOffset = 0;
    quint16 canInterval = 0;

    // The Modbus modes need the Modbus and mapping frames written too.
    bool usesModbus() const { return mode == kModeModbus || mode == kModeModbusSlave; }

    void encode(QByteArray &frame) const;
    static ConversionBlock decode(const QByteArray &reply);

    bool operator==(const ConversionBlock &other) const;
    bool operator!=(const ConversionBlock &other) const { return !(*this == other); }
};

} // namespace Protocol
