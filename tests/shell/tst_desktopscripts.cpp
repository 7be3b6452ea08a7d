#include "platform/scripts.h"
#include "shell/desktopscripts.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <unistd.h>

namespace Starwick {

using platform::ScriptParameter;
using platform::ScriptService;
using ParameterList = QList<ScriptParameter>;

// Runs the two desktop scripts for real, with stand-ins for the desktops' own commands placed
// first on PATH: each stand-in appends its name and arguments to a log. The PATH holds nothing
// else but links to the few ordinary tools the scripts use, so no real desktop command is reached.
class TestDesktopScripts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void runnersPassParameters_data();
    void runnersPassParameters();
    void runnerReadsAShortenedListSafely();
    void missingScriptReportsNotRun();
    void setsWallpaper_data();
    void setsWallpaper();
    void opensWallpaperSettings_data();
    void opensWallpaperSettings();

private:
    QString stubs() const { return Test::homePath() + QStringLiteral("/stubs"); }
    QString logPath() const { return Test::homePath() + QStringLiteral("/stub.log"); }
    QString imagesFolder() const { return Test::homePath() + QStringLiteral("/Pictures/Starwick Images"); }
    QString runtimeFolder() const { return Test::homePath() + QStringLiteral("/.runtime"); }
    void writeStub(const QString& name, const QByteArray& output = {}, const QByteArray& tail = {});
    QStringList loggedCalls() const;
    int runAndWait(const std::function<void()>& start);

    QHash<QByteArray, QByteArray> m_savedEnvironment;
};

namespace {

const char* const kEnvironment[] = {"PATH",
                                    "XDG_CURRENT_DESKTOP",
                                    "XDG_SESSION_DESKTOP",
                                    "DESKTOP_SESSION",
                                    "KDE_FULL_SESSION",
                                    "KDE_SESSION_VERSION",
                                    "SWAYSOCK",
                                    "WAYLAND_DISPLAY",
                                    "DISPLAY",
                                    "STARWICK_STUB_LOG"};

// The ordinary tools the scripts may call; desktop commands are never among them.
const char* const kTools[] = {"awk", "cat", "grep", "id", "od", "sed", "sleep", "tr", "xdg-user-dir"};

// One call as logged, with text between the "…" marks left open.
bool callMatches(const QString& call, const QString& pattern)
{
    const QStringList parts = pattern.split(QChar(0x2026));
    if (parts.size() == 1)
        return call == pattern;
    if (!call.startsWith(parts.first()) || !call.endsWith(parts.last()))
        return false;
    qsizetype at = parts.first().size();
    for (qsizetype i = 1; i + 1 < parts.size(); ++i) {
        at = call.indexOf(parts.at(i), at);
        if (at < 0)
            return false;
        at += parts.at(i).size();
    }
    return at <= call.size() - parts.last().size();
}

QString encodedUri(const QString& path)
{
    return QStringLiteral("file://") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
}

} // namespace

void TestDesktopScripts::initTestCase()
{
    for (const char* name : kEnvironment) {
        if (qEnvironmentVariableIsSet(name))
            m_savedEnvironment.insert(name, qgetenv(name));
    }
}

void TestDesktopScripts::init()
{
    Test::clearHome();
    QVERIFY(QDir().mkpath(stubs()));
    QVERIFY(QDir().mkpath(imagesFolder() + QStringLiteral("/a")));
    // Files a bad name could reach if it were not refused.
    for (const QString& bait :
         {imagesFolder() + QStringLiteral("/a/b"), Test::homePath() + QStringLiteral("/Pictures/x")}) {
        QVERIFY(Test::writeFileBytes(bait, QByteArray()));
    }
    for (const char* tool : kTools) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(tool));
        if (!found.isEmpty())
            QFile::link(found, stubs() + QLatin1Char('/') + QString::fromLatin1(tool));
    }
    for (const char* name : kEnvironment)
        qunsetenv(name);
    qputenv("PATH", QFile::encodeName(stubs()));
    qputenv("STARWICK_STUB_LOG", QFile::encodeName(logPath()));
    ScriptService::instance()->clearRecentRuns();
}

