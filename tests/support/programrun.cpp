#include "support/programrun.h"

#include "platform/folderitem.h"
#include "shell/settings.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

namespace Starwick::Test {

ProgramRun::ProgramRun(const QStringList& settingsValues)
{
    if (!m_home.isValid()) {
        m_setupError = QStringLiteral("no temporary home: ") + m_home.errorString();
        return;
    }
    QByteArray text;
    for (const QString& value : settingsValues)
        text += EncodeSetting(value).toLatin1() + '\n';
    QDir().mkpath(settingsFolder());
    QFile settings(settingsFolder() + u'/' + SettingsFile().Name());
    if (!settings.open(QIODevice::WriteOnly) || settings.write(text) != text.size() || !settings.flush())
        m_setupError = QStringLiteral("the settings file was not written: ") + settings.errorString();
}

ProgramRun::~ProgramRun()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

// The program's folders under this run's home: where the program puts them below the
// Preferences folder, which is the home's XDG config folder.
QString ProgramRun::settingsFolder() const
{
    const QDir preferences(platform::FolderItem::PreferencesFolder().path());
    return m_home.path() + QStringLiteral("/.config/") + preferences.relativeFilePath(SettingsFolder().path());
}

QString ProgramRun::cacheFolder() const
{
    return settingsFolder() + u'/' + CacheFolder().Name();
}

bool ProgramRun::start(QString* error)
{
    // A home without its settings file would start the program as a first launch does.
    if (!m_setupError.isEmpty()) {
        if (error)
            *error = m_setupError;
        return false;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path() + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.path() + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.path() + QStringLiteral("/.cache"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "http_proxy", "HTTP_PROXY"})
        environment.remove(QString::fromLatin1(variable));

    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(STARWICK_BINARY_PATH), {});
    if (m_process.waitForStarted())
        return true;
    if (error)
        *error = m_process.errorString();
    return false;
}

} // namespace Starwick::Test
