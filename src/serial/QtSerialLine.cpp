#include "serial/QtSerialLine.h"

#include <QSerialPortInfo>

QtSerialLine::QtSerialLine(QObject *parent) : SerialLine(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLine::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        emit errorOccurred(errorOf(error));
    });
}

QList<SerialLine::PortInfo> QtSerialLine::availablePorts()
{
    QList<PortInfo> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PortInfo port;
        port.name = info.portName();
        port.location = info.systemLocation();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier())
            port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.productId = info.productIdentifier();
        ports << port;
    }
    return ports;
}

bool QtSerialLine::open()
{
    m_port.setPortName(portName());
    m_port.setBaudRate(QSerialPort::Baud115200, QSerialPort::AllDirections);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite))
        return false;
    m_port.setReadBufferSize(ReadBufferSize);
    return true;
}

void QtSerialLine::close()
{
    m_port.close();
}

qint64 QtSerialLine::write(const QByteArray &bytes)
{
    // QSerialPort only queues the bytes and writes them when the event
    // loop next finds the port writable; hand them to the driver now, so
    // the line starts carrying them before the caller's wait begins.
    const qint64 written = m_port.write(bytes);
    if (written > 0)
        m_port.flush();
    return written;
}

void QtSerialLine::clear()
{
    m_port.clear(QSerialPort::AllDirections);
}

SerialLine::Error QtSerialLine::error() const
{
    return errorOf(m_port.error());
}

SerialLine::Error QtSerialLine::errorOf(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
        return Error::None;
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError:
        return Error::Unavailable;
    // A pulled adapter: a resource error, or reads that fail at every turn
    // of the event loop (a hung-up terminal reads as end of file).
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
        return Error::Lost;
    default:
        return Error::Other;
    }
}
