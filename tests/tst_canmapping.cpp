#include "app/MessageBox.h"
#include "pages/CanMappingWidget.h"

#include "TableState.h"

#include <QtTest>
#include <QtWidgets>

// Exercises the mapping page the way the central widget and the user reach
// it: records in and out, the CAN mode, the editors, validation and file
// rows. Rows and records in the data tables are written space-separated;
// the blocks' bytes are tst_protocol's.
// A data row of string columns.
static void addRow(const char *name, const QStringList &columns)
{
    QTestData &row = QTest::newRow(name);
    for (const QString &column : columns)
        row << column;
}

class Tst_canmapping : public QObject
{
    Q_OBJECT

    CanMappingWidget *m_page = nullptr;
    QStringList m_boxes; // each box as "icon title|text|buttons"

    static QTableWidget *tableOf(const CanMappingWidget *page, bool send)
    {
        return page->findChild<QTableWidget *>(send ? "m_tableWidgetCanSendMapping" : "m_tableWidgetRecvMapping");
    }
    QTableWidget *table(bool send) const { return tableOf(m_page, send); }
    QComboBox *combo(bool send, int r, int c) const
    {
        return qobject_cast<QComboBox *>(table(send)->cellWidget(r, c));
    }
    static QStringList list(const QString &items) { return items.split(' ', Qt::SkipEmptyParts); }
    void load(const QStringList &send, const QStringList &recv, CanMappingWidget *page = nullptr)
    {
        (page ? page : m_page)
            ->fromJson({{"sendMap", QJsonArray::fromStringList(send)},
                        {"recMap", QJsonArray::fromStringList(recv)}});
    }
    QStringList rows() const { return m_page->sendRowStrings() + m_page->recvRowStrings(); }
    // The highlighted cells of both tables, as "send row:column" or "recv row:column".
    QString highlighted() const
    {
        QStringList cells;
        for (bool send : {true, false})
            for (int row = 0; row < table(send)->rowCount(); ++row)
                for (int c = 1; c < table(send)->columnCount(); ++c)
                    if (table(send)->cellWidget(row, c)->styleSheet() == "background-color: #FFB6C1;")
                        cells << QStringLiteral("%1_%2:%3").arg(send ? "send" : "recv").arg(row).arg(c);
        return cells.join(' ');
    }
    // The block the page writes into a 0x25 (send) or 0x23 (receive) frame.
    static QByteArray written(const CanMappingWidget *page, bool send)
    {
        QByteArray frame = QByteArray::fromHex("56AA") + char(send ? 0x25 : 0x23);
        send ? page->writeSendBlock(frame) : page->writeRecvBlock(frame);
        return frame;
    }
    // A frame of the given length with the send (9-byte) or receive (8-byte) records from slot 0 on.
    static QByteArray frame(bool send, char command, const QString &records, int length)
    {
        QByteArray frame = QByteArray::fromHex("56AA") + command + QByteArray::fromHex(records.toLatin1());
        return frame.leftJustified(length, '\0');
    }
    static void read(CanMappingWidget *page, bool send, const QString &records)
    {
        const QByteArray reply = frame(send, send ? 0x24 : 0x22, records, 301);
        send ? page->readSendBlock(reply) : page->readRecvBlock(reply);
    }
    static void typeOver(QLineEdit *edit, const QString &text)
    {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

private slots:
    void init()
    {
        m_boxes.clear();
        setMessageObserver([this](const MessageRecord &b) {
            m_boxes << QString("%1 %2|%3|%4").arg(int(b.icon)).arg(b.title, b.text, b.buttons.join(','));
        });
        m_page = new CanMappingWidget;
    }
    void cleanup()
    {
        delete m_page;
        setMessageObserver({});
    }

    // A row goes out as its record; a record read back gives the row (unless
    // only written: unchecked rows, partly checked receive rows).
    void records_data()
    {
        for (const char *column : {"rows", "records", "readBack"})
            QTest::addColumn<QString>(column);
        addRow("send: fast FD 64", {"s 2,0,1,2,14,1fffffff,40000,", "011FFFFFFF9C40B040", "yes"});
        addRow("send: CANFD 12 standard", {"s 2,0,0,1,8,7ff,1,", "01000007FF0001200C", "yes"});
        addRow("send: dynamic length", {"s 2,0,0,0,15,1,2,", "0100000001000200FF", "yes"});
        addRow("send: remote frame", {"s 2,1,0,0,7,12,5,", "010000001200054008", "yes"});
        addRow("send: leading zeros dropped, zero is 00",
               {"s 2,0,0,0,7,123,5, 2,0,0,0,0,00,0,", "010000012300050008 010000000000000001", "yes"});
        addRow("send: unchecked, partly checked",
               {"s 0,0,0,0,0,5,6, 1,0,0,0,0,7,8,", "000000000500060001 010000000700080001", ""});
        addRow("recv: 18FF50E5 at 100, 4", {"r 2,18ff50e5,100,3,", "0118FF50E5006404", "yes"});
        addRow("recv: partly checked is off", {"r 1,5,6,0,", "0000000005000601", ""});
    }
    void records()
    {
        QFETCH(QString, rows);
        QFETCH(QString, records);
        QFETCH(QString, readBack);
        const bool send = rows.startsWith('s');
        rows.remove(0, 2);
        m_page->applyCanMode(2);
        send ? load(list(rows), {}) : load({}, list(rows));
        QCOMPARE(written(m_page, send).toHex(),
                 frame(send, send ? 0x25 : 0x23, records.remove(' '), send ? 299 : 263).toHex());
        CanMappingWidget fresh;
        fresh.applyCanMode(2);
        read(&fresh, send, records);
        if (!readBack.isEmpty())
            QCOMPARE(fresh.sendRowStrings() + fresh.recvRowStrings(), list(rows));
        QVERIFY(m_boxes.isEmpty());
    }

    // One step of a refill: "mode|records" applies the CAN mode and reads a reply holding
    // the records; "ask mode|records" reads them with the mode only known to the rows that
    // ask for it (as when the main block brought a new one); "check" validates the tables
    // (highlighting what fails); "type" types the text of row 0's address over itself,
    // which leaves an edit to undo.
    void refillStep(CanMappingWidget *page, bool send, const QString &step)
    {
        page->disconnect(this);
        const int mode = step.section('|', 0, 0).remove("ask ").toInt();
        connect(page, &CanMappingWidget::getcantype, this, [page, mode] { page->setCanMode(mode); });
        if (step == "check") {
            page->validateMappings();
        } else if (step == "type") {
            auto *address = qobject_cast<QLineEdit *>(tableOf(page, send)->cellWidget(0, send ? 6 : 2));
            typeOver(address, address->text());
        } else {
            if (!step.startsWith("ask "))
                page->applyCanMode(mode);
            read(page, send, step.section('|', 1));
        }
    }

    // Replies refill reused rows: more, then fewer, highlighted, read again as they stand,
    // after a mode change, after an edit, with an identifier that is reported. Whatever
    // came before, the last reply leaves every cell as it leaves a fresh page's, with the
    // same boxes.
    void refill_data()
    {
        QTest::addColumn<QString>("all"); // "send" or "recv", then the steps, ';' between
        const QString sendB = "2|010000001200054008 01000000120007B040 01000007FF0001200C";
        const QString recvB = "2|0118FF50E5006420 0100000001007003 0100000002000101";
        const auto add = [](const char *name, const QString &table, const QStringList &steps) {
            QTest::newRow(name) << table + ';' + steps.join(';');
        };
        add("send: more, fewer, highlighted", "send",
            {"2|010000000100020008", sendB, "check", "2|0100000013000600FF 010000000100020008"});
        add("send: read again", "send", {sendB, sendB});
        add("send: mode changed between", "send", {sendB, "0" + sendB.mid(1), sendB});
        add("send: rows ask for another mode", "send",
            {sendB, "ask 0" + sendB.mid(1), "ask 1" + sendB.mid(1)});
        add("send: classic mode read again", "send", {"0" + sendB.mid(1), "0" + sendB.mid(1)});
        add("send: edited between", "send", {sendB, "type", sendB});
        add("send: highlighted between", "send", {sendB, "check", sendB});
        add("send: identifier out of range, twice", "send", {"2|010000080000010008", "2|010000080000010008"});
        add("recv: more, fewer, highlighted", "recv",
            {"2|0100000005000602", recvB, "check", "2|0100000005000602 0100000006000A01"});
        add("recv: read again", "recv", {recvB, recvB});
        add("recv: mode changed between", "recv", {recvB, "0" + recvB.mid(1), recvB});
        add("recv: rows ask for another mode", "recv", {recvB, "ask 0" + recvB.mid(1)});
        add("recv: edited between", "recv", {recvB, "type", recvB});
    }
    void refill()
    {
        QFETCH(QString, all);
        const bool send = all.startsWith("send");
        const QStringList steps = all.split(';').mid(1);
        for (int i = 0; i < steps.size(); ++i) {
            if (i == steps.size() - 1)
                m_boxes.clear();
            refillStep(m_page, send, steps.at(i));
        }
        const QStringList reusedBoxes = m_boxes;
        m_boxes.clear();
        CanMappingWidget fresh;
        refillStep(&fresh, send, steps.last());
        QCOMPARE(reusedBoxes, m_boxes);
        QCOMPARE(tableState(table(send)), tableState(tableOf(&fresh, send)));
        QCOMPARE(written(&fresh, send).toHex(), written(m_page, send).toHex());
    }

    // From CAN mode 2, then `mode`: protocol and length shown, which protocols
    // and which of lengths 8, 动态 and 64 are selectable.
    void canModeSend_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("after");
        QTest::newRow("classic: FD row falls back to CAN, 8") << 0 << "2,0,0,2,14,1,1," << "CAN 8 100 110";
        QTest::newRow("FD: FD加速 becomes CANFD") << 1 << "2,0,0,2,14,1,1," << "CANFD 64 110 111";
        QTest::newRow("FD加速: CAN row keeps short lengths") << 2 << "2,0,0,0,3,1,1," << "CAN 4 111 110";
    }
    void canModeSend()
    {
        QFETCH(int, mode);
        QFETCH(QString, row);
        m_page->applyCanMode(2);
        load({row}, {});
        m_page->applyCanMode(mode);
        QComboBox *protocol = combo(true, 0, 3), *length = combo(true, 0, 4);
        const QStringList after{protocol->currentText(), length->currentText(),
                                selectableEntries(protocol, {0, 1, 2}),
                                selectableEntries(length, {7, 15, 14})};
        QTEST(after.join(' '), "after");
    }

