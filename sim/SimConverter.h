#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>

class QSocketNotifier;
class SimLine;

// A stand-in converter on a pseudo-terminal. It opens a pty in raw mode,
// reports the path of its terminal side (the "port" the tool opens) and
// answers like a device: the connect challenge (SM4 under the shared key),
// a configuration store for every block, device information, restore
// defaults, and the firmware update with its checks. Every frame it
// receives is recorded, so tests can assert on exact bytes. On Windows it
// takes the device end of a virtual null-modem pair instead (SimLine), and
// its port is the pair's other end.
//
// It runs in the thread that creates it, serviced by a QSocketNotifier:
// in tests that is the tool's own thread, whose nested wait loops keep it
// going. Faults are switched on per command and for a number of replies,
// so that a test can break one exchange and then see the link recover.
class SimConverter : public QObject
{
    Q_OBJECT

public:
    enum class Fault {
        None,
        Silent,        // no reply at all
        WrongKey,      // challenge answered under another key
        CorruptCrc,    // last byte of the reply flipped
        Split,         // reply written in five pieces with pauses
        Late,          // reply written after the tool's 500 ms time-out
        Garbage,       // stray bytes written before the reply
        WrongCommand,  // reply carries another command byte (valid CRC)
        ShortReply,    // reply cut to its header and one byte (valid CRC)
        Deferred,      // reply held back, then written right after the reply to the next request
    };

    struct DeviceInfo
    {
        quint8 typeCode = 1;
        quint8 hardware[3] = {1, 0, 3};
        quint8 firmware[3] = {2, 1, 0};
        QByteArray typeText = "CANFD-SER-2";
        QByteArray productNumber = "MV2026001";
    };

    explicit SimConverter(QObject *parent = nullptr);
    ~SimConverter() override;

    // Opens the pseudo-terminal; false (with errorString()) on failure.
    bool open();
    QString portName() const { return m_portName; }
    QString errorString() const { return m_error; }
    // The adapter is pulled out: both sides of the pty are closed.
    void unplug();
    // The adapter goes in the middle of a job: once the `frame`-th frame
    // since open() has arrived (counting from 1), the line is closed, without
    // a reply, or `replyBytes` bytes into the reply to that frame (fewer than
    // the whole reply); hungUp() follows. 0 turns it off.
    void hangUpAfter(int frame, int replyBytes = 0);

    // Applies `fault` to the replies to `command` (-1: any command), for
    // the next `times` replies (-1: until cleared).
    void setFault(Fault fault, int command = -1, int times = -1);
    void clearFault();
    // Each reply, with this probability, gets one fault drawn at random
    // (a wrong key only for the challenge); 0 turns it off. Faults set with
    // setFault() go first.
    void setRandomFaults(double probability, quint32 seed);
    // Every byte takes its time at 115200 baud 8N1, both directions.
    void setPacing(bool on) { m_pacing = on; }
    // With pacing: the bytes of a reply reach the tool once a millisecond,
    // as a USB adapter hands them over, not one by one; its first and last
    // byte still at their own time. Many stand-ins on few cores then spend
    // a wake-up a millisecond, not one a byte.
    void setUsbFrames(bool on) { m_usbFrames = on; }
    // How late paced replies were finished: the last byte of each reply
    // left this long after the line would have carried it.
    struct PacingStats
    {
        qint64 replies = 0;
        qint64 totalLateNs = 0;
    };
    PacingStats pacingStats() const { return m_pacingStats; }
    void resetPacingStats() { m_pacingStats = PacingStats(); }
    // A firmware update phase (1, 2, 3) answered with status 0x01; for
    // phase 2, only block `blockIndex` (-1: every block).
    void failUpdate(int phase, int blockIndex = -1);
    // Acknowledge a write of the main parameters, yet store them with the
    // lowest bit of the CAN send identifier flipped.
    void setMisstore(bool on) { m_misstore = on; }
    // Require the connect handshake before configuration commands.
    void setRequireAuth(bool on) { m_requireAuth = on; }

    void setDeviceInfo(const DeviceInfo &info) { m_info = info; }
    DeviceInfo deviceInfo() const { return m_info; }

    // The stored block of a write command (0x02, 0x04, 0x21, 0x23, 0x25):
    // the frame as the tool last sent it, without its CRC.
    QByteArray block(quint8 writeCommand) const { return m_blocks.value(writeCommand); }
    void setBlock(quint8 writeCommand, const QByteArray &frameWithoutCrc);
    void restoreDefaults();
    static QByteArray defaultBlock(quint8 writeCommand);
    // The store as text, one block a line in command order: "02 56aa02..."
    // (the command in hex, the block without CRC in hex).
    QByteArray dumpStore() const;

