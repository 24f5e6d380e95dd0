#include "SimLine.h"

#include "serial/SerialLine.h"

#include <QMutex>
#include <QStringList>
#include <QTimer>

#include <chrono>

namespace {

const char *const kPairsVariable = "TARVINE_SIM_PORT_PAIRS";

struct PortPair
{
    QString tool;
    QString device;
    bool taken = false;
};

QMutex pairsMutex;

// The pairs as the variable names them; "" entries and halves are left out.
QList<PortPair> &portPairs()
{
    static QList<PortPair> pairs = [] {
        QList<PortPair> list;
        const QStringList entries =
            qEnvironmentVariable(kPairsVariable).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString &entry : entries) {
            const QStringList ends = entry.trimmed().split(QLatin1Char(':'));
            if (ends.size() == 2 && !ends.at(0).isEmpty() && !ends.at(1).isEmpty())
                list.append({ends.at(0), ends.at(1)});
        }
        return list;
    }();
    return pairs;
}

} // namespace

SimLine::SimLine(QObject *parent) : QObject(parent), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &SimLine::timerDue);
}

SimLine::~SimLine()
{
    delete m_line;
    if (m_pair >= 0) {
        QMutexLocker lock(&pairsMutex);
        portPairs()[m_pair].taken = false;
    }
}

bool SimLine::open()
{
    {
        QMutexLocker lock(&pairsMutex);
        QList<PortPair> &pairs = portPairs();
        for (int i = 0; i < pairs.size() && m_pair < 0; ++i) {
            if (!pairs.at(i).taken) {
                pairs[i].taken = true;
                m_pair = i;
            }
        }
        if (m_pair < 0) {
            m_error =
                pairs.isEmpty()
                    ? QStringLiteral("%1 names no port pairs (tool:device, e.g. COM20:COM21,COM22:COM23)")
                          .arg(QLatin1String(kPairsVariable))
                    : QStringLiteral("all %1 port pairs of %2 are taken")
                          .arg(pairs.size())
                          .arg(QLatin1String(kPairsVariable));
            return false;
        }
        m_portName = pairs.at(m_pair).tool;
        m_line = SerialLine::create();
        m_line->setPortName(pairs.at(m_pair).device);
    }
    if (!m_line->open()) {
        m_error = m_line->portName() + QStringLiteral(": ") + m_line->errorString();
        return false;
    }
    connect(m_line, &SerialLine::readyRead, this, &SimLine::readyRead);
    return true;
}

QByteArray SimLine::readAll()
{
    return m_line ? m_line->readAll() : QByteArray();
}

void SimLine::write(const QByteArray &bytes)
{
    if (m_line && !bytes.isEmpty())
        m_line->write(bytes);
}

void SimLine::armTimer(qint64 dueNs)
{
    if (dueNs <= 0) {
        m_timer->stop();
        return;
    }
    // Whole milliseconds, rounded down: early, never late.
    m_timer->start(int(qMax<qint64>(0, (dueNs - nowNs()) / 1000000)));
}

qint64 SimLine::nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
