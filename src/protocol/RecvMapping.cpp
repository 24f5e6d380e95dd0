#include "protocol/RecvMapping.h"

#include "protocol/PaddedFields.h"

#include <tuple>

namespace Protocol {

bool RecvRecord::operator==(const RecvRecord &o) const
{
    return std::tie(enabled, canId, address, count) == std::tie(o.enabled, o.canId, o.address, o.count);
}

void RecvMapping::encode(QByteArray &frame) const
{
    putZeros(frame, kRecordsOffset, kBlockSize);
    for (int i = 0; i < qMin(records.size(), kMaxRecords); ++i) {
        const int offset = kRecordsOffset + kRecordSize * i;
        const RecvRecord &record = records.at(i);
        putByte(frame, offset, record.enabled ? 1 : 0);
        putBe32(frame, offset + 1, record.canId);
        putBe16(frame, offset + 5, record.address);
        putByte(frame, offset + 7, record.count);
    }
}

RecvMapping RecvMapping::decode(const QByteArray &reply)
{
    RecvMapping mapping;
    for (int i = 0; i < kMaxRecords; ++i) {
        const int offset = kRecordsOffset + kRecordSize * i;
        if (reply.size() < offset + kRecordSize || byteAt(reply, offset) == 0)
            break;
        mapping.records.append(
            {true, be32At(reply, offset + 1), be16At(reply, offset + 5), byteAt(reply, offset + 7)});
    }
    return mapping;
}

} // namespace Protocol
