#pragma once

#include "Stats.h"

#include <QString>
#include <QStringList>
#include <QVector>

// A production bench: N stand-in converters, each its own paced process,
// and one "tarvine-cli batch" giving every one of them the same job. Times
// the batch from start to exit and samples the memory of the batch and its
// jobs together. Asserts nothing: the bench compares.
class ParallelRun
{
public:
    struct Result
    {
        double seconds = 0;
        double peakMb = 0;     // the batch and its job processes, summed, at their highest
        double cpuSeconds = 0; // user + system time of the batch and its jobs
        bool ok = false;       // every job exited 0
    };

    // The bench sizes measured beside one device.
    static constexpr int Eight = 8;
    static constexpr int ThirtyTwo = 32;

    // One job measured on 1, 8 and 32 devices, `runs` times each.
    struct Row
    {
        QString name;
        Samples one, eight, thirtyTwo, peakMb8, peakMb32, cpuOne, cpuEight, cpuThirtyTwo;
        bool ok = true;

        double ratio8() const { return eight.median() / one.median(); }
        double ratio32() const { return thirtyTwo.median() / one.median(); }
        QString line() const;
    };

    ParallelRun(QString cliPath, QString simPath, QString workDir);

    Row measure(const QString &name, const QString &job, int runs);
    // Write + verify of `configFile`, then the update to `image` (256 KiB).
    QVector<Row> measureAll(const QString &configFile, const QString &image, int writeRuns, int updateRuns);
    static QString tableHeader();

    // `job` is "COMMAND ARGS..." as a manifest line holds it after the port.
    Result run(int devices, const QString &job);

private:
    QString m_cli;
    QString m_sim;
    QString m_dir;
};
