// Checks the SM4 cipher against the standard's examples, its block and
// chaining rules, and (where available) the openssl command line tool.
#include "link/Sm4.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QByteArray kStandardBlock = QByteArray::fromHex("0123456789abcdeffedcba9876543210");

const uchar *bytes(const QByteArray &a)
{
    return reinterpret_cast<const uchar *>(a.constData());
}

uchar *bytes(QByteArray &a)
{
    return reinterpret_cast<uchar *>(a.data());
}

sm4_context keyed(const QByteArray &key, bool encrypt)
{
    sm4_context ctx;
    if (encrypt)
        sm4_setkey_enc(&ctx, bytes(key));
    else
        sm4_setkey_dec(&ctx, bytes(key));
    return ctx;
}

QByteArray ecb(const QByteArray &key, bool encrypt, const QByteArray &input)
{
    sm4_context ctx = keyed(key, encrypt);
    QByteArray out(input.size(), '\0');
    sm4_crypt_ecb(&ctx, encrypt ? SM4_ENCRYPT : SM4_DECRYPT, input.size(), bytes(input), bytes(out));
    return out;
}

// Runs CBC over `input` and leaves the final chaining value in `iv`.
QByteArray cbc(const QByteArray &key, bool encrypt, QByteArray &iv, const QByteArray &input)
{
    sm4_context ctx = keyed(key, encrypt);
    QByteArray out(input.size(), '\0');
    sm4_crypt_cbc(&ctx, encrypt ? SM4_ENCRYPT : SM4_DECRYPT, input.size(), bytes(iv), bytes(input),
                  bytes(out));
    return out;
}

QByteArray randomBytes(QRandomGenerator &rng, int size)
{
    QByteArray a(size, '\0');
    for (char &c : a)
        c = static_cast<char>(rng.bounded(256));
    return a;
}

// Pipes `input` through `openssl enc`; false when the tool fails.
bool openssl(const QStringList &args, const QByteArray &input, QByteArray *output)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("openssl")), QStringList{"enc"} + args);
    if (!process.waitForStarted())
        return false;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished() || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return false;
    *output = process.readAllStandardOutput();
    return true;
}

} // namespace

class Tst_sm4 : public QObject
{
    Q_OBJECT
private slots:
    void ecbStandardExamples_data();
    void ecbStandardExamples();
    void cbcKnownAnswers_data();
    void cbcKnownAnswers();
    void nonPositiveLengthDoesNothing_data();
    void nonPositiveLengthDoesNothing();
    void partialBlockIsProcessedWhole_data();
    void partialBlockIsProcessedWhole();
    void cbcDecryptsInPlace();
    void ivCarriesAcrossCalls_data();
    void ivCarriesAcrossCalls();
    void keySetupStoresMode_data();
    void keySetupStoresMode();
    void matchesOpenssl_data();
    void matchesOpenssl();
};

void Tst_sm4::ecbStandardExamples_data()
{
    QTest::addColumn<int>("rounds");
    QTest::addColumn<QByteArray>("cipher");
    QTest::newRow("example 1: one encryption")
        << 1 << QByteArray::fromHex("681edf34d206965e86b3e94f536e4246");
    QTest::newRow("example 2: 1000000 encryptions")
        << 1000000 << QByteArray::fromHex("595298c7c6fd271f0402f804c33d3f66");
}

void Tst_sm4::ecbStandardExamples()
{
    QFETCH(int, rounds);
    QFETCH(QByteArray, cipher);

    sm4_context enc = keyed(kStandardBlock, true);
    QByteArray block = kStandardBlock;
    for (int i = 0; i < rounds; ++i)
        sm4_crypt_ecb(&enc, SM4_ENCRYPT, 16, bytes(block), bytes(block));
    QCOMPARE(block.toHex(), cipher.toHex());

    sm4_context dec = keyed(kStandardBlock, false);
    for (int i = 0; i < rounds; ++i)
        sm4_crypt_ecb(&dec, SM4_DECRYPT, 16, bytes(block), bytes(block));
    QCOMPARE(block.toHex(), kStandardBlock.toHex());
}

