#include "pages/CanMappingWidget.h"

#include "PageSteps.h"

#include <QtTest>
#include <QtWidgets>

// Exercises the mapping page the way the central widget and the user reach
// it: records in and out, the CAN mode, the editors, validation and file
// rows. Its own steps ("s" the send table, "r" the receive table; "s0:5" a
// cell): "mode N" applies CAN mode N, "ask N" has rows that ask for the
// mode learn N ("asks" logs how many asked), "load SEND|RECV" loads file rows,
// space apart, "json TEXT" a file's part; "add s", "del s", "clearall s"
// are the menu's; "select s R C" selects a cell, "select s R" a row,
// "select s" none; "read s RECORDS" reads a reply holding the send (9-byte)
// or receive (8-byte) records from slot 0 on, "written s RECORDS" logs
// "as written" when the page writes exactly those records into its 0x25 or
// 0x23 frame; "rows" logs the rows, "file" whether the
// page saves what it loaded; "check" validates the tables and logs the
// outcome and the highlighted cells; "forget" forgets the log so far.
class Tst_canmapping : public QObject
{
    Q_OBJECT

    static QTableWidget *table(const CanMappingWidget &page, const QString &side)
    {
        return page.findChild<QTableWidget *>(side == "s" ? "m_tableWidgetCanSendMapping"
                                                          : "m_tableWidgetRecvMapping");
    }
    static QByteArray frame(char command, const QString &records, int length)
    {
        return (QByteArray::fromHex("56AA") + command + QByteArray::fromHex(records.toLatin1()))
            .leftJustified(length, 0);
    }
    static QByteArray written(const CanMappingWidget &page, bool send)
    {
        QByteArray frame = QByteArray::fromHex("56AA") + char(send ? 0x25 : 0x23);
        send ? page.writeSendBlock(frame) : page.writeRecvBlock(frame);
        return frame;
    }
    static QString run(CanMappingWidget &page, const QString &steps)
    {
        int answer = 0, asks = 0;
        QJsonObject loaded;
        QObject context; // the page stops asking this run when it ends
        PageSteps run(&page);
        run.find = [&page](const QString &name) {
            const QStringList at = name.mid(1).split(':');
            return at.size() == 2 ? table(page, name.left(1))->cellWidget(at[0].toInt(), at[1].toInt())
                                  : nullptr;
        };
        QObject::connect(&page, &CanMappingWidget::getcantype, &context, [&] {
            ++asks;
            page.setCanMode(answer);
        });
        run.verbs["asks"] = [&](const QString &) { run.log << QString("asked %1 times").arg(asks); };
        run.verbs["mode"] = [&](const QString &n) { page.applyCanMode(answer = n.toInt()); };
        run.verbs["ask"] = [&](const QString &n) { answer = n.toInt(); };
        run.verbs["json"] = [&](const QString &text) { page.fromJson(loaded = jsonObject(text)); };
        run.verbs["load"] = [&](const QString &rows) {
            page.fromJson(loaded = {{"sendMap", QJsonArray::fromStringList(
                                                    rows.section('|', 0, 0).split(' ', Qt::SkipEmptyParts))},
                                    {"recMap", QJsonArray::fromStringList(
                                                   rows.section('|', 1).split(' ', Qt::SkipEmptyParts))}});
        };
        run.verbs["file"] = [&](const QString &) {
            run.log << (page.toJson() == loaded ? "saved as loaded" : "other");
        };
        run.verbs["add"] = [&](const QString &s) {
            s == "s" ? page.onActionSendMappingAdd() : page.onActionRecvMappingAdd();
        };
        run.verbs["del"] = [&](const QString &s) {
            s == "s" ? page.onActionSendMappingDelete() : page.onActionRecvMappingDelete();
        };
        run.verbs["clearall"] = [&](const QString &s) {
            s == "s" ? page.onActionSendMappingClearAll() : page.onActionRecvMappingClearAll();
        };
        run.verbs["select"] = [&](const QString &at) {
            const QStringList a = at.split(' ');
            QTableWidget *t = table(page, a[0]);
            if (a.size() == 1)
                t->clearSelection();
            else if (a.size() == 2)
                t->selectRow(a[1].toInt());
            else
                t->setRangeSelected({a[1].toInt(), a[2].toInt(), a[1].toInt(), a[2].toInt()}, true);
        };
        run.verbs["read"] = [&](const QString &what) {
            const bool send = what.startsWith('s');
            const QByteArray reply = frame(send ? 0x24 : 0x22, what.mid(2).remove(' '), 301);
            send ? page.readSendBlock(reply) : page.readRecvBlock(reply);
        };
        run.verbs["written"] = [&](const QString &what) {
            const bool send = what.startsWith('s');
            const QByteArray expected =
                frame(send ? 0x25 : 0x23, what.mid(2).remove(' '), send ? 299 : 263);
            run.log << (written(page, send) == expected ? "as written" : written(page, send).toHex());
        };
        run.verbs["rows"] = [&](const QString &) {
            run.log << (page.sendRowStrings() + page.recvRowStrings()).join(' ');
        };
        run.verbs["forget"] = [&](const QString &) { run.log.clear(); };
        run.verbs["check"] = [&](const QString &) {
            QStringList cells{QString::number(page.validateMappings())};
            for (const QString side : {"s", "r"})
                for (int row = 0; row < table(page, side)->rowCount(); ++row)
                    for (int c = 1; c < table(page, side)->columnCount(); ++c)
                        if (table(page, side)->cellWidget(row, c)->styleSheet().contains("#FFB6C1"))
                            cells << QStringLiteral("%1%2:%3").arg(side).arg(row).arg(c);
            run.log << cells.join(' ');
        };
        return run.run(steps);
    }

private slots:
    void steps_data()
    {
        stepColumns();
        const auto row = stepRow;
        // A row goes out as its record; a record read back gives the row (unless only
        // written: unchecked rows, partly checked receive rows). The records are tst_protocol's.
        const auto record = [&](const char *name, const QString &side, const QString &rows,
                                const char *records, const QString &back) {
            row(name,
                QString("mode 2; load %1; written %2 %3; read %2 %3; rows")
                    .arg(side == "s" ? rows : "|" + rows, side, records),
                "as written; " + back);
        };
        const char *fd64 = "2,0,1,2,14,1fffffff,40000,", *fd12 = "2,0,0,1,8,7ff,1,";
        record("send: fast FD 64", "s", fd64, "011FFFFFFF9C40B040", fd64);
        record("send: CANFD 12 standard", "s", fd12, "01000007FF0001200C", fd12);
        record("send: dynamic length", "s", "2,0,0,0,15,1,2,", "0100000001000200FF", "2,0,0,0,15,1,2,");
        record("send: remote frame", "s", "2,1,0,0,7,12,5,", "010000001200054008", "2,1,0,0,7,12,5,");
        record("send: leading zeros dropped, zero is 00", "s", "2,0,0,0,7,123,5, 2,0,0,0,0,00,0,",
               "010000012300050008 010000000000000001", "2,0,0,0,7,123,5, 2,0,0,0,0,00,0,");
        record("send: unchecked, partly checked", "s", "0,0,0,0,0,5,6, 1,0,0,0,0,7,8,",
               "000000000500060001 010000000700080001", "");
        record("recv: 18FF50E5 at 100, 4", "r", "2,18ff50e5,100,3,", "0118FF50E5006404", "2,18ff50e5,100,3,");
        record("recv: partly checked is off", "r", "1,5,6,0,", "0000000005000601", "");

        // From CAN mode 2, then `mode`: protocol and length shown, which protocols and which
        // lengths are selectable.
        const QString probe = "; ? s0:3.currentText s0:4.currentText s0:3.selectable s0:4.selectable";
        row("classic: FD row falls back to CAN, 8", "mode 2; load 2,0,0,2,14,1,1,; mode 0" + probe,
            "CAN 8 100 1111111100000001");
        row("FD: FD加速 becomes CANFD", "mode 2; load 2,0,0,2,14,1,1,; mode 1" + probe,
            "CANFD 64 110 1111111111111111");
        row("FD加速: CAN row keeps short lengths", "mode 2; load 2,0,0,0,3,1,1,; mode 2" + probe,
            "CAN 4 111 1111111100000001");

        // New rows ask for the CAN mode; receive counts above 4 are for CAN FD only.
        row("new rows ask for the mode",
            "ask 1; add s; ? s0:3.selectable; ask 0; read r 0100000001000101; ? r0:3.selectable; mode 1; "
            "? r0:3.selectable; asks",
            "110; 11110000000000000000000000000000; 11111111111111111111111111111111; asked 2 times");

        // The row handlers act on the selected row only. A new frame type resets the identifier;
        // back from "远程帧" to "数据帧", protocol and length go back to their first entries;
        // data-frame rows offer only "数据帧".
        row("row handlers act on the selected row",
            "mode 2; load 2,1,0,0,3,1,1, 2,0,0,1,14,2,2,; ? s1:1.count; select s 0; set s0:3 2; set s0:1 0; "
            "set s0:2 1; rows; select s; set s1:3 0; ? s1:4.currentText",
            "1; 2,0,1,0,0,00,1, 2,0,0,1,14,2,2,; 64");

        // Keys typed over "12" or a file's rows: an entry out of range is reported and taken back; a
        // file's identifier has no edit to take back, stays, and raises the box of each check it
        // fails (the receive table's pattern check is quiet).
        const auto range = [](const char *range) {
            return QString("1 输入错误|请输入有效值: %1|OK; ").arg(range);
        };
        row("typed standard id over 7ff, receive id over 1FFFFFFF",
            "add s; retype s0:5 12; retype s0:5 800; add r; retype r0:1 12; retype r0:1 20000000; rows",
            range("0x00-0x7ff") + range("0x00-0x1FFFFFFF") + "2,0,0,0,0,12,00, 2,12,00,0,");
        row("typed address over, then 65535",
            "add s; retype s0:6 12; retype s0:6 65536; rows; retype s0:6 65535; rows",
            "1  |输入错误 请输入 0 到 65535 之间的整数|OK; 2,0,0,0,0,00,12,; 2,0,0,0,0,00,65535,");
        row("standard, four digits", "load 2,0,0,0,0,1000,00,; rows",
            range("0x00-0x7ff") + range("0x00-0x7FF") + "2,0,0,0,0,1000,00,");
        row("standard, three digits", "load 2,0,0,0,0,800,00,; rows",
            range("0x00-0x7ff") + "2,0,0,0,0,800,00,");
        row("extended, beyond", "load 2,0,1,0,0,FFFFFFFF,00,; rows",
            range("0x00-0x1FFFFFFF") + "2,0,1,0,0,FFFFFFFF,00,");
        row("extended, nine digits", "load 2,0,1,0,0,000000001,00,; rows",
            range("0x00-0x1FFFFFFF") + "2,0,1,0,0,000000001,00,");
        row("receive, beyond", "load |2,FFFFFFFF,0,0,; rows", range("0x00-0x1FFFFFFF") + "2,FFFFFFFF,0,0,");
        row("receive, nine digits", "load |2,000000001,0,0,; rows", "2,000000001,0,0,");

        // A refused table shows one warning and highlights the cells at fault; a second check
        // clears the first one's highlights.
        const auto check = [&](const char *name, const QString &send, const QString &recv, QString box,
                               const QString &cells = {}) {
            if (box.count('|') == 1)
                box += "|请修改后重试";
            row(name, QString("mode 2; load %1|%2; check; forget; check").arg(send, recv),
                box.isEmpty() ? "1" : "2 " + box + "; 0 " + cells);
        };
        const QString empty = "请输入有效值";
        check("all fine", "2,0,0,0,14,1,10, 2,0,0,0,14,2,11,", "2,1,0,3, 2,1ff,4,3,", "");
        check("send id empty", "2,0,0,0,0,,2,", "", "ID错误|" + empty, "s0:5");
        check("send ids equal by value, checked first", "2,0,0,0,0,7FF,1, 2,0,1,0,0,7ff,2,", "2,,0,0,",
              "ID重复|CAN发送映射列表存在重复的ID", "s1:5");
        check("send addresses equal by value", "2,0,0,0,0,1,010, 2,0,0,0,0,2,10,", "",
              "寄存器地址重复|CAN发送映射列表存在重复地址", "s1:6");
        check("receive end above 65535", "", "2,1,65530,7,",
              "地址超出范围|结束地址超出 65535 (0xFFFF)\n当前结束地址：65537 (0x10001)", "r0:2 r0:3");
        check("receive end at 65535", "", "2,1,65532,3,", "");
        check("touching ranges, id in both", "2,0,0,0,0,1,0,", "2,1,0,3, 2,2,4,3,", "");
        check("send standard id beyond 7FF", "2,0,0,0,0,800,1,", "", "ID错误|" + empty, "s0:5");
        check("send extended id beyond 1FFFFFFF", "2,0,1,0,0,1,1, 2,0,1,0,0,20000000,2,", "",
              "ID错误|" + empty, "s1:5");
        check("send id unreadable", "2,0,1,0,0,xyz,1,", "", "ID错误|" + empty, "s0:5");
        check("send address beyond 65535", "2,0,0,0,0,1,0, 2,0,0,0,0,2,70000,", "", "地址错误|" + empty,
              "s1:6");
        check("send address negative", "2,0,0,0,0,1,-1,", "", "地址错误|" + empty, "s0:6");
        check("receive id beyond 1FFFFFFF", "", "2,20000000,0,0,", "ID错误|" + empty, "r0:1");
        check("receive start beyond 65535", "", "2,1,70000,0,",
              "地址超出范围|结束地址超出 65535 (0xFFFF)\n当前结束地址：70000 (0x11170)", "r0:2 r0:3");
        check("receive start unreadable", "", "2,1,x1,0,",
              "参数错误|地址或映射数量格式错误或无效|请检查后重试", "r0:2 r0:3");
        check("overlapping ranges", "", "2,1,0,3, 2,2,3,3,", "区间重复|CAN接收映射列表存在区间重复",
              "r1:2 r1:3");
        // A receive row is cleared only once it has both texts: refused for an empty one, it keeps
        // the highlights of the run before.
        row("empty receive id keeps the row's earlier highlights",
            "mode 2; load |2,1,0,3, 2,2,3,3,; check; forget; set r1:1 ; check",
            "2 ID错误|" + empty + "|请修改后重试; 0 r1:1 r1:2 r1:3");

        // Rows go to and from the file as their strings; missing fields read as empty, an entry
        // that is not a string gives an unchecked row. 32 rows at most, from a file (one notice
        // per table) or from the menu; a full table fills every slot. Delete takes the selected rows.
        row("file rows",
            "load 2,0,1,2,15,1ABC,100, 0,0,0,1,9,7f,3,|1,5,0,31,; file; load 2|2,7; rows; "
            R"(json {"sendMap":["2,0,1,2,15,1ABC,100,",42]}; rows)",
            "saved as loaded; 2,0,0,0,0,,, 2,7,,0,; 2,0,1,2,15,1ABC,100, 0,0,0,0,0,,,");
        QStringList many, records;
        for (int i = 0; i < 40; ++i) {
            many << QString("2,0,0,0,0,%1,%1,").arg(i);
            records << QString("01%1%2").arg(i, 8, 10, QChar('0')).arg(i, 4, 16, QChar('0')) + "0001";
        }
        const QString full = "1 提示|最多可以添加32个记录|OK; ";
        row("32 rows at most",
            QString("load %1; load %2|%3; ? m_tableWidgetCanSendMapping.rowCount "
                    "m_tableWidgetRecvMapping.rowCount; add s; add r; written s %4")
                .arg(many.mid(0, 32).join(' '), many.join(' '),
                     many.mid(0, 35).replaceInStrings("2,0,0,0,0,", "2,").join(' '),
                     records.mid(0, 32).join("")),
            full + full + "32 32; " + full + full + "as written");
        row("delete takes the selected rows",
            QString(
                "load %1|2,1,1,0,; del s; select s 3 0; select s 1 2; select s 1 5; del s; clearall r; rows")
                .arg(many.mid(0, 4).join(' ')),
            many[0] + " " + many[2]);
    }
    void steps()
    {
        QFETCH(QString, steps);
        CanMappingWidget page;
        QTEST(run(page, steps), "log");
    }

