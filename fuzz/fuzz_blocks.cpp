// Arbitrary bytes as a reply of every kind, without any widget: the reply
// assembly must find a length inside the buffer, and every block decoded
// from the bytes must come back unchanged through encode, decode and
// encode again, so that a page writing back what it read sends what the
// device holds.
#include "protocol/DeviceInfo.h"
#include "protocol/FilterTable.h"
#include "protocol/MainParams.h"
#include "protocol/ModbusBlock.h"
#include "protocol/RecvMapping.h"
#include "protocol/ReplyAssembly.h"
#include "protocol/SendMapping.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_blocks: %s\n", what);
    std::abort();
}

// The reply's header in a frame kept from run to run, with room for the
// longest block: encoding then neither allocates nor reallocates.
QByteArray &headerOf(const QByteArray &reply, int which)
{
    static QByteArray frames[2];
    QByteArray &frame = frames[which];
    if (frame.capacity() < ReplyAssembly::kMaxReplyLength)
        frame.reserve(ReplyAssembly::kMaxReplyLength);
    frame.resize(0);
    frame.append(reply.constData(), qMin(3, reply.size()));
    return frame;
}

template <class Block> void roundTrip(const QByteArray &reply, const char *name)
{
    const Block decoded = Block::decode(reply);
    QByteArray &first = headerOf(reply, 0);
    decoded.encode(first);
    const Block again = Block::decode(first);
    QByteArray &second = headerOf(reply, 1);
    again.encode(second);
    if (again != decoded)
        fail(name);
    if (first != second)
        fail(name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Replies are at most a few hundred bytes.
    if (size > 1024)
        return 0;
    const QByteArray reply(reinterpret_cast<const char *>(data), static_cast<int>(size));

    const int length = ReplyAssembly::completeReplyLength(reply);
    if (length < 0 || length > reply.size() || (length > 0 && length < 5))
        fail("reply length outside the buffer");

    using namespace Protocol;
    roundTrip<SerialBlock>(reply, "serial block");
    roundTrip<CanBlock>(reply, "CAN block");
    roundTrip<ConversionBlock>(reply, "conversion block");
    roundTrip<MainParams>(reply, "main parameters");
    roundTrip<FilterTable>(reply, "filter table");
    roundTrip<ModbusBlock>(reply, "Modbus block");
    roundTrip<SendMapping>(reply, "send mapping");
    roundTrip<RecvMapping>(reply, "receive mapping");
    roundTrip<DeviceInfo>(reply, "device information");
    return 0;
}
