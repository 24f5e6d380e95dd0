#include "ParallelRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <sys/resource.h>

#include <memory>
#include <vector>

namespace {

// CPU time of the children this process has waited for, in seconds.
double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval &t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Resident set of `pid` and all of its descendants, in kB.
qint64 treeRssKb(qint64 root)
{
    QHash<qint64, qint64> parentOf;
    QHash<qint64, qint64> rss;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("PPid:"))
                parentOf.insert(pid, line.mid(5).trimmed().toLongLong());
            else if (line.startsWith("VmRSS:"))
                rss.insert(pid, line.mid(6).trimmed().split(' ').value(0).toLongLong());
        }
    }
    qint64 total = 0;
    for (auto it = rss.cbegin(); it != rss.cend(); ++it) {
        for (qint64 p = it.key(); p > 1; p = parentOf.value(p, 0)) {
            if (p == root) {
                total += it.value();
                break;
            }
        }
    }
    return total;
}

} // namespace

QString ParallelRun::tableHeader()
{
    return QStringLiteral("Parallel: tarvine-cli batch, one job per paced stand-in, on 1, 8 and 32 at once\n"
                          "(peak: MB of the batch and its jobs, summed; cpu: user + system seconds of them)\n"
                          "%1%2%3%4%5%6%7%8%9%10%11%12%13  ok")
        .arg(QStringLiteral("job"), -42)
        .arg(QStringLiteral("runs"), 5)
        .arg(QStringLiteral("1 dev. s"), 9)
        .arg(QStringLiteral("8 dev. s"), 9)
        .arg(QStringLiteral("32 dev. s"), 10)
        .arg(QStringLiteral("8/1"), 7)
        .arg(QStringLiteral("32/1"), 7)
        .arg(QStringLiteral("peak 8"), 8)
        .arg(QStringLiteral("peak 32"), 9)
        .arg(QStringLiteral("cpu 1"), 7)
        .arg(QStringLiteral("cpu 8"), 7)
        .arg(QStringLiteral("cpu 32"), 8)
        .arg(QString());
}

QString ParallelRun::Row::line() const
{
    return QStringLiteral("%1%2%3%4%5%6%7%8%9%10%11%12  %13")
        .arg(name, -42)
        .arg(one.values.size(), 5)
        .arg(one.median(), 9, 'f', 3)
        .arg(eight.median(), 9, 'f', 3)
        .arg(thirtyTwo.median(), 10, 'f', 3)
        .arg(ratio8(), 7, 'f', 3)
        .arg(ratio32(), 7, 'f', 3)
        .arg(peakMb8.max(), 8, 'f', 1)
        .arg(peakMb32.max(), 9, 'f', 1)
        .arg(cpuOne.median(), 7, 'f', 2)
        .arg(cpuEight.median(), 7, 'f', 2)
        .arg(cpuThirtyTwo.median(), 8, 'f', 2)
        .arg(ok ? QStringLiteral("yes") : QStringLiteral("NO"));
}

ParallelRun::Row ParallelRun::measure(const QString &name, const QString &job, int runs)
{
    Row row;
    row.name = name;
    // Alternated, so that a drift of the shared machine hits all alike.
    for (int i = 0; i < runs; ++i) {
        const Result a = run(1, job);
        const Result b = run(Eight, job);
        const Result c = run(ThirtyTwo, job);
        row.one.add(a.seconds);
        row.eight.add(b.seconds);
        row.thirtyTwo.add(c.seconds);
        row.peakMb8.add(b.peakMb);
        row.peakMb32.add(c.peakMb);
        row.cpuOne.add(a.cpuSeconds);
        row.cpuEight.add(b.cpuSeconds);
        row.cpuThirtyTwo.add(c.cpuSeconds);
        row.ok = row.ok && a.ok && b.ok && c.ok;
    }
    return row;
}

QVector<ParallelRun::Row> ParallelRun::measureAll(const QString &configFile, const QString &image,
                                                  int writeRuns, int updateRuns)
{
    return {measure(QStringLiteral("write + verify (MODBUS从站, full tables)"),
                    QStringLiteral("write ") + configFile, writeRuns),
            measure(QStringLiteral("firmware 256 KiB"), QStringLiteral("update ") + image, updateRuns)};
}

ParallelRun::ParallelRun(QString cliPath, QString simPath, QString workDir)
    : m_cli(std::move(cliPath)), m_sim(std::move(simPath)), m_dir(std::move(workDir))
{
}

ParallelRun::Result ParallelRun::run(int devices, const QString &job)
{
    std::vector<std::unique_ptr<QProcess>> sims;
    QString manifest;
    for (int i = 0; i < devices; ++i) {
        auto sim = std::make_unique<QProcess>();
        sim->start(m_sim, {QStringLiteral("--pacing"), QStringLiteral("--usb-frames")});
        QByteArray port;
        while (!port.contains('\n') && sim->waitForReadyRead(10000))
            port += sim->readAllStandardOutput();
        if (!port.contains('\n'))
            qFatal("the stand-in converter did not start");
        manifest += QString::fromLocal8Bit(port.trimmed()) + QLatin1Char(' ') + job + QLatin1Char('\n');
        sims.push_back(std::move(sim));
    }
    const QString manifestPath = m_dir + QStringLiteral("/manifest-%1.txt").arg(devices);
    QFile file(manifestPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(manifest.toUtf8()) != manifest.toUtf8().size())
        qFatal("cannot write %s", qPrintable(manifestPath));
    file.close();

    Result result;
    QProcess batch;
    batch.setStandardErrorFile(QProcess::nullDevice()); // the jobs' boxes and progress
    const double cpuBefore = childrenCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    batch.start(m_cli, {QStringLiteral("batch"), manifestPath});
    qint64 peakKb = 0;
    // Sampled every 20 ms: the jobs live for seconds, their peaks for longer.
    while (!batch.waitForFinished(20))
        peakKb = qMax(peakKb, treeRssKb(batch.processId()));
    result.seconds = clock.nsecsElapsed() / 1e9;
    result.cpuSeconds = childrenCpuSeconds() - cpuBefore; // the stand-ins still run: not counted
    batch.readAllStandardOutput();
    result.peakMb = peakKb / 1024.0;
    result.ok = batch.exitStatus() == QProcess::NormalExit && batch.exitCode() == 0;

    for (auto &sim : sims) {
        sim->terminate();
        sim->waitForFinished(5000);
    }
    return result;
}
