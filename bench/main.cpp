// tarvine-bench: how close the tool comes to the serial line's own limit.
// Runs the real main window on the GUI thread against the stand-in
// converter on another thread, once with the line paced to 115200 baud 8N1
// (86.8 µs a byte) and once unpaced (the tool's own cost per exchange),
// then times start-up of the real program, and tarvine-cli batch on 1, 8
// and 32 stand-ins at once. Prints a table and the targets.
#include "BenchRig.h"
#include "ParallelRun.h"
#include "PortLockFolder.h"
#include "Stats.h"
#include "app/TARVINE.h"
#include "common/MessageBox.h"
#include "link/CenterWidget.h"
#include "update/UpadteWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

// 10 bits a byte at 115200 baud.
constexpr double kByteSeconds = 10.0 / 115200;

struct Plan
{
    int smallRuns = 11;
    QVector<QPair<int, int>> pacedFirmware{{64, 3}, {256, 2}, {1024, 2}}; // KiB, runs
    int unpacedSmallRuns = 20;
    int unpacedFirmwareRuns = 3;
    int startupRuns = 5;
    bool pacedSuite = true;
    bool updateMemory = true;
    int parallelRuns = 3;       // batch write + verify, on 1, 8 and 32 devices
    int parallelUpdateRuns = 1; // batch firmware update, the same
    bool suites = true;         // false: the parallel run alone
    bool trafficLogPass = false; // the steady unpaced runs again, the traffic log panel shown
    bool connectOnly = false;    // the unpaced connects alone (to time a change to them)
};

struct Measured
{
    explicit Measured(const QString &name, int kib = 0) : name(name), kib(kib) {}

    QString name;
    Samples seconds;
    Samples bound;
    Samples ratio;
    Samples perExchangeUs;
    Samples lateMs;      // the converter's lateness, summed over the replies of a run
    Samples netRatio;    // ratio with that lateness taken out
    qint64 lineBytes = 0;
    int exchanges = 0;
    int kib = 0; // firmware image size, 0 for the configuration commands
    bool ok = true;

    void add(const RunResult &r)
    {
        seconds.add(r.seconds);
        bound.add(r.lineBytes * kByteSeconds);
        ratio.add(r.seconds / (r.lineBytes * kByteSeconds));
        perExchangeUs.add(r.exchanges ? r.seconds * 1e6 / r.exchanges : 0);
        lateMs.add(r.pacing.totalLateNs / 1e6);
        netRatio.add((r.seconds - r.pacing.totalLateNs / 1e9) / (r.lineBytes * kByteSeconds));
        lineBytes = r.lineBytes;
        exchanges = r.exchanges;
        ok = ok && r.ok;
    }
};

