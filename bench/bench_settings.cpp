// Timings of the settings codec, the settings file's read and write passes, and the folder
// listing the cache purge walks (Count, then Item from the last entry to the first).
#include "platform/folderitem.h"
#include "shell/settings.h"
#include "support/testenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

using namespace Starwick;

namespace {

template <typename F> double microsecondsPerCall(int calls, F&& f)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i)
        f();
    return static_cast<double>(timer.nsecsElapsed()) / 1000.0 / calls;
}

} // namespace

int main(int argc, char* argv[])
{
    Test::prepareEnvironment();
    QCoreApplication app(argc, argv);

    const QString value = QStringLiteral("Do Not Use Proxy Server");
    const QString line = EncodeSetting(value);
    std::printf("EncodeSetting: %.2f us per call\n", microsecondsPerCall(20000, [&] { EncodeSetting(value); }));
    std::printf("DecodeSetting: %.2f us per call\n", microsecondsPerCall(20000, [&] { DecodeSetting(line); }));

    QDir().mkpath(CacheFolder().path());
    WriteDefaultSettingsFile();
    std::printf("read pass, 17 lines decoded: %.1f us\n", microsecondsPerCall(500, [] {
                    const SettingsLines lines = ReadSettingsFile();
                    for (int l = 1; l <= SettingsLine::Count; ++l)
                        lines.value(l);
                }));
    std::printf("read and write pass (UpdateSettingsFile): %.1f us\n", microsecondsPerCall(500, [] {
                    UpdateSettingsFile([](SettingsLines& lines) { lines.setNumber(SettingsLine::Top, 40); });
                }));

    for (int entries : {500, 2000}) {
        const platform::FolderItem folder(Test::homePath() + QStringLiteral("/cache%1").arg(entries));
        folder.CreateAsFolder();
        for (int i = 0; i < entries; ++i) {
            QFile file(folder.Child(QStringLiteral("picture%1.jpg").arg(i)).path());
            file.open(QIODevice::WriteOnly);
        }
        QElapsedTimer timer;
        timer.start();
        for (int i = folder.Count(); i >= 1; --i)
            folder.Item(i);
        std::printf("Count + Item(n..1) over %d entries: %lld ms\n", entries, static_cast<long long>(timer.elapsed()));
        timer.restart();
        for (int i = folder.Count(); i >= 1; --i)
            folder.Item(i).Delete();
        std::printf("the same walk deleting every entry: %lld ms\n", static_cast<long long>(timer.elapsed()));
    }
    return 0;
}
