#include "protocol/SendMapping.h"

#include <tuple>

namespace Protocol {

bool SendRecord::operator==(const SendRecord &o) const
{
    return std::tie(enabled, canId, address, flags, length) ==
           std::tie(o.enabled, o.canId, o.address, o.flags, o.length);
}

void SendMapping::encode(QByteArray &frame) const
{
    MappingSlots::encode(frame, records, kRecordSize, kBlockSize,
                         [](QByteArray &out, int offset, const SendRecord &record) {
                             putByte(out, offset + kFlags, record.flags);
                             putByte(out, offset + kLength, record.length);
                         });
}

SendMapping SendMapping::decode(const QByteArray &reply)
{
    return {MappingSlots::decode<SendRecord>(reply, kRecordSize,
                                             [](const QByteArray &in, int offset, SendRecord &record) {
                                                 record.flags = byteAt(in, offset + kFlags);
                                                 record.length = byteAt(in, offset + kLength);
                                             })};
}

} // namespace Protocol
