#pragma once

#include <QStringList>

class TARVINE;

// "--port NAME" preselects the port to open (scripts/run passes the
// stand-in converter's pseudo-terminal). "--lang en" is read before the
// window exists (app/Language.h). Nothing else on the command line is read.
QString portFromArguments(const QStringList &arguments);
void applyStartupOptions(TARVINE &window, const QStringList &arguments);
