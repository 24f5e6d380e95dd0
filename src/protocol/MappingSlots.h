#pragma once

#include "protocol/PaddedFields.h"

#include <QVector>

// The slot layout both mapping tables share: 32 records of a fixed size
// from offset 3 on, reserved bytes behind them, all 0x00 where no record
// is. Every record starts with its enable byte, the CAN identifier and the
// register address; the first slot whose enable byte is 0, or that a reply
// does not hold whole, ends the list.
namespace Protocol::MappingSlots {

constexpr int kRecordsOffset = 3;
constexpr int kMaxRecords = 32;

// Offsets within a record.
constexpr int kEnable = 0;
constexpr int kCanId = 1;
constexpr int kAddress = 5;

// Clears `blockSize` bytes from the first slot on, then writes the first
// 32 records; `writeRest(frame, offset, record)` adds what follows the
// address.
template <class Record, class WriteRest>
void encode(QByteArray &frame, const QVector<Record> &records, int recordSize, int blockSize,
            WriteRest writeRest)
{
    putZeros(frame, kRecordsOffset, blockSize);
    for (int i = 0; i < qMin(records.size(), kMaxRecords); ++i) {
        const int offset = kRecordsOffset + recordSize * i;
        const Record &record = records.at(i);
        putByte(frame, offset + kEnable, record.enabled ? 1 : 0);
        putBe32(frame, offset + kCanId, record.canId);
        putBe16(frame, offset + kAddress, record.address);
        writeRest(frame, offset, record);
    }
}

// `readRest(reply, offset, record)` fills what follows the address.
template <class Record, class ReadRest>
QVector<Record> decode(const QByteArray &reply, int recordSize, ReadRest readRest)
{
    QVector<Record> records;
    for (int i = 0; i < kMaxRecords; ++i) {
        const int offset = kRecordsOffset + recordSize * i;
        if (reply.size() < offset + recordSize || byteAt(reply, offset + kEnable) == 0)
            break;
        Record record;
        record.enabled = true;
        record.canId = be32At(reply, offset + kCanId);
        record.address = be16At(reply, offset + kAddress);
        readRest(reply, offset, record);
        records.append(record);
    }
    return records;
}

} // namespace Protocol::MappingSlots
