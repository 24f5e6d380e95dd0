// Tests of the CAN parameters page: the CAN block and the filter frames,
// the rules tying its controls together, the identifier checks, and its
// part of the configuration file.
#include "app/MessageBox.h"
#include "pages/CanParamWidget.h"
#include "protocol/ConfigFrame.h"

#include "TableState.h"

#include <QJsonDocument>
#include <QtTest>
#include <QtWidgets>

namespace {

const QString kRangeBox = QStringLiteral("输入错误|请输入有效值: %1");

QJsonObject json(const QByteArray &text) { return QJsonDocument::fromJson(text).object(); }
QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

// A 0x05 reply announcing `announced` rows and holding `held` records;
// record i: frame type i % 2, filter type i % 3, ID 1 = 0x100 + i, ID 2 = 0.
QByteArray filterReply(int announced, int held)
{
    QByteArray reply = ConfigFrame::header(ConfigFrame::ReadFilters);
    reply += char(1) + QByteArray(1, 0) + char(announced) + QByteArray(1, 0);
    for (int i = 0; i < held; ++i)
        reply += QByteArray::fromHex(QStringLiteral("0%1 0%2 0000 00000%3 00000000")
                                         .arg(i % 2).arg(i % 3).arg(0x100 + i, 0, 16).toLatin1());
    ConfigFrame::appendCrc(reply);
    return reply;
}

// As a user does it: arrow keys on the box, which emit activated too.
void pick(QComboBox *box, int index)
{
    for (int i = 0; i < box->count() && box->currentIndex() != index; ++i)
        QTest::keyClick(box, box->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
}

} // namespace

class Tst_canparam : public QObject
{
    Q_OBJECT

    QByteArray m_reply;
    CanParamWidget *m_page = nullptr;
    QStringList m_boxes; // "title|text" of every box shown

    template <class T> T *child(const char *name) { return m_page->findChild<T *>(QLatin1String(name)); }
    QComboBox *combo(const char *name) { return child<QComboBox>(name); }
    QLineEdit *edit(const char *name) { return child<QLineEdit>(name); }
    QTableWidget *table() { return child<QTableWidget>("tableWidget"); }
    template <class T = QLineEdit> T *cell(int row, int column)
    {
        return qobject_cast<T *>(table()->cellWidget(row, column));
    }
    void addRows(int n)
    {
        for (int i = 0; i < n; ++i)
            m_page->findChild<QMenu *>()->actions().at(1)->trigger();
    }
    QByteArray written(bool main, CanParamWidget *page = nullptr)
    {
        QByteArray frame = ConfigFrame::header(main ? ConfigFrame::WriteMain : ConfigFrame::WriteFilters);
        page = page ? page : m_page;
        main ? void(page->writeBlock(frame)) : page->writeFilterBlock(frame);
        return frame;
    }

private slots:
    void init()
    {
        m_reply.clear();
        m_boxes.clear();
        setMessageObserver([this](const MessageRecord &r) { m_boxes << r.title + '|' + r.text; });
        m_page = new CanParamWidget(&m_reply);
        m_page->show();
    }
    void cleanup()
    {
        delete m_page;
        setMessageObserver({});
    }

