#include "TestRig.h"
#include "common/FileDialog.h"
#include "common/MessageBox.h"
#include "protocol/Crc16.h"
#include "update/UpadteWidget.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

static QByteArray ack(int phase, int status)
{
    const QByteArray reply = QByteArray("\x56") + char(phase) + QByteArray(2, '\0') + char(status);
    const quint16 crc = crc16Modbus(reply);
    return reply + char(crc & 0xFF) + char(crc >> 8);
}

// Period 17, so no two blocks of an image are alike.
static QByteArray patternImage(int size) { return QByteArray("0123456789abcdefg").repeated(size / 17 + 1).left(size); }

constexpr int kSilent = -1;
static const QString kDone = "1 提醒: 固件更新成功", kBadCrc = "1 提醒: 校验错误";

class Tst_update : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_shown; // each box as "icon title: text"
    std::unique_ptr<UpadteWidget> m_page;
    // Stands in for the central widget: each packet sent, the bar as it was
    // when the packet left, and the answer given during the emission.
    QList<QByteArray> m_packets;
    QList<int> m_progress;
    std::function<int(int index)> m_status; // kSilent: no answer
    bool m_boxOverStaleBar = false;         // a box came while the bar held back its paint

    QString imageFile(const QByteArray &content)
    {
        return writeFile(m_dir.filePath(QStringLiteral("fw%1.bin").arg(content.size())), content);
    }
    QProgressBar *bar() const { return m_page->findChild<QProgressBar *>("progressBar"); }

