#include "app/WindowSettings.h"

#include <QSettings>

namespace {

const char *const kLastPortKey = "window/lastPort";
const char *const kSizeKey = "window/size";
const char *const kTrafficLogVisibleKey = "window/trafficLogVisible";
const char *const kVerifyAfterWriteKey = "window/verifyAfterWrite";

} // namespace

// The system's own store (the registry on Windows), unless a test program
// chose another format as the default, one it can keep in a folder of its own.
QSettings windowSettings()
{
    return QSettings(QSettings::defaultFormat(), QSettings::UserScope, QStringLiteral("Morvane"),
                     QStringLiteral("TARVINE"));
}

QString storedLastPort()
{
    return windowSettings().value(QLatin1String(kLastPortKey)).toString();
}

void storeLastPort(const QString &port)
{
    windowSettings().setValue(QLatin1String(kLastPortKey), port);
}

QSize storedWindowSize()
{
    const QSize size = windowSettings().value(QLatin1String(kSizeKey)).toSize();
    // A hand-edited or damaged entry is no size at all.
    return size.width() > 0 && size.height() > 0 ? size : QSize();
}

void storeWindowSize(const QSize &size)
{
    windowSettings().setValue(QLatin1String(kSizeKey), size);
}

bool storedTrafficLogVisible()
{
    return windowSettings().value(QLatin1String(kTrafficLogVisibleKey), false).toBool();
}

void storeTrafficLogVisible(bool visible)
{
    windowSettings().setValue(QLatin1String(kTrafficLogVisibleKey), visible);
}

bool storedVerifyAfterWrite()
{
    return windowSettings().value(QLatin1String(kVerifyAfterWriteKey), false).toBool();
}

void storeVerifyAfterWrite(bool on)
{
    windowSettings().setValue(QLatin1String(kVerifyAfterWriteKey), on);
}
