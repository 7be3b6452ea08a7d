#include "support/settingsfiles.h"

#include "shell/globals.h"
#include "shell/settings.h"
#include "support/testenv.h"

#include <QDir>
#include <QTest>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Starwick::Test {

void addUnusableProxyRows()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("port");
    QTest::newRow("no port") << "127.0.0.1"
                             << "";
    QTest::newRow("port 0") << "127.0.0.1"
                            << "0";
    QTest::newRow("port not a number") << "127.0.0.1"
                                       << "abc";
    QTest::newRow("port over 65535") << "127.0.0.1"
                                     << "70000";
    QTest::newRow("no address") << ""
                                << "SERVER";
}

void useTypedProxy(const QString& address, const QString& port, quint16 serverPort)
{
    Globals::UseProxy = true;
    Globals::pAddress = address;
    Globals::pPort = port == u"SERVER" ? int(serverPort) : SettingInteger(port);
}

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

int permissionsOf(const QString& path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

PipeWatch::PipeWatch(const QString& path)
    : m_path(QFile::encodeName(path))
{
    m_thread = std::thread([this] {
        while (!m_stop.load()) {
            // A writer's open without waiting succeeds only while someone has the pipe open for
            // reading (or waits in open to read it); it also lets that reader go on.
            const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                m_readers.fetch_add(1);
                ::close(fd);
            }
            {
                const std::lock_guard lock(m_mutex);
                ++m_rounds;
            }
            m_looked.notify_all();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
}

int PipeWatch::readersSeen()
{
    std::unique_lock lock(m_mutex);
    // The round under way may have begun before the open to be counted: wait for the next.
    const long wanted = m_rounds + 2;
    m_looked.wait(lock, [&] { return m_rounds >= wanted; });
    return m_readers.load();
}

PipeWatch::~PipeWatch()
{
    m_stop.store(true);
    m_thread.join();
}

} // namespace Starwick::Test
