#include "Stats.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

double Samples::median() const
{
    if (values.isEmpty())
        return 0;
    QVector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const int n = sorted.size();
    return n % 2 ? sorted.at(n / 2) : (sorted.at(n / 2 - 1) + sorted.at(n / 2)) / 2;
}

double Samples::min() const
{
    return values.isEmpty() ? 0 : *std::min_element(values.begin(), values.end());
}

double Samples::max() const
{
    return values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
}

double Samples::spread() const
{
    const double m = median();
    return m > 0 ? (max() - min()) / 2 / m : 0;
}

namespace {

qint64 statusField(const QByteArray &status, const QByteArray &name)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

} // namespace

Memory memoryOf(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    Memory m;
    if (!file.open(QIODevice::ReadOnly))
        return m;
    const QByteArray status = file.readAll();
    m.peakKiB = statusField(status, "VmHWM");
    m.currentKiB = statusField(status, "VmRSS");
    return m;
}

Memory memoryOfSelf()
{
    return memoryOf(QCoreApplication::applicationPid());
}
