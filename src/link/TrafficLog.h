#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>
#include <QtGlobal>

// What went over the wire, for a user chasing a misbehaving line: every
// frame sent, every reply received, every time-out, and the replies and
// byte runs the link dropped or did not wait for, each with its reason.
// The tool notes beside them what the user should know of a command
// that the frames cannot tell (a write that went out without a backup).
// The link side of CenterWidget feeds it; it keeps the newest kCapacity
// entries in a ring.
//
// Recording runs on every exchange, shown or not, so it only stores the
// bytes (shared, not copied) and a timestamp: text is made when somebody
// reads a line. It must never hold up, alter or reorder anything on the
// link, and never decide what the link does with a reply.
class TrafficLog : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCapacity = 20000;

    enum class Direction : quint8
    {
        Sent,
        Received,
        Timeout,
        Note // no bytes: a word of the tool's own about the exchange
    };
    // Why received bytes are marked; the link still handles a NotAwaited
    // reply as it handles any other.
    enum class Mark : quint8
    {
        None,
        BadChecksum, // a whole frame whose checksum does not hold: dropped
        TooShort,    // shorter than its command's layout: dropped
        NotAwaited,  // answers no request outstanding
        Unframed     // bytes that never formed a reply: dropped
    };

    struct Entry
    {
        qint64 msecsSinceEpoch = 0;
        QByteArray bytes; // empty for a time-out
        Direction direction = Direction::Sent;
        Mark mark = Mark::None;
        quint8 awaitedCommand = 0; // a time-out: the reply it waited for
        quint8 awaitedPhase = 0;   // and, for a firmware packet, its phase
        QString note;              // a note's text
    };

    explicit TrafficLog(QObject *parent = nullptr);

    void recordSent(const QByteArray &frame);
    void recordReceived(const QByteArray &reply, Mark mark = Mark::None);
    void recordTimeout(quint8 awaitedCommand, quint8 awaitedPhase);
    // A line of the tool's own, shown where a reply's reason would be.
    void recordNote(const QString &text);
    // Bytes thrown out of the receive buffer unanswered; the mark says what
    // they looked like. Nothing is recorded for an empty run.
    void recordDiscarded(const QByteArray &bytes);

    void clear();
    int count() const { return m_ring.size(); }
    // 0 is the oldest entry kept.
    const Entry &entry(int index) const { return m_ring.at((m_head + index) % m_ring.size()); }
    // How many entries were ever recorded since the last clear: tells a
    // viewer how many fell out of the ring since it last looked.
    qint64 recorded() const { return m_recorded; }
    // Changes on every clear.
    quint32 generation() const { return m_generation; }

    // One entry as one line of text, tab-separated: time (hh:mm:ss.zzz),
    // direction, command, length, bytes in hex, then the reason when
    // marked. The panel, its file and the command-line trace all use it.
    static QString line(const Entry &entry);
    static QString timeText(const Entry &entry);
    static QString directionText(const Entry &entry);
    static QString commandText(const Entry &entry);
    static QString lengthText(const Entry &entry); // empty for a note
    static QString markText(const Entry &entry);

signals:
    // After every new entry: cheap to emit, a viewer coalesces.
    void appended();
    void cleared();

private:
    void append(Entry &&entry);

    QVector<Entry> m_ring;
    int m_head = 0; // where the oldest entry is, once the ring is full
    qint64 m_recorded = 0;
    quint32 m_generation = 0;
};