void TestDesktopScripts::cleanup()
{
    for (const char* name : kEnvironment) {
        if (m_savedEnvironment.contains(name))
            qputenv(name, m_savedEnvironment.value(name));
        else
            qunsetenv(name);
    }
}

void TestDesktopScripts::writeStub(const QString& name, const QByteArray& output, const QByteArray& tail)
{
    const QString path = stubs() + QLatin1Char('/') + name;
    QFile stub(path);
    QVERIFY(stub.open(QIODevice::WriteOnly));
    // Each call is its name and its arguments in brackets, ended by a record separator; then the
    // stand-in prints its output and runs its tail (how it fails or lingers).
    stub.write("#!/bin/sh\n"
               "{ printf '%s' \"${0##*/}\"; for a in \"$@\"; do printf ' [%s]' \"$a\"; done; printf '\\036'; }"
               " >> \"$STARWICK_STUB_LOG\"\n"
               "[ -f \"$0.out\" ] && cat \"$0.out\"\n"
               "[ -f \"$0.tail\" ] && . \"$0.tail\"\n"
               "exit 0\n");
    stub.close();
    QVERIFY(stub.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    if (!output.isEmpty())
        QVERIFY(Test::writeFileBytes(path + QStringLiteral(".out"), output));
    if (!tail.isEmpty())
        QVERIFY(Test::writeFileBytes(path + QStringLiteral(".tail"), tail + '\n'));
}

QStringList TestDesktopScripts::loggedCalls() const
{
    QFile log(logPath());
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QChar(0x1e), Qt::SkipEmptyParts);
}

int TestDesktopScripts::runAndWait(const std::function<void()>& start)
{
    QSignalSpy finished(ScriptService::instance(), &ScriptService::finished);
    start();
    if (finished.isEmpty() && !finished.wait(30000))
        return -100;
    return finished.first().at(2).toInt();
}

void TestDesktopScripts::runnersPassParameters_data()
{
    QTest::addColumn<bool>("setPicture");
    QTest::addColumn<QVariantList>("parameters");
    QTest::addColumn<int>("scriptId");
    QTest::addColumn<ParameterList>("expected");

    using Type = ScriptParameter::Type;
    QTest::newRow("SetDTPic with an integer")
        << true << QVariantList{42} << 168 << ParameterList{{Type::Integer, QStringLiteral("42")}};
    QTest::newRow("SetDTPic with a string") << true << QVariantList{QStringLiteral("ngc 1300.jpg")} << 168
                                            << ParameterList{{Type::String, QStringLiteral("ngc 1300.jpg")}};
    QTest::newRow("SetDTPic with several kinds") << true << QVariantList{-7, QStringLiteral("7"), 2.5, true} << 168
                                                 << ParameterList{{Type::Integer, QStringLiteral("-7")},
                                                                  {Type::String, QStringLiteral("7")},
                                                                  {Type::String, QStringLiteral("2.5")},
                                                                  {Type::String, QStringLiteral("true")}};
    QTest::newRow("SetDTPic with none") << true << QVariantList{} << 168 << ParameterList{};
    QTest::newRow("OpenDTPrefs with none") << false << QVariantList{} << 169 << ParameterList{};
    QTest::newRow("OpenDTPrefs with a string")
        << false << QVariantList{QStringLiteral("x")} << 169 << ParameterList{{Type::String, QStringLiteral("x")}};
}

