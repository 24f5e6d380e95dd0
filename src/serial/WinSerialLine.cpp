#include "serial/WinSerialLine.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

#include <initguid.h>

#include <cfgmgr32.h>
#include <devguid.h>
#include <setupapi.h>

namespace {

QString systemMessage(DWORD code)
{
    wchar_t *text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                       reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    QString message = length > 0 ? QString::fromWCharArray(text, int(length)).trimmed()
                                 : QStringLiteral("Windows error %1").arg(code);
    LocalFree(text);
    return message;
}

// The number a box quotes for an error, as the serial port library numbers
// its errors on every system (1 not found, 2 no permission, 9 resource,
// 10 unsupported, 11 unknown, 12 time-out), from the system's own code.
int portErrorNumber(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS:
    case ERROR_IO_PENDING:
    case ERROR_MORE_DATA:
        return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return 1;
    case ERROR_ACCESS_DENIED:
        return 2;
    case ERROR_INVALID_HANDLE:
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_REMOVED:
    case ERROR_OPERATION_ABORTED:
        return 9;
    case ERROR_INVALID_PARAMETER:
        return 10;
    case WAIT_TIMEOUT:
        return 12;
    default:
        return 11;
    }
}

QString registryString(HKEY key, const wchar_t *name)
{
    wchar_t value[256];
    DWORD size = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return QString();
    value[size / sizeof(wchar_t)] = 0;
    return QString::fromWCharArray(value);
}

QString deviceProperty(HDEVINFO set, SP_DEVINFO_DATA *device, DWORD property)
{
    wchar_t value[256];
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, device, property, &type, reinterpret_cast<BYTE *>(value),
                                           sizeof(value) - sizeof(wchar_t), nullptr) ||
        type != REG_SZ)
        return QString();
    value[255] = 0;
    return QString::fromWCharArray(value);
}

// What SetupAPI knows of the ports present, by port name.
QHash<QString, SerialLine::PortInfo> describedPorts()
{
    QHash<QString, SerialLine::PortInfo> ports;
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return ports;
    SP_DEVINFO_DATA device;
    device.cbSize = sizeof(device);
    static const QRegularExpression vid(QStringLiteral("VID_([0-9A-Fa-f]{4})"));
    static const QRegularExpression pid(QStringLiteral("PID_([0-9A-Fa-f]{4})"));
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        SerialLine::PortInfo port;
        port.name = registryString(key, L"PortName");
        RegCloseKey(key);
        if (port.name.isEmpty())
            continue;
        port.description = deviceProperty(set, &device, SPDRP_DEVICEDESC);
        port.manufacturer = deviceProperty(set, &device, SPDRP_MFG);
        wchar_t id[MAX_DEVICE_ID_LEN];
        if (SetupDiGetDeviceInstanceIdW(set, &device, id, MAX_DEVICE_ID_LEN, nullptr)) {
            // "USB\VID_0403&PID_6001\A600XYZ": the last part is the serial
            // number unless Windows made it up ("6&2a3b4c&0&1").
            const QString instance = QString::fromWCharArray(id);
            const QRegularExpressionMatch v = vid.match(instance);
            const QRegularExpressionMatch p = pid.match(instance);
            if (v.hasMatch() && p.hasMatch()) {
                port.vendorId = v.captured(1).toInt(nullptr, 16);
                port.productId = p.captured(1).toInt(nullptr, 16);
            }
            const QStringList parts = instance.split(QLatin1Char('\\'));
            if (parts.size() == 3 && parts.first().compare(QLatin1String("USB"), Qt::CaseInsensitive) == 0 &&
                !parts.last().contains(QLatin1Char('&')))
                port.serialNumber = parts.last();
        }
        ports.insert(port.name, port);
    }
    SetupDiDestroyDeviceInfoList(set);
    return ports;
}

