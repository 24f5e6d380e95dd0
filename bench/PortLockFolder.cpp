#include "PortLockFolder.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statfs.h>

namespace {

constexpr long kTmpfsMagic = 0x01021994;

} // namespace

PortLockFolder PortLockFolder::current()
{
    PortLockFolder folder;
    // The first folder of QSerialPort's list, where every Debian system has
    // its lock files.
    folder.path = QFileInfo(QStringLiteral("/var/lock")).canonicalFilePath();
    struct statfs info {};
    if (folder.path.isEmpty() || statfs(QFile::encodeName(folder.path).constData(), &info) != 0)
        return folder;
    folder.inMemory = static_cast<long>(info.f_type) == kTmpfsMagic;
    folder.fileSystem = folder.inMemory ? QStringLiteral("tmpfs")
                                        : QStringLiteral("0x%1").arg(static_cast<unsigned long>(info.f_type), 0, 16);
    return folder;
}

PortLockFolder PortLockFolder::keepInMemory(QString *error)
{
    PortLockFolder folder = current();
    if (folder.path.isEmpty() || folder.inMemory)
        return folder;
    const QByteArray path = QFile::encodeName(folder.path);
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=5m,mode=1777") != 0) {
        *error = QString::fromLocal8Bit(strerror(errno));
        return folder;
    }
    PortLockFolder mounted = current();
    mounted.ownTmpfs = true;
    return mounted;
}
