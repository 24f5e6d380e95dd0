#include "BatchRunner.h"

#include "BatchDeviceJob.h"
#include "CliRunner.h"
#include "DeviceSession.h"
#include "ExitCode.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <memory>

BatchRunner::BatchRunner(const CliOptions &options) : m_options(options) {}

BatchRunner::~BatchRunner() = default;

int BatchRunner::readManifest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        printErr(QStringLiteral("cannot read %1: %2\n").arg(path, file.errorString()));
        return ExitCode::BadFile;
    }
    int lineNo = 0;
    while (!file.atEnd()) {
        ++lineNo;
        QString line = QString::fromUtf8(file.readLine());
        line = line.left(line.indexOf(QLatin1Char('#'))).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")));
        Job job;
        job.line = lineNo;
        job.port = words.value(0);
        job.command = words.value(1);
        job.arguments = words.mid(2);
        CliOptions check;
        const QString error =
            check.parse(QStringList{QStringLiteral("--port"), job.port, job.command} + job.arguments);
        if (!error.isEmpty() || check.help || check.version || job.command == QLatin1String("batch") ||
            job.command == QLatin1String("ports")) {
            printErr(QStringLiteral("%1:%2: %3\n")
                         .arg(path)
                         .arg(lineNo)
                         .arg(error.isEmpty() ? QStringLiteral("not a job for one port") : error));
            return ExitCode::Usage;
        }
        job.options = check;
        m_jobs.append(job);
    }
    return ExitCode::Success;
}

