#pragma once

#include <QSize>
#include <QString>

// The window's own settings, kept between runs under "window/": the port
// of the last successful connect and the main window's size. Nothing about
// a device is ever stored here.

// Empty when none was stored.
QString storedLastPort();
void storeLastPort(const QString &port);

// Invalid when none was stored.
QSize storedWindowSize();
void storeWindowSize(const QSize &size);
