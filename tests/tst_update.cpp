#include "app/FileDialog.h"
#include "app/MessageBox.h"
#include "update/UpadteWidget.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

// Written from the checksum's definition, so the packets are checked
// against something other than the code that built them.
quint16 referenceCrc(const QByteArray &data, quint16 crc = 0xFFFF)
{
    for (char c : data) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

QByteArray be32(quint32 v)
{
    return bytes({int(v >> 24), int(v >> 16), int(v >> 8), int(v)});
}

QByteArray withCrcHighFirst(const QByteArray &frame)
{
    const quint16 crc = referenceCrc(frame);
    return frame + bytes({crc >> 8, crc & 0xFF});
}

QByteArray ack(int phase, int status)
{
    QByteArray reply = bytes({0x56, phase, 0, 0, status});
    const quint16 crc = referenceCrc(reply);
    return reply + bytes({crc & 0xFF, crc >> 8});
}

QByteArray patternImage(int size)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char(i * 31 + 7);
    return image;
}

constexpr int kSilent = -1;

// Stands in for the central widget: sees each packet, notes the bar as it
// was when the packet left, and answers during the emission (or not).
struct FakeDevice
{
    QList<QByteArray> packets;
    QList<int> progress;
    std::function<int(int index, const QByteArray &packet)> status = [](int, const QByteArray &) {
        return 0;
    };

    void attach(UpadteWidget &page)
    {
        auto *bar = page.findChild<QProgressBar *>("progressBar");
        QObject::connect(&page, &UpadteWidget::Updasend, &page, [this, &page, bar](const QByteArray &packet) {
            progress << bar->value();
            packets << packet;
            const int st = status(packets.size() - 1, packet);
            if (st != kSilent)
                page.handleUpdateReply(ack(quint8(packet.at(1)), st));
        });
    }
};

} // namespace

class Tst_update : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QList<MessageRecord> m_boxes;

    QString imageFile(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("fw%1.bin").arg(content.size()));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write test image");
        return path;
    }
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const MessageRecord &box : m_boxes)
            texts << box.text;
        return texts;
    }
    static QProgressBar *bar(UpadteWidget &page) { return page.findChild<QProgressBar *>("progressBar"); }
    static QLineEdit *pathEdit(UpadteWidget &page) { return page.findChild<QLineEdit *>("lineEdit"); }

