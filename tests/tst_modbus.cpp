#include "pages/ModBusWidget.h"

#include "PageSteps.h"

#include <QtTest>
#include <QtWidgets>

// Drives the Modbus page as the central widget and the user do: frames in
// and out, typing, pasting, switching lists, loading files. Its own steps:
// "example {changes}" loads the worked example with changes, "read HEX" a
// 0x20 reply, "onType N" the CAN mode, "defaults" the page's defaults, "clip
// TEXT" the clipboard, "clipEvent"/"im TEXT" events around the key filter;
// "block" logs the block the page holds, "file KEYS" those keys of its part
// of the file (all of it, compact, without keys).
class Tst_modbus : public QObject
{
    Q_OBJECT

    static QJsonObject example(const QJsonObject &changes = {})
    {
        QVariantMap o{{"Type", 2},           {"heartEnable", 1}, {"interval", "500"},
                      {"frameFormat", 0},    {"frameType", 1},   {"dataLen", 9},
                      {"CANID", "1ABCDEF0"}, {"Data", "11 22"},  {"Addr", "01"}};
        o.insert(changes.toVariantMap());
        return QJsonObject::fromVariantMap(o);
    }

    // Address, heartbeat, interval, flags, length, identifier, then the data up to the length, in hex.
    static QString text(const Protocol::ModbusBlock &b)
    {
        const QByteArray data(reinterpret_cast<const char *>(b.data.data()), b.length);
        return QString::asprintf("%02x %d %d %02x %d %x ", b.address, b.heartbeat, b.interval, b.flags,
                                 b.length, b.canId) +
               data.toHex();
    }

private slots:
    // Texts are read as the device fields expect them.
    void steps_data()
    {
        stepColumns();
        QByteArray all;
        for (int i = 0; i < 64; ++i)
            all += char(0xC0 + i);
        stepRow("worked example", "example {}; block", "01 1 500 b0 12 1abcdef0 112200000000000000000000");
        stepRow("remote standard",
                R"(example {"frameFormat":1,"frameType":0,"CANID":"7FF","dataLen":8,"Addr":"fe"}; block)",
                "fe 1 500 40 8 7ff 1122000000000000");
        stepRow("64 bytes", "example {\"dataLen\":15,\"Data\":\"" + all.toHex(' ') + "\"}; block",
                "01 1 500 b0 64 1abcdef0 " + all.toHex());
        stepRow("spaces removed first", R"(example {"dataLen":4,"Data":"1 2 3"}; block)",
                "01 1 500 b0 4 1abcdef0 12030000");
        stepRow("heartbeat off, empty texts", R"(example {"heartEnable":0,"interval":"","Addr":""}; block)",
                "00 0 0 b0 12 1abcdef0 112200000000000000000000");

        // After a reply: the length shown, then protocol, frame type and format, data, address,
        // heartbeat, interval and identifier. A reply's interval of 0 is reported like a typed one
        // (and stays: a program's text has nothing to undo); an unknown heartbeat byte reads as off.
        const auto read = [](const char *name, int protocolBefore, const char *payload, const QString &log) {
            const char *steps = "set comboBox %1; set comboBox_2 4; read %2; ? comboBox_2.currentText; "
                                "file Type frameType frameFormat Data Addr heartEnable interval CANID";
            stepRow(name, QString(steps).arg(protocolBefore).arg(payload), log);
        };
        const QString pad = QString(" 00").repeated(62);
        read("reply: CAN", 1, "01 01 03E8 00 08 00000000 11",
             "8; 0 0 0 11 00 00 00 00 00 00 00 01 1 1000 00");
        read("reply: FD加速 extended", 0, "0A 01 01F4 B0 40 1ABCDEF0 0102",
             "64; 2 1 0 01 02" + pad + " 0a 1 500 1abcdef0");
        read("reply: bit 4 alone keeps CANFD", 1, "01 01 03E8 10 00", "0; 1 0 0  01 1 1000 00");
        read("reply: remote forces CAN", 0, "01 01 03E8 60 04 00000000 1122334455",
             "4; 0 0 1 11 22 33 44 01 1 1000 00");
        read("reply: unknown 10 keeps 4", 0, "01 01 03E8 B0 0A 00000000 1122334455",
             "4; 2 1 0 11 22 33 44 01 1 1000 00");
        read("reply: interval 0, heartbeat 7", 0, "0A 07 0000 80 02 00000000 ABCD",
             "1 输入错误|请输入有效值: 1-65535|OK; 2; 0 1 0 ab cd 0a 0 0 00");

        // Heartbeat off disables the other controls; a remote frame is classic CAN with at most
        // 8 bytes, also after the heartbeat is switched off and on; a standard frame clears a
        // longer identifier.
        const QString enabled = "? comboBox.enabled m_lineEditCanID.enabled m_textEdit.enabled";
        stepRow(
            "enabling rules",
            enabled + "; set m_ComboBoxHeartEnable 1;" + enabled +
                "; set comboBox 1; set comboBox_2 10; set m_comboBoxFrameFormat 1; set m_ComboBoxHeartEnable "
                "0;"
                "set m_ComboBoxHeartEnable 1; ? comboBox.enabled comboBox comboBox_2.currentText "
                "comboBox_2.selectable; set m_comboBoxFrameType 1; set m_lineEditCanID 1FFF; "
                "set m_comboBoxFrameType 0; ? m_lineEditCanID",
            "0 0 0; 1 1 1; 0 0 8 1111111110000000; 00");

        // From CANFD加速 at 64: protocol and its selectable entries, length and its selectable entries.
        const QString from64 = "set comboBox 2; set comboBox_2 15; onType %1; "
                               "? comboBox comboBox.selectable comboBox_2.currentText comboBox_2.selectable";
        stepRow("classic moves to CAN", from64.arg(0), "0 100 8 1111111110000000");
        stepRow("FD moves down to CANFD", from64.arg(1), "1 110 64 1111111111111111");
        stepRow("FD with switching", from64.arg(2), "2 111 64 1111111111111111");

        // A new length truncates the data or pads it with 00; parts that are no hex byte become 00.
        stepRow("length change",
                "set comboBox_2 8; set m_textEdit ABC 1f G1 7 55 66 77 88; set comboBox_2 4; ? m_textEdit; "
                "set comboBox_2 9; ? m_textEdit",
                "00 1f 00 00; 00 1f 00 00" + QString(" 00").repeated(8));

        // Keys typed or pasted at the end of a field: any message, then its text. A key that takes
        // a field out of range is refused with a message; the data takes hex digits only.
        const auto keys = [](const char *name, int frameType, const char *field, const char *before,
                             const char *keys, const QString &log) {
            const char *steps =
                "set m_ComboBoxHeartEnable 1; set m_comboBoxFrameType %1; set %2 %3; keys %2 %4; ? %2";
            stepRow(name, QString(steps).arg(frameType).arg(field, before, keys), log);
        };
        const QString bad = "1 输入错误|请输入有效值: ";
        keys("standard 800", 0, "m_lineEditCanID", "80", "0", bad + "0x00-0x7ff|OK; 80");
        keys("extended 1FFFFFFF", 1, "m_lineEditCanID", "1FFFFFF", "F", "1FFFFFFf");
        keys("interval 65536", 0, "m_lineEditTimeInterval", "6553", "6", bad + "1-65535|OK; 6553");
        keys("interval letter", 0, "m_lineEditTimeInterval", "1", "A", bad + "1-65535|OK; 1");
        keys("data a", 0, "m_textEdit", "1", "A", "1a");
        keys("ctrl shortcuts reach the editor", 0, "m_textEdit", "11 22", "Ctrl+A, C", "c");
        const auto paste = [](const char *name, const char *before, const char *clipboard, const char *log) {
            stepRow(name,
                    QString("clip %1; set m_textEdit %2; keys m_textEdit Ctrl+V; ? m_textEdit")
                        .arg(clipboard, before),
                    log);
        };
        paste("paste 0x list", "", "0x1A, 0x2B", "01 A0 2B");
        paste("paste odd digit alone", "", "abcde", "AB CD E");
        paste("paste full-width digits", "11", "１２", "11");
        // Neither route around the key filter lets other characters in.
        stepRow("clipboard and input method events",
                "clip c3; set m_textEdit; clipEvent; im GZ; ? m_textEdit", "C3");

        // A missing number selects index 0, as does one out of range; a missing string empties its field.
        stepRow("missing keys", R"(example {"Type":7}; file Type; drop Type dataLen CANID Data; file)",
                R"(0; {"Addr":"01","CANID":"","Data":"","Type":0,"dataLen":0,"frameFormat":0,"frameType":1,)"
                R"("heartEnable":1,"interval":"500"})");
        stepRow("defaults", R"(example {"frameFormat":1}; defaults; file; ? comboBox.enabled)",
                R"({"Addr":"01","CANID":"00 00 00 00","Data":"00 00 00 00 00 00 00 00","Type":0,"dataLen":8,)"
                R"("frameFormat":0,"frameType":0,"heartEnable":0,"interval":"1000"}; 0)");
    }
    void steps()
    {
        QFETCH(QString, steps);
        ModBusWidget page;
        PageSteps run(&page);
        run.verbs["example"] = [&](const QString &changes) { page.fromJson(example(jsonObject(changes))); };
        run.verbs["drop"] = [&](const QString &keys) {
            QJsonObject file = example();
            for (const QString &key : keys.split(' '))
                file.remove(key);
            page.fromJson(file);
        };
        run.verbs["block"] = [&](const QString &) { run.log << text(page.block()); };
        run.verbs["read"] = [&](const QString &payload) {
            page.readBlock((QByteArray::fromHex("56AA20") + QByteArray::fromHex(payload.toLatin1()))
                               .leftJustified(87, '\0'));
        };
        run.verbs["onType"] = [&](const QString &mode) { page.onType(mode.toInt()); };
        run.verbs["defaults"] = [&](const QString &) { page.loadDefaults(); };
        run.verbs["clip"] = [](const QString &text) { QGuiApplication::clipboard()->setText(text); };
        run.verbs["clipEvent"] = [&](const QString &) {
            QEvent clip(QEvent::Clipboard);
            QCoreApplication::sendEvent(run.widget("m_textEdit"), &clip);
        };
        run.verbs["im"] = [&](const QString &text) {
            QInputMethodEvent im;
            im.setCommitString(text);
            QCoreApplication::sendEvent(run.widget("m_textEdit"), &im);
        };
        run.verbs["file"] = [&](const QString &keys) {
            const QJsonObject file = page.toJson();
            QStringList values;
            for (const QString &key : keys.split(' ', Qt::SkipEmptyParts))
                values << file[key].toVariant().toString();
            run.log << (keys.isEmpty() ? QJsonDocument(file).toJson(QJsonDocument::Compact)
                                       : values.join(' '));
        };
        QTEST(run.run(steps), "log");
    }
};

QTEST_MAIN(Tst_modbus)
#include "tst_modbus.moc"