int portNumber(const QString &name)
{
    int digits = name.size();
    while (digits > 0 && name.at(digits - 1).isDigit())
        --digits;
    return name.mid(digits).toInt();
}

} // namespace

WinSerialLine::WinSerialLine(QObject *parent) : SerialLine(parent)
{
    // The completion routines find their line through hEvent, which
    // ReadFileEx and WriteFileEx leave to the caller.
    ZeroMemory(&m_readOverlapped, sizeof(m_readOverlapped));
    ZeroMemory(&m_writeOverlapped, sizeof(m_writeOverlapped));
    m_readOverlapped.hEvent = this;
    m_writeOverlapped.hEvent = this;
}

WinSerialLine::~WinSerialLine()
{
    close();
}

QList<SerialLine::PortInfo> WinSerialLine::availablePorts()
{
    QList<PortInfo> ports;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return ports;
    const QHash<QString, PortInfo> described = describedPorts();
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[256];
        DWORD nameLength = 255;
        wchar_t data[256];
        DWORD dataSize = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        const LONG status = RegEnumValueW(key, i, valueName, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE *>(data), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[dataSize / sizeof(wchar_t)] = 0;
        const QString name = QString::fromWCharArray(data);
        PortInfo port = described.value(name);
        port.name = name;
        port.location = name;
        ports << port;
    }
    RegCloseKey(key);
    std::sort(ports.begin(), ports.end(), [](const PortInfo &a, const PortInfo &b) {
        return portNumber(a.name) != portNumber(b.name) ? portNumber(a.name) < portNumber(b.name) : a.name < b.name;
    });
    return ports;
}

QString WinSerialLine::devicePath(const QString &name)
{
    return name.startsWith(QLatin1String("\\\\")) ? name : QStringLiteral("\\\\.\\") + name;
}

void WinSerialLine::fail(Error error, DWORD code)
{
    m_error = error;
    m_errorCode = portErrorNumber(code);
    m_errorString = systemMessage(code);
    emit errorOccurred(m_error);
}

void WinSerialLine::clearError()
{
    m_error = Error::None;
    m_errorCode = 0;
    m_errorString.clear();
}

bool WinSerialLine::open()
{
    if (isOpen())
        return true;
    clearError();
    const QString path = devicePath(portName());
    m_handle = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ | GENERIC_WRITE, 0,
                           nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (m_handle == INVALID_HANDLE_VALUE) {
        // Missing, held by another program, or refused: nothing to talk to.
        fail(Error::Unavailable, GetLastError());
        return false;
    }
    if (!configure()) {
        const DWORD code = GetLastError();
        CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        fail(Error::Other, code);
        return false;
    }
    m_received.clear();
    m_toWrite.clear();
    startRead();
    return true;
}

bool WinSerialLine::configure()
{
    DCB dcb;
    ZeroMemory(&dcb, sizeof(dcb));
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(m_handle, &dcb))
        return false;
    dcb.BaudRate = CBR_115200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(m_handle, &dcb))
        return false;
    // A read returns as soon as at least one byte is there, with whatever
    // is there; it waits (nearly) without end for the first. Writes never
    // time out.
    COMMTIMEOUTS timeouts;
    ZeroMemory(&timeouts, sizeof(timeouts));
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = MAXDWORD - 1;
    if (!SetCommTimeouts(m_handle, &timeouts))
        return false;
    return PurgeComm(m_handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
}

void WinSerialLine::close()
{
    if (!isOpen())
        return;
    cancelPending();
    CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
    m_received.clear();
    m_toWrite.clear();
}

void WinSerialLine::cancelPending()
{
    if (!m_reading && !m_writing)
        return;
    m_cancelling = true;
    CancelIo(m_handle);
    // The routines of cancelled operations still run, as APCs: wait for
    // them alertably (they are due at once; the bound only keeps a driver
    // that never answers from hanging the program).
    for (int turn = 0; (m_reading || m_writing) && turn < 50; ++turn)
        SleepEx(100, TRUE);
    m_cancelling = false;
    m_reading = false;
    m_writing = false;
    m_inFlight.clear();
}

