#include "BatchRunner.h"

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
        if (!error.isEmpty() || check.help || job.command == QLatin1String("batch") ||
            job.command == QLatin1String("ports")) {
            printErr(QStringLiteral("%1:%2: %3\n")
                         .arg(path)
                         .arg(lineNo)
                         .arg(error.isEmpty() ? QStringLiteral("not a job for one port") : error));
            return ExitCode::Usage;
        }
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
// its jobs (with the file's code) before any of them starts, and the jobs
// of a file that passed are spared loading it a second time, the costliest
// part of a job's start. A job still loads the file after its connect, with
// every check of the write, so nothing it would refuse is ever written.
void BatchRunner::checkFiles()
{
    QHash<QString, int> verdicts;
    QStringList passed;
    QString current;
    std::unique_ptr<DeviceSession> session;
    for (Job &job : m_jobs) {
        if (job.command != QLatin1String("write") && job.command != QLatin1String("verify"))
            continue;
        current = QFileInfo(job.arguments.value(0)).absoluteFilePath();
        if (!verdicts.contains(current)) {
            if (!session) {
                session = std::make_unique<DeviceSession>(QString(), [&current](const QString &line) {
                    printErr(QStringLiteral("[%1] %2\n").arg(current, line));
                });
            }
            const int verdict = session->checkFile(current);
            verdicts.insert(current, verdict);
            if (verdict == ExitCode::Success)
                passed << current;
        }
        if (verdicts.value(current) != ExitCode::Success) {
            job.exitCode = verdicts.value(current);
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

void BatchRunner::start(int index)
{
    Job &job = m_jobs[index];
    job.seconds = -1; // started
    m_busyPorts << job.port;
    ++m_running;

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
                         Job &done = m_jobs[index];
                         done.exitCode = status == QProcess::NormalExit ? code : ExitCode::NoAnswer;
                         done.seconds = clock->elapsed() / 1000.0;
                         m_busyPorts.removeOne(done.port);
                         --m_running;
                         ++m_finished;
                         process->deleteLater();
                         startNext();
                     });
    QObject::connect(
        process, &QProcess::errorOccurred, process, [this, process, index](QProcess::ProcessError e) {
            if (e != QProcess::FailedToStart)
                return;
            Job &done = m_jobs[index];
            printErr(QStringLiteral("[%1] cannot start: %2\n").arg(done.port, process->errorString()));
            done.exitCode = ExitCode::NoAnswer;
            m_busyPorts.removeOne(done.port);
            --m_running;
            ++m_finished;
            process->deleteLater();
            startNext();
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
        const QString text = QStringLiteral("[%1] %2\n").arg(port, line);
        // With --json standard output carries the summary alone.
        if (error || m_options.json)
            printErr(text);
        else
            printOut(text);
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
