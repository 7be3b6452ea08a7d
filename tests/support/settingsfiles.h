#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

namespace Starwick::Test {

/// Writes a 17-line settings file as a later launch finds it, through the program's own codec:
/// the default values with `values` (by line number) put over them. A failure fails the test.
void writeSettings(const QMap<int, QString>& values);

/// The settings file's lines as stored, without their line ends.
QList<QByteArray> settingsFileLines();

} // namespace Starwick::Test
