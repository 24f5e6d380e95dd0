#pragma once

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

namespace Protocol {

// One acceptance filter: frame type and filter type positions, two 0x00,
// then both identifiers (12 bytes).
struct FilterRecord
{
    quint8 frameType = 0;  // list position: standard, extended
    quint8 filterType = 0; // list position: exact, range, mask
    quint32 id1 = 0;
    quint32 id2 = 0;

    bool operator==(const FilterRecord &other) const;
    bool operator!=(const FilterRecord &other) const { return !(*this == other); }
};

// The acceptance filter frames (0x04 write, 0x05 reply): the filter switch
// at 3, the record count at 5 (each followed by a 0x00), the records from 7
// on, and eight 0xFF at 343..350. The frame has room for 28 records before
// those; a 29th would overwrite them and grow the frame, so a reply gives
// at most 28.
struct FilterTable
{
    static constexpr int kEnableOffset = 3;
    static constexpr int kCountOffset = 5;
    static constexpr int kFirstRecordOffset = 7;
    static constexpr int kRecordSize = 12;
    // Offsets within a record.
    static constexpr int kFrameType = 0;
    static constexpr int kFilterType = 1;
    static constexpr int kReserved = 2; // two 0x00
    static constexpr int kId1 = 4;
    static constexpr int kId2 = 8;
    static constexpr int kTrailerOffset = 343;
    static constexpr int kTrailerSize = 8;
    static constexpr quint8 kTrailerByte = 0xFF;
    static constexpr int kMaxRecords = 28;

    bool enabled = false; // sent as 1 / 0; any other byte reads as on
    QVector<FilterRecord> records;

    // The count the reply announces, which may be more than decode() gives.
    static int announcedCount(const QByteArray &reply);

    // Writes every record, also past the 28th (the caller keeps to the limit).
    void encode(QByteArray &frame) const;
    // Records end at the announced count, at 28, and where the reply's
    // payload (all but its 2-byte CRC) ends, whichever comes first.
    static FilterTable decode(const QByteArray &reply);

    bool operator==(const FilterTable &other) const;
    bool operator!=(const FilterTable &other) const { return !(*this == other); }
};

} // namespace Protocol