void TestDesktopScripts::runnersPassParameters()
{
    QFETCH(bool, setPicture);
    QFETCH(QVariantList, parameters);
    QFETCH(int, scriptId);
    QFETCH(ParameterList, expected);

    QSignalSpy finished(ScriptService::instance(), &ScriptService::finished);
    runAndWait([&] { setPicture ? SetDTPic(parameters) : OpenDTPrefs(parameters); });
    const QList<platform::ScriptRun> runs = ScriptService::instance()->recentRuns();
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.first().scriptId, scriptId);
    QCOMPARE(runs.first().parameters, expected);
    // The script received exactly these arguments (no desktop here, so it changed nothing).
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().at(0).toInt(), scriptId);
    QCOMPARE(finished.first().at(1).toStringList(), runs.first().arguments());
    QVERIFY(finished.first().at(2).toInt() != 0);
    QVERIFY(loggedCalls().isEmpty());
}

void TestDesktopScripts::runnerReadsAShortenedListSafely()
{
    // An event handled while the runner hands control back empties the caller's list.
    QVariantList parameters{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")};
    QTimer::singleShot(0, this, [&parameters] { parameters.clear(); });
    runAndWait([&] { SetDTPic(parameters); });
    const QList<platform::ScriptRun> runs = ScriptService::instance()->recentRuns();
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.first().arguments(), QStringList{QStringLiteral("first")});
}

void TestDesktopScripts::missingScriptReportsNotRun()
{
    QCOMPARE(runAndWait([] { platform::ScriptExecute(170); }), ScriptService::kNotRun);
    QCOMPARE(ScriptService::instance()->runningCount(), 0);
}