int BatchRunner::run()
{
    const int read = readManifest(m_options.arguments.value(0));
    if (read != ExitCode::Success)
        return read;

    checkFiles();
    QEventLoop loop;
    m_next = 0;
    startNext();
    while (m_finished < m_jobs.size()) {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    printSummary();
    for (const Job &job : m_jobs)
        if (job.exitCode != ExitCode::Success)
            return ExitCode::BatchFailed;
    return ExitCode::Success;
}

// Each configuration file of a write or verify job is checked here, once,
// as each job would check it before touching its port: a refused file fails
// its jobs (with the file's code) before any of them starts. A job still
// takes the file in after its connect, with every check of the write, so
// nothing it would refuse is ever written.
void BatchRunner::checkFiles()
{
    QHash<QString, int> verdicts;
    QStringList passed;
    for (Job &job : m_jobs) {
        if (job.command != QLatin1String("write") && job.command != QLatin1String("verify"))
            continue;
        m_checking = QFileInfo(job.arguments.value(0)).absoluteFilePath();
        if (!verdicts.contains(m_checking)) {
            if (!m_scratch) {
                m_scratch = std::make_unique<DeviceSession>(QString(), [this](const QString &line) {
                    printErr(QStringLiteral("[%1] %2\n").arg(m_checking, line));
                });
            }
            const int verdict = m_scratch->checkFile(m_checking);
            verdicts.insert(m_checking, verdict);
            if (verdict == ExitCode::Success)
                passed << m_checking;
        }
        if (verdicts.value(m_checking) != ExitCode::Success) {
            job.exitCode = verdicts.value(m_checking);
            ++m_finished;
        }
    }
    m_checkedFiles = passed.join(QLatin1Char('\n'));
}

// The first waiting job of each idle port starts, while slots are free.
void BatchRunner::startNext()
{
    const int limit = m_options.jobs > 0 ? m_options.jobs : INT_MAX;
    QStringList claimed = m_busyPorts;
    for (int i = 0; i < m_jobs.size() && m_running < limit; ++i) {
        const Job &job = m_jobs.at(i);
        if (job.exitCode >= 0 || claimed.contains(job.port))
            continue;
        claimed << job.port; // earlier jobs of a port go first
        if (!m_busyPorts.contains(job.port) && job.seconds == 0)
            start(i);
    }
}

void BatchRunner::jobFinished(int index, int exitCode, double seconds)
{
    Job &done = m_jobs[index];
    done.exitCode = exitCode;
    done.seconds = seconds;
    m_busyPorts.removeOne(done.port);
    --m_running;
    ++m_finished;
    startNext();
}

void BatchRunner::printJobLine(const QString &port, const QString &line, bool data) const
{
    const QString text = QStringLiteral("[%1] %2\n").arg(port, line);
    // With --json standard output carries the summary alone.
    if (data && !m_options.json)
        printOut(text);
    else
        printErr(text);
}

int BatchRunner::planWrite(const QString &file, const QByteArray &deviceInfo, const QList<QByteArray> &reads,
                           QList<QByteArray> *frames, QStringList *boxLines)
{
    QByteArray key = file.toUtf8();
    for (const QByteArray &reply : QList<QByteArray>{deviceInfo} + reads)
        key += '\0' + QByteArray::number(reply.size()) + ':' + reply;
    auto found = m_plans.constFind(key);
    if (found == m_plans.constEnd()) {
        Plan plan;
        plan.exitCode = m_scratch->planWrite(file, deviceInfo, reads, &plan.frames, &plan.boxLines);
        found = m_plans.insert(key, plan);
    }
    *frames = found->frames;
    *boxLines = found->boxLines;
    return found->exitCode;
}

void BatchRunner::startInBatch(int index)
{
    const Job &job = m_jobs.at(index);
    BatchDeviceJob::Setup setup;
    setup.port = job.port;
    setup.file = QFileInfo(job.arguments.value(0)).absoluteFilePath();
    setup.write = job.command == QLatin1String("write");
    setup.noVerify = job.options.noVerify;
    setup.json = job.options.json;
    auto *deviceJob = new BatchDeviceJob(
        setup,
        [this, file = setup.file](const QByteArray &info, const QList<QByteArray> &reads,
                                  QList<QByteArray> *frames,
                                  QStringList *lines) { return planWrite(file, info, reads, frames, lines); },
        [this, port = job.port](const QString &line, bool data) { printJobLine(port, line, data); });
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(deviceJob, &BatchDeviceJob::finished, deviceJob,
                     [this, deviceJob, index, clock](int code) {
                         deviceJob->deleteLater();
                         jobFinished(index, code, clock->elapsed() / 1000.0);
                     });
    deviceJob->start();
}

void BatchRunner::start(int index)
{
    Job &job = m_jobs[index];
    job.seconds = -1; // started
    m_busyPorts << job.port;
    ++m_running;
    if ((job.command == QLatin1String("write") || job.command == QLatin1String("verify")) &&
        job.options.trace.isEmpty()) {
        startInBatch(index);
        return;
    }

    auto *process = new QProcess();
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(process, &QProcess::readyReadStandardOutput, process,
                     [this, process, port = job.port] { forward(process, port, false); });
    QObject::connect(process, &QProcess::readyReadStandardError, process,
                     [this, process, port = job.port] { forward(process, port, true); });
    QObject::connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), process,
                     [this, process, index, clock](int code, QProcess::ExitStatus status) {
                         forward(process, m_jobs.at(index).port, false);
                         forward(process, m_jobs.at(index).port, true);
                         process->deleteLater();
                         jobFinished(index, status == QProcess::NormalExit ? code : ExitCode::NoAnswer,
                                     clock->elapsed() / 1000.0);
                     });
    QObject::connect(
        process, &QProcess::errorOccurred, process, [this, process, index](QProcess::ProcessError e) {
            if (e != QProcess::FailedToStart)
                return;
            printErr(
                QStringLiteral("[%1] cannot start: %2\n").arg(m_jobs.at(index).port, process->errorString()));
            process->deleteLater();
            jobFinished(index, ExitCode::NoAnswer, 0);
        });
    if (!m_checkedFiles.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TARVINE_CLI_CHECKED_FILES"), m_checkedFiles);
        process->setProcessEnvironment(environment);
    }
    process->start(QCoreApplication::applicationFilePath(),
                   QStringList{QStringLiteral("--port"), job.port, job.command} + job.arguments);
}

// Whole lines only, each with its port in front, so parallel jobs' output
// stays readable.
void BatchRunner::forward(QProcess *process, const QString &port, bool error)
{
    process->setReadChannel(error ? QProcess::StandardError : QProcess::StandardOutput);
    while (process->canReadLine() ||
           (process->state() == QProcess::NotRunning && process->bytesAvailable())) {
        QString line = QString::fromUtf8(process->readLine());
        if (line.endsWith(QLatin1Char('\n')))
            line.chop(1);
        printJobLine(port, line, !error);
    }
}

void BatchRunner::printSummary() const
{
    if (m_options.json) {
        QJsonArray array;
        for (const Job &job : m_jobs)
            array.append(QJsonObject{{QStringLiteral("port"), job.port},
                                     {QStringLiteral("command"), job.command},
                                     {QStringLiteral("arguments"), QJsonArray::fromStringList(job.arguments)},
                                     {QStringLiteral("exitCode"), job.exitCode},
                                     {QStringLiteral("seconds"), job.seconds}});
        printOut(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
        return;
    }
    for (const Job &job : m_jobs) {
        const QString result = job.exitCode == ExitCode::Success
                                   ? QStringLiteral("ok")
                                   : QStringLiteral("failed (exit %1)").arg(job.exitCode);
        printOut(QStringLiteral("%1\t%2\t%3\t%4 s\n")
                     .arg(job.port, job.command, result, QString::number(job.seconds, 'f', 2)));
    }
}
