#include "CliOptions.h"

#include <QHash>

namespace {

struct CommandShape
{
    int positional; // arguments the command takes
    bool needsPort;
    QStringList options; // options it accepts besides --help
};

const QHash<QString, CommandShape> &shapes()
{
    static const QHash<QString, CommandShape> table = {
        {QStringLiteral("ports"), {0, false, {QStringLiteral("--json")}}},
        {QStringLiteral("info"), {0, true, {QStringLiteral("--json")}}},
        {QStringLiteral("read"), {0, true, {QStringLiteral("-o")}}},
        {QStringLiteral("write"), {1, true, {QStringLiteral("--no-verify")}}},
        {QStringLiteral("verify"), {1, true, {QStringLiteral("--json")}}},
        {QStringLiteral("defaults"), {0, true, {}}},
        {QStringLiteral("update"), {1, true, {QStringLiteral("--quiet")}}},
        {QStringLiteral("batch"), {1, false, {QStringLiteral("--jobs"), QStringLiteral("--json")}}},
    };
    return table;
}

} // namespace

const QStringList &CliOptions::commands()
{
    static const QStringList names = {QStringLiteral("ports"),  QStringLiteral("info"),
                                      QStringLiteral("read"),   QStringLiteral("write"),
                                      QStringLiteral("verify"), QStringLiteral("defaults"),
                                      QStringLiteral("update"), QStringLiteral("batch")};
    return names;
}

QString CliOptions::parse(const QStringList &args)
{
    QStringList used;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const auto value = [&](QString *out) {
            if (i + 1 >= args.size())
                return false;
            *out = args.at(++i);
            return true;
        };
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            help = true;
        } else if (a == QLatin1String("--version")) {
            version = true;
        } else if (a == QLatin1String("--port")) {
            if (!value(&port) || port.trimmed().isEmpty())
                return QStringLiteral("--port needs a port name");
        } else if (a == QLatin1String("--trace")) {
            if (!value(&trace) || trace.isEmpty())
                return QStringLiteral("--trace needs a file name");
        } else if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            if (!value(&output))
                return QStringLiteral("-o needs a file name");
            used << QStringLiteral("-o");
        } else if (a == QLatin1String("--jobs")) {
            QString text;
            bool ok = false;
            if (value(&text))
                jobs = text.toInt(&ok);
            if (!ok || jobs < 1)
                return QStringLiteral("--jobs needs a number of at least 1");
            used << a;
        } else if (a == QLatin1String("--json") || a == QLatin1String("--no-verify") ||
                   a == QLatin1String("--quiet")) {
            json = json || a == QLatin1String("--json");
            noVerify = noVerify || a == QLatin1String("--no-verify");
            quiet = quiet || a == QLatin1String("--quiet");
            used << a;
        } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            return QStringLiteral("unknown option %1").arg(a);
        } else {
            positional << a;
        }
    }
    if (positional.isEmpty())
        return help || version ? QString() : QStringLiteral("no command given");
    command = positional.takeFirst();
    arguments = positional;
    const auto shape = shapes().constFind(command);
    if (shape == shapes().constEnd())
        return QStringLiteral("unknown command %1").arg(command);
    if (help)
        return QString();
    for (const QString &option : used)
        if (!shape->options.contains(option))
            return QStringLiteral("%1 does not take %2").arg(command, option);
    if (arguments.size() != shape->positional)
        return QStringLiteral("%1 takes %2 argument(s)").arg(command).arg(shape->positional);
    if (shape->needsPort && port.isEmpty())
        return QStringLiteral("%1 needs --port PORT").arg(command);
    if (!shape->needsPort && !port.isEmpty())
        return QStringLiteral("%1 does not take --port").arg(command);
    // Only a command with a device has a line to trace.
    if (!shape->needsPort && !trace.isEmpty())
        return QStringLiteral("%1 does not take --trace").arg(command);
    return QString();
}
