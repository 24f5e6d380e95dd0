#pragma once

#include "files/BackupStore.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

// "备份…": lists the backups taken before writes (device, time; newest
// first) and hands back the one the user picks. It only chooses: loading
// is the caller's, through the same path as "从文件读取", and it never
// deletes or changes a backup.
class BackupsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BackupsDialog(const QList<BackupStore::Entry> &entries, QWidget *parent = nullptr);

    // The chosen backup's path; empty while none is chosen.
    QString selectedPath() const;

private:
    QTreeWidget *m_list = nullptr;
    QPushButton *m_load = nullptr;
};