void Tst_sm4::cbcKnownAnswers_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("cipher");
    QTest::newRow("one block") << kStandardBlock << QByteArray::fromHex("2677f46b09c122cc975533105bd4a22a");
    QTest::newRow("two blocks") << kStandardBlock + kStandardBlock
                                << QByteArray::fromHex("2677f46b09c122cc975533105bd4a22a"
                                                       "f6125f7275ce552c3a2bbcf533de8a3b");
}

void Tst_sm4::cbcKnownAnswers()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);
    const QByteArray lastCipherBlock = cipher.right(16);

    QByteArray iv = kStandardBlock;
    QCOMPARE(cbc(kStandardBlock, true, iv, plain).toHex(), cipher.toHex());
    QCOMPARE(iv.toHex(), lastCipherBlock.toHex());

    iv = kStandardBlock;
    QCOMPARE(cbc(kStandardBlock, false, iv, cipher).toHex(), plain.toHex());
    QCOMPARE(iv.toHex(), lastCipherBlock.toHex());
}

void Tst_sm4::nonPositiveLengthDoesNothing_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("operation"); // 0 ECB, 1 CBC encrypt, 2 CBC decrypt
    const QList<int> lengths{0, -1, -16, INT_MIN};
    for (int length : lengths) {
        QTest::addRow("ecb %d", length) << length << 0;
        QTest::addRow("cbc encrypt %d", length) << length << 1;
        QTest::addRow("cbc decrypt %d", length) << length << 2;
    }
}

void Tst_sm4::nonPositiveLengthDoesNothing()
{
    QFETCH(int, length);
    QFETCH(int, operation);

    sm4_context ctx = keyed(kStandardBlock, operation != 2);
    const QByteArray untouched(32, char(0xA5));
    QByteArray out = untouched;
    QByteArray iv = kStandardBlock;
    if (operation == 0)
        sm4_crypt_ecb(&ctx, SM4_ENCRYPT, length, bytes(kStandardBlock), bytes(out));
    else
        sm4_crypt_cbc(&ctx, operation == 1 ? SM4_ENCRYPT : SM4_DECRYPT, length, bytes(iv),
                      bytes(kStandardBlock), bytes(out));
    QCOMPARE(out, untouched);
    QCOMPARE(iv, kStandardBlock);
}

void Tst_sm4::partialBlockIsProcessedWhole_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("blocks");
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("15") << 15 << 1;
    QTest::newRow("16") << 16 << 1;
    QTest::newRow("17") << 17 << 2;
    QTest::newRow("32") << 32 << 2;
    QTest::newRow("33") << 33 << 3;
}

void Tst_sm4::partialBlockIsProcessedWhole()
{
    QFETCH(int, length);
    QFETCH(int, blocks);

    QRandomGenerator rng(length);
    const QByteArray key = randomBytes(rng, 16);
    const QByteArray input = randomBytes(rng, 64);
    const QByteArray sentinel(64, char(0x5A));

    QByteArray whole = ecb(key, true, input).left(16 * blocks);
    QByteArray out = sentinel;
    sm4_context ctx = keyed(key, true);
    sm4_crypt_ecb(&ctx, SM4_ENCRYPT, length, bytes(input), bytes(out));
    QCOMPARE(out.left(16 * blocks).toHex(), whole.toHex());
    QCOMPARE(out.mid(16 * blocks), sentinel.mid(16 * blocks));

    QByteArray iv(16, '\0');
    whole = cbc(key, true, iv, input).left(16 * blocks);
    iv.fill('\0');
    out = sentinel;
    sm4_crypt_cbc(&ctx, SM4_ENCRYPT, length, bytes(iv), bytes(input), bytes(out));
    QCOMPARE(out.left(16 * blocks).toHex(), whole.toHex());
    QCOMPARE(out.mid(16 * blocks), sentinel.mid(16 * blocks));
    QCOMPARE(iv.toHex(), whole.right(16).toHex());
}

