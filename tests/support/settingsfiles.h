#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <sys/types.h>
#include <thread>

namespace Starwick::Test {

/// Writes a 17-line settings file as a later launch finds it, through the program's own codec:
/// the default values with `values` (by line number) put over them. A failure fails the test.
void writeSettings(const QMap<int, QString>& values);

/// The settings file's lines as stored, without their line ends.
QList<QByteArray> settingsFileLines();

/// The permission bits of what is at `path` (what a link points to), or -1 when nothing is there.
int permissionsOf(const QString& path);

/// The rows of a proxy setting that cannot be used, switched on in Preferences: the columns
/// "address" and "port" as typed there, where the port "SERVER" stands for a test server's
/// (typedProxyPort()).
void addUnusableProxyRows();
/// Puts the proxy of a row of addUnusableProxyRows() into Globals, switched on; "SERVER" becomes
/// `serverPort`.
void useTypedProxy(const QString& address, const QString& port, quint16 serverPort);

/// Watches a named pipe while it lives and counts every time a reader held it open. Each such
/// reader is let go at once (it reads an empty pipe), so code that wrongly opens the pipe fails
/// the test instead of hanging it for good.
class PipeWatch
{
public:
    explicit PipeWatch(const QString& path);
    ~PipeWatch();
    PipeWatch(const PipeWatch&) = delete;
    PipeWatch& operator=(const PipeWatch&) = delete;

    /// How many readers were seen, counting every open that happened before this call (it waits
    /// for the watch to look at the pipe once more).
    int readersSeen();

private:
    QByteArray m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_readers{0};
    std::mutex m_mutex;
    std::condition_variable m_looked;
    long m_rounds = 0;
    std::thread m_thread;
};

} // namespace Starwick::Test
