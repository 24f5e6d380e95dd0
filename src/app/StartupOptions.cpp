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

StartupRequest startupRequest(const QStringList &arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &word = arguments.at(i);
        if (word == QLatin1String("--port") || word == QLatin1String("--lang"))
            ++i;
        else if (word == QLatin1String("--help") || word == QLatin1String("-h"))
            return StartupRequest::Help;
        else if (word == QLatin1String("--version"))
            return StartupRequest::Version;
    }
    return StartupRequest::Window;
}

QString startupHelp()
{
    return QStringLiteral(R"(Usage: tarvine [--port PORT] [--lang en|zh]

Configures CAN / CAN FD to serial protocol converters in a window: connect,
read, edit, write, compare, back up, and update the firmware.

Options:
  --port PORT    choose PORT in the port list (the window connects only when
                 "连接设备" is clicked)
  --lang en|zh   the window's language for this run only (otherwise the one
                 chosen in the "语言" menu; Chinese at first)
  -h, --help     print this text and exit
  --version      print the version and exit

Files:
  ~/.config/Morvane/TARVINE.conf   the window's settings: the language, the
                                   last port, the window's size, the traffic
                                   log panel, "写入后校验"
  ~/.local/share/tarvine/backups   the configuration a device held before
                                   each write, the newest 50 per device
                                   ("备份…" in the "工具" menu)
)");
}
