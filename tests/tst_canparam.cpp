// Tests of the CAN parameters page: the CAN block and the filter frames,
// the rules tying its controls together, the identifier checks, and its
// part of the configuration file.
#include "pages/CanIdEdit.h"
#include "pages/CanParamWidget.h"
#include "protocol/CanBlock.h"
#include "protocol/ConfigFrame.h"
#include "protocol/FilterTable.h"

#include "PageSteps.h"

#include <QtTest>
#include <QtWidgets>

using namespace Protocol;

// The page's own steps: "json TEXT" loads a file's part, "file" logs whether the page saves it
// as loaded; "add N" adds N filter rows from the menu, "delete" removes the selected ones;
// "select R" selects a filter row ("R:C" names a filter cell); "reply A,H" puts a 0x05 reply announcing A rows and holding H records (record i:
// frame type i % 2, filter type i % 3, ID 1 = 0x100 + i, ID 2 = 0) in the reply buffer, "reply 2
// of 3" its records 1 and 2 only, "reply 0x800" one standard row whose identifier is out of
// range; "read" reads the filter reply. "write" logs the CAN block written (arbitration and data
// word, identifier, protocol, acceleration, standard and frame type), or that the write was
// refused, and whether the block read back into a reset page is written unchanged; "filters" logs
// the filter frame's table (enabled, then the records); "canMode" the CAN mode; after "signals",
// the signals are logged.
class Tst_canparam : public QObject
{
    Q_OBJECT

