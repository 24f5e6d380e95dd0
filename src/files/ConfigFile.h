#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QLatin1String>

// The configuration file: one indented JSON object with five members, one
// per page group, keys in sorted order, followed by a newline. Saving and
// loading are operations of CenterWidget (ConfigFile.cpp); these helpers
// hold the format.
namespace ConfigFile {

inline const QLatin1String CanMapKey("CANMap");
inline const QLatin1String CanParamKey("CANParam");
inline const QLatin1String ConvertParamKey("ConvertParam");
inline const QLatin1String ModBusParamKey("ModBusParam");
inline const QLatin1String SerialParamKey("SerialParam");

// Larger files are refused before they are read: a configuration is a few
// KiB, and a stray multi-gigabyte file must not exhaust memory.
constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

QByteArray documentText(const QJsonObject &root);

} // namespace ConfigFile
