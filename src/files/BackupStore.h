#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The folder of configuration backups taken before writes: one file per
// backup, named "<device>_<yyyyMMdd-HHmmss-zzz>.txt" (UTC, so names sort by
// time across daylight-saving changes), the newest `keep` per device kept.
// It knows names, pruning and listing only: it never reads a backup's
// content, never shows anything, and never touches a file it did not name.
// The folder is listed once per device for pruning; later saves of the same
// store prune from what it remembers (a fresh store lists again).
class BackupStore
{
public:
    static constexpr int DefaultKeep = 50;

    struct Entry
    {
        QString path;
        QString device; // as it stands in the name
        QDateTime time; // UTC
    };

    explicit BackupStore(const QString &folder, int keep = DefaultKeep);

    QString folder() const { return m_folder; }

    // Writes `text` as the newest backup of `device` taken at `time`, then
    // removes the oldest of that device beyond `keep`. Returns the new
    // file's path; on failure an empty string and, in `error`, the path
    // and the reason. A failed backup leaves no file behind.
    QString save(const QString &device, const QByteArray &text, const QDateTime &time, QString *error);

    // Every backup in the folder, newest first.
    QList<Entry> entries() const;

    // The device part of a name: the product number as the device reported
    // it, with anything that is not a letter, digit or '-' replaced, so that
    // no reply can steer a path.
    static QString deviceKey(const QString &productNumber);

private:
    void prune(const QString &device, const QString &saved);
    QStringList namesOf(const QString &device) const;

    QString m_folder;
    int m_keep;
    QHash<QString, QStringList> m_names; // per device, oldest first
};
