// The line side of SimConverter: faults applied to its replies, the pacing
// of a real line at 115200 baud, and writing bytes out at their due times.
#include "SimConverter.h"

#include "protocol/ByteFields.h"
#include "protocol/ConfigFrame.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <ctime>
#ifdef Q_OS_WIN
#include "SimLine.h"
#else
#include <sys/ioctl.h>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

using namespace ConfigFrame;

namespace {

// Timer wake-ups come tens of microseconds late, and a few hundred after a
// long sleep on a virtual machine. The first byte of a reply (after the
// request's time on the line) and its last byte (the one the tool waits for)
// are therefore woken for this much early and their exact time waited out.
constexpr qint64 kFirstByteLeadNs = 300000;
constexpr qint64 kLastByteLeadNs = 60000;
// A USB adapter hands what it received to the host once a (full-speed) frame.
constexpr qint64 kUsbFrameNs = 1000000;
constexpr qint64 kLateNs = 700LL * 1000000;
constexpr qint64 kSplitPauseNs = 40LL * 1000000;
constexpr int kSplitPieces = 5;

const QByteArray kGarbage = QByteArray::fromHex("13 37 AB 00 56");

} // namespace

bool SimConverter::consumeFault(quint8 command, Fault *fault)
{
    *fault = Fault::None;
    if (m_fault == Fault::None || m_faultTimes == 0)
        return false;
    if (m_faultCommand >= 0 && m_faultCommand != command)
        return false;
    *fault = m_fault;
    if (m_faultTimes > 0 && --m_faultTimes == 0)
        m_fault = Fault::None;
    return true;
}

void SimConverter::reply(quint8 command, QByteArray frame)
{
    if (m_hangingUp) {
        m_hangingUp = false;
        hangUpInReply(frame);
        return;
    }
    Fault fault = Fault::None;
    if (command != Challenge || m_fault != Fault::WrongKey)
        consumeFault(command, &fault);
    if (fault == Fault::None)
        fault = command == Challenge ? m_challengeDraw : drawFault(false);

    qint64 delay = 0;
    switch (fault) {
    case Fault::Silent:
        return;
    case Fault::CorruptCrc:
        frame[frame.size() - 1] = static_cast<char>(frame.at(frame.size() - 1) ^ 0x5A);
        break;
    case Fault::Garbage:
        frame.prepend(kGarbage);
        break;
    case Fault::WrongCommand:
        frame.chop(2);
        frame[2] = static_cast<char>(byteAt(frame, 2) ^ 0x40);
        appendCrc(frame);
        break;
    case Fault::ShortReply:
        frame = frame.left(4);
        appendCrc(frame);
        break;
    case Fault::Late:
        delay = kLateNs;
        break;
    case Fault::Split: {
        const int piece = (frame.size() + kSplitPieces - 1) / kSplitPieces;
        for (int i = 0; i < kSplitPieces; ++i)
            schedule(i * kSplitPauseNs, frame.mid(i * piece, piece));
        frame.clear();
        break;
    }
    case Fault::Deferred:
        m_deferred = frame;
        return;
    default:
        break;
    }
    schedule(delay, frame);
    // A reply held back lands behind this one, before the tool's next request.
    schedule(0, m_deferred);
    m_deferred.clear();
}

void SimConverter::hangUp()
{
    // Called while a notifier of the line is being served: the notifiers go
    // once the event loop has left them.
    m_hangUpBytes = 0;
    m_inBuffer.clear();
    m_deferred.clear();
#ifndef Q_OS_WIN
    if (m_readNotifier)
        m_readNotifier->setEnabled(false);
#endif
    QTimer::singleShot(0, this, [this] {
        unplug();
        emit hungUp();
    });
}

void SimConverter::hangUpInReply(const QByteArray &reply)
{
    writeOut(reply.left(qMin(m_hangUpBytes, reply.size() - 1)));
    m_inBuffer.clear();
#ifdef Q_OS_WIN
    // Nothing tells when the tool's end of the pair has read them.
    QTimer::singleShot(50, this, [this] { hangUp(); });
#else
    if (m_readNotifier)
        m_readNotifier->setEnabled(false);
    // Polled: nothing signals that the other side has read a pty's bytes.
    auto *poll = new QTimer(this);
    int waited = 0;
    connect(poll, &QTimer::timeout, this, [this, poll, waited]() mutable {
        int unread = 0;
        if (m_slave >= 0 && ::ioctl(m_slave, FIONREAD, &unread) == 0 && unread > 0 && ++waited < 500)
            return;
        poll->deleteLater();
        hangUp();
    });
    poll->start(1);
#endif
}

