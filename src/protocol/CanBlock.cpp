#include "protocol/CanBlock.h"

#include "protocol/CanRules.h"
#include "protocol/PaddedFields.h"

#include <tuple>

namespace Protocol {

int CanBlock::canMode() const
{
    return canModeOf(protocol, acceleration);
}

void CanBlock::encode(QByteArray &frame) const
{
    putBe32(frame, kArbitrationOffset, arbitrationWord);
    putBe16(frame, kArbitrationOffset + 4, 0);
    putBe32(frame, kDataOffset, dataWord);
    putBe16(frame, kDataOffset + 4, 0);
    putBe32(frame, kIdOffset, sendId);
    putPadded(frame, kProtocolOffset, protocol);
    putPadded(frame, kAccelerationOffset, acceleration);
    putPadded(frame, kStandardOffset, standard);
    putByte(frame, kFrameTypeOffset, frameType);
    putBe32(frame, kReservedOffset, 0);
    putByte(frame, kEndMarkOffset, kEndMark);
}

CanBlock CanBlock::decode(const QByteArray &reply)
{
    CanBlock block;
    block.arbitrationWord = be32At(reply, kArbitrationOffset);
    block.dataWord = be32At(reply, kDataOffset);
    block.sendId = be32At(reply, kIdOffset);
    block.protocol = byteAt(reply, kProtocolOffset);
    block.acceleration = byteAt(reply, kAccelerationOffset);
    block.standard = byteAt(reply, kStandardOffset);
    block.frameType = byteAt(reply, kFrameTypeOffset);
    return block;
}

bool CanBlock::operator==(const CanBlock &o) const
{
    return std::tie(arbitrationWord, dataWord, sendId, protocol, acceleration, standard, frameType) ==
           std::tie(o.arbitrationWord, o.dataWord, o.sendId, o.protocol, o.acceleration, o.standard,
                    o.frameType);
}

} // namespace Protocol