    // New rows ask for the CAN mode; receive counts above 4 are for CAN FD only.
    void newRowAsksForMode()
    {
        int answer = 1;
        QSignalSpy asked(m_page, &CanMappingWidget::getcantype);
        connect(m_page, &CanMappingWidget::getcantype, m_page, [&] { m_page->setCanMode(answer); });
        m_page->onActionSendMappingAdd();
        QCOMPARE(selectableEntries(combo(true, 0, 3), {1, 2}), QString("10"));
        answer = 0;
        m_page->readRecvBlock(frame(false, 0x22, "0100000001000101", 265));
        QCOMPARE(selectableEntries(combo(false, 0, 3), {3, 4}), QString("10"));
        m_page->applyCanMode(1);
        QCOMPARE(selectableEntries(combo(false, 0, 3), {3, 4, 31}), QString("111"));
        QCOMPARE(asked.count(), 2);
    }

    // The row handlers act on the selected row only. A new frame type resets the identifier;
    // back from "远程帧" to "数据帧", protocol and length go back to their first entries.
    void rowHandlersActOnSelectedRow()
    {
        m_page->applyCanMode(2);
        load(list("2,1,0,0,3,1,1, 2,0,0,1,14,2,2,"), {});
        QCOMPARE(combo(true, 1, 1)->count(), 1); // data-frame rows offer only "数据帧"
        table(true)->selectRow(0);
        combo(true, 0, 3)->setCurrentIndex(2);
        combo(true, 0, 1)->setCurrentIndex(0);
        combo(true, 0, 2)->setCurrentIndex(1);
        QCOMPARE(rows(), list("2,0,1,0,0,00,1, 2,0,0,1,14,2,2,"));
        table(true)->clearSelection();
        combo(true, 1, 3)->setCurrentIndex(0);
        QCOMPARE(combo(true, 1, 4)->currentText(), QString("64"));
        QVERIFY(m_boxes.isEmpty());
    }

