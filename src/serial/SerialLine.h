#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

// The one serial line to a converter, as the tool uses it: opened at
// 115200 baud, 8 data bits, no parity, one stop bit, no flow control.
// The link, the command-line tool, the bench and the tests see only this;
// which implementation stands behind it is decided at build time (Qt's
// serial port on Linux, the Win32 communications API on Windows).
class SerialLine : public QObject
{
    Q_OBJECT

public:
    // What went wrong, as far as callers tell failures apart: a port that
    // is missing, taken or forbidden, and a line lost while open.
    enum class Error { None, Unavailable, Lost, Other };
    Q_ENUM(Error)

    // A port present on this machine.
    struct PortInfo
    {
        QString name;     // as the port box lists it ("ttyUSB0", "COM3")
        QString location; // what opens it ("/dev/ttyUSB0", "COM3")
        QString description;
        QString manufacturer;
        QString serialNumber;
        int vendorId = -1; // USB ids; -1 where unknown
        int productId = -1;
    };

    static SerialLine *create(QObject *parent = nullptr);
    static QList<PortInfo> availablePorts();
    // The most a line keeps unread: replies are at most a few hundred bytes.
    static constexpr int ReadBufferSize = 512;

    void setPortName(const QString &name) { m_portName = name; }
    QString portName() const { return m_portName; }

    // False when the port would not open: error() and errorString() say why.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Hands the bytes to the driver at once; 0 or less when it would not take them.
    virtual qint64 write(const QByteArray &bytes) = 0;
    // What arrived and was not read yet.
    virtual QByteArray readAll() = 0;
    // Drops what waits to go out and what came in.
    virtual void clear() = 0;

    virtual Error error() const = 0;
    // The number the user quotes for the last error: the serial port
    // library's numbering (1 port not found, 2 no permission, ...), the
    // same on every system; errorString() gives the system's own words.
    virtual int errorCode() const = 0;
    virtual QString errorString() const = 0;
    virtual void clearError() = 0;

signals:
    // Bytes arrived: readAll() has them.
    void readyRead();
    void errorOccurred(SerialLine::Error error);

protected:
    using QObject::QObject;

private:
    QString m_portName;
};
