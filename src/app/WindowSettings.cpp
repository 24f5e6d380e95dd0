#include "app/WindowSettings.h"

#include <QSettings>

namespace {

const char *const kLastPortKey = "window/lastPort";
const char *const kSizeKey = "window/size";

QSettings windowSettings()
{
    return QSettings(QStringLiteral("Morvane"), QStringLiteral("TARVINE"));
}

} // namespace

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