    // Keys typed over "12" (selected) or a file's rows: an entry out of range is reported and
    // taken back; a file's identifier has no edit to take back, stays, and raises the box of
    // each check it fails (the receive table's pattern check is quiet).
    void identifierBoxes_data()
    {
        QTest::addColumn<QString>("rows");  // "s"/"r" and rows, or "type s|r column text" on a new row
        QTest::addColumn<QString>("after"); // the rows, then the boxes' range texts
        const QString address = "|1  |输入错误 请输入 0 到 65535 之间的整数|OK";
        addRow("typed standard id over 7ff", {"type s 5 800", "2,0,0,0,0,12,00,|0x00-0x7ff"});
        addRow("typed address over", {"type s 6 65536", "2,0,0,0,0,00,12," + address});
        addRow("typed address 65535", {"type s 6 65535", "2,0,0,0,0,00,65535,"});
        addRow("typed receive id over 1FFFFFFF", {"type r 1 20000000", "2,12,00,0,|0x00-0x1FFFFFFF"});
        addRow("standard, four digits", {"s 2,0,0,0,0,1000,00,", "2,0,0,0,0,1000,00,|0x00-0x7ff|0x00-0x7FF"});
        addRow("standard, three digits", {"s 2,0,0,0,0,800,00,", "2,0,0,0,0,800,00,|0x00-0x7ff"});
        addRow("extended, beyond", {"s 2,0,1,0,0,FFFFFFFF,00,", "2,0,1,0,0,FFFFFFFF,00,|0x00-0x1FFFFFFF"});
        addRow("extended, nine digits",
               {"s 2,0,1,0,0,000000001,00,", "2,0,1,0,0,000000001,00,|0x00-0x1FFFFFFF"});
        addRow("receive, beyond", {"r 2,FFFFFFFF,0,0,", "2,FFFFFFFF,0,0,|0x00-0x1FFFFFFF"});
        addRow("receive, nine digits", {"r 2,000000001,0,0,", "2,000000001,0,0,"});
    }
    void identifierBoxes()
    {
        QFETCH(QString, rows);
        const QStringList how = rows.split(' ');
        if (how.at(0) == "type") {
            const bool send = how.at(1) == "s";
            send ? m_page->onActionSendMappingAdd() : m_page->onActionRecvMappingAdd();
            auto *editor = qobject_cast<QLineEdit *>(table(send)->cellWidget(0, how.at(2).toInt()));
            typeOver(editor, "12");
            typeOver(editor, how.at(3));
        } else {
            how.at(0) == "s" ? load(how.mid(1), {}) : load({}, how.mid(1));
        }
        QStringList shown = this->rows();
        for (const QString &box : m_boxes)
            shown << (box.startsWith("1 输入错误|请输入有效值: ") ? box.section(": ", 1).chopped(3) : box);
        QTEST(shown.join('|'), "after");
    }

