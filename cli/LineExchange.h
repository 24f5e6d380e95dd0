#pragma once

#include "serial/SerialLine.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

// One converter's line for a batch job that runs inside the batch itself:
// the window's exchange rules without its window. A frame goes out after
// whatever the line held before it is dropped; its answer is the first
// complete reply with the frame's command byte within the window's reply
// time. Exchanges do not block: each ends in answered(), timedOut() or,
// when the adapter goes away, lost(). One at a time.
class LineExchange : public QObject
{
    Q_OBJECT

public:
    explicit LineExchange(const QString &portName, QObject *parent = nullptr);

    // Opens the line as the window opens it; false leaves error() set.
    bool open();
    void close();
    bool isOpen() const { return m_port->isOpen(); }
    // Why open() failed: error() and errorString().
    const SerialLine &port() const { return *m_port; }

    // False when the frame could not be handed to the line (nothing is
    // then awaited); else one of the three signals follows.
    bool send(const QByteArray &frame);

signals:
    // The awaited reply. It may still be shorter than its command's layout.
    void answered(const QByteArray &reply);
    // Any other complete reply the line carried meanwhile (a late one).
    void unawaited(const QByteArray &reply);
    void timedOut();
    void lost(const QString &reason);

private:
    void onReadyRead();
    void onError(SerialLine::Error error);

    SerialLine *m_port;
    QTimer m_timer;
    QByteArray m_rx;
    quint8 m_awaited = 0;
};