    static QByteArray filterReply(int announced, int held)
    {
        QByteArray reply = ConfigFrame::header(ConfigFrame::ReadFilters);
        reply += char(1) + QByteArray(1, 0) + char(announced) + QByteArray(1, 0);
        for (int i = 0; i < held; ++i)
            reply += QByteArray::fromHex(
                QString::asprintf("0%d 0%d 0000 %08x 00000000", i % 2, i % 3, 0x100 + i).toLatin1());
        ConfigFrame::appendCrc(reply);
        return reply;
    }
    static QByteArray written(const CanParamWidget &page)
    {
        QByteArray frame = ConfigFrame::header(ConfigFrame::WriteFilters);
        page.writeFilterBlock(frame);
        return frame;
    }
    static QString run(CanParamWidget &page, QByteArray &reply, const QString &steps)
    {
        QJsonObject loaded;
        QObject context; // the page stops logging when the run ends
        PageSteps run(&page);
        auto *table = page.findChild<QTableWidget *>("tableWidget");
        run.find = [table](const QString &name) {
            const QStringList at = name.split(':');
            return at.size() == 2 ? table->cellWidget(at[0].toInt(), at[1].toInt()) : nullptr;
        };
        run.verbs["signals"] = [&](const QString &) {
            QObject::connect(&page, &CanParamWidget::agreement, &context,
                             [&](int p) { run.log << QString("agreement(%1)").arg(p); });
            QObject::connect(&page, &CanParamWidget::comboBox_2_Change, &context,
                             [&](int m) { run.log << QString("mode(%1)").arg(m); });
        };
        run.verbs["json"] = [&](const QString &text) { page.fromJson(loaded = jsonObject(text)); };
        run.verbs["file"] = [&](const QString &) {
            run.log << (page.toJson() == loaded ? "saved as loaded" : "other");
        };
        run.verbs["add"] = [&](const QString &n) {
            for (int i = 0; i < n.toInt(); ++i)
                page.findChild<QMenu *>()->actions().at(1)->trigger();
        };
        run.verbs["delete"] = [&](const QString &) { page.findChild<QMenu *>()->actions().at(0)->trigger(); };
        run.verbs["select"] = [table](const QString &row) { table->selectRow(row.toInt()); };
        run.verbs["reply"] = [&](const QString &step) {
            if (step == "2 of 3")
                reply = filterReply(3, 3).remove(7, 12).replace(5, 1, "\x02");
            else if (step == "0x800")
                reply = filterReply(1, 1).replace(7 + 4, 4, QByteArray::fromHex("00000800"));
            else
                reply = filterReply(step.section(',', 0, 0).toInt(), step.section(',', 1).toInt());
        };
        run.verbs["read"] = [&](const QString &) { page.readFilterBlock(); };
        run.verbs["canMode"] = [&](const QString &) { run.log << QString::number(page.canMode()); };
        run.verbs["filters"] = [&](const QString &) {
            const FilterTable t = FilterTable::decode(written(page));
            QStringList records{QString::number(t.enabled)};
            for (const FilterRecord &r : t.records)
                records << QString::asprintf("%d %d %x %x", r.frameType, r.filterType, r.id1, r.id2);
            run.log << records.join(", ");
        };
        run.verbs["write"] = [&](const QString &) {
            QByteArray frame = ConfigFrame::header(ConfigFrame::WriteMain), again = frame;
            if (!page.writeBlock(frame))
                return void(run.log << QString("refused, %1 bytes").arg(frame.size()));
            const CanBlock b = CanBlock::decode(frame);
            page.fromJson({});
            reply = ConfigFrame::header(ConfigFrame::ReadMain) + QByteArray(12, '\0') + frame.mid(15);
            page.readBlock();
            page.writeBlock(again);
            run.log << QString::asprintf("%x %x %x %d%d%d%d ", b.arbitrationWord, b.dataWord, b.sendId,
                                         b.protocol, b.acceleration, b.standard, b.frameType) +
                           (again == frame ? "rewritten" : "differs");
        };
        return run.run(steps);
    }

private slots:
    void steps_data()
    {
        stepColumns();
        const auto row = stepRow;
        // The words are typed over the custom entries. The blocks are tst_protocol's can rows.
        row("FD, fast, Non-ISO, extended, 500K, 2M",
            R"(json {"Agreement":1,"speed":1,"CANStandard":1,)"
            R"("frameType":1,"sendID":"1A","Arbitrationarea":11,"Dataarea":8}; write)",
            "2a0007 250002 1a 1111 rewritten");
        row("custom words, then with the top bit",
            R"(json {"Arbitrationarea":14,"Dataarea":13,"sendID":"7ff"}; set lineEdit 0x12345678;)"
            " set lineEdit_2 abc; write; set lineEdit 0x8BCF203D; set lineEdit_2 FFFFFFFF; write",
            "12345678 abc 7ff 0000 rewritten; 8bcf203d ffffffff 7ff 0000 rewritten");
        row("no identifier in the file goes out as 0", "json {}; write", "6f01f3 3e001d 0 0000 rewritten");
        row("bad identifier", R"(json {"sendID":"0x12"}; write)",
            "1 提示|CAN ID输入错误|OK; refused, 3 bytes");

        // The rule hears currentIndexChanged and activated.
        row("protocol and acceleration rules",
            "signals; pick comboBox_2 1; ? comboBox_4.enabled comboBox_7.enabled; "
            "pick comboBox_4 1; pick comboBox_2 0; canMode; ? comboBox_4.enabled comboBox_7.enabled",
            "agreement(1); mode(1); agreement(1); mode(1); 1 0; mode(2); agreement(0); mode(0); "
            "agreement(0); mode(0); 0; 0 0");

        // A file's custom word is taken as written, a word that does not read as 32 bits is the
        // placeholder, and one beside a preset is ignored; without one the list's rule stands.
        row("custom words from a file",
            R"(set comboBox_6 3; json {"Arbitrationarea":14,"ArbitrationWord":"0x8bcf203d","Dataarea":13,)"
            R"("DataWord":"0x123456789","sendID":"7ff"}; ? lineEdit lineEdit_2; write;)"
            R"( json {"Arbitrationarea":3,"ArbitrationWord":"12","Dataarea":13,"DataWord":"nothex"};)"
            R"( ? lineEdit lineEdit_2; set comboBox_6 14; set lineEdit abc; json {"Arbitrationarea":14}; ? lineEdit)",
            "0x8bcf203d 0x00000000; 8bcf203d 0 7ff 0000 rewritten; 0x002A0063 0x00000000; abc");
        row("filter switch from a file",
            R"(set checkBox 0; json {"FilterEnable":2}; ? checkBox tableWidget.enabled; json {}; ? checkBox;)"
            R"( json {"FilterEnable":0}; ? checkBox tableWidget.enabled)",
            "1 1; 1; 0 0");

        // The last key is typed after a text set in one piece (Qt undoes a whole run of typing at
        // once); a loaded text has no edit to undo and may stay. One the page refuses leaves the
        // field empty: the text accepted before was not the file's.
        const QString range = "1 输入错误|请输入有效值: ";
        row("standard over, extended over",
            "set comboBox_3 0; set lineEdit_3 80; type lineEdit_3 0; ? lineEdit_3; "
            "set comboBox_3 1; set lineEdit_3 2000000; type lineEdit_3 0; ? lineEdit_3",
            range + "0x00-0x7ff|OK; 80; " + range + "0x00-0x1fffffff|OK; 2000000");
        row("loaded standard over, loaded 9 characters",
            R"(set comboBox_3 0; set lineEdit_3 12; json {"frameType":0,"sendID":"800"}; ? lineEdit_3;)"
            R"( set comboBox_3 1; set lineEdit_3 12; json {"frameType":1,"sendID":"123456789"}; ? lineEdit_3)",
            range + "0x00-0x7ff|OK; ; ");

        // The page's part of a file comes back as it was loaded; its filter rows make the filter
        // frame (tst_protocol's "two records").
        row("file and filter frame",
            R"(json {"CANStandard":1,"Agreement":1,"frameType":1,"speed":1,"sendID":"1abc",)"
            R"("Arbitrationarea":14,"ArbitrationWord":"0x00000000","Dataarea":8,"FilterEnable":0,)"
            R"("NumberFilters":2,"frametype_0":0,"Filterstype_0":0,"IDaddress_0":)"
            R"("123","Taddress_0":"00","frametype_1":1,"Filterstype_1":2,"IDaddress_1":"18FF0000","Taddress_1":)"
            R"("1FFFFFFF"}; file; set checkBox 1; filters)",
            "saved as loaded; 1, 0 0 123 0, 1 2 18ff0000 1fffffff");

        // "范围 ID" on the selected row needs ID 2 above ID 1; a refused choice falls back and clears ID 2.
        row("range check",
            "set checkBox 1; add 1; set 0:3 100; set 0:4 100; select 0; keys 0:2 Down; ? 0:2 0:4; "
            "set 0:4 101; keys 0:2 Down; ? 0:2",
            "1 提示|ID 2 小于或等于 小于ID 1|OK; 0 ; 1");

        // Rows from a reply (announced, records held), from a file (announced only) or added from
        // the menu (announced: the rows asked for); past 28, one notice. The last row from a
        // reply comes from the last record held.
        const QString rows = "; ? checkBox tableWidget.rowCount", most = "1 提示|最多28条数据|OK; ";
        row("reply, more than the table holds", "set checkBox 0; add 4; reply 40,28; read" + rows + " 27:3",
            most + "1 28 11b");
        row("reply ends early", "set checkBox 0; add 4; reply 5,2; read" + rows + " 1:3", "1 2 101");
        row("reply, too many, ends early", "set checkBox 0; add 4; reply 200,3; read" + rows + " 2:3",
            most + "1 3 102");
        row("file, too many", R"(set checkBox 1; add 4; json {"NumberFilters":40})" + rows, most + "1 28");
        row("file, negative", R"(set checkBox 1; add 4; json {"NumberFilters":-5})" + rows, "1 0");
        row("file, beyond int", R"(set checkBox 1; add 4; json {"NumberFilters":1e12})" + rows, "1 0");
        row("menu, one too many", "set checkBox 1; add 29" + rows, most + "1 28");
    }
    void steps()
    {
        QFETCH(QString, steps);
        QByteArray reply;
        CanParamWidget page(&reply);
        page.show();
        QTEST(run(page, reply, steps), "log");
    }

