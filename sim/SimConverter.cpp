#include "SimConverter.h"

#include "protocol/ByteFields.h"
#include "protocol/ConfigFrame.h"
#include "protocol/Crc16.h"
#include "protocol/DeviceInfo.h"
#include "protocol/FilterTable.h"
#include "protocol/Handshake.h"
#include "protocol/MainParams.h"
#include "protocol/ModbusBlock.h"
#include "protocol/UpdateFrame.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#ifdef Q_OS_WIN
#include "SimLine.h"
#else
#include <fcntl.h>
#include <pty.h>
#include <sys/timerfd.h>
#include <termios.h>
#include <unistd.h>
#endif

using namespace ConfigFrame;

namespace {

// The largest image the stand-in accepts (its flash, so to speak).
constexpr quint32 kMaxImage = 16u * 1024 * 1024;


// The read command answered from the block of a write command.
quint8 writeCommandFor(quint8 readCommand)
{
    switch (readCommand) {
    case ReadMain:
        return WriteMain;
    case ReadFilters:
        return WriteFilters;
    case ReadModbus:
        return WriteModbus;
    case ReadRecvMapping:
        return WriteRecvMapping;
    case ReadSendMapping:
        return WriteSendMapping;
    default:
        return 0;
    }
}

QByteArray withCrc(QByteArray frame)
{
    appendCrc(frame);
    return frame;
}

} // namespace

SimConverter::SimConverter(QObject *parent) : QObject(parent)
{
    restoreDefaults();
}

SimConverter::~SimConverter()
{
    unplug();
#ifndef Q_OS_WIN
    delete m_timerNotifier;
    if (m_timerFd >= 0)
        ::close(m_timerFd);
#endif
}

#ifdef Q_OS_WIN
bool SimConverter::open()
{
    unplug();
    m_line = new SimLine(this);
    if (!m_line->open()) {
        m_error = m_line->errorString();
        unplug();
        return false;
    }
    m_portName = m_line->portName();
    m_framesIn = 0;
    connect(m_line, &SimLine::readyRead, this, &SimConverter::onReadable);
    connect(m_line, &SimLine::timerDue, this, &SimConverter::flushDue);
    return true;
}

void SimConverter::unplug()
{
    m_pending.clear();
    m_outBacklog.clear();
    // The pair goes back for the next stand-in.
    delete m_line;
    m_line = nullptr;
}
#else
bool SimConverter::open()
{
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_error = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    termios tio{};
    tcgetattr(m_slave, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    tcsetattr(m_slave, TCSANOW, &tio);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    // A program the test starts must not keep the line open behind its
    // back: a hang-up would then go unnoticed by the tool.
    fcntl(m_master, F_SETFD, FD_CLOEXEC);
    fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    // The terminal side stays open here too, so the pty survives the tool
    // closing and reopening its port.
    m_portName = QString::fromLocal8Bit(name);
    m_framesIn = 0;

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SimConverter::onReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] { writeOut(QByteArray()); });

    // Created here, not in the constructor: the notifier belongs to the
    // thread that services the converter, which is the one opening it.
    if (m_timerFd < 0) {
        m_timerFd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (m_timerFd < 0) {
            m_error = QString::fromLocal8Bit(strerror(errno));
            unplug();
            return false;
        }
        m_timerNotifier = new QSocketNotifier(m_timerFd, QSocketNotifier::Read, this);
        connect(m_timerNotifier, &QSocketNotifier::activated, this, [this] {
            quint64 expirations = 0;
            while (::read(m_timerFd, &expirations, sizeof expirations) < 0 && errno == EINTR) {
            }
            flushDue();
        });
    }
    return true;
}

void SimConverter::unplug()
{
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    armTimer(0);
    m_pending.clear();
    m_outBacklog.clear();
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
}
#endif

void SimConverter::hangUpAfter(int frame, int replyBytes)
{
    m_hangUpFrame = frame;
    m_hangUpBytes = replyBytes;
}

