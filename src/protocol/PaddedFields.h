#pragma once

#include "protocol/ByteFields.h"

#include <algorithm>
#include <cstring>

// Writers shared by the blocks, with the growth rules of putByte: most
// single-byte fields are followed by a 0x00, reserved runs go out as 0x00,
// and texts and data fields are copied whole rather than byte by byte.
namespace Protocol {

inline void putPadded(QByteArray &frame, int offset, quint8 value)
{
    putByte(frame, offset, value);
    putByte(frame, offset + 1, 0);
}

// As putByte for each of `count` bytes: the frame grows with 0x00 up to the
// end of the run; bytes at negative offsets are skipped.
inline void putBytes(QByteArray &frame, int offset, const char *bytes, int count)
{
    const int end = offset + count;
    if (count <= 0 || end <= 0)
        return;
    if (frame.size() < end)
        frame.append(end - frame.size(), '\0');
    const int skip = std::max(0, -offset);
    std::memcpy(frame.data() + offset + skip, bytes + skip, size_t(count - skip));
}

inline void putZeros(QByteArray &frame, int offset, int count)
{
    const int end = offset + count;
    if (count <= 0 || end <= 0)
        return;
    if (frame.size() < end)
        frame.append(end - frame.size(), '\0');
    const int begin = std::max(0, offset);
    std::memset(frame.data() + begin, 0, size_t(end - begin));
}

} // namespace Protocol
