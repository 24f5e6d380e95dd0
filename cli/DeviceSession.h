#pragma once

#include "protocol/Configuration.h"
#include "protocol/DeviceInfo.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CenterWidget;
class SerialLine;
class TrafficLog;

// One converter on one port, driven through the window's own link and
// pages, off-screen: every frame on the wire is the one the window sends
// for the same action, and every message box the window would show is
// handed to a printer instead. Each operation answers with an exit code
// (ExitCode.h). It must never show a widget or decide a protocol detail
// of its own: frames and their order are the window's.
class DeviceSession : public QObject
{
    Q_OBJECT

public:
    using Printer = std::function<void(const QString &line)>;

    explicit DeviceSession(const QString &portName, Printer boxPrinter, QObject *parent = nullptr);
    ~DeviceSession() override;

    // The window's own traffic log: every frame of the session.
    TrafficLog *trafficLog() const;

    // Whether `path` loads and passes the write's checks, before any byte
    // goes out: the boxes are printed only for a refusal.
    int checkFile(const QString &path);

    // The challenge and the device information, as the connect button.
    int connectDevice();
    Protocol::DeviceInfo deviceInfo() const { return m_deviceInfo; }

    // Loads a configuration file as "从文件读取", then builds what a write
    // would send, with the write's own checks (a refusal is BadFile).
    int loadFile(const QString &path, Protocol::Configuration *fileBlocks);
    // What "写配置" would send to the device that gave these connect
    // replies (device information, the full read's five) once `path` is
    // loaded, as a window connected to it would load and check it; the
    // boxes of the load and checks go to `boxLines`, not to the printer.
    int planWrite(const QString &path, const QByteArray &deviceInfoReply,
                  const QList<QByteArray> &readReplies, QList<QByteArray> *frames, QStringList *boxLines);
    // "写配置" with what the pages hold.
    int write();
    // The full read, into the pages; every reply must have come.
    int read();
    // The same frames, the replies decoded without touching the pages.
    int readBlocks(Protocol::Configuration *deviceBlocks);
    // "保存到文件": what the pages hold.
    int save(const QString &path);
    int restoreDefaults();

    // The firmware page's update; `progress(doneBytes, totalBytes)` after
    // each data block the device confirmed.
    int update(const QString &imagePath, std::function<void(qint64, qint64)> progress);

private:
    void onBox(const QString &title, const QString &text);
    void tapBytes(const QByteArray &bytes);
    void takeReplies();
    void noteUpdateReply(const QByteArray &reply);
    void beginStep();
    // NoAnswer when the step timed out or lost the link, else Success.
    int linkVerdict() const;
    bool hasReply(quint8 command) const { return m_replies.contains(command); }

    std::unique_ptr<CenterWidget> m_center;
    SerialLine *m_port = nullptr;
    Printer m_print;
    QByteArray m_tapBuffer;
    QHash<quint8, QByteArray> m_replies; // last valid reply per command byte in this step
    QStringList m_boxTexts;              // boxes of this step
    QStringList m_boxLines;              // and as printed
    bool m_muted = false;
    bool m_timedOut = false;
    bool m_lost = false;
    Protocol::DeviceInfo m_deviceInfo;
    // Firmware update: blocks confirmed and whether the device refused one.
    qint64 m_updateAcked = 0;
    int m_updateRefusedPhase = 0;
    bool m_updateDone = false;
    std::function<void(qint64)> m_onDataAck;
};
