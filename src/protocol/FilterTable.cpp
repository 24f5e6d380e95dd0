#include "protocol/FilterTable.h"

#include "protocol/PaddedFields.h"

#include <algorithm>
#include <tuple>

namespace Protocol {

namespace {

constexpr int kCrcSize = 2;

} // namespace

bool FilterRecord::operator==(const FilterRecord &o) const
{
    return std::tie(frameType, filterType, id1, id2) == std::tie(o.frameType, o.filterType, o.id1, o.id2);
}

int FilterTable::announcedCount(const QByteArray &reply)
{
    return byteAt(reply, kCountOffset);
}

void FilterTable::encode(QByteArray &frame) const
{
    putPadded(frame, kEnableOffset, enabled ? 1 : 0);
    putPadded(frame, kCountOffset, quint8(records.size()));
    for (int i = 0; i < records.size(); ++i) {
        const int base = kFirstRecordOffset + kRecordSize * i;
        const FilterRecord &record = records.at(i);
        putByte(frame, base + kFrameType, record.frameType);
        putByte(frame, base + kFilterType, record.filterType);
        putBe16(frame, base + kReserved, 0);
        putBe32(frame, base + kId1, record.id1);
        putBe32(frame, base + kId2, record.id2);
    }
    for (int i = 0; i < kTrailerSize; ++i)
        putByte(frame, kTrailerOffset + i, kTrailerByte);
}

FilterTable FilterTable::decode(const QByteArray &reply)
{
    FilterTable table;
    table.enabled = byteAt(reply, kEnableOffset) != 0;
    const int inReply = std::max(0, (reply.size() - kCrcSize - kFirstRecordOffset) / kRecordSize);
    const int count = std::min({announcedCount(reply), kMaxRecords, inReply});
    table.records.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int base = kFirstRecordOffset + kRecordSize * i;
        table.records.append({byteAt(reply, base + kFrameType), byteAt(reply, base + kFilterType),
                              be32At(reply, base + kId1), be32At(reply, base + kId2)});
    }
    return table;
}

bool FilterTable::operator==(const FilterTable &o) const
{
    return enabled == o.enabled && records == o.records;
}

} // namespace Protocol
