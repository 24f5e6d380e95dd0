#include "protocol/ConversionBlock.h"

#include "protocol/PaddedFields.h"

#include <tuple>

namespace Protocol {

void ConversionBlock::encode(QByteArray &frame) const
{
    putPadded(frame, kModeOffset, mode);
    putPadded(frame, kDirectionOffset, direction);
    putBe16(frame, kSerialIntervalOffset, serialInterval);
    putPadded(frame, kForwardInfoOffset, forwardInfo ? 1 : 0);
    putPadded(frame, kForwardIdOffset, forwardId ? 1 : 0);
    putPadded(frame, kIdLengthOffset, idLength);
    putBe16(frame, kCanIntervalOffset, canInterval);
    putPadded(frame, kStartOffsetOffset, startOffset);
}

ConversionBlock ConversionBlock::decode(const QByteArray &reply)
{
    ConversionBlock block;
    block.mode = byteAt(reply, kModeOffset);
    block.direction = byteAt(reply, kDirectionOffset);
    block.serialInterval = be16At(reply, kSerialIntervalOffset);
    block.forwardInfo = byteAt(reply, kForwardInfoOffset) != 0;
    block.forwardId = byteAt(reply, kForwardIdOffset) != 0;
    block.idLength = byteAt(reply, kIdLengthOffset);
    block.startOffset = byteAt(reply, kStartOffsetOffset);
    block.canInterval = be16At(reply, kCanIntervalOffset);
    return block;
}

bool ConversionBlock::operator==(const ConversionBlock &o) const
{
    return std::tie(mode, direction, serialInterval, forwardInfo, forwardId, idLength, startOffset,
                    canInterval) == std::tie(o.mode, o.direction, o.serialInterval, o.forwardInfo,
                                             o.forwardId, o.idLength, o.startOffset, o.canInterval);
}

} // namespace Protocol
