// tarvine-cli: configures, verifies and updates converters from scripts.
// Runs the tool's own link and pages off-screen; never shows a window.
#include "BatchRunner.h"
#include "CliHelp.h"
#include "CliOptions.h"
#include "CliRunner.h"
#include "ExitCode.h"

#include <QApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>

namespace {

// The link's frame log and Qt's own notes are for developers: a script
// reads only what the commands print. TARVINE_CLI_DEBUG=1 lets them through.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg || qEnvironmentVariableIntValue("TARVINE_CLI_DEBUG") != 0)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietHandler);
    // Nobody reads the frame log here: do not pay for formatting it.
    if (qEnvironmentVariableIntValue("TARVINE_CLI_DEBUG") == 0)
        QLoggingCategory::setFilterRules(QStringLiteral("tarvine.link.debug=false"));
    // No display is needed, nor used: the pages are never shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvine-cli"));

    CliOptions options;
    const QString error = options.parse(QApplication::arguments().mid(1));
    if (options.help) {
        const QString text =
            options.command.isEmpty() ? CliHelp::general() : CliHelp::command(options.command);
        if (!text.isEmpty()) {
            printOut(text);
            return ExitCode::Success;
        }
    }
    if (options.version) {
        printOut(QStringLiteral("tarvine-cli %1\n").arg(QLatin1String(TARVINE_VERSION)));
        return ExitCode::Success;
    }
    if (!error.isEmpty()) {
        printErr(
            QStringLiteral("tarvine-cli: %1\nRun \"tarvine-cli --help\" for the commands.\n").arg(error));
        return ExitCode::Usage;
    }
    if (options.command == QLatin1String("batch"))
        return BatchRunner(options).run();
    CliRunner runner(options);
    const int code = runner.run();
    // Everything a command writes is written by now (files committed, output
    // flushed). Tearing down the window's hundreds of widgets would cost a
    // job more than some of its commands: the process's end frees them.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}
