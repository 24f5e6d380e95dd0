#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QTimer;
class SerialLine;

// The stand-in converter's line on Windows: the device end of a virtual
// null-modem pair, opened through the tool's own SerialLine, while the tool
// opens the other end. The pairs come from TARVINE_SIM_PORT_PAIRS, set by
// whoever made them: "COM20:COM21,COM22:COM23" (the tool's end first). Each
// line takes the next free pair and gives it back when it goes.
//
// A Windows timer stands in for the timerfd of the pseudo-terminal: it
// wakes within a millisecond of a due time; the converter waits out the
// rest itself, as it does for the lead of a paced byte.
class SimLine : public QObject
{
    Q_OBJECT

public:
    explicit SimLine(QObject *parent = nullptr);
    ~SimLine() override;

    // Takes a free pair and opens its device end; false (with
    // errorString()) when none is free or the port would not open.
    bool open();
    // The tool's end of the pair taken.
    QString portName() const { return m_portName; }
    QString errorString() const { return m_error; }

    QByteArray readAll();
    void write(const QByteArray &bytes);
    // Wakes once, at `dueNs` on nowNs()'s clock or a little before; 0 disarms.
    void armTimer(qint64 dueNs);
    static qint64 nowNs();

signals:
    void readyRead();
    void timerDue();

private:
    int m_pair = -1;
    SerialLine *m_line = nullptr;
    QTimer *m_timer = nullptr;
    QString m_portName;
    QString m_error;
};