void WinSerialLine::clear()
{
    if (!isOpen())
        return;
    cancelPending();
    PurgeComm(m_handle, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    m_received.clear();
    m_toWrite.clear();
    startRead();
}

qint64 WinSerialLine::write(const QByteArray &bytes)
{
    if (!isOpen())
        return -1;
    if (bytes.isEmpty())
        return 0;
    m_toWrite += bytes;
    if (!m_writing)
        startWrite();
    return m_error == Error::None || m_writing ? bytes.size() : -1;
}

void WinSerialLine::startWrite()
{
    if (m_toWrite.isEmpty() || !isOpen())
        return;
    m_inFlight = m_toWrite;
    m_toWrite.clear();
    if (!WriteFileEx(m_handle, m_inFlight.constData(), DWORD(m_inFlight.size()), &m_writeOverlapped,
                     &WinSerialLine::writeCompleted)) {
        const DWORD code = GetLastError();
        m_inFlight.clear();
        fail(Error::Other, code);
        return;
    }
    m_writing = true;
}

void CALLBACK WinSerialLine::writeCompleted(DWORD code, DWORD transferred, OVERLAPPED *overlapped)
{
    static_cast<WinSerialLine *>(overlapped->hEvent)->onWriteDone(code, transferred);
}

void WinSerialLine::onWriteDone(DWORD code, DWORD written)
{
    m_writing = false;
    if (m_cancelling || code == ERROR_OPERATION_ABORTED) {
        m_inFlight.clear();
        return;
    }
    if (code != ERROR_SUCCESS) {
        m_inFlight.clear();
        fail(Error::Other, code);
        return;
    }
    // What the driver did not take goes first in the next write.
    m_toWrite.prepend(m_inFlight.mid(int(written)));
    m_inFlight.clear();
    startWrite();
}

void WinSerialLine::startRead()
{
    if (m_reading || !isOpen())
        return;
    const int room = ReadBufferSize - m_received.size();
    if (room <= 0)
        return;
    // With nothing queued one byte is asked for: a larger pending read is
    // not ended by the first bytes everywhere (wine waits for all of them).
    DWORD wanted = 1;
    DWORD errors = 0;
    COMSTAT status;
    if (ClearCommError(m_handle, &errors, &status) && status.cbInQue > 0)
        wanted = qMin<DWORD>(status.cbInQue, DWORD(room));
    m_readChunk.resize(int(wanted));
    if (!ReadFileEx(m_handle, m_readChunk.data(), wanted, &m_readOverlapped, &WinSerialLine::readCompleted)) {
        // A pulled adapter refuses every read.
        fail(Error::Lost, GetLastError());
        return;
    }
    m_reading = true;
}

void CALLBACK WinSerialLine::readCompleted(DWORD code, DWORD transferred, OVERLAPPED *overlapped)
{
    static_cast<WinSerialLine *>(overlapped->hEvent)->onReadDone(code, transferred);
}

void WinSerialLine::onReadDone(DWORD code, DWORD received)
{
    m_reading = false;
    if (m_cancelling)
        return;
    if (code == ERROR_OPERATION_ABORTED) {
        // Ended by the driver, not by this line: read on.
        startRead();
        return;
    }
    if (code != ERROR_SUCCESS) {
        fail(Error::Lost, code);
        return;
    }
    m_received.append(m_readChunk.constData(), int(received));
    // The next read goes out before anyone looks at these bytes: it takes
    // what came with them, or waits for the next.
    startRead();
    if (received > 0)
        emit readyRead();
}

QByteArray WinSerialLine::readAll()
{
    QByteArray bytes;
    bytes.swap(m_received);
    // A full buffer stopped the reads: there is room again.
    startRead();
    return bytes;
}
