#include "app/MessageBox.h"
#include "pages/ModBusWidget.h"

#include <QtTest>
#include <QtWidgets>

// Drives the Modbus page as the central widget and the user do: frames in
// and out, typing, pasting, switching lists, loading files.
class Tst_modbus : public QObject
{
    Q_OBJECT

    ModBusWidget *m_page = nullptr;
    QStringList m_boxes; // texts of the boxes shown

    QComboBox *box(const char *name) const { return m_page->findChild<QComboBox *>(name); }
    QLineEdit *edit(const char *name) const { return m_page->findChild<QLineEdit *>(name); }
    QTextEdit *data() const { return m_page->findChild<QTextEdit *>("m_textEdit"); }
    QComboBox *protocol() const { return box("comboBox"); }
    QComboBox *lengths() const { return box("comboBox_2"); }
    QComboBox *heartbeat() const { return box("m_ComboBoxHeartEnable"); }
    QComboBox *frameType() const { return box("m_comboBoxFrameType"); }
    QComboBox *frameFormat() const { return box("m_comboBoxFrameFormat"); }

    static QString enabledItems(QComboBox *b)
    {
        QString mask;
        for (int i = 0; i < b->count(); ++i)
            mask += qobject_cast<QStandardItemModel *>(b->model())->item(i)->isEnabled() ? '1' : '0';
        return mask;
    }
    // A 0x20 reply: header, the payload from offset 3, zero padding and room for the checksum.
    static QByteArray reply(const QByteArray &payloadHex)
    {
        return (QByteArray::fromHex("56AA20") + QByteArray::fromHex(payloadHex)).leftJustified(87, '\0');
    }
    static QJsonObject example(const QJsonObject &changes = {})
    {
        QVariantMap o{{"Type", 2},     {"heartEnable", 1},    {"interval", "500"}, {"frameFormat", 0}, {"frameType", 1},
                      {"dataLen", 9},  {"CANID", "1ABCDEF0"}, {"Data", "11 22"},   {"Addr", "01"}};
        o.insert(changes.toVariantMap());
        return QJsonObject::fromVariantMap(o);
    }

private slots:
    void init()
    {
        m_boxes.clear();
        setMessageObserver([this](const MessageRecord &r) {
            QCOMPARE(r.icon, QMessageBox::Information);
            QCOMPARE(r.title, QString("输入错误"));
            m_boxes << r.text;
        });
        m_page = new ModBusWidget;
    }
    void cleanup()
    {
        delete m_page;
        setMessageObserver({});
    }

    // Each row also reads its frame back into a fresh page, which must write the same frame.
    void writeBlock_data()
    {
        QTest::addColumn<QJsonObject>("settings");
        QTest::addColumn<QByteArray>("expected"); // from offset 3; the rest up to 85 bytes is zero
        QByteArray all;
        for (int i = 0; i < 64; ++i)
            all += char(0xC0 + i);
        QTest::newRow("worked example") << example() << QByteArray("01 01 01F4 B0 0C 1ABCDEF0 1122");
        QTest::newRow("remote standard") << example({{"frameFormat", 1}, {"frameType", 0}, {"CANID", "7FF"}, {"dataLen", 8},
                                                     {"Addr", "fe"}}) << QByteArray("FE 01 01F4 40 08 000007FF 1122");
        QTest::newRow("CANFD standard") << example({{"Type", 1}, {"frameType", 0}, {"CANID", "123"}}) << QByteArray("01 01 01F4 20 0C 00000123 1122");
        QTest::newRow("CAN, 0 bytes") << example({{"Type", 0}, {"dataLen", 0}}) << QByteArray("01 01 01F4 80 00 1ABCDEF0");
        QTest::newRow("64 bytes") << example({{"dataLen", 15}, {"Data", QString(all.toHex(' '))}}) << "01 01 01F4 B0 40 1ABCDEF0" + all.toHex();
        QTest::newRow("default ID text sends 0") << example({{"CANID", "00 00 00 00"}}) << QByteArray("01 01 01F4 B0 0C 00000000 1122");
        QTest::newRow("spaces removed first") << example({{"dataLen", 4}, {"Data", "1 2 3"}}) << QByteArray("01 01 01F4 B0 04 1ABCDEF0 12030000");
        QTest::newRow("line break in data") << example({{"dataLen", 3}, {"Data", "11\n22\t33"}}) << QByteArray("01 01 01F4 B0 03 1ABCDEF0 112233");
        QTest::newRow("heartbeat off, empty texts") << example({{"heartEnable", 0}, {"interval", ""}, {"Addr", ""}}) << QByteArray("00 00 0000 B0 0C 1ABCDEF0 1122");
    }
    void writeBlock()
    {
        QFETCH(QJsonObject, settings);
        QFETCH(QByteArray, expected);
        m_page->fromJson(settings);
        QByteArray frame = QByteArray::fromHex("56AA21"), again = frame;
        m_page->writeBlock(frame);
        QCOMPARE(frame.toHex(), ("56aa21" + QByteArray::fromHex(expected).toHex()).leftJustified(170, '0'));
        QVERIFY(m_boxes.isEmpty());
        ModBusWidget other;
        other.readBlock(QByteArray::fromHex("56AA20") + frame.mid(3) + QByteArray(2, '\0'));
        other.writeBlock(again);
        QCOMPARE(again.toHex(), frame.toHex());
    }

