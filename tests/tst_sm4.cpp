// Checks the SM4 cipher against the standard's examples and its block and
// chaining rules.
#include "protocol/Sm4.h"

#include <QtTest> // brings all of QtCore

const QByteArray kStandardBlock = QByteArray::fromHex("0123456789abcdeffedcba9876543210");

static const uchar *bytes(const QByteArray &a) { return reinterpret_cast<const uchar *>(a.constData()); }
static uchar *bytes(QByteArray &a) { return reinterpret_cast<uchar *>(a.data()); }

static sm4_context keyed(const QByteArray &key, bool encrypt)
{
    sm4_context ctx;
    (encrypt ? sm4_setkey_enc : sm4_setkey_dec)(&ctx, bytes(key));
    return ctx;
}

// ECB when `iv` is null; CBC otherwise, leaving the final chaining value in
// `iv`. Output bytes the call leaves alone stay 0x5A.
static QByteArray crypt(const QByteArray &key, bool encrypt, const QByteArray &in, QByteArray *iv = nullptr, int length = INT_MAX)
{
    sm4_context ctx = keyed(key, encrypt);
    QByteArray out(in.size(), char(0x5A));
    length = length == INT_MAX ? in.size() : length;
    if (iv)
        sm4_crypt_cbc(&ctx, encrypt ? SM4_ENCRYPT : SM4_DECRYPT, length, bytes(*iv), bytes(in), bytes(out));
    else
        sm4_crypt_ecb(&ctx, encrypt ? SM4_ENCRYPT : SM4_DECRYPT, length, bytes(in), bytes(out));
    return out;
}

// Pseudo-random bytes, the same on every run.
static QByteArray noise(int seed, int size)
{
    const QByteArray hash = QCryptographicHash::hash(QByteArray::number(seed), QCryptographicHash::Sha512);
    return hash.repeated(2).left(size);
}

class Tst_sm4 : public QObject
{
    Q_OBJECT
private slots:
    // Example 1 is the first encryption; example 2 is the millionth. The
    // CBC answers use the same block as key, IV and both plaintext blocks.
    void standardExamples()
    {
        sm4_context enc = keyed(kStandardBlock, true), dec = keyed(kStandardBlock, false);
        QByteArray block = kStandardBlock;
        for (int i = 0; i < 1000000; ++i) {
            sm4_crypt_ecb(&enc, SM4_ENCRYPT, 16, bytes(block), bytes(block));
            if (i == 0)
                QCOMPARE(block.toHex(), QByteArray("681edf34d206965e86b3e94f536e4246"));
        }
        QCOMPARE(block.toHex(), QByteArray("595298c7c6fd271f0402f804c33d3f66"));
        for (int i = 0; i < 1000000; ++i)
            sm4_crypt_ecb(&dec, SM4_DECRYPT, 16, bytes(block), bytes(block));
        QCOMPARE(block.toHex(), kStandardBlock.toHex());
        const QByteArray plain = kStandardBlock + kStandardBlock;
        const QByteArray cipher = QByteArray::fromHex("2677f46b09c122cc975533105bd4a22af6125f7275ce552c3a2bbcf533de8a3b");
        QByteArray encIv = kStandardBlock, decIv = kStandardBlock;
        QCOMPARE(crypt(kStandardBlock, true, plain, &encIv).toHex(), cipher.toHex());
        QCOMPARE(crypt(kStandardBlock, false, cipher, &decIv).toHex(), plain.toHex());
        QCOMPARE(encIv.toHex(), cipher.right(16).toHex());
        QCOMPARE(decIv.toHex(), cipher.right(16).toHex());
    }

    void lengthRules_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("operation"); // 0 ECB, 1 CBC encrypt, 2 CBC decrypt
        for (int op : {0, 1, 2})
            for (int length : {0, -16, INT_MIN, 17})
                QTest::addRow("op %d, length %d", op, length) << length << op;
    }
    // A short tail is processed as a whole block, nothing past it is
    // touched, and a length below one does nothing at all.
    void lengthRules()
    {
        QFETCH(int, length);
        QFETCH(int, operation);
        const QByteArray key = noise(length, 16), input = noise(length + 1, 64);
        const int whole = length > 0 ? (length + 15) / 16 * 16 : 0;
        QByteArray wholeIv(16, '\0'), iv(16, '\0');
        const QByteArray expected = crypt(key, operation != 2, input.left(whole), operation ? &wholeIv : nullptr);
        const QByteArray out = crypt(key, operation != 2, input, operation ? &iv : nullptr, length);
        QCOMPARE(out.toHex(), (expected + QByteArray(64 - whole, char(0x5A))).toHex());
        QCOMPARE(iv.toHex(), wholeIv.toHex());
    }

    // Encrypting in two calls matches one call; decrypting in place in two
    // calls gives the plain text back.
    void cbcCarriesIvAndWorksInPlace()
    {
        const QByteArray key = noise(1, 16), startIv = noise(2, 16), plain = noise(3, 80);
        QByteArray oneIv = startIv, iv = startIv;
        const QByteArray cipher = crypt(key, true, plain, &oneIv);
        QByteArray twoCalls = crypt(key, true, plain.left(16), &iv);
        twoCalls += crypt(key, true, plain.mid(16), &iv);
        QCOMPARE(twoCalls.toHex(), cipher.toHex());
        QCOMPARE(iv.toHex(), oneIv.toHex());
        iv = startIv;
        sm4_context ctx = keyed(key, false);
        sm4_crypt_cbc(&ctx, SM4_DECRYPT, 32, bytes(iv), bytes(twoCalls), bytes(twoCalls));
        sm4_crypt_cbc(&ctx, SM4_DECRYPT, 48, bytes(iv), bytes(twoCalls) + 32, bytes(twoCalls) + 32);
        QCOMPARE(twoCalls.toHex(), plain.toHex());
        QCOMPARE(iv.toHex(), oneIv.toHex());
    }
};

QTEST_GUILESS_MAIN(Tst_sm4)
#include "tst_sm4.moc"