    // An empty block means the write is refused; a written block read back into a reset page
    // is written unchanged.
    void writeBlock_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("words"); // arbitration and data word typed over the custom entries
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("FD, fast, Non-ISO, extended, 500K, 2M")
            << QByteArray(R"({"Agreement":1,"speed":1,"CANStandard":1,"frameType":1,"sendID":"1A",
                              "Arbitrationarea":11,"Dataarea":8})")
            << "" << hex("002A0007 0000 00250002 0000 0000001A 01 00 01 00 01 00 01 00000000 99");
        QTest::newRow("custom words") << QByteArray(R"({"Arbitrationarea":14,"Dataarea":13,"sendID":"7ff"})")
            << "0x12345678 abc" << hex("12345678 0000 00000ABC 0000 000007FF 00000000000000 00000000 99");
        QTest::newRow("custom words with the top bit") << QByteArray(R"({"Arbitrationarea":14,"Dataarea":13})")
            << "0x8BCF203D FFFFFFFF" << hex("8BCF203D 0000 FFFFFFFF 0000 00000000 00000000000000 00000000 99");
        QTest::newRow("bad identifier") << QByteArray(R"({"sendID":"0x12"})") << "" << QByteArray();
    }
    void writeBlock()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, words);
        QFETCH(QByteArray, block);
        m_page->fromJson(json(file));
        if (!words.isEmpty()) {
            edit("lineEdit")->setText(words.section(' ', 0, 0));
            edit("lineEdit_2")->setText(words.section(' ', 1));
        }
        QByteArray frame = ConfigFrame::header(ConfigFrame::WriteMain);
        QCOMPARE(m_page->writeBlock(frame), !block.isEmpty());
        QCOMPARE(frame.mid(15).toHex(' '), block.toHex(' ')); // as tst_protocol's can rows
        QCOMPARE(m_boxes, block.isEmpty() ? QStringList{"提示|CAN ID输入错误"} : QStringList());
        if (block.isEmpty())
            return;
        m_page->fromJson({});
        m_reply = ConfigFrame::header(ConfigFrame::ReadMain) + QByteArray(12, '\0') + block;
        m_page->readBlock();
        QCOMPARE(written(true).mid(15).toHex(' '), block.toHex(' '));
    }

    void protocolAndAccelerationRules()
    {
        QComboBox *protocol = combo("comboBox_2"), *speed = combo("comboBox_4"), *data = combo("comboBox_7");
        QSignalSpy agreement(m_page, &CanParamWidget::agreement);
        QSignalSpy mode(m_page, &CanParamWidget::comboBox_2_Change);
        pick(protocol, 1); // the rule hears currentIndexChanged and activated
        QCOMPARE(agreement.count() + mode.count(), 4);
        QVERIFY(speed->isEnabled() && !data->isEnabled());
        pick(speed, 1);
        QCOMPARE(mode.last().at(0).toInt(), 2);
        pick(protocol, 0);
        QCOMPARE(mode.last().at(0).toInt() + m_page->canMode(), 0);
        QVERIFY(!speed->isEnabled() && !data->isEnabled());
    }

    // The last key is typed after a text set in one piece (Qt undoes a whole
    // run of typing at once); a loaded text has no edit to undo and may stay.
    void identifierRule_data()
    {
        QTest::addColumn<int>("frameType");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("range");
        QTest::newRow("standard over") << 0 << true << "800" << "80" << "0x00-0x7ff";
        QTest::newRow("extended over") << 1 << true << "20000000" << "2000000" << "0x00-0x1fffffff";
        QTest::newRow("loaded standard over") << 0 << false << "800" << "12" << "0x00-0x7ff";
        QTest::newRow("loaded 9 characters") << 1 << false << "123456789" << "12" << "";
    }
    void identifierRule()
    {
        QFETCH(int, frameType);
        QFETCH(bool, typed);
        QFETCH(QString, input);
        QFETCH(QString, range);
        combo("comboBox_3")->setCurrentIndex(frameType);
        edit("lineEdit_3")->setText(typed ? input.chopped(1) : QStringLiteral("12"));
        if (typed)
            QTest::keyClicks(edit("lineEdit_3"), input.right(1));
        else
            m_page->fromJson(QJsonObject{{"frameType", frameType}, {"sendID", input}});
        QTEST(edit("lineEdit_3")->text(), "shown");
        QCOMPARE(m_boxes, range.isEmpty() ? QStringList() : QStringList{kRangeBox.arg(range)});
    }

    // The page's part of a file comes back as it was loaded; its filter rows make the
    // filter frame: flag, count, 28 records of 12 bytes, then eight 0xFF.
    void fileAndFilterFrame()
    {
        const QJsonObject file = json(R"({"CANStandard":1,"Agreement":1,"frameType":1,"speed":1,
            "sendID":"1abc","Arbitrationarea":14,"Dataarea":8,"NumberFilters":2,
            "frametype_0":0,"Filterstype_0":0,"IDaddress_0":"123","Taddress_0":"00",
            "frametype_1":1,"Filterstype_1":2,"IDaddress_1":"18FF0000","Taddress_1":"1FFFFFFF"})");
        m_page->fromJson(file);
        QCOMPARE(m_page->toJson(), file);
        QVERIFY(m_boxes.isEmpty());
        child<QCheckBox>("checkBox")->setChecked(true);
        const QByteArray head = hex("01000200 000000000000012300000000 01020000 18FF0000 1FFFFFFF");
        const QByteArray payload = head + QByteArray(340 - head.size(), 0) + QByteArray(8, '\xFF');
        QCOMPARE(written(false).mid(3).toHex(' '), payload.toHex(' '));
    }

    // "范围 ID" on the selected row needs ID 2 above ID 1; a refused choice falls back and clears ID 2.
    void rangeCheck()
    {
        child<QCheckBox>("checkBox")->setChecked(true);
        addRows(1);
        cell(0, 3)->setText(QStringLiteral("100"));
        cell(0, 4)->setText(QStringLiteral("100"));
        table()->selectRow(0);
        QTest::keyClick(cell<QComboBox>(0, 2), Qt::Key_Down); // to "范围 ID"
        QCOMPARE(m_boxes, QStringList{"提示|ID 2 小于或等于 小于ID 1"});
        QCOMPARE(cell<QComboBox>(0, 2)->currentIndex(), 0);
        QCOMPARE(cell(0, 4)->text(), QString());
        cell(0, 4)->setText(QStringLiteral("101"));
        QTest::keyClick(cell<QComboBox>(0, 2), Qt::Key_Down);
        QCOMPARE(cell<QComboBox>(0, 2)->currentIndex(), 1);
    }

    // Replies refill reused rows: more, fewer, of other kinds, read again as they stand,
    // after an edit, with identifiers that are reported. Whatever came before, the last
    // reply leaves every cell as it leaves a fresh page's, with the same boxes. A step is
    // "announced,held" records of filterReply(), "2 of 3" (its records 1 and 2 only),
    // "0x800" (one standard row whose identifier is out of range), or "type" (row 0's
    // first identifier typed over itself, which leaves an edit to undo).
    void filterRefill_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("more, fewer, other kinds") << QStringList{"5,5", "2 of 3", "1,1", "2 of 3"};
        QTest::newRow("read again") << QStringList{"5,5", "5,5"};
        QTest::newRow("edited between") << QStringList{"3,3", "type", "3,3"};
        QTest::newRow("identifier out of range, twice") << QStringList{"0x800", "0x800"};
    }
    void filterRefill()
    {
        QFETCH(QStringList, steps);
        const auto reply = [](const QString &step) {
            if (step == "2 of 3")
                return filterReply(3, 3).remove(7, 12).replace(5, 1, "\x02");
            if (step == "0x800")
                return filterReply(1, 1).replace(7 + 4, 4, hex("00000800"));
            return filterReply(step.section(',', 0, 0).toInt(), step.section(',', 1).toInt());
        };
        for (const QString &step : steps) {
            m_boxes.clear();
            if (step == "type") {
                cell(0, 3)->selectAll();
                QTest::keyClicks(cell(0, 3), cell(0, 3)->text());
                continue;
            }
            m_reply = reply(step);
            m_page->readFilterBlock();
        }
        const QStringList reusedBoxes = m_boxes;
        m_boxes.clear();
        QByteArray last = reply(steps.last());
        CanParamWidget fresh(&last);
        fresh.readFilterBlock();
        QCOMPARE(reusedBoxes, m_boxes);
        QCOMPARE(tableState(table()), tableState(fresh.findChild<QTableWidget *>("tableWidget")));
        QCOMPARE(written(false).toHex(), written(false, &fresh).toHex());
    }

    // Rows from a reply (announced, records held), from a file (announced only) or added
    // from the menu (announced: the rows asked for); past 28, one notice.
    void filterRowsIn_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<double>("announced");
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("rows");
        QTest::newRow("reply, more than the table holds") << "reply" << 40.0 << 28 << 28;
        QTest::newRow("reply ends early") << "reply" << 5.0 << 2 << 2;
        QTest::newRow("reply, too many, ends early") << "reply" << 200.0 << 3 << 3;
        QTest::newRow("file, too many") << "file" << 40.0 << 0 << 28;
        QTest::newRow("file, negative") << "file" << -5.0 << 0 << 0;
        QTest::newRow("file, beyond int") << "file" << 1e12 << 0 << 0;
        QTest::newRow("menu, one too many") << "menu" << 29.0 << 0 << 28;
    }
    void filterRowsIn()
    {
        QFETCH(QString, source);
        QFETCH(double, announced);
        QFETCH(int, held);
        QFETCH(int, rows);
        child<QCheckBox>("checkBox")->setChecked(source != "reply");
        addRows(4);
        m_reply = filterReply(int(announced), held);
        if (source == "file")
            m_page->fromJson(QJsonObject{{"NumberFilters", announced}});
        else
            source == "reply" ? m_page->readFilterBlock() : addRows(int(announced) - 4);
        QVERIFY(child<QCheckBox>("checkBox")->isChecked());
        QCOMPARE(table()->rowCount(), rows);
        QCOMPARE(m_boxes, announced > 28 && rows ? QStringList{"提示|最多28条数据"} : QStringList());
        if (source == "reply" && rows) // the last row comes from the last record held
            QCOMPARE(cell(rows - 1, 3)->text(), QString::number(0x100 + rows - 1, 16));
    }
};

QTEST_MAIN(Tst_canparam)
#include "tst_canparam.moc"
