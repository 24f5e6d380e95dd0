#pragma once

#include "CliOptions.h"

#include <QList>
#include <QString>
#include <QStringList>

class QProcess;

// Runs the jobs of a manifest, each as its own tarvine-cli process: jobs
// on different ports at the same time (at most --jobs), jobs on one port
// one after another in the manifest's order. It must never run two jobs on
// one port at once, nor talk to a port itself.
class BatchRunner
{
public:
    explicit BatchRunner(const CliOptions &options) : m_options(options) {}

    int run();

private:
    struct Job
    {
        int line = 0;
        QString port;
        QString command;
        QStringList arguments;
        int exitCode = -1;
        double seconds = 0;
    };

    int readManifest(const QString &path);
    void checkFiles();
    void startNext();
    void start(int index);
    void forward(QProcess *process, const QString &port, bool error);
    void printSummary() const;

    CliOptions m_options;
    QList<Job> m_jobs;
    QStringList m_busyPorts;
    QString m_checkedFiles; // absolute paths, for the jobs' environment
    int m_running = 0;
    int m_finished = 0;
    int m_next = 0;
};