    // Replies refill reused rows: more, then fewer, highlighted, read again as they stand, after
    // a mode change, after an edit, with an identifier that is reported. Whatever came before,
    // the last reply ("mode N; read ..." or "ask N; read ...", after the last '/') leaves every
    // cell as it leaves a fresh page's, with the same boxes.
    void refill_data()
    {
        QTest::addColumn<QString>("steps");
        const QString s2 = "mode 2; read s 010000001200054008 01000000120007B040 01000007FF0001200C";
        const QString r2 = "mode 2; read r 0118FF50E5006420 0100000001007003 0100000002000101";
        const auto in = [](QString steps, const char *mode) { return steps.replace("mode 2", mode); };
        const auto add = [](const char *name, const QStringList &steps) {
            QTest::newRow(name) << steps.join('/');
        };
        add("send: more, fewer, highlighted", {"mode 2; read s 010000000100020008", s2, "check",
                                               "mode 2; read s 0100000013000600FF 010000000100020008"});
        add("send: read again", {s2, s2});
        add("send: mode changed between", {s2, in(s2, "mode 0"), s2});
        add("send: rows ask for another mode", {s2, in(s2, "ask 0"), in(s2, "ask 1")});
        add("send: edited between", {s2, "retype s0:6", s2});
        add("send: identifier out of range, twice",
            {"mode 2; read s 010000080000010008", "mode 2; read s 010000080000010008"});
        add("recv: more, fewer, highlighted", {"mode 2; read r 0100000005000602", r2, "check",
                                               "mode 2; read r 0100000005000602 0100000006000A01"});
        add("recv: read again", {r2, r2});
        add("recv: mode changed between", {r2, in(r2, "mode 0"), r2});
        add("recv: rows ask for another mode", {r2, in(r2, "ask 0")});
        add("recv: edited between", {r2, "retype r0:2", r2});
    }
    void refill()
    {
        QFETCH(QString, steps);
        const QString side = steps.section(" read ", -1).left(1), last = steps.section('/', -1);
        CanMappingWidget reused, fresh;
        run(reused, steps.section('/', 0, -2).replace('/', ';'));
        QCOMPARE(run(reused, last), run(fresh, last));
        QCOMPARE(tableState(table(reused, side)), tableState(table(fresh, side)));
        QCOMPARE(written(reused, side == "s").toHex(), written(fresh, side == "s").toHex());
    }
};

QTEST_MAIN(Tst_canmapping)
#include "tst_canmapping.moc"
