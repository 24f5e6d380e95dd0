#pragma once

#include "LineExchange.h"

#include "protocol/Configuration.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>

// A write or verify job of a batch, run inside the batch process: its
// frames go over its own LineExchange, and the pages' work (taking the
// file as the window would once connected to this device, with every check
// of the write) is asked of the batch through a planner. The exchanges are
// the window's, in its order: the challenge, the device information and
// the full read of a connect; the write's frames as "写配置" would send
// them; the read-back of a verify. The boxes the window would show are
// printed as the single-port commands print them, and so is the verdict.
class BatchDeviceJob : public QObject
{
    Q_OBJECT

public:
    struct Setup
    {
        QString port;
        QString file;
        bool write = true; // else verify
        bool noVerify = false;
        bool json = false;
    };
    // The frames "写配置" would send to the device that gave these connect
    // replies once the file is loaded, and the boxes of that load: an exit
    // code (ExitCode.h).
    using Planner = std::function<int(const QByteArray &deviceInfo, const QList<QByteArray> &reads,
                                      QList<QByteArray> *frames, QStringList *boxLines)>;
    // One line of the job's output; `data` for standard output.
    using Printer = std::function<void(const QString &line, bool data)>;

    BatchDeviceJob(const Setup &setup, Planner planner, Printer printer, QObject *parent = nullptr);

    void start();

signals:
    void finished(int exitCode);

private:
    enum class Step
    {
        Challenge,
        DeviceInfo,
        ConnectRead,
        Write,
        ReadBack
    };

    void send(const QByteArray &frame);
    void onAnswered(const QByteArray &reply);
    void onTimedOut();
    void onUnawaited(const QByteArray &reply);
    void onLost(const QString &reason);
    // The next frame of the step, or what follows its end.
    void advance();
    void connected();
    void written();
    void readBack();
    void box(const char *title, const QString &text);
    void failConnect(int code);
    void finish(int code);

    Setup m_setup;
    Planner m_planner;
    Printer m_print;
    LineExchange m_line;
    Step m_step = Step::Challenge;
    int m_index = 0; // frame of the step under way
    bool m_timedOut = false;
    bool m_done = false;
    QByteArray m_challenge;
    QByteArray m_deviceInfo;
    QList<QByteArray> m_reads;
    QList<QByteArray> m_frames;
    QSet<quint8> m_acknowledged;
    Protocol::Configuration m_device;
};
