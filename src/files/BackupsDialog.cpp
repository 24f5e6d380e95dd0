#include "files/BackupsDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

BackupsDialog::BackupsDialog(const QList<BackupStore::Entry> &entries, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("backupsDialog"));
    setWindowTitle(tr("备份"));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("backupsList"));
    m_list->setHeaderLabels({tr("设备"), tr("时间")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (const BackupStore::Entry &entry : entries) {
        auto *item = new QTreeWidgetItem(
            m_list,
            {entry.device, entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))});
        item->setData(0, Qt::UserRole, entry.path);
        item->setToolTip(0, entry.path);
    }

    m_load = new QPushButton(tr("读取"), this);
    m_load->setObjectName(QStringLiteral("backupsLoadButton"));
    m_load->setDefault(true);
    m_load->setEnabled(false);
    auto *cancel = new QPushButton(tr("取消"), this);
    cancel->setObjectName(QStringLiteral("backupsCancelButton"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_load);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(420, 320);

    connect(m_list, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_load->setEnabled(!selectedPath().isEmpty()); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_load, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString BackupsDialog::selectedPath() const
{
    const QList<QTreeWidgetItem *> selected = m_list->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->data(0, Qt::UserRole).toString();
}
