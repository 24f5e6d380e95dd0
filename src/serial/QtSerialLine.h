#pragma once

#include "serial/SerialLine.h"

#include <QSerialPort>

// The serial line over Qt's serial port (Linux).
class QtSerialLine : public SerialLine
{
    Q_OBJECT

public:
    explicit QtSerialLine(QObject *parent = nullptr);

    static QList<PortInfo> availablePorts();

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    qint64 write(const QByteArray &bytes) override;
    QByteArray readAll() override { return m_port.readAll(); }
    void clear() override;

    Error error() const override;
    int errorCode() const override { return m_port.error(); }
    QString errorString() const override { return m_port.errorString(); }
    void clearError() override { m_port.clearError(); }

private:
    static Error errorOf(QSerialPort::SerialPortError error);

    QSerialPort m_port;
};
