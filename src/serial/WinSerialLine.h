#pragma once

#include "serial/SerialLine.h"

#include <QByteArray>
#include <QList>

#include <windows.h>

class QWinEventNotifier;

// The serial line over the Win32 communications API (Windows): a COM port
// opened for overlapped I/O. While the line is open and its buffer has
// room, a one-byte read waits for the next byte; when it completes, what
// else the driver holds is taken at once. Its completion, and a write's,
// reach the Qt event loop through an event each.
class WinSerialLine : public SerialLine
{
    Q_OBJECT

public:
    explicit WinSerialLine(QObject *parent = nullptr);
    ~WinSerialLine() override;

    // The ports in HARDWARE\DEVICEMAP\SERIALCOMM, described from SetupAPI
    // where it knows them.
    static QList<PortInfo> availablePorts();
    // The path CreateFile opens for a port name: "COM12" -> "\\.\COM12";
    // a path given whole stays as it is.
    static QString devicePath(const QString &name);

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_handle != INVALID_HANDLE_VALUE; }
    qint64 write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    void clear() override;

    Error error() const override { return m_error; }
    int errorCode() const override { return int(m_errorCode); }
    QString errorString() const override { return m_errorString; }
    void clearError() override;

private:
    void setError(Error error, DWORD code);
    bool configure();
    // Reads what is queued and leaves one read pending; true when it took bytes.
    bool startRead();
    // The same, from a caller's call: bytes taken are announced later.
    void resumeReading();
    void startWrite();
    void onReadDone();
    void onWriteDone();
    // Ends the operations under way and waits until the driver let go of
    // their buffers.
    void cancelPending();

    HANDLE m_handle = INVALID_HANDLE_VALUE;
    OVERLAPPED m_readOverlapped;
    OVERLAPPED m_writeOverlapped;
    QWinEventNotifier *m_readNotifier = nullptr;
    QWinEventNotifier *m_writeNotifier = nullptr;
    bool m_reading = false;
    bool m_writing = false;
    QByteArray m_readChunk;    // what the pending read fills
    QByteArray m_received;     // arrived, not read yet
    QByteArray m_inFlight;   // what the pending write sends
    QByteArray m_toWrite;      // waits for the pending write to finish

    Error m_error = Error::None;
    DWORD m_errorCode = 0;
    QString m_errorString;
};