void SimConverter::setFault(Fault fault, int command, int times)
{
    m_fault = fault;
    m_faultCommand = command;
    m_faultTimes = times;
}

void SimConverter::clearFault()
{
    setFault(Fault::None);
}

void SimConverter::setRandomFaults(double probability, quint32 seed)
{
    m_randomChance = probability;
    m_randomState = seed ? seed : 1;
}

// xorshift32: the same seed gives the same faults, run after run.
SimConverter::Fault SimConverter::drawFault(bool challenge)
{
    if (m_randomChance <= 0)
        return Fault::None;
    const auto next = [this] {
        m_randomState ^= m_randomState << 13;
        m_randomState ^= m_randomState >> 17;
        m_randomState ^= m_randomState << 5;
        return m_randomState;
    };
    if (next() / 4294967296.0 >= m_randomChance)
        return Fault::None;
    static const Fault kinds[] = {Fault::Silent,  Fault::CorruptCrc,   Fault::Split,      Fault::Late,
                                  Fault::Garbage, Fault::WrongCommand, Fault::ShortReply, Fault::WrongKey};
    const int count = challenge ? 8 : 7;
    return kinds[next() % count];
}

QByteArray SimConverter::dumpStore() const
{
    QByteArray text;
    for (const quint8 code : {WriteMain, WriteFilters, WriteModbus, WriteRecvMapping, WriteSendMapping})
        text +=
            QByteArray::number(code, 16).rightJustified(2, '0') + ' ' + m_blocks.value(code).toHex() + '\n';
    return text;
}

void SimConverter::failUpdate(int phase, int blockIndex)
{
    m_failPhase = phase;
    m_failBlock = blockIndex;
}

QList<quint8> SimConverter::receivedCommands() const
{
    QList<quint8> commands;
    for (const QByteArray &frame : m_received)
        if (byteAt(frame, 0) == 0x56)
            commands << byteAt(frame, 2);
    return commands;
}

void SimConverter::setBlock(quint8 writeCommand, const QByteArray &frameWithoutCrc)
{
    QByteArray block = frameWithoutCrc;
    const int size = requestLength(writeCommand) - 2;
    if (block.size() < size)
        block.append(QByteArray(size - block.size(), '\0'));
    block.truncate(size);
    block[0] = char(0x56);
    block[1] = char(0xAA);
    block[2] = static_cast<char>(writeCommand);
    m_blocks.insert(writeCommand, block);
}

QByteArray SimConverter::defaultBlock(quint8 writeCommand)
{
    QByteArray b = header(writeCommand);
    switch (writeCommand) {
    case WriteMain: {
        // RS232 115200 8N1, RS485 slot the same.
        Protocol::MainParams main;
        main.serial.first = main.serial.second = {115200, 8, 1, 0};
        // CAN: 500K arbitration, 2M data phase, identifier 0, classic CAN.
        main.can.arbitrationWord = 0x002A0007;
        main.can.dataWord = 0x00250002;
        // Transparent conversion both ways, 10 ms intervals, length 1.
        main.conversion.mode = 1;
        main.conversion.serialInterval = 10;
        main.conversion.idLength = 1;
        main.conversion.canInterval = 10;
        main.encode(b);
        break;
    }
    case WriteFilters:
        Protocol::FilterTable().encode(b);
        break;
    case WriteModbus: {
        Protocol::ModbusBlock modbus;
        modbus.address = 0x01;
        modbus.interval = 1000;
        modbus.length = 8;
        modbus.encode(b);
        break;
    }
    default:
        break;
    }
    const int size = requestLength(writeCommand) - 2;
    if (b.size() < size)
        b.append(QByteArray(size - b.size(), '\0'));
    return b;
}

void SimConverter::restoreDefaults()
{
    for (const quint8 code : {WriteMain, WriteFilters, WriteModbus, WriteRecvMapping, WriteSendMapping})
        m_blocks.insert(code, defaultBlock(code));
}

