#pragma once

#include "serial/SerialLine.h"

#include <QByteArray>
#include <QList>

#include <windows.h>

// The serial line over the Win32 communications API (Windows): a COM port
// opened for overlapped I/O. While the line is open and its buffer has
// room, one read is pending: for one byte when the driver holds none, else
// for all it holds. Reads and writes complete through completion routines
// (ReadFileEx, WriteFileEx), which Windows runs on this thread while the
// Qt event loop waits for work (alertably): no other thread and no event
// object stands between a byte's arrival and readyRead().
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
    int errorCode() const override { return m_errorCode; }
    QString errorString() const override { return m_errorString; }
    void clearError() override;

private:
    // Keeps the error and announces it.
    void fail(Error error, DWORD code);
    bool configure();
    // Leaves one read pending, unless one is or the buffer is full.
    void startRead();
    void startWrite();
    static void CALLBACK readCompleted(DWORD code, DWORD transferred, OVERLAPPED *overlapped);
    static void CALLBACK writeCompleted(DWORD code, DWORD transferred, OVERLAPPED *overlapped);
    void onReadDone(DWORD code, DWORD transferred);
    void onWriteDone(DWORD code, DWORD transferred);
    // Ends the operations under way and waits until their completion
    // routines ran (the driver let go of the buffers).
    void cancelPending();

    HANDLE m_handle = INVALID_HANDLE_VALUE;
    OVERLAPPED m_readOverlapped;
    OVERLAPPED m_writeOverlapped;
    bool m_reading = false;
    bool m_writing = false;
    bool m_cancelling = false; // completions only end their operation
    QByteArray m_readChunk;    // what the pending read fills
    QByteArray m_received;     // arrived, not read yet
    QByteArray m_inFlight;   // what the pending write sends
    QByteArray m_toWrite;      // waits for the pending write to finish

    Error m_error = Error::None;
    int m_errorCode = 0;
    QString m_errorString;
};
