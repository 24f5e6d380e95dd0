// The conversion and serial pages: which widget holds which field of their
// blocks, the mode rules and the signals they emit, replies and
// configuration files. The blocks' bytes are checked in tst_protocol.
#include "pages/ConvertParamWidget.h"
#include "pages/SerialParamWidget.h"

#include "PageSteps.h"

#include <QtTest>
#include <QtWidgets>

// A row's steps run on the conversion page, or on the serial page when they start with "serial".
// Both pages take "reply HEX" (the reply buffer then holds HEX from offset `at`; a first step
// "unbuffered" leaves the page without one), "read", "json TEXT", "file" (its part of the file, compact) and
// "block" (the block it holds: mode, direction, serial interval, info flag, identifier flag,
// identifier length, start, CAN interval; or "mode baud,data bits,stop bits,parity" of both
// slots, "none" without a mode). The conversion page logs its signals as they come and takes
// "offsetMax N", "idMax N", "device N"; the serial page "write": the block goes into a frame of
// 0x11 bytes, which it logs as "written" when it holds what block() says and nothing more.
class Tst_convertserial : public QObject
{
    Q_OBJECT

    static QString text(const Protocol::ConversionBlock &b)
    {
        return QString::asprintf("%d %d %d %d %d %d %d %d", b.mode, b.direction, b.serialInterval,
                                 b.forwardInfo, b.forwardId, b.idLength, b.startOffset, b.canInterval);
    }
    static QString text(const std::optional<Protocol::SerialBlock> &b)
    {
        const auto slot = [](const Protocol::SerialPortSlot &s) {
            return QString("%1,%2,%3,%4").arg(s.baudRate).arg(s.dataBits).arg(s.stopBits).arg(s.parity);
        };
        return b ? QString("%1 %2 %3").arg(b->mode).arg(slot(b->first), slot(b->second)) : "none";
    }
    template <class Page> QString run(const QString &steps, int at)
    {
        QByteArray reply;
        Page page(steps.startsWith("unbuffered") ? nullptr : &reply);
        PageSteps run(&page);
        run.verbs["unbuffered"] = [](const QString &) {};
        run.verbs["reply"] = [&](const QString &hex) {
            reply = QByteArray(at, 0) + QByteArray::fromHex(hex.toLatin1());
        };
        run.verbs["read"] = [&](const QString &) { page.readBlock(); };
        run.verbs["json"] = [&](const QString &text) { page.fromJson(jsonObject(text)); };
        run.verbs["file"] = [&](const QString &) {
            run.log << QJsonDocument(page.toJson()).toJson(QJsonDocument::Compact);
        };
        run.verbs["block"] = [&](const QString &) { run.log << text(page.block()); };
        if constexpr (std::is_same_v<Page, ConvertParamWidget>) {
            connect(&page, &Page::Changemode, [&](int m) { run.log << QString("mode(%1)").arg(m); });
            connect(&page, &Page::signalCanMappingEnable,
                    [&](bool b) { run.log << QString("enable(%1)").arg(int(b)); });
            run.verbs["offsetMax"] = [&](const QString &n) { page.setOffsetMaximum(n.toInt()); };
            run.verbs["idMax"] = [&](const QString &n) { page.setIdLengthMaximum(n.toInt()); };
            run.verbs["device"] = [&](const QString &n) { page.setDeviceType(n.toInt()); };
            run.aliases["fields"] = "m_comboBoxConvertDirection m_spinBoxStartOffset m_spinBoxCanIdLen "
                                    "m_spinBoxTimeInterval spinBox_5 checkBox checkBox_2";
            run.aliases["on"] = "checkBox.enabled checkBox_2.enabled m_spinBoxStartOffset.enabled "
                                "m_spinBoxCanIdLen.enabled m_spinBoxTimeInterval.enabled spinBox_5.enabled";
        } else {
            run.verbs["write"] = [&](const QString &) {
                QByteArray expected = reply = QByteArray(80, '\x11');
                page.writeBlock(reply);
                page.block() ? page.block()->encode(expected)
                             : Protocol::SerialBlock::encodeReservedOnly(expected);
                run.log << (reply == expected ? "written" : "differs");
            };
            run.aliases["groups"] =
                "m_comboBoxBaudRate_2 m_comboBoxDataBit_2 m_comboBoxStopBit_2 m_comboBoxParity_2 "
                "m_comboBoxBaudRate_3 m_comboBoxDataBit_3 m_comboBoxStopBit_3 m_comboBoxParity_3";
            run.aliases["titles"] = "groupBox.title groupBox_2.title groupBox_2.enabled";
        }
        return run.run(steps);
    }

private slots:
    void steps_data()
    {
        stepColumns();
        const auto row = stepRow;
        // No rule runs while the lists are filled; a page without a reply buffer reads nothing.
        row("construction", "unbuffered; read; ? on", "1 1 1 1 1 1");
        row("serial: construction", "serial; unbuffered; read; ? titles groups", "RS232  0 0 0 0 0 0 0 0 0");

        // After a change from `from` to `to`: the signals, the enabled controls, the fields
        // (direction and CAN interval never are reset).
        const auto mode = [&](const char *name, int from, int to, const QString &log) {
            const char *steps = "set m_comboBoxConvertModel %1; set fields 1 5 3 100 100 1 1; "
                                "set m_comboBoxConvertModel %2; ? on fields";
            row(name, QString(steps).arg(from).arg(to), log);
        };
        const QString kept = " 1 5 3 100 100 1 1", reset = " 1 0 1 2 100 0 0";
        mode("transparent", 2, 0, "mode(4); enable(0); enable(0); 1 1 0 0 1 1" + kept);
        mode("transparent with id", 0, 1, "enable(0); 0 0 1 1 1 1" + kept);
        mode("format", 0, 2, "mode(4); enable(0); 0 0 0 0 1 0" + reset);
        mode("modbus convert", 0, 3, "mode(4); enable(0); 0 0 0 0 1 1" + reset);
        mode("modbus slave", 0, 4, "mode(4); enable(1); 0 0 0 0 0 0" + reset);
        mode("no selection keeps boxes", 4, -1, "mode(4); enable(1); enable(0); 0 0 0 0 1 1" + kept);

        // Whatever the mode rules reset, the reply's own values win, and the block the page then
        // holds is the reply's. Values the fields cannot hold are clamped; an unknown direction
        // shows nothing and goes out as FF; an unknown mode empties the list and goes out as 1.
        const auto reply = [&](const char *name, int shown, const QString &reply, const QString &log) {
            const char *steps =
                "set m_comboBoxConvertModel %1; reply %2; read; ? m_comboBoxConvertModel fields; block";
            row(name, QString(steps).arg(shown).arg(reply), log);
        };
        const QString values = "00 0200012C010000000200030000 0A", read = "2 3 2 300 10 1 0; ";
        reply("same mode still runs rules", 2, "03" + values,
              "mode(4); enable(0); enable(0); mode(4); enable(0); 2 " + read + "3 2 300 1 0 2 3 10");
        reply("modbus slave", 0, "05" + values,
              "enable(0); mode(4); enable(1); enable(1); 4 " + read + "5 2 300 1 0 2 3 10");
        reply("mode 7 empties list", 0, "07" + values,
              "enable(0); enable(1); -1 " + read + "0 2 300 1 0 2 3 10");
        // A field half typed over (its text no longer its value) takes the reply's value again.
        row("half-typed interval, same reply",
            "set m_comboBoxConvertModel 0; reply 01" + values + "; read; keys m_spinBoxTimeInterval Ctrl+A; "
            "keys m_spinBoxTimeInterval Backspace; ? m_spinBoxTimeInterval.text; read; "
            "? m_spinBoxTimeInterval.text m_spinBoxTimeInterval",
            "enable(0); enable(0); ; enable(0); enable(0); 300 300");
        row("half-typed interval, mode rule",
            "set m_comboBoxConvertModel 2; keys m_spinBoxTimeInterval Ctrl+A; keys m_spinBoxTimeInterval Backspace; "
            "? m_spinBoxTimeInterval.text; set m_comboBoxConvertModel 3; ? m_spinBoxTimeInterval.text m_spinBoxTimeInterval",
            "mode(4); enable(0); ; mode(4); enable(0); 2 2");
        reply("identifier flag, out of range", 0, "0100 0300 0258 0000 0100 0900 C800 FFFF",
              "enable(0); enable(0); 0 -1 99 4 500 500 0 1; 1 255 500 0 1 4 99 500");

        // Which widget holds which key; a loaded mode's rules run. A partly checked box survives
        // a round trip and goes out as set; missing keys read as 0; other numbers take the nearest
        // state instead of an invalid one; length 0 clamps to 1.
        row("file",
            "set m_comboBoxConvertModel 1; set fields 2 40 3 250 7 0 1; file; set m_comboBoxConvertModel 4;"
            R"(json {"convertDirect":2,"convertMode":1,"forwartID":2,"interval":250,"len":3,"posOffset":40}; ? on;)"
            R"( json {"forwardInfo":1,"forwartID":7}; file; block)",
            "enable(0); "
            R"({"convertDirect":2,"convertMode":1,"forwardInfo":0,"forwartID":2,"interval":250,"intervalCAN":7,)"
            R"("len":3,"posOffset":40}; mode(4); enable(1); enable(0); 0 0 1 1 1 1; enable(0); )"
            R"({"convertDirect":0,"convertMode":0,"forwardInfo":1,"forwartID":2,"interval":0,"intervalCAN":0,)"
            R"("len":1,"posOffset":0}; 1 0 0 1 1 1 0 0)");

        // What the device reports: start position and length maxima as "maximum value" from 40
        // (length 4), then whether "MODBUS从站" can be chosen for codes 0..3; the selection never moves.
        QString limits;
        for (const char *set : {"offsetMax 0", "offsetMax 1", "offsetMax 2", "idMax 1", "idMax 0"}) {
            const char *field = set[0] == 'o' ? "m_spinBoxStartOffset" : "m_spinBoxCanIdLen";
            limits += QString("offsetMax 1; set %1 40; %2; ? %1.maximum %1; ").arg(field, set);
        }
        limits += "device 2; set m_comboBoxConvertModel 4; ";
        for (const char *code : {"0", "1", "2", "3"})
            limits += QString("device %1; ? m_comboBoxConvertModel.selectable; ").arg(code);
        row("device limits", limits + "? m_comboBoxConvertModel",
            "7 7; 63 40; 63 40; 4 4; 2 2; mode(4); enable(1); 11110; 11111; 11110; 11111; 4");

        // The group titles of each mode (chosen after a dual mode) and which group fills which slot
        // (the other slot goes out as zeros); read back into a page showing other values, a
        // single-port mode leaves the second group as it was.
        const auto serial = [&](const char *name, int mode, const char *groups, const QString &log,
                                const char *back) {
            const char *steps = "serial; set comboBox 4; set comboBox %1; set groups %2; ? titles; block; "
                                "write; set comboBox 0; set groups 11 1 1 1 2 1 1 1; read; ? comboBox groups";
            row(name, QString(steps).arg(mode).arg(groups),
                QString("%1; written; %2 %3").arg(log).arg(mode).arg(back));
        };
        serial("RS232 115200 9-E-2", 0, "8 1 1 2 5 1 1 1", "RS232  0; 0 115200,9,2,2 0,0,0,0",
               "8 1 1 2 2 1 1 1");
        serial("RS485 9600 8-N-1", 1, "3 0 0 0 5 1 1 1", "RS485  0; 1 0,0,0,0 9600,8,1,0", "3 0 0 0 2 1 1 1");
        serial("RS422 1200 8-O-2", 2, "0 0 1 1 5 1 1 1", "RS422  0; 2 0,0,0,0 1200,8,2,1", "0 0 1 1 2 1 1 1");
        serial("RS232+RS485", 3, "1 1 0 0 10 0 1 2", "RS232 RS485 1; 3 2400,9,1,0 460800,8,2,2",
               "1 1 0 0 10 0 1 2");
        serial("RS232+RS422", 4, "8 0 0 1 11 1 1 2", "RS232 RS422 1; 4 115200,8,1,1 921600,9,2,2",
               "8 0 0 1 11 1 1 2");
        // Values no list holds (baud 2^31 + 1200, 7 data bits, 3 stop bits, parity 3) show nothing
        // and go out as zeros, parity as FF. With no mode chosen, only the reserved run is written.
        row("serial: unknown values",
            "serial; reply 56AA02 800004B0 0700 0300 0300 00; read; ? groups; block; "
            "set comboBox -1; block; write",
            "-1 -1 -1 -1 0 0 0 0; 0 0,0,0,255 0,0,0,0; none; written");
        // A file holds the second port only for dual modes; a single-port file leaves the second
        // group alone; missing keys select the first entries.
        row("serial: file",
            "serial; set comboBox 1; set groups 7 1 0 2 9 0 1 1; file; set groups 0 0 0 0 2 1 1 2; "
            R"(json {"Baudrate":7,"SerialMode":1,"dataBit":1,"oddEvenCheck":2,"stopBit":0}; ? groups; json {}; ? groups)",
            R"({"Baudrate":7,"SerialMode":1,"dataBit":1,"oddEvenCheck":2,"stopBit":0}; 7 1 0 2 2 1 1 2; 0 0 0 0 2 1 1 2)");
    }
    void steps()
    {
        QFETCH(QString, steps);
        const bool serial = steps.startsWith("serial");
        const QString log =
            serial ? run<SerialParamWidget>(steps.mid(8), 0) : run<ConvertParamWidget>(steps, 43);
        QTEST(log, "log");
    }
};

QTEST_MAIN(Tst_convertserial)
#include "tst_convertserial.moc"