    // The page after a reply: protocol, frame type and format indexes, then the length and the data text.
    void readBlock_data()
    {
        QTest::addColumn<int>("protocolBefore");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("after");
        QTest::newRow("CAN") << 1 << QByteArray("00 08 00000000 11") << "000 8: 11 00 00 00 00 00 00 00";
        QTest::newRow("CANFD") << 0 << QByteArray("20 0C 00000000 AB") << "100 12: ab" + QString(" 00").repeated(11);
        QTest::newRow("CANFD加速 extended") << 0 << QByteArray("B0 40 00000000 0102") << "210 64: 01 02" + QString(" 00").repeated(62);
        QTest::newRow("bit 4 alone keeps CANFD") << 1 << QByteArray("10 00") << "100 0: ";
        QTest::newRow("bit 4 alone keeps CANFD加速") << 2 << QByteArray("90 00") << "210 0: ";
        QTest::newRow("remote forces CAN") << 0 << QByteArray("60 04 00000000 1122334455") << "001 4: 11 22 33 44";
        QTest::newRow("unknown 10 keeps 4") << 0 << QByteArray("B0 0A 00000000 1122334455") << "210 4: 11 22 33 44";
    }
    void readBlock()
    {
        QFETCH(int, protocolBefore);
        QFETCH(QByteArray, payload);
        protocol()->setCurrentIndex(protocolBefore);
        lengths()->setCurrentIndex(4);
        m_page->readBlock(reply("01 01 03E8" + payload));
        QTEST(QStringLiteral("%1%2%3 %4: %5").arg(protocol()->currentIndex()).arg(frameType()->currentIndex())
                  .arg(frameFormat()->currentIndex()).arg(lengths()->currentText(), data()->toPlainText()), "after");
    }

    void readBlockFields()
    {
        m_page->readBlock(reply("0A 01 01F4 80 02 1ABCDEF0 ABCD"));
        QCOMPARE(m_page->toJson(), example({{"Type", 0}, {"dataLen", 2}, {"Addr", "0a"}, {"CANID", "1abcdef0"}, {"Data", "ab cd"}}));
        QVERIFY(m_boxes.isEmpty());
        m_page->readBlock(reply("0A 07 0000 00 02 00000000 ABCD"));
        QCOMPARE(edit("m_lineEditCanID")->text(), QString("00"));
        QCOMPARE(heartbeat()->currentIndex(), 0); // unknown enable byte: off
        QCOMPARE(m_boxes, QStringList{"请输入有效值: 1-65535"});
        m_page->readBlock(QByteArray::fromHex("56AA20")); // truncated: reads as zeros, never past the end
        QCOMPARE(lengths()->currentText(), QString("0"));
    }