    // Replies refill reused rows: more, fewer, of other kinds, read again as they stand, after
    // an edit, with identifiers that are reported. Whatever came before, the last reply leaves
    // every cell as it leaves a fresh page's, with the same boxes.
    void filterRefill_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("more, fewer, other kinds")
            << "reply 5,5; read; reply 2 of 3; read; reply 1,1; read; reply 2 of 3";
        QTest::newRow("read again") << "reply 5,5; read; reply 5,5";
        QTest::newRow("edited between") << "reply 3,3; read; retype 0:3; reply 3,3";
        QTest::newRow("identifier out of range, twice") << "reply 0x800; read; reply 0x800";
    }
    // The pattern check a read makes without the expression takes exactly
    // the texts the fields' validator takes whole.
    void identifierPattern_data()
    {
        QTest::addColumn<bool>("extended");
        QTest::addColumn<QString>("text");
        for (const bool extended : {false, true}) {
            for (const char *text : {"", "0", "7FF", "7ff", "800", "fFf", "1FFF", "1FFFFFFF", "abcdefAB", "123456789",
                                     "g", "7G", " 7F", "7F ", "7F\n", "-1", "+1", "0x1", "\xef\xbc\xa1"})
                QTest::addRow("%s \"%s\"", extended ? "extended" : "standard", text)
                    << extended << QString::fromUtf8(text);
        }
    }
    void identifierPattern()
    {
        QFETCH(bool, extended);
        QFETCH(QString, text);
        QRegularExpressionValidator validator(QRegularExpression(canIdPattern(extended)));
        int position = 0;
        QCOMPARE(matchesCanIdPattern(text, extended), validator.validate(text, position) == QValidator::Acceptable);
    }

    // The page keeps the last object it saved: each value it is made of
    // must reach the next save once changed.
    void savedObjectFollowsEveryValue_data()
    {
        QTest::addColumn<QString>("steps");
        for (const char *list : {"comboBox", "comboBox_2", "comboBox_3", "comboBox_4"})
            QTest::newRow(list) << QString("pick %1 1").arg(list);
        QTest::newRow("arbitration preset") << "pick comboBox_6 2";
        QTest::newRow("data preset") << "pick comboBox_7 2";
        QTest::newRow("send identifier") << "set lineEdit_3 1A";
        QTest::newRow("custom arbitration word") << "set lineEdit 0x12345678";
        QTest::newRow("custom data word") << "set lineEdit_2 abc";
        QTest::newRow("filter switch") << "set checkBox 0";
        QTest::newRow("row frame type") << "set 1:1 1";
        QTest::newRow("row filter type") << "set 0:2 2";
        QTest::newRow("row identifier 1") << "set 1:3 1A2";
        QTest::newRow("row identifier 2") << "set 0:4 7";
        QTest::newRow("row added") << "add 1";
        QTest::newRow("first row deleted, the next edited") << "select 0; delete; set 0:3 5A";
        QTest::newRow("rows read") << "reply 1,1; read";
    }
    void savedObjectFollowsEveryValue()
    {
        QFETCH(QString, steps);
        const QString base = R"(json {"Arbitrationarea":14,"Dataarea":13,"sendID":"7ff","NumberFilters":2,)"
                             R"("frametype_0":0,"Filterstype_0":1,"IDaddress_0":"10","Taddress_0":"20",)"
                             R"("frametype_1":0,"Filterstype_1":0,"IDaddress_1":"30","Taddress_1":"40"})";
        QByteArray reply[2];
        CanParamWidget saved(&reply[0]), fresh(&reply[1]);
        run(saved, reply[0], base + "; file");
        run(saved, reply[0], steps);
        run(fresh, reply[1], base + "; " + steps);
        QVERIFY(fresh.toJson() != jsonObject(base.mid(5)));
        QCOMPARE(saved.toJson(), fresh.toJson());
    }
    void filterRefill()
    {
        QFETCH(QString, steps);
        QByteArray reply[2];
        CanParamWidget reused(&reply[0]), fresh(&reply[1]);
        const QString last = steps.section(';', -1) + "; read";
        run(reused, reply[0], steps.section(';', 0, -2));
        QCOMPARE(run(reused, reply[0], last), run(fresh, reply[1], last));
        QCOMPARE(tableState(reused.findChild<QTableWidget *>()),
                 tableState(fresh.findChild<QTableWidget *>()));
        QCOMPARE(written(reused).toHex(), written(fresh).toHex());
    }
};

QTEST_MAIN(Tst_canparam)
#include "tst_canparam.moc"
