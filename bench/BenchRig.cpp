#include "BenchRig.h"

#include "app/TARVINE.h"
#include "link/CenterWidget.h"
#include "protocol/ByteFields.h"
#include "protocol/ConfigFrame.h"
#include "serial/SerialLine.h"
#include "update/UpadteWidget.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTabWidget>
#include <QTimer>

#include <memory>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(label) ((void)(label))
#endif

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace ConfigFrame;

namespace {

constexpr int kMappingRows = 32;
constexpr int kFilterRows = 28;
constexpr int kModeOffset = 43;
constexpr quint8 kModeModbusSlave = 5;

QByteArray sendMappingBlock()
{
    QByteArray b = SimConverter::defaultBlock(WriteSendMapping);
    for (int i = 0; i < kMappingRows; ++i) {
        const int at = 3 + 9 * i;
        putByte(b, at, 1);
        putBe32(b, at + 1, 0x100 + i);
        putBe16(b, at + 5, 2000 + 4 * i);
        putByte(b, at + 7, 0); // standard data frame, classic CAN
        putByte(b, at + 8, 8);
    }
    return b;
}

QByteArray recvMappingBlock()
{
    QByteArray b = SimConverter::defaultBlock(WriteRecvMapping);
    for (int i = 0; i < kMappingRows; ++i) {
        const int at = 3 + 8 * i;
        putByte(b, at, 1);
        putBe32(b, at + 1, 0x200 + i);
        putBe16(b, at + 5, 4 * i);
        putByte(b, at + 7, 4);
    }
    return b;
}

QByteArray filterBlock()
{
    QByteArray b = SimConverter::defaultBlock(WriteFilters);
    putByte(b, 3, 1);
    putByte(b, 5, kFilterRows);
    for (int i = 0; i < kFilterRows; ++i) {
        const int at = 7 + 12 * i;
        putByte(b, at, 0);     // standard frame
        putByte(b, at + 1, 0); // one identifier
        putBe32(b, at + 4, 0x300 + i);
        putBe32(b, at + 8, 0);
    }
    return b;
}

} // namespace

BenchRig::BenchRig()
{
    m_simThread.setObjectName(QStringLiteral("converter"));
    m_simThread.start();
    m_simContext = new QObject;
    m_simContext->moveToThread(&m_simThread);
    QString error;
    onSim([&] {
        // The pacing timer is due every 86.8 µs; the default 50 µs slack
        // would be a good part of that.
        prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
        // The converter stands for hardware, which other programs on this
        // machine do not hold up; where allowed, it goes ahead of them.
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), -10);
        m_sim = new SimConverter;
        if (!m_sim->open())
            error = m_sim->errorString();
    });
    if (!error.isEmpty())
        qFatal("cannot open a pseudo-terminal: %s", qPrintable(error));

    setMessageObserver([this](const MessageRecord &record) { m_boxes << record.text; });
    m_window = std::make_unique<TARVINE>();
    m_center = m_window->centerWidget();
    m_updatePage = m_center->findChild<UpadteWidget *>();
    QString port;
    onSim([&] { port = m_sim->portName(); });
    m_center->setPortName(port);
    m_window->show();
}

BenchRig::~BenchRig()
{
    m_window.reset();
    setMessageObserver({});
    onSim([this] {
        delete m_sim;
        delete m_simContext;
    });
    m_simThread.quit();
    m_simThread.wait();
}

void BenchRig::onSim(const std::function<void()> &work)
{
    QMetaObject::invokeMethod(m_simContext, work, Qt::BlockingQueuedConnection);
}

void BenchRig::setPacing(bool on)
{
    onSim([=] { m_sim->setPacing(on); });
}

void BenchRig::seedFullConfiguration()
{
    onSim([this] {
        QByteArray main = SimConverter::defaultBlock(WriteMain);
        putByte(main, kModeOffset, kModeModbusSlave);
        m_sim->setBlock(WriteMain, main);
        m_sim->setBlock(WriteSendMapping, sendMappingBlock());
        m_sim->setBlock(WriteRecvMapping, recvMappingBlock());
        m_sim->setBlock(WriteFilters, filterBlock());
    });
}

void BenchRig::saveFullConfiguration(const QString &path)
{
    setPacing(false);
    seedFullConfiguration();
    connectDevice();
    m_center->saveConfiguration(path);
    disconnectDevice();
}

void BenchRig::setTrafficLogShown(bool shown)
{
    QAction *action = m_center->trafficLogAction();
    if (action->isChecked() != shown)
        action->trigger();
    QCoreApplication::processEvents();
}

bool BenchRig::isConnected() const
{
    return m_center->isConnected();
}

