#pragma once

#include <QString>

// Opening a serial port on Linux makes a lock file first (QSerialPort puts
// it in /var/lock, which is /run/lock) and syncs it to disk. A standard
// Debian system keeps /run/lock in memory, where the sync takes
// microseconds; a machine that keeps it on a disk pays what the disk's
// other writers leave (0.1 to 8 ms on a shared build host), which belongs
// to the disk, not to the tool, and swamps a connect's few milliseconds.
struct PortLockFolder
{
    QString path;       // the folder the lock files go to
    QString fileSystem; // "tmpfs", or the file system's type as a number
    bool inMemory = false;
    bool ownTmpfs = false; // this process mounted a tmpfs there for itself

    // Where the lock files go now.
    static PortLockFolder current();
    // Where the folder is not in memory, gives this process (and the
    // programs it starts) a mount namespace of its own with a tmpfs there,
    // as on a standard system; the machine's folder stays as it is. Needs
    // the rights to mount (root); must run before any thread starts.
    static PortLockFolder keepInMemory(QString *error);
};