private slots:
    void init()
    {
        m_shown.clear();
        m_packets.clear();
        m_progress.clear();
        m_status = [](int) { return 0; };
        m_boxOverStaleBar = false;
        setMessageObserver([this](const MessageRecord &box) {
            m_shown << QStringLiteral("%1 %2: %3").arg(int(box.icon)).arg(box.title, box.text);
            m_boxOverStaleBar = m_boxOverStaleBar || (m_page && !bar()->updatesEnabled());
        });
        m_page = std::make_unique<UpadteWidget>();
        connect(m_page.get(), &UpadteWidget::Updasend, this, [this](const QByteArray &packet) {
            m_progress << bar()->value();
            m_packets << packet;
            const int status = m_status(m_packets.size() - 1);
            if (status != kSilent)
                m_page->handleUpdateReply(ack(quint8(packet.at(1)), status));
        });
    }
    void cleanup()
    {
        setMessageObserver({});
        setFileNameProvider({});
    }

    // A 1000-byte image goes as start, four blocks, end. The bar climbs as
    // blocks are confirmed and reaches 100 only on the device's word that
    // the whole image arrived; a refusal is reported and the update goes
    // on; an unanswered packet ends it.
    void deviceAnswers_data()
    {
        QTest::addColumn<int>("index");  // the packet answered with `status`; the rest get 0
        QTest::addColumn<int>("status"); // kSilent: no answer at all
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("end confirmed") << 5 << 0 << QStringList{kDone};
        QTest::newRow("end refused") << 5 << 1 << QStringList{kBadCrc};
        QTest::newRow("end with unknown status") << 5 << 2 << QStringList{kDone};
        QTest::newRow("start refused") << 0 << 1 << QStringList{"1 提醒: 文件长度错误", kDone};
        QTest::newRow("block refused") << 2 << 1 << QStringList{kBadCrc, kDone};
        QTest::newRow("start unanswered") << 0 << kSilent << QStringList{"1 提醒: 设备无应答，固件更新已中断"};
        QTest::newRow("end unanswered") << 5 << kSilent << QStringList{"1 提醒: 设备无应答，固件更新已中断"};
    }
    void deviceAnswers()
    {
        QFETCH(int, index);
        QFETCH(int, status);
        QFETCH(QStringList, boxes);
        m_status = [=](int i) { return i == index ? status : 0; };
        const QString path = imageFile(patternImage(1000));
        m_page->startUpdate(path);
        QCOMPARE(m_progress, (QList<int>{0, 0, 0, 25, 50, 75}.mid(0, status == kSilent ? index + 1 : 6)));
        QCOMPARE(m_shown, boxes);
        // The bar paints at most every 16 ms, but never lags behind a box or the end.
        QVERIFY(!m_boxOverStaleBar);
        QVERIFY(bar()->updatesEnabled());
        QVERIFY(bar()->isHidden());
        if (status != kSilent) {
            QCOMPARE(bar()->value(), boxes.last() == kDone ? 100 : 75);
            QCOMPARE(m_page->findChild<QLineEdit *>("lineEdit")->text().isEmpty(), boxes.last() == kDone);
        }
        // The next attempt starts afresh.
        m_packets.clear();
        m_status = [](int) { return 0; };
        m_page->startUpdate(path);
        QCOMPARE(m_packets.size(), 6);
        QCOMPARE(m_shown.last(), kDone);
    }

    void refusedFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("sparseSize"); // -1: leave the path as it is
        QTest::newRow("missing") << "missing.bin" << qint64(-1);
        QTest::newRow("directory") << "dir" << qint64(-1);
        QTest::newRow("padded length over 32 bits") << "huge.bin" << qint64(0xFFFFFF01);
        QTest::newRow("beyond one byte array") << "big.bin" << qint64(0x80000000);
    }
    void refusedFile()
    {
        QFETCH(QString, name);
        QFETCH(qint64, sparseSize);
        QDir(m_dir.path()).mkpath("dir");
        QFile file(m_dir.filePath(name)); // a sparse file is all one hole: takes no disk space
        QVERIFY(sparseSize < 0 || (file.open(QIODevice::WriteOnly) && file.resize(sparseSize)));
        file.close();
        const QString message =
            file.open(QIODevice::ReadOnly) ? "固件文件过大" : "打开固件文件失败." + file.errorString();
        m_page->startUpdate(file.fileName());
        file.remove();
        QVERIFY(m_packets.isEmpty() && bar()->isHidden());
        QCOMPARE(m_shown, QStringList{"2 错误: " + message});
    }

    // Every phase describes the bytes the file held when the update began.
    void fileChangedDuringUpdate()
    {
        const QByteArray image = patternImage(300);
        const QString path = imageFile(image);
        m_status = [path](int index) { return index == 0 ? !QFile::resize(path, 10) : 0; };
        m_page->startUpdate(path);
        QCOMPARE(m_packets.size(), 4);
        QCOMPARE(m_packets.at(2).mid(14, 44), image.mid(256));
        QCOMPARE(m_packets.at(3).mid(4, 2).toHex(), QByteArray("1af6")); // the CRC of the 300 bytes, padded
    }

    void chooseFile()
    {
        QStringList asked;
        QString answer; // cancelled first
        setFileNameProvider([&](FileDialogKind kind, const QString &caption, const QString &filter) {
            asked = QStringList{QString::number(kind == FileDialogKind::Open), caption, filter};
            return answer;
        });
        m_page->findChild<QPushButton *>("pushButton_2")->click();
        QVERIFY(m_packets.isEmpty() && m_shown.isEmpty());
        answer = imageFile({});
        m_page->findChild<QPushButton *>("pushButton_2")->click();
        QCOMPARE(asked, (QStringList{"1", "选择文件", "所有文件 (*.*)"}));
        // An empty image still goes as a start and an end: no blocks, the CRC of nothing.
        QCOMPARE(m_packets, (QList<QByteArray>{QByteArray::fromHex("5701000A00000000000000000000CFDE"),
                                               QByteArray::fromHex("5703000AFFFF00000000000000008AA9")}));
        QCOMPARE(m_shown, QStringList{kDone});
    }
};

QTEST_MAIN(Tst_update)
#include "tst_update.moc"
