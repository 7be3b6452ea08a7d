#include "support/settingsfiles.h"

#include "shell/settings.h"
#include "support/testenv.h"

#include <QDir>

namespace Starwick::Test {

void writeSettings(const QMap<int, QString>& values)
{
    SettingsLines lines = DefaultSettingsLines();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        lines.setValue(it.key(), it.value());
    QDir().mkpath(SettingsFolder().path());
    QString error;
    QVERIFY2(WriteSettingsFile(lines, &error), qPrintable(error));
}

QList<QByteArray> settingsFileLines()
{
    QList<QByteArray> lines = readFileBytes(SettingsFile().path()).split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace Starwick::Test