void TestDesktopScripts::setsWallpaper_data()
{
    QTest::addColumn<QStringList>("environment");
    // "name", "name=output", "name!shell text it ends with", or "@socket=path" for a listening
    // socket; $RUNTIME is XDG_RUNTIME_DIR here and in the environment.
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QString>("name"); // $HOME the home folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("calls"); // $WP the picture's path, $URI its file URI

    const QString gnome = QStringLiteral("gsettings [set] [org.gnome.desktop.background] [picture-uri] [$URI]");
    const QString gnomeDark =
        QStringLiteral("gsettings [set] [org.gnome.desktop.background] [picture-uri-dark] [$URI]");
    const QString awkward = QStringLiteral("M31 & \"friends\" #2 100% it's $(id) `x` \\n;.jpg");
    const QStringList everything{QStringLiteral("gsettings"),  QStringLiteral("plasma-apply-wallpaperimage"),
                                 QStringLiteral("dbus-send"),  QStringLiteral("xfconf-query"),
                                 QStringLiteral("pcmanfm-qt"), QStringLiteral("pcmanfm"),
                                 QStringLiteral("swaybg"),     QStringLiteral("feh")};

    QTest::newRow("GNOME sets both keys to an encoded URI")
        << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=GNOME")} << QStringList{QStringLiteral("gsettings")}
        << awkward << 0 << QStringList{gnome, gnomeDark};
    QTest::newRow("Ubuntu's GNOME") << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=ubuntu:GNOME")}
                                    << QStringList{QStringLiteral("gsettings")} << QStringLiteral("m42.jpg") << 0
                                    << QStringList{gnome, gnomeDark};
    QTest::newRow("Budgie before GNOME") << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=Budgie:GNOME")}
                                         << QStringList{QStringLiteral("gsettings")} << QStringLiteral("m42.jpg") << 0
                                         << QStringList{gnome, gnomeDark};
    QTest::newRow("KDE through plasma-apply-wallpaperimage")
        << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=KDE")}
        << QStringList{QStringLiteral("plasma-apply-wallpaperimage"), QStringLiteral("dbus-send")}
        << QStringLiteral("m42 big.jpg") << 0 << QStringList{QStringLiteral("plasma-apply-wallpaperimage [$WP]")};
    QTest::newRow("KDE with a quote in the name takes the desktop script")
        << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=KDE")}
        << QStringList{QStringLiteral("plasma-apply-wallpaperimage"), QStringLiteral("dbus-send")} << awkward << 0
        << QStringList{QStringLiteral("dbus-send [--session] [--print-reply] [--dest=org.kde.plasmashell] "
                                      "[--type=method_call] [/PlasmaShell] [org.kde.PlasmaShell.evaluateScript] "
                                      "[string:var all = desktops();…d.wallpaperPlugin = \"org.kde.image\";…"
                                      "d.writeConfig(\"Image\", \"$URI\");\n}]")};
    const QString kdeScript =
        QStringLiteral("dbus-send [--session] [--print-reply] [--dest=org.kde.plasmashell] [--type=method_call] "
                       "[/PlasmaShell] [org.kde.PlasmaShell.evaluateScript] [string:var all = desktops();…"
                       "d.writeConfig(\"Image\", \"$URI\");\n}]");
    QTest::newRow("KDE with a backslash in the name takes the desktop script")
        << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=KDE")}
        << QStringList{QStringLiteral("plasma-apply-wallpaperimage"), QStringLiteral("dbus-send")}
        << QStringLiteral("a\\b.jpg") << 0 << QStringList{kdeScript};
    QTest::newRow("KDE whose desktop script fails")
        << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=KDE")}
        << QStringList{QStringLiteral("plasma-apply-wallpaperimage"), QStringLiteral("dbus-send!exit 1")}
        << QStringLiteral("a\\b.jpg") << 4 << QStringList{kdeScript};
    QTest::newRow("KDE session without the desktop variable")
        << QStringList{QStringLiteral("KDE_FULL_SESSION=true")}
        << QStringList{QStringLiteral("plasma-apply-wallpaperimage")} << QStringLiteral("m42.jpg") << 0
        << QStringList{QStringLiteral("plasma-apply-wallpaperimage [$WP]")};
    const QString xfceList = QStringLiteral("xfconf-query [-c] [xfce4-desktop] [-p] [/backdrop] [-l]");
    QTest::newRow("Xfce sets every listed property")
        << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=XFCE")}
        << QStringList{QStringLiteral("xfconf-query=/backdrop/screen0/monitorVirtual1/workspace0/color-style\n"
                                      "/backdrop/screen0/monitorVirtual1/workspace0/last-image\n"
                                      "/backdrop/screen0/monitoreDP-1/workspace1/last-image\n"
                                      "/backdrop/screen0/monitor0/image-path\n")}
        << QStringLiteral("m42.jpg") << 0
        << QStringList{xfceList,
                       QStringLiteral("xfconf-query [-c] [xfce4-desktop] [-p] "
                                      "[/backdrop/screen0/monitorVirtual1/workspace0/last-image] [-s] [$WP]"),
                       QStringLiteral("xfconf-query [-c] [xfce4-desktop] [-p] "
                                      "[/backdrop/screen0/monitoreDP-1/workspace1/last-image] [-s] [$WP]"),
                       QStringLiteral("xfconf-query [-c] [xfce4-desktop] [-p] [/backdrop/screen0/monitor0/image-path] "
                                      "[-s] [$WP]")};
    QTest::newRow("Xfce without properties makes one per connected output")
        << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=XFCE")}
        << QStringList{QStringLiteral("xfconf-query"),
                       QStringLiteral("xrandr=Screen 0: minimum 8 x 8, current 4480 x 1440\n"
                                      "eDP-1 connected primary 1920x1080+0+0 (normal) 344mm x 194mm\n"
                                      "HDMI-1 disconnected (normal left inverted right x axis y axis)\n"
                                      "DP-2 connected 2560x1440+1920+0 (normal) 597mm x 336mm\n")}
        << QStringLiteral("m42.jpg") << 0
        << QStringList{xfceList, QStringLiteral("xrandr [--query]"),
                       QStringLiteral("xfconf-query [-c] [xfce4-desktop] [-p] "
                                      "[/backdrop/screen0/monitoreDP-1/workspace0/last-image] [-n] [-t] [string] "
                                      "[-s] [$WP]"),
                       QStringLiteral("xfconf-query [-c] [xfce4-desktop] [-p] "
                                      "[/backdrop/screen0/monitorDP-2/workspace0/last-image] [-n] [-t] [string] "
                                      "[-s] [$WP]")};
    const QString xfceScreen = QStringLiteral("xfconf-query [-c] [xfce4-desktop] [-p] "
                                              "[/backdrop/screen0/monitorscreen/workspace0/last-image] [-n] [-t] "
                                              "[string] [-s] [$WP]");
    QTest::newRow("Xfce without properties or xrandr makes the one xfdesktop reads")
        << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=XFCE")} << QStringList{QStringLiteral("xfconf-query")}
        << QStringLiteral("m42.jpg") << 0 << QStringList{xfceList, xfceScreen};
    QTest::newRow("Xfce whose xfconf-query fails")
        << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=XFCE")} << QStringList{QStringLiteral("xfconf-query!exit 1")}
        << QStringLiteral("m42.jpg") << 4 << QStringList{xfceList, xfceScreen};
    QTest::newRow("Cinnamon") << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=X-Cinnamon")} << everything
                              << QStringLiteral("m42.jpg") << 0
                              << QStringList{QStringLiteral(
                                     "gsettings [set] [org.cinnamon.desktop.background] [picture-uri] [$URI]")};
    QTest::newRow("MATE takes a path") << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=MATE")} << everything
                                       << awkward << 0
                                       << QStringList{QStringLiteral(
                                              "gsettings [set] [org.mate.background] [picture-filename] [$WP]")};
    QTest::newRow("LXQt") << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=LXQt")} << everything
                          << QStringLiteral("m42.jpg") << 0
                          << QStringList{QStringLiteral("pcmanfm-qt [--set-wallpaper=$WP] [--wallpaper-mode=zoom]")};
    const QString lxdeDesktop = QStringLiteral("pgrep [-u] [$UID] [-f] [(^|/)pcmanfm (.* )?--desktop( |$)]");
    QTest::newRow("LXDE by its session name")
        << QStringList{QStringLiteral("DESKTOP_SESSION=LXDE")} << everything + QStringList{QStringLiteral("pgrep")}
        << QStringLiteral("m42.jpg") << 0
        << QStringList{lxdeDesktop, QStringLiteral("pcmanfm [--set-wallpaper] [$WP]")};
    // pcmanfm would answer with a dialog that waits for the user.
    QTest::newRow("LXDE without the pcmanfm desktop")
        << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=LXDE")}
        << QStringList{QStringLiteral("pcmanfm"), QStringLiteral("pgrep!exit 1")} << QStringLiteral("m42.jpg") << 3
        << QStringList{lxdeDesktop};
    const QStringList sway{QStringLiteral("XDG_CURRENT_DESKTOP=sway"), QStringLiteral("WAYLAND_DISPLAY=wayland-1")};
    const QString swaybg = QStringLiteral("swaybg [-i] [$WP] [-m] [fill]");
    // A swaybg that shows the picture stays on after the script's second of waiting.
    const QString showing = QStringLiteral("swaybg!exec sleep 5");
    QTest::newRow("sway starts swaybg and ends the previous one")
        << sway
        << QStringList{QStringLiteral("@socket=$RUNTIME/wayland-1"), showing,
                       QStringLiteral("ps=$PREVIOUS swaybg\n    1 init\n")}
        << QStringLiteral("m42.jpg") << 0
        << QStringList{QStringLiteral("ps [-u] [$UID] [-o] [pid=] [-o] [comm=]"), swaybg};
    QTest::newRow("sway with the socket's full path")
        << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=sway"), QStringLiteral("WAYLAND_DISPLAY=$RUNTIME/w")}
        << QStringList{QStringLiteral("@socket=$RUNTIME/w"), showing} << QStringLiteral("m42.jpg") << 0
        << QStringList{swaybg};
    QTest::newRow("sway with no compositor at the socket")
        << sway << QStringList{showing} << QStringLiteral("m42.jpg") << 3 << QStringList{};
    QTest::newRow("sway whose swaybg ends at once")
        << sway << QStringList{QStringLiteral("@socket=$RUNTIME/wayland-1"), QStringLiteral("swaybg!exit 1")}
        << QStringLiteral("m42.jpg") << 4 << QStringList{swaybg};
    QTest::newRow("plain X11 with feh, the name intact")
        << QStringList{QStringLiteral("DISPLAY=:0")}
        << QStringList{QStringLiteral("feh"), QStringLiteral("xwallpaper"), QStringLiteral("gsettings")} << awkward << 0
        << QStringList{QStringLiteral("feh [--bg-fill] [$WP]")};
    QTest::newRow("plain X11 without feh")
        << QStringList{QStringLiteral("DISPLAY=:0")}
        << QStringList{QStringLiteral("xwallpaper"), QStringLiteral("nitrogen")} << QStringLiteral("m42.jpg") << 0
        << QStringList{QStringLiteral("xwallpaper [--zoom] [$WP]")};
    QTest::newRow("no desktop at all") << QStringList{} << everything << QStringLiteral("m42.jpg") << 2
                                       << QStringList{};
    QTest::newRow("GNOME without gsettings")
        << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=GNOME")} << QStringList{QStringLiteral("feh")}
        << QStringLiteral("m42.jpg") << 2 << QStringList{};

    const QStringList x11{QStringLiteral("DISPLAY=:0")};
    QTest::newRow("a full path is used as given")
        << x11 << QStringList{QStringLiteral("feh")} << QStringLiteral("$HOME/Starwick Images/m42.jpg") << 0
        << QStringList{QStringLiteral("feh [--bg-fill] [$WP]")};
    QTest::newRow("refuses a full path naming no file")
        << x11 << everything << QStringLiteral("$HOME/Pictures/Starwick Images/absent.jpg") << 1 << QStringList{};
    const char* const refused[][2] = {
        {"a parent folder", "../x"}, {"a subfolder", "a/b"},           {"an empty name", ""}, {"a dot", "."},
        {"two dots", ".."},          {"a missing file", "absent.jpg"}, {"a folder", "a"}};
    for (const auto& [label, name] : refused) {
        QTest::newRow(qPrintable(QStringLiteral("refuses %1").arg(QLatin1String(label))))
            << x11 << everything << QString::fromUtf8(name) << 1 << QStringList{};
    }
}

