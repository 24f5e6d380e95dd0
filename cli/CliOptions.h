#pragma once

#include <QString>
#include <QStringList>

// The parsed command line of tarvine-cli. Options may stand before or
// after the command; what each command accepts is checked here, so that a
// command never starts with an option it would ignore.
struct CliOptions
{
    QString command;
    QStringList arguments; // the command's own positional arguments
    QString port;
    QString trace;  // --trace: the traffic log's lines go to this file as they happen
    QString output; // read -o
    bool json = false;
    bool noVerify = false;
    bool quiet = false;
    bool help = false;
    bool version = false; // --version: the program's name and version, nothing else
    int jobs = 0; // batch: 0 means one per port

    // Empty on success, else what is wrong (a usage error).
    QString parse(const QStringList &args);

    static const QStringList &commands();
};