    bool isAuthenticated() const { return m_authenticated; }
    int restarts() const { return m_restarts; }
    QByteArray lastImage() const { return m_lastImage; }

    // Frames received, whole, in order (0x56 0xAA and 0x57 frames).
    QList<QByteArray> receivedFrames() const { return m_received; }
    // Command bytes of the configuration frames received, in order.
    QList<quint8> receivedCommands() const;
    void clearReceived() { m_received.clear(); }
    qint64 bytesReceived() const { return m_bytesIn; }
    qint64 bytesSent() const { return m_bytesOut; }
    // Replies still to be written (late, split or paced ones).
    bool hasPendingOutput() const { return !m_pending.isEmpty() || !m_outBacklog.isEmpty(); }

signals:
    void frameReceived(const QByteArray &frame);
    // A write or restore-defaults command changed the store.
    void storeChanged();
    // hangUpAfter() has closed the line.
    void hungUp();

private:
    // 10 bits a byte at 115200 baud.
    static constexpr qint64 kByteNs = 1000000000LL * 10 / 115200;

    // Bytes on their way to the tool: byte i is due at startNs + (i + 1) *
    // byteNs (byteNs 0: all of them at startNs).
    struct Pending
    {
        qint64 startNs;
        qint64 byteNs;
        QByteArray bytes;
        int written;
    };

    // Bytes from the tool: counted, on the line (paced), into the input.
    void receive(const QByteArray &bytes);
    void onReadable();
    void takeFrames();
    void handleFrame(const QByteArray &frame);
    QByteArray answerConfig(const QByteArray &frame);
    QByteArray answerUpdate(const QByteArray &frame);
    QByteArray updateAck(quint8 phase, bool ok) const;
    void reply(quint8 command, QByteArray frame);
    void schedule(qint64 delayNs, const QByteArray &bytes);
    void flushDue();
    void armTimer(qint64 dueNs);
    // When the next byte of `p` is due, and how early to wake for it.
    static qint64 nextDueNs(const Pending &p);
    static qint64 leadNs(const Pending &p);
    static qint64 nowNs();
    void writeOut(const QByteArray &bytes);
    // Writes the first bytes of `reply`, then closes the line once the tool
    // has taken them (what it has not read would go with the line).
    void hangUpInReply(const QByteArray &reply);
    void hangUp();
    bool consumeFault(quint8 command, Fault *fault);
    Fault drawFault(bool challenge);

    QString m_portName;
    QString m_error;
#ifdef Q_OS_WIN
    SimLine *m_line = nullptr;
#else
    int m_master = -1;
    int m_slave = -1;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    // A timerfd, not a QTimer: pacing needs the 86.8 µs of a byte, and
    // QTimer counts in whole milliseconds.
    int m_timerFd = -1;
    QSocketNotifier *m_timerNotifier = nullptr;
#endif
    QList<Pending> m_pending;
    QByteArray m_outBacklog;
    qint64 m_lineFreeNs = 0; // when the tool-bound line is next idle (pacing)
    PacingStats m_pacingStats;

    int m_framesIn = 0;
    int m_hangUpFrame = 0;
    int m_hangUpBytes = 0;
    bool m_hangingUp = false;
    QByteArray m_deferred; // a reply held back until the next one is written

    QByteArray m_inBuffer;
    QList<QByteArray> m_received;
    qint64 m_bytesIn = 0;
    qint64 m_bytesOut = 0;

    Fault m_fault = Fault::None;
    int m_faultCommand = -1;
    int m_faultTimes = -1;
    double m_randomChance = 0;
    quint32 m_randomState = 1;
    Fault m_challengeDraw = Fault::None;
    bool m_pacing = false;
    bool m_usbFrames = false;
    bool m_requireAuth = true;
    bool m_misstore = false;
    bool m_authenticated = false;
    int m_failPhase = 0;
    int m_failBlock = -1;

    DeviceInfo m_info;
    QHash<quint8, QByteArray> m_blocks;

    // Firmware update in progress.
    quint32 m_announced = 0;
    quint32 m_nextBlock = 0;
    QByteArray m_image;
    QByteArray m_lastImage;
    bool m_updateStarted = false;
    int m_restarts = 0;
};
