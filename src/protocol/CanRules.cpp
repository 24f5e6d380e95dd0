#include "protocol/CanRules.h"

namespace Protocol {

quint8 sendLengthByte(int index)
{
    return index >= 0 && index < kSendLengthCount ? kSendLengths[index] : 0;
}

int sendLengthIndex(quint8 length)
{
    for (int i = 0; i < kSendLengthCount; ++i) {
        if (kSendLengths[i] == length)
            return i;
    }
    return -1;
}

int sendLengthNumber(int index)
{
    const quint8 length = sendLengthByte(index);
    return length == kDynamicLength ? 0 : length;
}

quint8 protocolFlags(int protocol)
{
    switch (protocol) {
    case ProtocolCanFd:
        return kFlagFd;
    case ProtocolCanFdBrs:
        return kFlagFd | kFlagBitRateSwitch;
    default:
        return 0;
    }
}

int protocolOf(quint8 flags)
{
    if (!(flags & kFlagFd))
        return ProtocolCan;
    return flags & kFlagBitRateSwitch ? ProtocolCanFdBrs : ProtocolCanFd;
}

int canModeOf(int protocol, int acceleration)
{
    if (protocol == 0)
        return ModeClassic;
    return acceleration != 0 ? ModeFdBrs : ModeFd;
}

bool protocolAllowed(int protocol, int mode)
{
    return mode == ModeClassic ? protocol == ProtocolCan : mode != ModeFd || protocol != ProtocolCanFdBrs;
}

bool lengthAllowed(int protocol, int bytes)
{
    return protocol != ProtocolCan || bytes <= kClassicMaxLength;
}

bool countAllowed(int index, int mode)
{
    return mode != ModeClassic || index < kClassicMaxRegisters;
}

} // namespace Protocol
