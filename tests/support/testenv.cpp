#include "support/testenv.h"

#include "platform/folderitem.h"
#include "shell/servers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace Starwick::Test {

namespace {
std::unique_ptr<QTemporaryDir> g_home;

void setFolder(const char* variable, const QString& path)
{
    QDir().mkpath(path);
    qputenv(variable, QFile::encodeName(path));
}
} // namespace

void prepareEnvironment()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_home = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/starwick-test-XXXXXX"));
    const QString home = g_home->path();
    qputenv("HOME", QFile::encodeName(home));
    setFolder("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    setFolder("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    setFolder("XDG_CACHE_HOME", home + QStringLiteral("/.cache"));
    setFolder("XDG_STATE_HOME", home + QStringLiteral("/.local/state"));
    setFolder("XDG_RUNTIME_DIR", home + QStringLiteral("/.runtime"));
    QFile::setPermissions(home + QStringLiteral("/.runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // No test may reach the developer's own desktop (a wallpaper script would set the real one).
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "SWAYSOCK", "KDE_FULL_SESSION", "KDE_SESSION_VERSION"})
        qunsetenv(variable);
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("XDG_SESSION_DESKTOP");
    qunsetenv("DESKTOP_SESSION");
    // No test reaches the internet: until a test points the program at its own server, requests
    // go to a closed port on this machine.
    setAPODServerForTesting(QStringLiteral("127.0.0.1:9"));
    setMakerServerForTesting(QStringLiteral("127.0.0.1:9"));
    qunsetenv("http_proxy");
    qunsetenv("HTTP_PROXY");
    qunsetenv("https_proxy");
    qunsetenv("all_proxy");
}

QString homePath()
{
    return g_home ? g_home->path() : QString();
}

void clearHome()
{
    const QString home = homePath();
    if (home.isEmpty())
        return;
    QDir dir(home);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        const QString path = dir.filePath(entry);
        QFileInfo info(path);
        if (info.isDir() && !info.isSymLink())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
    for (const char* sub : {"/.config", "/.local/share", "/.cache", "/.local/state"})
        QDir().mkpath(home + QLatin1String(sub));
}

QByteArray readFileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning("Cannot write %s: %s", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return file.write(bytes) == bytes.size() && file.flush();
}

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

bool fileSystemKeepsMacCodes()
{
    const QString probe = homePath() + QStringLiteral("/.xattr-probe");
    QFile file(probe);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.close();
    const bool kept = platform::FolderItem(probe).SetMacType(QStringLiteral("TEST")) &&
                      platform::FolderItem(probe).MacType() == QLatin1String("TEST");
    QFile::remove(probe);
    return kept;
}

void releaseClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString dataPath(const QString& name)
{
    const QString base = QStringLiteral(STARWICK_TEST_DATA_DIR);
    return name.isEmpty() ? base : base + QLatin1Char('/') + name;
}

bool waitFor(const std::function<bool()>& done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace Starwick::Test
