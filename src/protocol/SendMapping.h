#pragma once

#include "protocol/MappingSlots.h"

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

namespace Protocol {

// One send mapping: a CAN frame the converter sends with the value of a
// Modbus register. Enable byte, identifier, register address, flags
// (CanRules' bits), length byte (CanRules' send lengths) (9 bytes).
struct SendRecord
{
    bool enabled = true; // sent as 1 / 0; a 0 ends the list on reading
    quint32 canId = 0;
    quint16 address = 0;
    quint8 flags = 0;
    quint8 length = 0;

    bool operator==(const SendRecord &other) const;
    bool operator!=(const SendRecord &other) const { return !(*this == other); }
};

// The send mapping frames (0x25 write, 0x24 reply): 32 record slots from
// offset 3 on and eight reserved bytes, all 0x00 where no record is.
struct SendMapping
{
    static constexpr int kRecordsOffset = MappingSlots::kRecordsOffset;
    // Offsets within a record, behind the enable byte (0), the identifier
    // (1..4) and the register address (5..6).
    static constexpr int kFlags = 7;
    static constexpr int kLength = 8;
    static constexpr int kRecordSize = 9;
    static constexpr int kMaxRecords = MappingSlots::kMaxRecords;
    static constexpr int kBlockSize = kMaxRecords * kRecordSize + 8;

    QVector<SendRecord> records;

    // Clears the whole block, then writes the first 32 records.
    void encode(QByteArray &frame) const;
    // Records up to the first slot whose enable byte is 0 or that the
    // reply does not hold whole.
    static SendMapping decode(const QByteArray &reply);

    bool operator==(const SendMapping &other) const { return records == other.records; }
    bool operator!=(const SendMapping &other) const { return !(*this == other); }
};

} // namespace Protocol
