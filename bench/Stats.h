#pragma once

#include <QString>
#include <QVector>

// Median and spread of repeated measurements, and the one line of the
// result table each benchmark prints.
struct Samples
{
    QVector<double> values;

    void add(double v) { values << v; }
    double median() const;
    double min() const;
    double max() const;
    // Half the range, relative to the median (0.02: within ±2 %).
    double spread() const;
};

// Peak and current resident memory of a process, in KiB (/proc/PID/status).
struct Memory
{
    qint64 peakKiB = 0;
    qint64 currentKiB = 0;
};
Memory memoryOf(qint64 pid);
Memory memoryOfSelf();

// One checked target: printed as "pass" or "FAIL" with what was measured.
struct Target
{
    QString what;
    QString measured;
    bool met = false;
};
