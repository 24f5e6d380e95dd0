#pragma once

#include <QStringList>

class TARVINE;

// The one command-line option: "--port NAME" preselects the port to open
// (scripts/run passes the stand-in converter's pseudo-terminal). Nothing
// else on the command line is read.
QString portFromArguments(const QStringList &arguments);
void applyStartupOptions(TARVINE &window, const QStringList &arguments);