void out(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

QString pad(const QString &s, int width)
{
    return width < 0 ? s.leftJustified(-width) : s.rightJustified(width);
}

QString num(double v, int decimals)
{
    return QString::number(v, 'f', decimals);
}

QString pct(double v)
{
    return QStringLiteral("±%1%").arg(num(v * 100, 1));
}

class Bench
{
public:
    explicit Bench(const Plan &plan) : m_plan(plan) {}
    int run();

private:
    // `trafficLogShown`: the steady operations only (no connect row), with
    // the traffic log panel shown.
    QVector<Measured> runSuite(bool paced, bool trafficLogShown = false);
    void measureCommand(Measured &m, int runs, const std::function<RunResult()> &op,
                        const std::function<void()> &before, const std::function<void()> &after);
    QString imagePath(int kib);
    void measureStartup();
    void measureUpdateMemory();
    void printPaced(const QVector<Measured> &rows);
    void printUnpaced(const QVector<Measured> &rows, bool trafficLogShown = false);
    void printStartupAndMemory();
    void measureParallel();
    int printTargets(double totalSeconds);
    void check(const QString &what, const QString &measured, bool met) { m_targets << Target{what, measured, met}; }

    Plan m_plan;
    BenchRig *m_rig = nullptr;
    QTemporaryDir m_dir;
    QHash<int, QByteArray> m_images;
    Samples m_startupSeconds;
    Samples m_startupPeakKiB;
    Memory m_sessionIdle;   // this process with a connected main window, before the update
    Memory m_afterUpdate;   // the same after a 1 MiB update
    Samples m_updateSeconds;
    Samples m_transportUs; // round trips through the pseudo-terminal alone, unpaced
    QVector<Target> m_targets;
    bool m_allOk = true;
};

QString Bench::imagePath(int kib)
{
    const QString path = m_dir.filePath(QStringLiteral("image-%1k.bin").arg(kib));
    if (!m_images.contains(kib)) {
        QByteArray image(kib * 1024, Qt::Uninitialized);
        QRandomGenerator random(kib);
        for (char &c : image)
            c = static_cast<char>(random.generate() & 0xFF);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
            qFatal("cannot write %s", qPrintable(path));
        m_images.insert(kib, image);
    }
    return path;
}

void Bench::measureCommand(Measured &m, int runs, const std::function<RunResult()> &op,
                           const std::function<void()> &before, const std::function<void()> &after)
{
    for (int i = 0; i < runs; ++i) {
        if (before)
            before();
        m.add(op());
        if (after)
            after();
    }
    m_allOk = m_allOk && m.ok;
}

QVector<Measured> Bench::runSuite(bool paced, bool trafficLogShown)
{
    BenchRig &rig = *m_rig;
    rig.setPacing(paced);
    rig.setTrafficLogShown(trafficLogShown);
    rig.seedFullConfiguration();
    const int smallRuns = paced ? m_plan.smallRuns : m_plan.unpacedSmallRuns;
    QVector<Measured> rows;
    // What the pseudo-terminal and the thread hand-overs take by themselves,
    // before and after the runs (the machine's wake-up times drift).
    const auto measureTransport = [&] {
        if (!paced)
            for (double us : rig.transportRoundTrips(50))
                m_transportUs.add(us);
    };
    measureTransport();

    if (!trafficLogShown) {
        Measured connect(QStringLiteral("connect"));
        measureCommand(
            connect, smallRuns, [&] { return rig.connectDevice(); }, {}, [&] { rig.disconnectDevice(); });
        rows << connect;
    }
    if (m_plan.connectOnly) {
        measureTransport();
        return rows;
    }

    rig.connectDevice();
    Measured write(QStringLiteral("write (MODBUS从站, full tables)"));
    measureCommand(write, smallRuns, [&] { return rig.writeConfiguration(); }, {}, {});
    rows << write;

    Measured defaults(QStringLiteral("restore defaults"));
    measureCommand(defaults, smallRuns, [&] { return rig.restoreDefaults(); }, {}, {});
    rows << defaults;
    rig.disconnectDevice();

    QVector<QPair<int, int>> firmware = m_plan.pacedFirmware;
    if (!paced)
        for (auto &f : firmware)
            f.second = m_plan.unpacedFirmwareRuns;
    for (const auto &f : firmware) {
        const int kib = f.first;
        const QString path = imagePath(kib);
        Measured update(QStringLiteral("firmware %1 KiB").arg(kib), kib);
        // The device restarts after an update: every run connects first.
        measureCommand(update, f.second, [&] { return rig.updateFirmware(path, m_images.value(kib)); },
                       [&] { rig.connectDevice(); }, [&] { rig.disconnectDevice(); });
        rows << update;
    }
    measureTransport();
    rig.setTrafficLogShown(false);
    return rows;
}

void Bench::measureStartup()
{
    for (int i = 0; i < m_plan.startupRuns; ++i) {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TARVINE_REPORT_SHOWN"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), qEnvironmentVariable("QT_QPA_PLATFORM"));
        tool.setProcessEnvironment(env);
        tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        tool.start(QStringLiteral(TARVINE_EXECUTABLE), QStringList());
        QByteArray said;
        while (!said.contains("shown\n") && tool.waitForReadyRead(10000))
            said += tool.readAllStandardOutput();
        const double seconds = clock.nsecsElapsed() / 1e9;
        if (!said.contains("shown\n")) {
            out(QStringLiteral("start-up: %1 never showed its window").arg(QStringLiteral(TARVINE_EXECUTABLE)));
            m_allOk = false;
            return;
        }
        m_startupSeconds.add(seconds);
        m_startupPeakKiB.add(memoryOf(tool.processId()).peakKiB);
        tool.kill();
        tool.waitForFinished();
    }
}

// With the converter in a process of its own, what this process holds is
// the tool's: one main window, connected, then a 1 MiB update through it.
void Bench::measureUpdateMemory()
{
    const QString image = imagePath(1024);
    QProcess sim;
    sim.start(QStringLiteral(TARVINE_SIM_EXECUTABLE), QStringList());
    QByteArray said;
    while (!said.contains('\n') && sim.waitForReadyRead(10000))
        said += sim.readAllStandardOutput();
    const QString port = QString::fromLocal8Bit(said.left(said.indexOf('\n')).trimmed());
    if (port.isEmpty()) {
        out(QStringLiteral("memory: %1 did not start").arg(QStringLiteral(TARVINE_SIM_EXECUTABLE)));
        m_allOk = false;
        return;
    }
    QStringList boxes;
    setMessageObserver([&boxes](const MessageRecord &record) { boxes << record.text; });
    {
        TARVINE window;
        window.centerWidget()->setPortName(port);
        window.show();
        QCoreApplication::processEvents();
        window.centerWidget()->on_Connectpushbutton();
        m_sessionIdle = memoryOfSelf();
        auto *page = window.centerWidget()->findChild<UpadteWidget *>();
        QElapsedTimer clock;
        clock.start();
        page->startUpdate(image);
        m_updateSeconds.add(clock.nsecsElapsed() / 1e9);
        m_afterUpdate = memoryOfSelf();
    }
    setMessageObserver({});
    if (!boxes.contains(QStringLiteral("固件更新成功"))) {
        out(QStringLiteral("memory: the 1 MiB update failed: %1").arg(boxes.join(QStringLiteral(" | "))));
        m_allOk = false;
    }
    sim.terminate();
    if (!sim.waitForFinished(5000))
        sim.kill();
}

void Bench::printPaced(const QVector<Measured> &rows)
{
    out(QStringLiteral("Paced line (115200 baud 8N1, 86.8 µs a byte, both directions). bound: the bytes that crossed\n"
                       "the line times 86.8 µs. late: how long after their due time the converter wrote the last\n"
                       "bytes of its replies, summed over a run; ratio*: the ratio with that taken out"));
    out(pad(QStringLiteral("operation"), -32) + pad(QStringLiteral("runs"), 5) + pad(QStringLiteral("median s"), 10) +
        pad(QStringLiteral("spread"), 9) + pad(QStringLiteral("bound s"), 10) + pad(QStringLiteral("ratio"), 8) +
        pad(QStringLiteral("bytes"), 9) + pad(QStringLiteral("exch."), 7) + pad(QStringLiteral("late ms"), 9) +
        pad(QStringLiteral("ratio*"), 8) + QStringLiteral("  ok"));
    for (const Measured &m : rows) {
        out(pad(m.name, -32) + pad(QString::number(m.seconds.values.size()), 5) + pad(num(m.seconds.median(), 4), 10) +
            pad(pct(m.seconds.spread()), 9) + pad(num(m.bound.median(), 4), 10) + pad(num(m.ratio.median(), 3), 8) +
            pad(QString::number(m.lineBytes), 9) + pad(QString::number(m.exchanges), 7) +
            pad(num(m.lateMs.median(), 2), 9) + pad(num(m.netRatio.median(), 3), 8) + (m.ok ? QStringLiteral("  yes") : QStringLiteral("  NO")));
        check(QStringLiteral("%1: time / line bound <= 1.05").arg(m.name), num(m.ratio.median(), 3),
              m.ratio.median() <= 1.05);
    }
    const Measured *small = nullptr;
    const Measured *large = nullptr;
    for (const Measured &m : rows) {
        if (m.kib == 64)
            small = &m;
        if (m.kib == 1024)
            large = &m;
    }
    if (small && large) {
        const double a = small->seconds.median() / small->kib * 1000;
        const double b = large->seconds.median() / large->kib * 1000;
        check(QStringLiteral("firmware ms per KiB, 1 MiB within 5% of 64 KiB"),
              QStringLiteral("%1 vs %2 ms/KiB (%3%)").arg(num(b, 3), num(a, 3), num((b / a - 1) * 100, 2)),
              qAbs(b / a - 1) <= 0.05);
    }
    out(QString());
}

void Bench::printUnpaced(const QVector<Measured> &rows, bool trafficLogShown)
{
    const double transportUs = m_transportUs.values.isEmpty() ? 0 : m_transportUs.median();
    const QString shown = trafficLogShown ? QStringLiteral(" (traffic log shown)") : QString();
    out(QStringLiteral("Unpaced line: the tool's own cost (the converter answers at once). A round trip through\n"
                       "the pseudo-terminal alone (request written, converter's reply read, no tool between)\n"
                       "takes %1 µs here (median of %2, spread %3): tool = µs/exch. less that")
            .arg(num(transportUs, 1))
            .arg(m_transportUs.values.size())
            .arg(pct(m_transportUs.values.isEmpty() ? 0 : m_transportUs.spread())));
    if (trafficLogShown)
        out(QStringLiteral(
            "The steady operations again, with the traffic log panel shown (its table follows the\n"
            "log at most every 100 ms; recording runs in both tables):"));
    out(pad(QStringLiteral("operation"), -32) + pad(QStringLiteral("runs"), 5) + pad(QStringLiteral("median ms"), 11) +
        pad(QStringLiteral("spread"), 9) + pad(QStringLiteral("exch."), 7) + pad(QStringLiteral("µs/exch."), 10) +
        pad(QStringLiteral("exch./s"), 9) + pad(QStringLiteral("tool µs"), 9) + QStringLiteral("  ok"));
    for (const Measured &m : rows) {
        const double us = m.perExchangeUs.median();
        const double toolUs = std::max(0.0, us - transportUs);
        out(pad(m.name, -32) + pad(QString::number(m.seconds.values.size()), 5) + pad(num(m.seconds.median() * 1000, 2), 11) +
            pad(pct(m.seconds.spread()), 9) + pad(QString::number(m.exchanges), 7) + pad(num(us, 1), 10) +
            pad(num(us > 0 ? 1e6 / us : 0, 0), 9) + pad(num(toolUs, 1), 9) +
            (m.ok ? QStringLiteral("  yes") : QStringLiteral("  NO")));
        // A connect is judged whole: most of it is the window it enables
        // (pages enabled and repainted once), not its seven exchanges.
        if (m.name == QLatin1String("connect")) {
            const double ms = m.seconds.median() * 1000 - m.exchanges * transportUs / 1000;
            check(QStringLiteral("connect: own cost, repaint included, <= 2 ms"),
                  QStringLiteral("%1 ms (%2 ms with the pseudo-terminal)")
                      .arg(num(ms, 2), num(m.seconds.median() * 1000, 2)),
                  ms <= 2);
            continue;
        }
        check(QStringLiteral("%1%2: own cost per exchange <= 100 µs").arg(m.name, shown),
              QStringLiteral("%1 µs (%2 µs with the pseudo-terminal)").arg(num(toolUs, 1), num(us, 1)),
              toolUs <= 100);
    }
    // A firmware update has a cost of its own (reading the file, the
    // progress bar's hundred steps) besides its exchanges: the smallest and
    // largest image tell the two apart.
    const Measured *small = nullptr;
    const Measured *large = nullptr;
    for (const Measured &m : rows) {
        if (m.kib > 0 && (!small || m.kib < small->kib))
            small = &m;
        if (m.kib > 0 && (!large || m.kib > large->kib))
            large = &m;
    }
    if (small && large && large->exchanges > small->exchanges) {
        const double slopeUs = (large->seconds.median() - small->seconds.median()) * 1e6 /
                               (large->exchanges - small->exchanges);
        const double fixedMs = (small->seconds.median() * 1e6 - slopeUs * small->exchanges) / 1e3;
        out(QStringLiteral("Firmware, %1 KiB against %2 KiB: %3 µs per exchange, %4 ms per update besides")
                .arg(large->kib)
                .arg(small->kib)
                .arg(num(slopeUs, 1), num(fixedMs, 1)));
    }
    out(QString());
}

void Bench::printStartupAndMemory()
{
    if (m_plan.startupRuns > 0) {
        out(QStringLiteral("Start-up of %1 (process start to main window shown), %2 runs")
                .arg(QStringLiteral(TARVINE_EXECUTABLE))
                .arg(m_startupSeconds.values.size()));
        out(QStringLiteral("  median %1 s, spread %2, fastest %3 s, slowest %4 s")
                .arg(num(m_startupSeconds.median(), 3), pct(m_startupSeconds.spread()),
                     num(m_startupSeconds.min(), 3), num(m_startupSeconds.max(), 3)));
        out(QStringLiteral("  peak resident memory of the idle tool (VmHWM): %1 MB")
                .arg(num(m_startupPeakKiB.median() / 1024, 1)));
        check(QStringLiteral("main window shown within 0.5 s"),
              QStringLiteral("%1 s").arg(num(m_startupSeconds.median(), 3)),
              m_startupSeconds.median() > 0 && m_startupSeconds.median() < 0.5);
        check(QStringLiteral("idle peak memory < 80 MB"),
              QStringLiteral("%1 MB").arg(num(m_startupPeakKiB.median() / 1024, 1)),
              m_startupPeakKiB.median() > 0 && m_startupPeakKiB.median() < 80 * 1024);
    }
    if (m_plan.updateMemory) {
        const double growthMB = (m_afterUpdate.peakKiB - m_sessionIdle.peakKiB) / 1024.0;
        out(QStringLiteral("Memory of a connected session in this process, the converter in its own: VmHWM %1 MB,\n"
                           "  after a 1 MiB update (unpaced, %2 s) %3 MB; VmRSS %4 -> %5 MB")
                .arg(num(m_sessionIdle.peakKiB / 1024.0, 1), num(m_updateSeconds.median(), 2),
                     num(m_afterUpdate.peakKiB / 1024.0, 1), num(m_sessionIdle.currentKiB / 1024.0, 1),
                     num(m_afterUpdate.currentKiB / 1024.0, 1)));
        check(QStringLiteral("peak memory growth with a 1 MiB update < 3 MB"),
              QStringLiteral("%1 MB").arg(num(growthMB, 1)), m_afterUpdate.peakKiB > 0 && growthMB < 3);
    }
    out(QString());
}

// Returns the exit code: 0 every target met, 1 some missed, 2 a run failed.
int Bench::printTargets(double totalSeconds)
{
    out(QStringLiteral("Targets"));
    int met = 0;
    for (const Target &t : m_targets) {
        out(QStringLiteral("  %1  %2: %3")
                .arg(t.met ? QStringLiteral("pass") : QStringLiteral("FAIL"), t.what, t.measured));
        met += t.met;
    }
    out(QStringLiteral("%1 of %2 targets met; every run %3; bench took %4 s")
            .arg(met)
            .arg(m_targets.size())
            .arg(m_allOk ? QStringLiteral("completed as the tool reported") : QStringLiteral("DID NOT complete"))
            .arg(num(totalSeconds, 1)));
    if (!m_allOk)
        return 2;
    return met == m_targets.size() ? 0 : 1;
}

// The same batch job on one device, on eight and on 32: a bench's hub of
// adapters must take about as long as one adapter alone.
void Bench::measureParallel()
{
    const QString config = m_dir.filePath(QStringLiteral("full-modbus-slave.txt"));
    m_rig->saveFullConfiguration(config);
    ParallelRun parallel(QStringLiteral(TARVINE_CLI_EXECUTABLE), QStringLiteral(TARVINE_SIM_EXECUTABLE),
                         m_dir.path());
    out(ParallelRun::tableHeader());
    for (const auto &row :
         parallel.measureAll(config, imagePath(256), m_plan.parallelRuns, m_plan.parallelUpdateRuns)) {
        out(row.line());
        check(QStringLiteral("batch %1: 8 devices / 1 <= 1.15").arg(row.name), num(row.ratio8(), 3),
              row.ratio8() <= 1.15);
        check(QStringLiteral("batch %1: 32 devices / 1 <= 1.25").arg(row.name), num(row.ratio32(), 3),
              row.ratio32() <= 1.25);
        m_allOk = m_allOk && row.ok;
    }
    out(QString());
}

int Bench::run()
{
    QElapsedTimer total;
    total.start();
    if (!m_dir.isValid())
        qFatal("no temporary folder");

    if (m_plan.startupRuns > 0)
        measureStartup();
    if (m_plan.updateMemory)
        measureUpdateMemory();

    BenchRig rig;
    m_rig = &rig;
    const QVector<Measured> unpaced = m_plan.suites ? runSuite(false) : QVector<Measured>();
    const QVector<Measured> traced =
        m_plan.suites && m_plan.trafficLogPass ? runSuite(false, true) : QVector<Measured>();
    const QVector<Measured> paced = m_plan.suites && m_plan.pacedSuite ? runSuite(true) : QVector<Measured>();
    if (m_plan.parallelRuns > 0)
        measureParallel();
    m_rig = nullptr;

    if (m_plan.suites) {
        if (m_plan.pacedSuite)
            printPaced(paced);
        printUnpaced(unpaced);
        if (m_plan.trafficLogPass)
            printUnpaced(traced, true);
        printStartupAndMemory();
    }
    return printTargets(total.nsecsElapsed() / 1e9);
}

} // namespace

