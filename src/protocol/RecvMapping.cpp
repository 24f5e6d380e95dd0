#include "protocol/RecvMapping.h"

#include <tuple>

namespace Protocol {

bool RecvRecord::operator==(const RecvRecord &o) const
{
    return std::tie(enabled, canId, address, count) == std::tie(o.enabled, o.canId, o.address, o.count);
}

void RecvMapping::encode(QByteArray &frame) const
{
    MappingSlots::encode(frame, records, kRecordSize, kBlockSize,
                         [](QByteArray &out, int offset, const RecvRecord &record) {
                             putByte(out, offset + kCount, record.count);
                         });
}

RecvMapping RecvMapping::decode(const QByteArray &reply)
{
    return {MappingSlots::decode<RecvRecord>(reply, kRecordSize,
                                             [](const QByteArray &in, int offset, RecvRecord &record) {
                                                 record.count = byteAt(in, offset + kCount);
                                             })};
}

} // namespace Protocol
