#include "app/StartupOptions.h"

#include "app/TARVINE.h"
#include "link/CenterWidget.h"

QString portFromArguments(const QStringList &arguments)
{
    const int at = arguments.indexOf(QStringLiteral("--port"));
    if (at < 0 || at + 1 >= arguments.size())
        return QString();
    return arguments.at(at + 1);
}

void applyStartupOptions(TARVINE &window, const QStringList &arguments)
{
    const QString port = portFromArguments(arguments);
    if (!port.isEmpty())
        window.centerWidget()->setPortName(port);
}
