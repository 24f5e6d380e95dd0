#pragma once

#include "protocol/MappingSlots.h"

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

namespace Protocol {

// One receive mapping: CAN frames with this identifier fill `count`
// Modbus registers from `address` on. Enable byte, identifier, register
// address, count (8 bytes).
struct RecvRecord
{
    bool enabled = true; // sent as 1 / 0; a 0 ends the list on reading
    quint32 canId = 0;
    quint16 address = 0;
    quint8 count = 0;

    bool operator==(const RecvRecord &other) const;
    bool operator!=(const RecvRecord &other) const { return !(*this == other); }
};

// The receive mapping frames (0x23 write, 0x22 reply): 32 record slots
// from offset 3 on and four reserved bytes, all 0x00 where no record is.
struct RecvMapping
{
    static constexpr int kRecordsOffset = MappingSlots::kRecordsOffset;
    // Offsets within a record, behind the enable byte (0), the identifier
    // (1..4) and the register address (5..6).
    static constexpr int kCount = 7;
    static constexpr int kRecordSize = 8;
    static constexpr int kMaxRecords = MappingSlots::kMaxRecords;
    static constexpr int kBlockSize = kMaxRecords * kRecordSize + 4;

    QVector<RecvRecord> records;

    // Clears the whole block, then writes the first 32 records.
    void encode(QByteArray &frame) const;
    // Records up to the first slot whose enable byte is 0 or that the
    // reply does not hold whole.
    static RecvMapping decode(const QByteArray &reply);

    bool operator==(const RecvMapping &other) const { return records == other.records; }
    bool operator!=(const RecvMapping &other) const { return !(*this == other); }
};

} // namespace Protocol