// The frame log stays on, as in the tool: its formatting is part of the
// tool's cost. Only its output is dropped, so that the terminal's speed
// does not end up in the figures.
QtMessageHandler previousHandler = nullptr;

void dropLinkLog(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (context.category && qstrcmp(context.category, "tarvine.link") == 0)
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

int main(int argc, char *argv[])
{
    // Before any thread starts: a namespace is the whole process's.
    bool diskLocks = false;
    for (int i = 1; i < argc; ++i)
        diskLocks = diskLocks || qstrcmp(argv[i], "--disk-locks") == 0;
    QString lockError;
    const PortLockFolder locks = diskLocks ? PortLockFolder::current() : PortLockFolder::keepInMemory(&lockError);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The window keeps settings and takes backups before writes: the bench's
    // go to the test folders, never among the user's own.
    QStandardPaths::setTestModeEnabled(true);
    previousHandler = qInstallMessageHandler(dropLinkLog);

    Plan plan;
    const QStringList args = QApplication::arguments();
    if (args.contains(QStringLiteral("--help"))) {
        out(QStringLiteral(
            "usage: tarvine-bench [--quick | --parallel | --profile | --connect] [--traffic-log] [--disk-locks]\n"
            "  --quick    fewer runs and only the 64 KiB image on the paced line (for a first look)\n"
            "  --parallel the parallel run alone: tarvine-cli batch on 1, 8 and 32 stand-ins\n"
            "  --profile  the unpaced runs only, few of each (to run under callgrind)\n"
            "  --traffic-log  also the steady unpaced runs with the traffic log panel shown\n"
            "  --connect  the unpaced connects alone, 41 of them\n"
            "  --disk-locks  leave the ports' lock folder where the machine has it, even on a disk\n"
            "  --save-config FILE  only save the full \"MODBUS从站\" configuration the write runs use"));
        return 0;
    }
    // Other programs time the same write (scripts/windows: tarvine-cli under wine).
    const int saveAt = args.indexOf(QStringLiteral("--save-config"));
    if (saveAt >= 0 && saveAt + 1 < args.size()) {
        BenchRig rig;
        rig.saveFullConfiguration(args.at(saveAt + 1));
        return QFile::exists(args.at(saveAt + 1)) ? 0 : 1;
    }
    if (args.contains(QStringLiteral("--quick"))) {
        plan.smallRuns = 3;
        plan.pacedFirmware = {{64, 1}};
        plan.unpacedSmallRuns = 5;
        plan.unpacedFirmwareRuns = 1;
        plan.startupRuns = 3;
        plan.parallelRuns = 1;
    }
    plan.trafficLogPass = args.contains(QStringLiteral("--traffic-log"));
    if (args.contains(QStringLiteral("--parallel"))) {
        plan.suites = false;
        plan.startupRuns = 0;
        plan.updateMemory = false;
    }
    if (args.contains(QStringLiteral("--connect"))) {
        plan.connectOnly = true;
        plan.pacedSuite = false;
        plan.unpacedSmallRuns = 41;
        plan.startupRuns = 0;
        plan.updateMemory = false;
        plan.parallelRuns = 0;
    }
    if (args.contains(QStringLiteral("--profile"))) {
        plan.parallelRuns = 0;
        plan.pacedSuite = false;
        plan.pacedFirmware = {{64, 1}};
        plan.unpacedSmallRuns = 3;
        plan.unpacedFirmwareRuns = 1;
        plan.startupRuns = 0;
        plan.updateMemory = false;
    }
    if (locks.ownTmpfs)
        out(QStringLiteral("Ports' lock files: %1, on a tmpfs of the bench's own, as on a standard system (this\n"
                           "machine keeps it on a disk; --disk-locks times with that).\n")
                .arg(locks.path));
    else if (!locks.inMemory && !locks.path.isEmpty())
        out(QStringLiteral("Ports' lock files: %1, on a disk (file system %2)%3: each connect syncs one to it.\n")
                .arg(locks.path, locks.fileSystem,
                     lockError.isEmpty() ? QString() : QStringLiteral(" (no tmpfs there: %1)").arg(lockError)));
    return Bench(plan).run();
}