    // A refused table shows one warning and highlights the cells at fault.
    void validation_data()
    {
        for (const char *column : {"send", "recv", "box", "cells"}) // box: title|text, empty: accepted
            QTest::addColumn<QString>(column);
        const QString empty = "请输入有效值";
        addRow("all fine", {"2,0,0,0,14,1,10, 2,0,0,0,14,2,11,", "2,1,0,3, 2,1ff,4,3,", "", ""});
        addRow("send id empty", {"2,0,0,0,0,,2,", "", "ID错误|" + empty, "send_0:5"});
        addRow("send ids equal by value, checked first", {"2,0,0,0,0,7FF,1, 2,0,1,0,0,7ff,2,", "2,,0,0,",
                                                          "ID重复|CAN发送映射列表存在重复的ID", "send_1:5"});
        addRow("send addresses equal by value", {"2,0,0,0,0,1,010, 2,0,0,0,0,2,10,", "",
                                                 "寄存器地址重复|CAN发送映射列表存在重复地址", "send_1:6"});
        addRow("receive end above 65535",
               {"", "2,1,65530,7,", "地址超出范围|结束地址超出 65535 (0xFFFF)\n当前结束地址：65537 (0x10001)",
                "recv_0:2 recv_0:3"});
        addRow("receive end at 65535", {"", "2,1,65532,3,", "", ""});
        addRow("touching ranges, id in both", {"2,0,0,0,0,1,0,", "2,1,0,3, 2,2,4,3,", "", ""});
        addRow("send standard id beyond 7FF", {"2,0,0,0,0,800,1,", "", "ID错误|" + empty, "send_0:5"});
        addRow("send extended id beyond 1FFFFFFF",
               {"2,0,1,0,0,1,1, 2,0,1,0,0,20000000,2,", "", "ID错误|" + empty, "send_1:5"});
        addRow("send id unreadable", {"2,0,1,0,0,xyz,1,", "", "ID错误|" + empty, "send_0:5"});
        addRow("send address beyond 65535",
               {"2,0,0,0,0,1,0, 2,0,0,0,0,2,70000,", "", "地址错误|" + empty, "send_1:6"});
        addRow("send address negative", {"2,0,0,0,0,1,-1,", "", "地址错误|" + empty, "send_0:6"});
        addRow("receive id beyond 1FFFFFFF", {"", "2,20000000,0,0,", "ID错误|" + empty, "recv_0:1"});
        addRow("receive start beyond 65535", {"", "2,1,70000,0,", "地址错误|" + empty, "recv_0:2"});
        addRow("receive start unreadable",
               {"", "2,1,x1,0,", "参数错误|地址或映射数量格式错误或无效|请检查后重试", "recv_0:2 recv_0:3"});
        addRow("overlapping ranges",
               {"", "2,1,0,3, 2,2,3,3,", "区间重复|CAN接收映射列表存在区间重复", "recv_1:2 recv_1:3"});
    }
    void validation()
    {
        QFETCH(QString, send);
        QFETCH(QString, recv);
        QFETCH(QString, box);
        m_page->applyCanMode(2);
        load(list(send), list(recv));
        m_page->validateMappings(); // a second run clears the first one's highlights
        m_boxes.clear(); // loading may have flagged the texts already
        QCOMPARE(m_page->validateMappings(), box.isEmpty());
        if (!box.isEmpty() && box.count('|') == 1)
            box += "|请修改后重试";
        QCOMPARE(m_boxes, box.isEmpty() ? QStringList() : QStringList{"2 " + box});
        QTEST(highlighted(), "cells");
    }

