#pragma once

#include <QStringList>

class TARVINE;

// "--port NAME" preselects the port to open (scripts/run passes the
// stand-in converter's pseudo-terminal). "--lang en" is read before the
// window exists (app/Language.h). "--help" and "--version" print their text
// and end the program before any window (or display) is needed. Nothing
// else on the command line is read.
QString portFromArguments(const QStringList &arguments);
void applyStartupOptions(TARVINE &window, const QStringList &arguments);

enum class StartupRequest { Window, Help, Version };
// The first of --help and --version, not counting the values of --port and
// --lang; Window without either.
StartupRequest startupRequest(const QStringList &arguments);
QString startupHelp();
