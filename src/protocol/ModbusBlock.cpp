#include "protocol/ModbusBlock.h"

#include "protocol/PaddedFields.h"

#include <tuple>

namespace Protocol {

void ModbusBlock::encode(QByteArray &frame) const
{
    putByte(frame, kAddressOffset, address);
    putByte(frame, kHeartbeatOffset, heartbeat);
    putBe16(frame, kIntervalOffset, interval);
    putByte(frame, kFlagsOffset, byteAt(frame, kFlagsOffset) | flags);
    putByte(frame, kLengthOffset, length);
    putBe32(frame, kCanIdOffset, canId);
    putBytes(frame, kDataOffset, reinterpret_cast<const char *>(data.data()), kMaxDataLength);
    putZeros(frame, kReservedOffset, kReservedSize);
}

ModbusBlock ModbusBlock::decode(const QByteArray &reply)
{
    ModbusBlock block;
    block.address = byteAt(reply, kAddressOffset);
    block.heartbeat = byteAt(reply, kHeartbeatOffset);
    block.interval = be16At(reply, kIntervalOffset);
    block.flags = byteAt(reply, kFlagsOffset);
    block.length = byteAt(reply, kLengthOffset);
    block.canId = be32At(reply, kCanIdOffset);
    for (int i = 0; i < kMaxDataLength; ++i)
        block.data[i] = byteAt(reply, kDataOffset + i);
    return block;
}

bool ModbusBlock::operator==(const ModbusBlock &o) const
{
    return std::tie(address, heartbeat, interval, flags, length, canId, data) ==
           std::tie(o.address, o.heartbeat, o.interval, o.flags, o.length, o.canId, o.data);
}

} // namespace Protocol