void SimConverter::receive(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_bytesIn += bytes.size();
    // With pacing the request takes its time on the line before the device
    // can answer it.
    if (m_pacing)
        m_lineFreeNs = qMax(m_lineFreeNs, nowNs()) + bytes.size() * kByteNs;
    m_inBuffer.append(bytes);
}

void SimConverter::onReadable()
{
#ifdef Q_OS_WIN
    if (m_line)
        receive(m_line->readAll());
#else
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, chunk, sizeof chunk);
        if (n > 0) {
            receive(QByteArray::fromRawData(chunk, static_cast<int>(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
            // EIO: nobody has the terminal side open; wait for the tool.
            if (m_readNotifier)
                m_readNotifier->setEnabled(false);
            QTimer::singleShot(20, this, [this] {
                if (m_readNotifier)
                    m_readNotifier->setEnabled(true);
            });
        }
        break;
    }
#endif
    takeFrames();
}

void SimConverter::takeFrames()
{
    for (;;) {
        // Drop anything that cannot start a frame.
        int start = 0;
        while (start < m_inBuffer.size() && byteAt(m_inBuffer, start) != 0x56 &&
               byteAt(m_inBuffer, start) != 0x57)
            ++start;
        m_inBuffer.remove(0, start);
        if (m_inBuffer.size() < 4)
            return;

        int length = 0;
        if (byteAt(m_inBuffer, 0) == 0x56) {
            if (byteAt(m_inBuffer, 1) != 0xAA) {
                m_inBuffer.remove(0, 1);
                continue;
            }
            length = requestLength(byteAt(m_inBuffer, 2));
        } else {
            length = 4 + be16At(m_inBuffer, 2) + 2;
        }
        if (m_inBuffer.size() < length)
            return;
        const QByteArray frame = m_inBuffer.left(length);
        m_inBuffer.remove(0, length);
        handleFrame(frame);
    }
}

void SimConverter::handleFrame(const QByteArray &frame)
{
    m_received << frame;
    emit frameReceived(frame);
    if (++m_framesIn == m_hangUpFrame) {
        m_hangUpFrame = 0;
        if (m_hangUpBytes <= 0) {
            hangUp();
            return;
        }
        m_hangingUp = true; // reply() sends the first bytes of the answer
    }

    if (byteAt(frame, 0) == 0x57) {
        const QByteArray ack = answerUpdate(frame);
        if (!ack.isEmpty())
            reply(0x00, ack);
    } else if (hasValidCrc(frame)) { // a device ignores frames whose checksum does not hold
        const QByteArray answer = answerConfig(frame);
        if (!answer.isEmpty())
            reply(byteAt(frame, 2), answer);
    }
    if (m_hangingUp) { // nothing to answer: the line goes all the same
        m_hangingUp = false;
        hangUp();
    }
}

QByteArray SimConverter::answerConfig(const QByteArray &frame)
{
    const quint8 command = byteAt(frame, 2);
    if (command == Challenge) {
        Fault fault = Fault::None;
        m_challengeDraw = drawFault(true);
        const bool drawnWrongKey = m_challengeDraw == Fault::WrongKey;
        if (drawnWrongKey)
            m_challengeDraw = Fault::None;
        const bool setWrongKey = m_fault == Fault::WrongKey &&
                                 (m_faultCommand < 0 || m_faultCommand == Challenge) && m_faultTimes != 0;
        if (setWrongKey)
            consumeFault(command, &fault);
        const bool wrongKey = setWrongKey || drawnWrongKey;
        const QByteArray key = wrongKey ? QByteArrayLiteral("not-the-real-key") : Handshake::sharedKey();
        const QByteArray cipher = Handshake::answer(frame.mid(ChallengeOffset, ChallengeSize), key);
        m_authenticated = !wrongKey;
        QByteArray r = header(Challenge);
        r.append('\0');
        r.append(char(0x01));
        r.append(cipher);
        return withCrc(r);
    }
    if (m_requireAuth && !m_authenticated)
        return {};

    QByteArray r;
    switch (command) {
    case WriteMain:
    case WriteFilters:
    case WriteModbus:
    case WriteRecvMapping:
    case WriteSendMapping:
        setBlock(command, frame.left(frame.size() - 2));
        if (m_misstore && command == WriteMain) {
            QByteArray &stored = m_blocks[command];
            stored[Protocol::CanBlock::kIdOffset + 3] =
                char(stored.at(Protocol::CanBlock::kIdOffset + 3) ^ 0x01);
        }
        emit storeChanged();
        r = header(command);
        r.append('\0');
        return withCrc(r);
    case ReadMain:
    case ReadFilters:
    case ReadModbus:
    case ReadRecvMapping:
    case ReadSendMapping:
        r = m_blocks.value(writeCommandFor(command));
        r[2] = static_cast<char>(command);
        return withCrc(r);
    case RestoreDefaults:
        restoreDefaults();
        emit storeChanged();
        r = header(command);
        r.append('\0');
        return withCrc(r);
    case ReadDeviceInfo: {
        Protocol::DeviceInfo info;
        info.typeCode = m_info.typeCode;
        std::copy(m_info.hardware, m_info.hardware + 3, info.hardware.begin());
        std::copy(m_info.firmware, m_info.firmware + 3, info.firmware.begin());
        info.deviceType = m_info.typeText;
        info.productNumber = m_info.productNumber;
        r = header(command);
        info.encode(r);
        return withCrc(r);
    }
    default:
        r = header(command);
        r.append('\0');
        return withCrc(r);
    }
}

QByteArray SimConverter::updateAck(quint8 phase, bool ok) const
{
    QByteArray r;
    r.append(char(0x56));
    r.append(static_cast<char>(phase));
    r.append('\0');
    r.append('\0');
    r.append(ok ? '\0' : char(0x01));
    return withCrc(r);
}

QByteArray SimConverter::answerUpdate(const QByteArray &frame)
{
    const quint8 phase = byteAt(frame, 1);
    const int n = frame.size() - 2;
    const quint16 crc = crc16Modbus(frame.constData(), n);
    const bool crcOk = byteAt(frame, n) == (crc >> 8) && byteAt(frame, n + 1) == (crc & 0xFF);
    if (m_requireAuth && !m_authenticated)
        return {};

    switch (phase) {
    case UpdateFrame::Start: {
        m_announced = be32At(frame, 5);
        m_nextBlock = 0;
        m_image.clear();
        const bool ok = crcOk && be16At(frame, 2) == 10 && m_announced % UpdateFrame::BlockSize == 0 &&
                        m_announced <= kMaxImage && m_failPhase != 1;
        m_updateStarted = ok;
        return updateAck(phase, ok);
    }
    case UpdateFrame::Data: {
        const quint32 index = be32At(frame, 10);
        bool ok = crcOk && m_updateStarted && be16At(frame, 2) == 10 + UpdateFrame::BlockSize &&
                  index == m_nextBlock && quint64(m_image.size()) + UpdateFrame::BlockSize <= m_announced;
        if (m_failPhase == 2 && (m_failBlock < 0 || quint32(m_failBlock) == index))
            ok = false;
        if (ok) {
            m_image.append(frame.mid(14, UpdateFrame::BlockSize));
            ++m_nextBlock;
        }
        return updateAck(phase, ok);
    }
    case UpdateFrame::End: {
        const quint16 imageCrc = be16At(frame, 4);
        const bool ok = crcOk && m_updateStarted && quint32(m_image.size()) == m_announced &&
                        crc16Modbus(m_image) == imageCrc && m_failPhase != 3;
        const QByteArray ack = updateAck(phase, ok);
        if (ok) {
            // The device restarts into its new firmware: a new connection
            // (and handshake) is needed.
            m_lastImage = m_image;
            m_authenticated = false;
            ++m_restarts;
        }
        m_updateStarted = false;
        return ack;
    }
    default:
        return {};
    }
}