RunResult BenchRig::timed(const std::function<void()> &operation, const QString &expectedBox)
{
    qint64 before = 0;
    onSim([&] {
        m_sim->clearReceived();
        m_sim->resetPacingStats();
        before = m_sim->bytesReceived() + m_sim->bytesSent();
    });
    m_boxes.clear();
    // A person clicks in a window that has finished repainting, and an
    // operation ends when the window shows its outcome: each run pays for
    // its own paints, not for what the run before left to paint.
    QCoreApplication::processEvents();

    // Under callgrind (valgrind --tool=callgrind tarvine-bench --profile)
    // each operation is dumped on its own, named after the box it expects;
    // elsewhere these two do nothing.
    CALLGRIND_ZERO_STATS;
    QElapsedTimer clock;
    clock.start();
    operation();
    QCoreApplication::processEvents();
    RunResult r;
    r.seconds = clock.nsecsElapsed() / 1e9;
    CALLGRIND_DUMP_STATS_AT(expectedBox.isEmpty() ? "disconnect" : expectedBox.toUtf8().constData());

    onSim([&] {
        r.lineBytes = m_sim->bytesReceived() + m_sim->bytesSent() - before;
        r.exchanges = m_sim->receivedFrames().size();
        r.commands = m_sim->receivedCommands();
        r.pacing = m_sim->pacingStats();
        m_sim->clearReceived();
    });
    // Only the one success box, nothing else: a time-out or a refusal
    // would show up here.
    r.ok = expectedBox.isEmpty() ? m_boxes.isEmpty() : m_boxes == QStringList{expectedBox};
    if (!r.ok)
        qWarning("unexpected messages: %s", qPrintable(m_boxes.join(QStringLiteral(" | "))));
    return r;
}

QVector<double> BenchRig::transportRoundTrips(int count)
{
    QString name;
    onSim([&] { name = m_sim->portName(); });
    std::unique_ptr<SerialLine> port(SerialLine::create());
    port->setPortName(name);
    QVector<double> roundTrips;
    if (isConnected() || !port->open())
        return roundTrips;
    // The connect challenge, which the converter answers at any time:
    // 23 bytes each way.
    const QByteArray request = challengeRequest(QByteArray(ChallengeSize, '\x5A'));
    const int kReplySize = request.size();
    QByteArray reply;
    QEventLoop loop;
    QObject::connect(port.get(), &SerialLine::readyRead, &loop, [&] {
        reply += port->readAll();
        if (reply.size() >= kReplySize)
            loop.quit();
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    QCoreApplication::processEvents();
    for (int i = 0; i < count; ++i) {
        reply.clear();
        QElapsedTimer clock;
        clock.start();
        port->write(request);
        timeout.start(1000);
        loop.exec();
        timeout.stop();
        if (reply.size() < kReplySize)
            return {};
        roundTrips << clock.nsecsElapsed() / 1e3;
    }
    onSim([this] { m_sim->clearReceived(); });
    return roundTrips;
}

RunResult BenchRig::connectDevice()
{
    RunResult r = timed([this] { m_center->on_Connectpushbutton(); }, QStringLiteral("连接成功"));
    r.ok = r.ok && isConnected() && r.exchanges == 7;
    return r;
}

RunResult BenchRig::disconnectDevice()
{
    if (!isConnected())
        return RunResult{0, 0, 0, {}, {}, true};
    return timed([this] { m_center->on_Connectpushbutton(); }, QString());
}

RunResult BenchRig::writeConfiguration()
{
    RunResult r = timed([this] { m_center->on_Writepushbutton(); }, QStringLiteral("写配置成功"));
    r.ok = r.ok && r.commands == QList<quint8>{WriteMain, WriteRecvMapping, WriteSendMapping, WriteModbus, WriteFilters};
    // The full tables went out as they came in.
    onSim([&] {
        r.ok = r.ok && m_sim->block(WriteSendMapping) == sendMappingBlock() &&
               m_sim->block(WriteRecvMapping) == recvMappingBlock() && m_sim->block(WriteFilters) == filterBlock();
    });
    if (!r.ok)
        qWarning("the write did not carry the full tables back");
    return r;
}

RunResult BenchRig::restoreDefaults()
{
    RunResult r = timed([this] { m_center->on_Defaultpushbutton(); }, QStringLiteral("恢复默认值成功"));
    r.ok = r.ok && r.exchanges == 7;
    return r;
}

RunResult BenchRig::updateFirmware(const QString &imagePath, const QByteArray &image)
{
    // A user updates from the update page, whose progress bar then shows.
    auto *tabs = m_center->findChild<QTabWidget *>(QStringLiteral("m_tabWidgetDevInfo"));
    tabs->setCurrentWidget(m_updatePage);
    RunResult r = timed([&] { m_updatePage->startUpdate(imagePath); }, QStringLiteral("固件更新成功"));
    tabs->setCurrentIndex(0);
    QByteArray stored;
    onSim([&] { stored = m_sim->lastImage(); });
    r.ok = r.ok && stored.left(image.size()) == image;
    return r;
}