    void enablingRules()
    {
        const QList<QWidget *> controls{protocol(), edit("m_lineEditTimeInterval"), frameFormat(), frameType(),
                                        lengths(),  edit("m_lineEditCanID"),        data()};
        const auto enabled = [&] {
            QString mask;
            for (QWidget *w : controls)
                mask += w->isEnabled() ? '1' : '0';
            return mask + ' ' + lengths()->currentText() + ' ' + enabledItems(lengths());
        };
        QCOMPARE(enabled(), QString("0000000 8 1111111111111111"));
        heartbeat()->setCurrentIndex(1);
        QCOMPARE(enabled(), QString("1111111 8 1111111111111111")); // no length rule applied yet
        protocol()->setCurrentIndex(1);
        lengths()->setCurrentIndex(10);
        frameFormat()->setCurrentIndex(1); // remote: CAN only, lengths up to 8
        QCOMPARE(protocol()->currentIndex(), 0);
        heartbeat()->setCurrentIndex(0);
        heartbeat()->setCurrentIndex(1);
        QCOMPARE(enabled(), QString("0111111 8 1111111110000000")); // still a remote frame
        frameFormat()->setCurrentIndex(0);
        QVERIFY(protocol()->isEnabled());
        // Switching from extended to standard shortens an ID that no longer fits.
        for (const QString id : {"1FFF", "7FF"}) {
            frameType()->setCurrentIndex(1);
            edit("m_lineEditCanID")->setText(id);
            frameType()->setCurrentIndex(0);
            QCOMPARE(edit("m_lineEditCanID")->text(), id == "7FF" ? id : "00");
        }
        QVERIFY(m_boxes.isEmpty());
    }