void SimConverter::schedule(qint64 delayNs, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    const qint64 now = nowNs();
    if (!m_pacing) {
        if (delayNs == 0 && m_pending.isEmpty()) {
            writeOut(bytes);
            return;
        }
        m_pending.append({now + delayNs, 0, bytes, 0});
    } else {
        // Byte by byte at line speed, after the request has crossed the line.
        const qint64 start = qMax(m_lineFreeNs, now + delayNs);
        m_pending.append({start, kByteNs, bytes, 0});
        m_lineFreeNs = start + bytes.size() * kByteNs;
    }
    flushDue();
}

qint64 SimConverter::nowNs()
{
#ifdef Q_OS_WIN
    return SimLine::nowNs();
#else
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
#endif
}

// Writes every byte whose time has come, then sleeps until the next one.
void SimConverter::flushDue()
{
    qint64 now = nowNs();
    if (!m_pending.isEmpty()) {
        const qint64 next = nextDueNs(m_pending.first());
        while (next > now && next - now <= leadNs(m_pending.first()))
            now = nowNs();
    }
    QByteArray due;
    while (!m_pending.isEmpty()) {
        Pending &p = m_pending.first();
        if (now < p.startNs)
            break;
        const qint64 dueCount =
            p.byteNs == 0 ? p.bytes.size() : qMin<qint64>(p.bytes.size(), (now - p.startNs) / p.byteNs);
        if (dueCount > p.written) {
            due.append(p.bytes.constData() + p.written, int(dueCount - p.written));
            p.written = int(dueCount);
        }
        if (p.written < p.bytes.size())
            break;
        if (p.byteNs != 0) {
            ++m_pacingStats.replies;
            m_pacingStats.totalLateNs += now - (p.startNs + p.bytes.size() * p.byteNs);
        }
        m_pending.removeFirst();
    }
    if (!due.isEmpty())
        writeOut(due);
    if (m_pending.isEmpty()) {
        armTimer(0);
        return;
    }
    const Pending &p = m_pending.first();
    qint64 wakeNs = nextDueNs(p) - leadNs(p);
    // Bytes between a reply's first and last go out a frame's worth at a time.
    if (m_usbFrames && p.byteNs != 0 && p.written > 0 && p.written + 1 < p.bytes.size())
        wakeNs = qMin(qMax(wakeNs, now + kUsbFrameNs), p.startNs + p.bytes.size() * p.byteNs - kLastByteLeadNs);
    armTimer(wakeNs);
}

qint64 SimConverter::nextDueNs(const Pending &p)
{
    return p.startNs + (p.written + 1) * p.byteNs;
}

qint64 SimConverter::leadNs(const Pending &p)
{
    if (p.byteNs == 0)
        return 0;
    if (p.written == 0)
        return kFirstByteLeadNs;
    return p.written + 1 == p.bytes.size() ? kLastByteLeadNs : 0;
}

#ifdef Q_OS_WIN
void SimConverter::armTimer(qint64 dueNs)
{
    if (m_line)
        m_line->armTimer(dueNs);
}

void SimConverter::writeOut(const QByteArray &bytes)
{
    // The serial line queues what the driver does not take at once.
    if (m_line) {
        m_line->write(bytes);
        m_bytesOut += bytes.size();
    }
}
#else
// Absolute CLOCK_MONOTONIC time; 0 disarms.
void SimConverter::armTimer(qint64 dueNs)
{
    if (m_timerFd < 0)
        return;
    itimerspec spec{};
    if (dueNs > 0) {
        spec.it_value.tv_sec = time_t(dueNs / 1000000000LL);
        spec.it_value.tv_nsec = long(dueNs % 1000000000LL);
    }
    timerfd_settime(m_timerFd, TFD_TIMER_ABSTIME, &spec, nullptr);
}

void SimConverter::writeOut(const QByteArray &bytes)
{
    m_outBacklog.append(bytes);
    while (!m_outBacklog.isEmpty() && m_master >= 0) {
        const ssize_t n =
            ::write(m_master, m_outBacklog.constData(), static_cast<size_t>(m_outBacklog.size()));
        if (n > 0) {
            m_bytesOut += n;
            m_outBacklog.remove(0, static_cast<int>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // the terminal side is full: wait until it drains
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_outBacklog.isEmpty());
}
#endif