void Tst_sm4::cbcDecryptsInPlace()
{
    QRandomGenerator rng(4711);
    const QByteArray key = randomBytes(rng, 16);
    const QByteArray startIv = randomBytes(rng, 16);
    const QByteArray plain = randomBytes(rng, 80);
    QByteArray iv = startIv;
    const QByteArray cipher = cbc(key, true, iv, plain);

    QByteArray separateIv = startIv;
    const QByteArray separate = cbc(key, false, separateIv, cipher);
    QCOMPARE(separate.toHex(), plain.toHex());

    QByteArray inPlace = cipher;
    QByteArray inPlaceIv = startIv;
    sm4_context ctx = keyed(key, false);
    sm4_crypt_cbc(&ctx, SM4_DECRYPT, inPlace.size(), bytes(inPlaceIv), bytes(inPlace), bytes(inPlace));
    QCOMPARE(inPlace.toHex(), separate.toHex());
    QCOMPARE(inPlaceIv.toHex(), separateIv.toHex());
}

void Tst_sm4::ivCarriesAcrossCalls_data()
{
    QTest::addColumn<bool>("encrypt");
    QTest::addColumn<int>("split");
    for (int split : {16, 32, 48}) {
        QTest::addRow("encrypt, split at %d", split) << true << split;
        QTest::addRow("decrypt, split at %d", split) << false << split;
    }
}

void Tst_sm4::ivCarriesAcrossCalls()
{
    QFETCH(bool, encrypt);
    QFETCH(int, split);

    QRandomGenerator rng(split);
    const QByteArray key = randomBytes(rng, 16);
    const QByteArray startIv = randomBytes(rng, 16);
    const QByteArray input = randomBytes(rng, 64);

    QByteArray oneIv = startIv;
    const QByteArray oneCall = cbc(key, encrypt, oneIv, input);

    QByteArray iv = startIv;
    QByteArray twoCalls = cbc(key, encrypt, iv, input.left(split));
    twoCalls += cbc(key, encrypt, iv, input.mid(split));
    QCOMPARE(twoCalls.toHex(), oneCall.toHex());
    QCOMPARE(iv.toHex(), oneIv.toHex());
}

void Tst_sm4::keySetupStoresMode_data()
{
    QTest::addColumn<bool>("encrypt");
    QTest::newRow("sm4_setkey_enc") << true;
    QTest::newRow("sm4_setkey_dec") << false;
}

void Tst_sm4::keySetupStoresMode()
{
    QFETCH(bool, encrypt);
    sm4_context ctx;
    ctx.mode = 0x5555;
    if (encrypt)
        sm4_setkey_enc(&ctx, bytes(kStandardBlock));
    else
        sm4_setkey_dec(&ctx, bytes(kStandardBlock));
    QCOMPARE(ctx.mode, 1);
}

void Tst_sm4::matchesOpenssl_data()
{
    QTest::addColumn<bool>("chained");
    QTest::newRow("ecb") << false;
    QTest::newRow("cbc") << true;
}

void Tst_sm4::matchesOpenssl()
{
    QFETCH(bool, chained);
    if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty())
        QSKIP("the openssl command is not installed");

    const QString cipherName = chained ? QStringLiteral("-sm4-cbc") : QStringLiteral("-sm4-ecb");
    QRandomGenerator rng(chained ? 2016 : 32907);
    for (int i = 0; i < 20; ++i) {
        const QByteArray key = randomBytes(rng, 16);
        const QByteArray startIv = randomBytes(rng, 16);
        const QByteArray plain = randomBytes(rng, 16 * (1 + rng.bounded(8)));

        QStringList args{cipherName, "-nopad", "-K", QString::fromLatin1(key.toHex())};
        if (chained)
            args << "-iv" << QString::fromLatin1(startIv.toHex());
        QByteArray expected;
        if (!openssl(args, plain, &expected) || expected.size() != plain.size()) {
            if (i == 0)
                QSKIP("the installed openssl does not offer SM4");
            QFAIL("openssl stopped working part way");
        }

        QByteArray iv = startIv;
        const QByteArray cipher = chained ? cbc(key, true, iv, plain) : ecb(key, true, plain);
        QCOMPARE(cipher.toHex(), expected.toHex());
        iv = startIv;
        const QByteArray back = chained ? cbc(key, false, iv, cipher) : ecb(key, false, cipher);
        QCOMPARE(back.toHex(), plain.toHex());
    }
}

QTEST_GUILESS_MAIN(Tst_sm4)
#include "tst_sm4.moc"