    // Protocol index and enabled items, then the length and its enabled items, after `onType` from CANFD加速 at 64.
    void onType_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("state");
        QTest::newRow("classic moves to CAN") << 0 << "0 100 8 1111111110000000";
        QTest::newRow("FD moves down to CANFD") << 1 << "1 110 64 1111111111111111";
        QTest::newRow("FD with switching") << 2 << "2 111 64 1111111111111111";
    }
    void onType()
    {
        QFETCH(int, mode);
        protocol()->setCurrentIndex(2);
        lengths()->setCurrentIndex(15);
        m_page->onType(mode);
        QTEST(QStringLiteral("%1 %2 %3 %4").arg(protocol()->currentIndex()).arg(enabledItems(protocol()),
              lengths()->currentText(), enabledItems(lengths())), "state");
    }

    void lengthChange_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("8 to 4 truncates") << 8 << "11 22 33 44 55 66 77 88" << 4 << "11 22 33 44";
        QTest::newRow("4 to 12 pads") << 4 << "11 22 33 44" << 9 << "11 22 33 44" + QString(" 00").repeated(8);
        QTest::newRow("bad parts become 00") << 8 << "ABC 1f G1 7" << 4 << "00 1f 00 00";
        QTest::newRow("runs of white space") << 8 << "  11\n\n22  " << 2 << "11 22";
    }
    void lengthChange()
    {
        QFETCH(int, from);
        QFETCH(QString, text);
        QFETCH(int, to);
        lengths()->setCurrentIndex(from);
        data()->setPlainText(text);
        lengths()->setCurrentIndex(to);
        QTEST(data()->toPlainText(), "expected");
    }

    // A key that takes a field out of range is refused with a message and the field keeps its text.
    void rangeCheck_data()
    {
        QTest::addColumn<QString>("field"); // the ID of a standard or extended frame, or the interval
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after"); // the text | any message
        const QString bad = "|请输入有效值: ";
        QTest::newRow("standard 800") << "standard" << "80" << "0" << "80" + bad + "0x00-0x7ff";
        QTest::newRow("standard 7FF") << "standard" << "7F" << "F" << "7FF|";
        QTest::newRow("extended 20000000") << "extended" << "2000000" << "0" << "2000000" + bad + "0x00-0x1fffffff";
        QTest::newRow("extended 1FFFFFFF") << "extended" << "1FFFFFF" << "F" << "1FFFFFFF|";
        QTest::newRow("interval 65536") << "interval" << "6553" << "6" << "6553" + bad + "1-65535";
        QTest::newRow("interval 0") << "interval" << "" << "0" << bad + "1-65535";
        QTest::newRow("interval letter") << "interval" << "1" << "a" << "1" + bad + "1-65535";
        QTest::newRow("interval 65535") << "interval" << "6553" << "5" << "65535|";
    }
    void rangeCheck()
    {
        QFETCH(QString, field);
        QFETCH(QString, before);
        QFETCH(QString, typed);
        heartbeat()->setCurrentIndex(1);
        frameType()->setCurrentIndex(field == "extended");
        QLineEdit *target = edit(field == "interval" ? "m_lineEditTimeInterval" : "m_lineEditCanID");
        target->setText(before);
        m_boxes.clear();
        QTest::keyClicks(target, typed);
        QTEST(target->text() + "|" + m_boxes.join(""), "after");
    }

    void dataEditor_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("after");
        QTest::newRow("a") << "1" << QKeySequence("A") << "" << "1a";
        QTest::newRow("G") << "1" << QKeySequence("G") << "" << "1";
        QTest::newRow("space") << "1" << QKeySequence("Space") << "" << "1";
        QTest::newRow("backspace") << "12" << QKeySequence("Backspace") << "" << "1";
        QTest::newRow("return") << "1" << QKeySequence("Return") << "" << "1\n";
        QTest::newRow("ctrl shortcuts reach the editor") << "11 22" << QKeySequence("Ctrl+A, C") << "" << "c";
        QTest::newRow("paste 0x list") << "" << QKeySequence(QKeySequence::Paste) << "0x1A, 0x2B" << "01 A0 2B";
        QTest::newRow("paste odd digit alone") << "" << QKeySequence(QKeySequence::Paste) << "abcde" << "AB CD E";
        QTest::newRow("paste at cursor") << "11 " << QKeySequence(QKeySequence::Paste) << "ff" << "11 FF";
        QTest::newRow("paste no digits") << "11" << QKeySequence(QKeySequence::Paste) << "xyz, -" << "11";
        QTest::newRow("paste full-width digits") << "11" << QKeySequence(QKeySequence::Paste) << "１２" << "11";
    }
    void dataEditor()
    {
        QFETCH(QString, before);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, clipboard);
        heartbeat()->setCurrentIndex(1);
        QGuiApplication::clipboard()->setText(clipboard);
        data()->setPlainText(before);
        data()->moveCursor(QTextCursor::End);
        QTest::keySequence(data(), keys);
        QTEST(data()->toPlainText(), "after");
    }

    // Neither route around the key filter lets other characters in.
    void clipboardAndInputMethodEvents()
    {
        QGuiApplication::clipboard()->setText("c3");
        data()->clear();
        QEvent clip(QEvent::Clipboard);
        QCoreApplication::sendEvent(data(), &clip);
        QInputMethodEvent im;
        im.setCommitString("GZ");
        QCoreApplication::sendEvent(data(), &im);
        QCOMPARE(data()->toPlainText(), QString("C3"));
        QVERIFY(!data()->testAttribute(Qt::WA_InputMethodEnabled));
    }

    void defaults()
    {
        const QJsonObject expected{{"Type", 0},        {"heartEnable", 0},           {"interval", "1000"},
                                   {"frameFormat", 0}, {"frameType", 0},             {"dataLen", 8},
                                   {"CANID", "00 00 00 00"}, {"Data", "00 00 00 00 00 00 00 00"}, {"Addr", "01"}};
        QCOMPARE(m_page->toJson(), expected);
        m_page->fromJson(example({{"frameFormat", 1}}));
        m_page->loadDefaults();
        QCOMPARE(m_page->toJson(), expected);
        QVERIFY(!protocol()->isEnabled() && m_boxes.isEmpty());
    }

    // A missing number selects index 0, as does one out of range; a missing string empties its field.
    void json()
    {
        const QList<std::tuple<QString, QJsonValue, QJsonValue>> cases{
            {"Type", 2, 2}, {"Type", QJsonValue::Undefined, 0}, {"dataLen", QJsonValue::Undefined, 0},
            {"Type", 7, 0}, {"CANID", QJsonValue::Undefined, ""}, {"Data", QJsonValue::Undefined, ""}};
        for (const auto &[key, given, read] : cases) {
            QJsonObject in = example();
            in.insert(key, given); // Undefined removes the key
            m_page->fromJson(in);
            QCOMPARE(m_page->toJson(), example({{key, read}}));
        }
        QVERIFY(m_boxes.isEmpty());
    }
};

QTEST_MAIN(Tst_modbus)
#include "tst_modbus.moc"