private slots:
    void init()
    {
        m_boxes.clear();
        setMessageObserver([this](const MessageRecord &box) { m_boxes << box; });
    }
    void cleanup()
    {
        setMessageObserver({});
        setFileNameProvider({});
    }
    void initTestCase() { QCOMPARE(referenceCrc("123456789"), quint16(0x4B37)); }

    void goldenPackets_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << 0;
        QTest::newRow("one byte") << 1;
        QTest::newRow("one full block") << 256;
        QTest::newRow("one byte into a second block") << 257;
    }
    void goldenPackets()
    {
        QFETCH(int, size);
        const QByteArray image = patternImage(size);
        const int blocks = (size + 255) / 256;
        QByteArray padded = image + QByteArray(blocks * 256 - size, '\0');

        UpadteWidget page;
        FakeDevice device;
        device.attach(page);
        page.startUpdate(imageFile(image));

        QCOMPARE(device.packets.size(), blocks + 2);
        const QByteArray start =
            QByteArray::fromHex("5701000A00") + be32(quint32(padded.size())) + QByteArray(5, '\0');
        QCOMPARE(device.packets.first().toHex(), withCrcHighFirst(start).toHex());
        for (int i = 0; i < blocks; ++i) {
            const QByteArray data = QByteArray::fromHex("5702010A") + QByteArray(6, '\0') + be32(quint32(i)) +
                                    padded.mid(i * 256, 256);
            QCOMPARE(device.packets.at(1 + i).toHex(), withCrcHighFirst(data).toHex());
        }
        const quint16 imageCrc = referenceCrc(padded);
        const QByteArray end =
            QByteArray::fromHex("5703000A") + bytes({imageCrc >> 8, imageCrc & 0xFF}) + QByteArray(8, '\0');
        QCOMPARE(device.packets.last().toHex(), withCrcHighFirst(end).toHex());
        QCOMPARE(boxTexts(), QStringList{"固件更新成功"});
    }

    // The bar climbs as blocks are confirmed and reaches 100 only on the
    // device's word that the whole image arrived.
    void progressAndVerdict_data()
    {
        QTest::addColumn<int>("endStatus");
        QTest::addColumn<int>("finalValue");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<bool>("pathCleared");
        QTest::newRow("end confirmed") << 0x00 << 100 << "固件更新成功" << true;
        QTest::newRow("end refused") << 0x01 << 75 << "校验错误" << false;
        QTest::newRow("end with unknown status") << 0x02 << 100 << "固件更新成功" << true;
    }
    void progressAndVerdict()
    {
        QFETCH(int, endStatus);
        QFETCH(int, finalValue);
        QFETCH(QString, verdict);
        QFETCH(bool, pathCleared);

        UpadteWidget page;
        QVERIFY(bar(page)->isHidden());
        FakeDevice device;
        device.status = [endStatus](int, const QByteArray &packet) {
            return packet.at(1) == 3 ? endStatus : 0;
        };
        device.attach(page);
        page.startUpdate(imageFile(patternImage(1000)));

        // Seen as each packet left: start, four blocks, end.
        QCOMPARE(device.progress, (QList<int>{0, 0, 0, 25, 50, 75}));
        QCOMPARE(bar(page)->value(), finalValue);
        QVERIFY(bar(page)->isHidden());
        QCOMPARE(pathEdit(page)->text().isEmpty(), pathCleared);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().icon, QMessageBox::Information);
        QCOMPARE(m_boxes.first().title, QString("提醒"));
        QCOMPARE(m_boxes.first().text, verdict);
    }

    void acknowledgement_data()
    {
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("barHidden");
        QTest::newRow("start refused") << 1 << 1 << "文件长度错误" << false;
        QTest::newRow("start accepted") << 1 << 0 << "" << false;
        QTest::newRow("data refused") << 2 << 1 << "校验错误" << false;
        QTest::newRow("data accepted") << 2 << 0 << "" << false;
        QTest::newRow("end refused") << 3 << 1 << "校验错误" << true;
        QTest::newRow("end accepted") << 3 << 0 << "固件更新成功" << true;
        QTest::newRow("unknown phase") << 4 << 1 << "" << false;
    }
    void acknowledgement()
    {
        QFETCH(int, phase);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(bool, barHidden);

        UpadteWidget page;
        bar(page)->show();
        page.handleUpdateReply(ack(phase, status));
        QCOMPARE(boxTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(bar(page)->isHidden(), barHidden);
        if (!m_boxes.isEmpty()) {
            QCOMPARE(m_boxes.first().title, QString("提醒"));
            QCOMPARE(m_boxes.first().buttons.size(), 1);
        }
    }

    void silentDeviceStopsUpdate_data()
    {
        QTest::addColumn<int>("silentPacket");
        QTest::newRow("start unanswered") << 0;
        QTest::newRow("second block unanswered") << 2;
        QTest::newRow("end unanswered") << 4;
    }
    void silentDeviceStopsUpdate()
    {
        QFETCH(int, silentPacket);
        UpadteWidget page;
        FakeDevice device;
        device.status = [silentPacket](int index, const QByteArray &) {
            return index == silentPacket ? kSilent : 0;
        };
        device.attach(page);
        const QString path = imageFile(patternImage(600));
        page.startUpdate(path);

        QCOMPARE(device.packets.size(), silentPacket + 1);
        QVERIFY(bar(page)->isHidden());
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().icon, QMessageBox::Information);
        QCOMPARE(m_boxes.first().title, QString("提醒"));
        QCOMPARE(m_boxes.first().text, QString("设备无应答，固件更新已中断"));

        // The next attempt starts afresh.
        device.packets.clear();
        device.status = [](int, const QByteArray &) { return 0; };
        page.startUpdate(path);
        QCOMPARE(device.packets.size(), 5);
        QCOMPARE(m_boxes.last().text, QString("固件更新成功"));
    }

    void refusedFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("sparseSize"); // -1: leave the path as it is
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "missing.bin" << qint64(-1) << "打开固件文件失败.";
        QTest::newRow("directory") << "dir" << qint64(-1) << "打开固件文件失败.";
        QTest::newRow("padded length over 32 bits") << "huge.bin" << qint64(0xFFFFFF01) << "固件文件过大";
        QTest::newRow("beyond one byte array") << "big.bin" << qint64(0x80000000) << "固件文件过大";
    }
    void refusedFile()
    {
        QFETCH(QString, name);
        QFETCH(qint64, sparseSize);
        QFETCH(QString, message);
        const QString path = m_dir.filePath(name);
        QDir(m_dir.path()).mkpath("dir");
        if (sparseSize >= 0) {
            QFile sparse(path); // all one hole: takes no disk space
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(sparseSize));
        }
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly))
            message += probe.errorString();

        UpadteWidget page;
        FakeDevice device;
        device.attach(page);
        page.startUpdate(path);
        QFile::remove(path);

        QVERIFY(device.packets.isEmpty());
        QVERIFY(bar(page)->isHidden());
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().icon, QMessageBox::Warning);
        QCOMPARE(m_boxes.first().title, QString("错误"));
        QCOMPARE(m_boxes.first().text, message);
    }

    void refusedBlockDoesNotStopUpdate()
    {
        UpadteWidget page;
        FakeDevice device;
        device.status = [](int index, const QByteArray &) { return index == 2 ? 1 : 0; };
        device.attach(page);
        page.startUpdate(imageFile(patternImage(700)));
        QCOMPARE(device.packets.size(), 5);
        QCOMPARE(boxTexts(), (QStringList{"校验错误", "固件更新成功"}));
    }

    // Every phase describes the bytes the file held when the update began.
    void fileChangedDuringUpdate()
    {
        const QByteArray image = patternImage(300);
        const QString path = imageFile(image);
        UpadteWidget page;
        FakeDevice device;
        device.status = [path](int index, const QByteArray &) {
            if (index == 0)
                QFile::resize(path, 10);
            return 0;
        };
        device.attach(page);
        page.startUpdate(path);
        QCOMPARE(device.packets.size(), 4);
        QCOMPARE(device.packets.at(2).mid(14, 44), image.mid(256));
        const quint16 crc = referenceCrc(image + QByteArray(212, '\0'));
        QCOMPARE(device.packets.at(3).mid(4, 2), (bytes({crc >> 8, crc & 0xFF})));
    }

    void chooseFile_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled") << true;
        QTest::newRow("file chosen") << false;
    }
    void chooseFile()
    {
        QFETCH(bool, cancel);
        const QString path = imageFile(patternImage(10));
        QStringList asked;
        setFileNameProvider([&](FileDialogKind kind, const QString &caption, const QString &filter) {
            asked << QString::number(int(kind == FileDialogKind::Open)) << caption << filter;
            return cancel ? QString() : path;
        });
        UpadteWidget page;
        FakeDevice device;
        device.attach(page);
        page.findChild<QPushButton *>("pushButton_2")->click();

        QCOMPARE(asked, (QStringList{"1", "选择文件", "所有文件 (*.*)"}));
        QCOMPARE(device.packets.size(), cancel ? 0 : 3);
        QCOMPARE(boxTexts(), cancel ? QStringList() : QStringList{"固件更新成功"});
    }
};

QTEST_MAIN(Tst_update)
#include "tst_update.moc"
