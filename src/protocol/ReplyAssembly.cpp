#include "protocol/ReplyAssembly.h"

#include "protocol/ByteFields.h"
#include "protocol/ConfigFrame.h"
#include "protocol/Crc16.h"

#include <QtGlobal>

namespace ReplyAssembly {

int completeReplyLength(const QByteArray &buffer)
{
    const int size = buffer.size();
    if (size < 3)
        return 0;
    const int minimum = qMax(5, ConfigFrame::minimumReplyLength(byteAt(buffer, 2)));
    if (ConfigFrame::hasValidCrc(buffer))
        return size >= minimum ? size : 0;
    if (byteAt(buffer, 0) != 0x56)
        return 0;
    quint16 crc = 0xFFFF;
    const int longest = qMin(size - 1, kMaxReplyLength);
    for (int n = 0; n + 2 <= longest; ++n) {
        crc = crc16Modbus(buffer.constData() + n, 1, crc);
        const int length = n + 3;
        if (length >= minimum && byteAt(buffer, n + 1) == (crc & 0xFF) && byteAt(buffer, n + 2) == (crc >> 8))
            return length;
    }
    return 0;
}

} // namespace ReplyAssembly
