#pragma once

#include <QString>

#include <functional>

class QWidget;

// File choices go through here so that tests can answer them.
enum class FileDialogKind { Open, Save };

QString askFileName(FileDialogKind kind, QWidget *parent, const QString &caption, const QString &filter);

// When set, no dialog is shown: the provider's answer is taken as the
// user's (an empty string is a cancelled dialog).
using FileNameProvider = std::function<QString(FileDialogKind kind, const QString &caption, const QString &filter)>;
void setFileNameProvider(FileNameProvider provider);
