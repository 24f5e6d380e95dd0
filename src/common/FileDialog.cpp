#include "common/FileDialog.h"

#include <QFileDialog>

namespace {
FileNameProvider &provider()
{
    static FileNameProvider instance;
    return instance;
}
} // namespace

void setFileNameProvider(FileNameProvider p)
{
    provider() = std::move(p);
}

QString askFileName(FileDialogKind kind, QWidget *parent, const QString &caption, const QString &filter)
{
    if (provider())
        return provider()(kind, caption, filter);
    if (kind == FileDialogKind::Save)
        return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}