void TestDesktopScripts::setsWallpaper()
{
    QFETCH(QStringList, environment);
    QFETCH(QStringList, commands);
    QFETCH(QString, name);
    QFETCH(int, exitCode);
    QFETCH(QStringList, calls);

    name.replace(QLatin1String("$HOME"), Test::homePath());
    const QString wp = name.startsWith(QLatin1Char('/')) ? name : imagesFolder() + QLatin1Char('/') + name;
    if (exitCode != 1) {
        QVERIFY(QDir().mkpath(QFileInfo(wp).absolutePath()));
        QVERIFY(Test::writeFileBytes(wp, "not really a JPEG"));
    }
    QVERIFY(QDir().mkpath(runtimeFolder()));
    QLocalServer compositor;
    // A stand-in for a swaybg that is already showing a background.
    QProcess previous;
    for (QString command : commands) {
        command.replace(QLatin1String("$RUNTIME"), runtimeFolder());
        if (command.startsWith(QLatin1String("@socket="))) {
            QVERIFY(compositor.listen(command.mid(8)));
            continue;
        }
        if (command.contains(QLatin1String("$PREVIOUS"))) {
            previous.start(QStringLiteral("/bin/sleep"), {QStringLiteral("60")});
            QVERIFY(previous.waitForStarted());
            command.replace(QLatin1String("$PREVIOUS"), QString::number(previous.processId()));
        }
        const qsizetype bang = command.indexOf(QLatin1Char('!'));
        if (bang >= 0) {
            writeStub(command.left(bang), {}, command.mid(bang + 1).toUtf8());
            continue;
        }
        const qsizetype equals = command.indexOf(QLatin1Char('='));
        writeStub(command.left(equals), equals < 0 ? QByteArray() : command.mid(equals + 1).toUtf8());
    }
    for (QString variable : environment) {
        variable.replace(QLatin1String("$RUNTIME"), runtimeFolder());
        const qsizetype equals = variable.indexOf(QLatin1Char('='));
        qputenv(variable.left(equals).toUtf8(), variable.mid(equals + 1).toUtf8());
    }

    QCOMPARE(runAndWait([&] { SetDTPic({name}); }), exitCode);

    const QStringList logged = loggedCalls();
    QCOMPARE(logged.size(), calls.size());
    for (qsizetype i = 0; i < calls.size(); ++i) {
        const QString pattern = QString(calls.at(i))
                                    .replace(QLatin1String("$WP"), wp)
                                    .replace(QLatin1String("$URI"), encodedUri(wp))
                                    .replace(QLatin1String("$UID"), QString::number(getuid()));
        QVERIFY2(callMatches(logged.at(i), pattern),
                 qPrintable(logged.at(i) + QStringLiteral("\n  expected ") + pattern));
    }
    if (previous.state() != QProcess::NotRunning)
        QVERIFY2(previous.waitForFinished(10000), "the previous swaybg was ended");
}

