#include "serial/SerialLine.h"

#ifdef Q_OS_WIN
#include "serial/WinSerialLine.h"
using PlatformLine = WinSerialLine;
#else
#include "serial/QtSerialLine.h"
using PlatformLine = QtSerialLine;
#endif

SerialLine *SerialLine::create(QObject *parent)
{
    return new PlatformLine(parent);
}

QList<SerialLine::PortInfo> SerialLine::availablePorts()
{
    return PlatformLine::availablePorts();
}
