#pragma once

#include <QString>

// The texts of --help and COMMAND --help.
namespace CliHelp {

QString general();
// Empty for an unknown command.
QString command(const QString &name);

} // namespace CliHelp
