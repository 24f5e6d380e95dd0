#pragma once

#include "CliOptions.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class DeviceSession;
class QProcess;

// Runs the jobs of a manifest: jobs on different ports at the same time
// (at most --jobs), jobs on one port one after another in the manifest's
// order; never two jobs on one port at once. A write or verify runs inside
// the batch (BatchDeviceJob): one never-shown window here takes each file
// in for all of them. Every other job, and one with --trace, runs as its
// own tarvine-cli process.
class BatchRunner
{
public:
    explicit BatchRunner(const CliOptions &options);
    ~BatchRunner();

    int run();

private:
    struct Job
    {
        int line = 0;
        QString port;
        QString command;
        QStringList arguments;
        CliOptions options;
        int exitCode = -1;
        double seconds = 0;
    };

    int readManifest(const QString &path);
    void checkFiles();
    void startNext();
    void start(int index);
    void startInBatch(int index);
    void jobFinished(int index, int exitCode, double seconds);
    int planWrite(const QString &file, const QByteArray &deviceInfo, const QList<QByteArray> &reads,
                  QList<QByteArray> *frames, QStringList *boxLines);
    void printJobLine(const QString &port, const QString &line, bool data) const;
    void forward(QProcess *process, const QString &port, bool error);
    void printSummary() const;

    CliOptions m_options;
    QList<Job> m_jobs;
    QStringList m_busyPorts;
    QString m_checkedFiles; // absolute paths, for the jobs' environment
    QString m_checking;     // the file being checked, for its boxes
    // The never-shown window of the file checks and the plans.
    std::unique_ptr<DeviceSession> m_scratch;
    struct Plan
    {
        int exitCode = 0;
        QList<QByteArray> frames;
        QStringList boxLines;
    };
    // By file and the connect replies they were planned for: a bench's
    // devices mostly hold the same, and are then planned for once.
    QHash<QByteArray, Plan> m_plans;
    int m_running = 0;
    int m_finished = 0;
    int m_next = 0;
};
