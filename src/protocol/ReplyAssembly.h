#pragma once

#include <QByteArray>

// Cuts the byte stream from the device into replies. Frames carry no length
// field, so a reply ends where its own CRC holds.
namespace ReplyAssembly {

// The longest reply a device sends (the filter block is 353 bytes).
constexpr int kMaxReplyLength = 512;

// Length of the complete reply at the front of `buffer`, 0 if none yet.
// A buffer that ends with its own CRC is one reply. A late reply may have
// the next one glued behind it (a device answers back to back): then the
// shortest frame at the front that starts like a reply and ends with its
// own CRC is the first of them, and the rest stays for the next look. No
// candidate is shorter than its command byte's layout, so a reply that is
// still arriving is never cut at a chance CRC match inside it.
int completeReplyLength(const QByteArray &buffer);

} // namespace ReplyAssembly
