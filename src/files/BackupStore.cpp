#include "files/BackupStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");
// A product number is a few dozen bytes; a longer name only hurts.
constexpr int kMaxDeviceKey = 64;

// A name this store gave: the device key, then the time.
QRegularExpressionMatch matchName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^([A-Za-z0-9-]+)_(\\d{8}-\\d{6}-\\d{3})\\.txt$"));
    return pattern.match(name);
}

} // namespace

BackupStore::BackupStore(const QString &folder, int keep) : m_folder(folder), m_keep(keep) {}

QString BackupStore::deviceKey(const QString &productNumber)
{
    QString key = productNumber.left(kMaxDeviceKey);
    for (QChar &c : key) {
        const bool plain = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || c == QLatin1Char('-');
        if (!plain)
            c = QLatin1Char('-');
    }
    return key.isEmpty() ? QStringLiteral("unknown") : key;
}

QString BackupStore::save(const QString &device, const QByteArray &text, const QDateTime &time,
                          QString *error)
{
    const QString key = deviceKey(device);
    // Another window may have taken the same millisecond: NewOnly never
    // overwrites, and the next millisecond keeps the names in order.
    QDateTime stamp = time.toUTC();
    QFile file;
    bool madeFolder = false;
    for (int attempt = 0;; ++attempt) {
        file.setFileName(m_folder + QLatin1Char('/') + key + QLatin1Char('_') + stamp.toString(kTimeFormat) +
                         QStringLiteral(".txt"));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Text))
            break;
        // The folder is made with the first backup. One that cannot be made
        // shows in the file's own error, which says why.
        if (!madeFolder && !QFileInfo::exists(m_folder)) {
            madeFolder = true;
            QDir().mkpath(m_folder);
            continue;
        }
        if (!file.exists() || attempt == 100) {
            *error = file.fileName() + QStringLiteral(": ") + file.errorString();
            return QString();
        }
        stamp = stamp.addMSecs(1);
    }
    // No fsync: a backup is a safety copy taken in the middle of a write,
    // and waiting for the disk there would cost more than the whole write.
    const bool written = file.write(text) == text.size() && file.flush();
    if (!written) {
        *error = file.fileName() + QStringLiteral(": ") + file.errorString();
        file.close();
        file.remove();
        return QString();
    }
    file.close();
    prune(key, QFileInfo(file.fileName()).fileName());
    return file.fileName();
}

QStringList BackupStore::namesOf(const QString &device) const
{
    QStringList names;
    for (const QString &name :
         QDir(m_folder).entryList({device + QStringLiteral("_*.txt")}, QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch match = matchName(name);
        if (match.hasMatch() && match.captured(1) == device)
            names << name;
    }
    return names;
}

void BackupStore::prune(const QString &device, const QString &saved)
{
    // Listing the folder costs more than the backup itself: once per device.
    auto known = m_names.find(device);
    if (known == m_names.end())
        known = m_names.insert(device, namesOf(device));
    else
        known->append(saved);
    QDir dir(m_folder);
    while (known->size() > m_keep)
        dir.remove(known->takeFirst());
}

QList<BackupStore::Entry> BackupStore::entries() const
{
    QList<Entry> list;
    if (m_folder.isEmpty())
        return list; // not the working directory
    const QDir dir(m_folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
        const QRegularExpressionMatch match = matchName(name);
        if (!match.hasMatch())
            continue;
        // Date and time apart: read as local time, a name from a
        // daylight-saving gap would not parse.
        const QString stamp = match.captured(2);
        const QDateTime time(QDate::fromString(stamp.left(8), QStringLiteral("yyyyMMdd")),
                             QTime::fromString(stamp.mid(9), QStringLiteral("HHmmss-zzz")), Qt::UTC);
        if (!time.isValid())
            continue;
        list.append({dir.filePath(name), match.captured(1), time});
    }
    std::sort(list.begin(), list.end(), [](const Entry &a, const Entry &b) {
        return a.time != b.time ? a.time > b.time : a.path > b.path;
    });
    return list;
}