void TestDesktopScripts::opensWallpaperSettings_data()
{
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("call"); // empty: nothing to open

    QTest::newRow("GNOME") << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=GNOME")}
                           << QStringLiteral("gnome-control-center [background]");
    QTest::newRow("Unity") << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=Unity")}
                           << QStringLiteral("unity-control-center [appearance]");
    QTest::newRow("Plasma 6") << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=KDE"),
                                             QStringLiteral("KDE_SESSION_VERSION=6")}
                              << QStringLiteral("systemsettings [kcm_wallpaper]");
    QTest::newRow("Plasma 5") << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=KDE"),
                                             QStringLiteral("KDE_SESSION_VERSION=5")}
                              << QStringLiteral("kcmshell5 [kcm_wallpaper]");
    QTest::newRow("Xfce") << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=XFCE")}
                          << QStringLiteral("xfdesktop-settings");
    QTest::newRow("MATE") << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=MATE")}
                          << QStringLiteral("mate-appearance-properties [--show-page=background]");
    QTest::newRow("sway has none") << QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=sway")} << QString();
}

void TestDesktopScripts::opensWallpaperSettings()
{
    QFETCH(QStringList, environment);
    QFETCH(QString, call);

    for (const char* command : {"gnome-control-center", "unity-control-center", "systemsettings", "kcmshell5",
                                "xfdesktop-settings", "mate-appearance-properties", "swaybg"})
        writeStub(QString::fromLatin1(command));
    for (const QString& variable : environment) {
        const qsizetype equals = variable.indexOf(QLatin1Char('='));
        qputenv(variable.left(equals).toUtf8(), variable.mid(equals + 1).toUtf8());
    }

    QCOMPARE(runAndWait([] { OpenDTPrefs({}); }), call.isEmpty() ? 1 : 0);
    if (call.isEmpty()) {
        QVERIFY(loggedCalls().isEmpty());
        return;
    }
    // The settings program runs on after the script has ended.
    QTRY_VERIFY_WITH_TIMEOUT(!loggedCalls().isEmpty(), 30000);
    QCOMPARE(loggedCalls(), QStringList{call});
}

} // namespace Starwick

STARWICK_TEST_MAIN(Starwick::TestDesktopScripts)
#include "tst_desktopscripts.moc"
