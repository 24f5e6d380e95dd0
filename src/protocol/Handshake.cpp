#include "protocol/Handshake.h"

#include "protocol/ByteFields.h"
#include "protocol/ConfigFrame.h"
#include "protocol/Sm4.h"

#include <QRandomGenerator>

namespace Handshake {

using ConfigFrame::ChallengeOffset;
using ConfigFrame::ChallengeSize;

QByteArray sharedKey()
{
    return QByteArrayLiteral("MvTarvine-SM4Key");
}

QByteArray answer(const QByteArray &challenge, const QByteArray &key)
{
    unsigned char plain[ChallengeSize];
    unsigned char cipher[ChallengeSize];
    for (int i = 0; i < ChallengeSize; ++i)
        plain[i] = byteAt(challenge, i);
    sm4_context ctx;
    sm4_setkey_enc(&ctx, reinterpret_cast<const unsigned char *>(key.constData()));
    sm4_crypt_ecb(&ctx, SM4_ENCRYPT, ChallengeSize, plain, cipher);
    return QByteArray(reinterpret_cast<const char *>(cipher), ChallengeSize);
}

QByteArray newChallenge()
{
    QByteArray challenge(ChallengeSize, '\0');
    QRandomGenerator *random = QRandomGenerator::system();
    for (int i = 0; i < ChallengeSize; ++i)
        challenge[i] = static_cast<char>(random->generate() & 0xFF);
    return challenge;
}

bool replyMatches(const QByteArray &reply, const QByteArray &challenge, const QByteArray &key)
{
    unsigned char cipher[ChallengeSize];
    unsigned char plain[ChallengeSize];
    for (int i = 0; i < ChallengeSize; ++i)
        cipher[i] = byteAt(reply, ChallengeOffset + i);

    sm4_context ctx;
    sm4_setkey_dec(&ctx, reinterpret_cast<const unsigned char *>(key.constData()));
    sm4_crypt_ecb(&ctx, SM4_DECRYPT, ChallengeSize, cipher, plain);

    bool match = challenge.size() == ChallengeSize;
    for (int i = 0; match && i < ChallengeSize; ++i)
        match = plain[i] == static_cast<quint8>(challenge.at(i));
    return match;
}

} // namespace Handshake
