#pragma once

#include <QByteArray>

// The connect handshake: the tool sends 16 random bytes (0x01 frame), the
// device answers them encrypted with SM4 (ECB) under a key both share.
namespace Handshake {

// Shared with the device firmware; devices and test tools rely on it.
QByteArray sharedKey();

// 16 bytes from the system's random source: a new challenge.
QByteArray newChallenge();

// The 16 bytes a device answers for `challenge` (its first 16 bytes, 0x00
// where it is shorter), encrypted under `key`.
QByteArray answer(const QByteArray &challenge, const QByteArray &key = sharedKey());

// Whether the 16 bytes at ConfigFrame::ChallengeOffset of `reply` (0x00
// past its end) decrypt under `key` to `challenge`, which must hold
// exactly 16 bytes. Keys are 16 bytes.
bool replyMatches(const QByteArray &reply, const QByteArray &challenge, const QByteArray &key = sharedKey());

} // namespace Handshake