    // Rows go to and from the file as their strings; missing fields read as empty, an entry
    // that is not a string gives an unchecked row. 32 rows at most, from a file (one notice
    // per table) or from the menu; a full table fills every slot. Delete takes the selected rows.
    void fileRows()
    {
        const QStringList send = list("2,0,1,2,15,1ABC,100, 0,0,0,1,9,7f,3,"), recv{"1,5,0,31,"};
        load(send, recv);
        QCOMPARE(m_page->toJson(), (QJsonObject{{"sendMap", QJsonArray::fromStringList(send)},
                                                {"recMap", QJsonArray::fromStringList(recv)}}));
        load({"2"}, {"2,7"});
        QCOMPARE(rows(), list("2,0,0,0,0,,, 2,7,,0,"));
        m_page->fromJson({{"sendMap", QJsonArray{send.at(0), 42}}});
        QCOMPARE(rows(), (QStringList{send.at(0), "0,0,0,0,0,,,"}));
        QVERIFY(m_boxes.isEmpty());

        QStringList many, records;
        for (int i = 0; i < 40; ++i) {
            many << QString("2,0,0,0,0,%1,%1,").arg(i);
            records << QString("01%1%2").arg(i, 8, 10, QChar('0')).arg(i, 4, 16, QChar('0')) + "0001";
        }
        load(many.mid(0, 32), {});
        QVERIFY(m_boxes.isEmpty());
        load(many, many.mid(0, 35).replaceInStrings("2,0,0,0,0,", "2,"));
        QCOMPARE(rows().size(), 64);
        m_page->onActionSendMappingAdd();
        m_page->onActionRecvMappingAdd();
        QCOMPARE(m_boxes, QString(";1 提示|最多可以添加32个记录|OK").repeated(4).split(';').mid(1));
        QCOMPARE(written(m_page, true).toHex(), frame(true, 0x25, records.mid(0, 32).join(""), 299).toHex());

        load(many.mid(0, 4), {"2,1,1,0,"});
        m_page->onActionSendMappingDelete(); // nothing selected, nothing removed
        for (auto [r, c] : {std::pair{3, 0}, {1, 2}, {1, 5}})
            table(true)->setRangeSelected({r, c, r, c}, true);
        m_page->onActionSendMappingDelete();
        m_page->onActionRecvMappingClearAll();
        QCOMPARE(rows(), QStringList() << many.at(0) << many.at(2));
    }
};

QTEST_MAIN(Tst_canmapping)
#include "tst_canmapping.moc"
