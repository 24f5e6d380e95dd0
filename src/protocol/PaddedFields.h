#pragma once

#include "protocol/ByteFields.h"

// Writers shared by the blocks: most single-byte fields are followed by a
// 0x00, and reserved runs go out as 0x00.
namespace Protocol {

inline void putPadded(QByteArray &frame, int offset, quint8 value)
{
    putByte(frame, offset, value);
    putByte(frame, offset + 1, 0);
}

inline void putZeros(QByteArray &frame, int offset, int count)
{
    for (int i = offset; i < offset + count; ++i)
        putByte(frame, i, 0);
}

} // namespace Protocol
