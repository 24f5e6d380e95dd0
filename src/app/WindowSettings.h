#pragma once

#include <QSettings>
#include <QSize>
#include <QString>

// The window's own settings, kept between runs under "window/": the port
// of the last successful connect, the main window's size, whether the
// traffic log is shown, whether writes are verified, and the language.
// Nothing about a device is ever stored here.

// Where they live, for the few that have functions of their own elsewhere.
QSettings windowSettings();

// Empty when none was stored.
QString storedLastPort();
void storeLastPort(const QString &port);

// Invalid when none was stored.
QSize storedWindowSize();
void storeWindowSize(const QSize &size);

bool storedTrafficLogVisible();
void storeTrafficLogVisible(bool visible);

bool storedVerifyAfterWrite();
void storeVerifyAfterWrite(bool on);
