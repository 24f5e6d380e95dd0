#pragma once

#include <QByteArray>
#include <QDir>

class CenterWidget;
class QTabWidget;
class SimConverter;
class TARVINE;

// What the pictures of the "工具" features work on: the window, connected to
// the stand-in, with `configuration` written to it and read back.
struct Shooting
{
    TARVINE *window;
    CenterWidget *center;
    QTabWidget *tabs;
    SimConverter *sim;
    QByteArray configuration; // as loaded before the first write
    QDir out;                 // where the pictures go
    QDir scratch;             // for files the tool is given
};

// 10-traffic-log.png: the window with its traffic log panel shown.
bool shootTrafficLog(const Shooting &s);
// 11-compare.png: "与设备比较" after a few fields were changed, then writes them.
bool shootCompare(const Shooting &s);
// 12-verify-failed.png: "写入后校验" on, a write the stand-in stores otherwise.
bool shootVerifyFailed(const Shooting &s);
// 13-backups.png: the "备份…" list of the backups the writes above took.
bool shootBackups(const Shooting &s);
