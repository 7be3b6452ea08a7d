// Renders Starwick's windows offscreen to a PNG file, so that anyone can look at them without a
// display. It runs in a temporary home and never goes to the network. With --server HOST/PREFIX
// (beside the options below) the day links name another APOD server than the build's own.
//
//   render_window OUT.png [--archive FILE] [--day FILE] [--picture FILE] [--index] [--details]
//                         [--menu NAME] [--title TEXT] [--status TEXT] [--at X,Y] [--warning]
//                         [--dialog NAME] [--preferences PAGE] [--personalize]
//
// --archive feeds an archive page to the main window as if it had arrived; --day a day page, with
// --picture as that day's picture in the cache; --index and --details show the drawers; --menu
// opens one menu of the menu bar ("Starwick", "File", "Links", "Window"); --at moves the main
// window to a place on the screen; --warning shows the desktop-picture warning. --dialog shows one
// of "update-check", "no-update", "update-needed" (as a check's answer makes them), "about" or
// "about-expanded" (the About box after the pointer touched its icon). --preferences renders the
// Preferences window alone on one page (0 General, 1 Files, 2 Network); --personalize shows the
// owner-name sheet over the main window.
#include "browser/daypage.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "browser/pagetext.h"
#include "dialogs/aboutbox.h"
#include "dialogs/personalizewindow.h"
#include "dialogs/preferences.h"
#include "dialogs/systemeventalert.h"
#include "dialogs/updatecheckwindow.h"
#include "platform/drawer.h"
#include "platform/eventloop.h"
#include "platform/picture.h"
#include "platform/timer.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/menubar1.h"
#include "shell/servers.h"
#include "shell/settings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>

namespace {

using namespace Starwick;

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCritical("Cannot read %s", qPrintable(path));
        std::exit(1);
    }
    return file.readAll();
}

void settle()
{
    for (int i = 0; i < 20; ++i)
        platform::YieldToEventLoop();
}

// Every visible top-level window, drawn where it stands on the screen, on the desktop's grey.
QImage composeScreen()
{
    QList<QWidget*> windows;
    QRect area;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible())
            continue;
        windows.append(widget);
        area = area.united(widget->geometry());
    }
    QImage image(area.size() + QSize(24, 24), QImage::Format_RGB32);
    image.fill(QColor(96, 104, 112));
    QPainter painter(&image);
    // The main window first, the drawers and menus over it.
    std::stable_sort(windows.begin(), windows.end(), [](QWidget* a, QWidget* b) {
        return qobject_cast<MainWindow*>(a) && !qobject_cast<MainWindow*>(b);
    });
    for (QWidget* window : windows)
        painter.drawPixmap(window->geometry().topLeft() - area.topLeft() + QPoint(12, 12), window->grab());
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A home of its own, so that the user's settings and cache are never touched.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));

    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Renders Starwick's windows to a PNG file."));
    const QCommandLineOption server(QStringLiteral("server"), QStringLiteral("The APOD server the links name."),
                                    QStringLiteral("host"));
    parser.addOption(server);
    parser.addHelpOption();
    const QCommandLineOption dialog(QStringLiteral("dialog"), QStringLiteral("Show a dialog over the main window."),
                                    QStringLiteral("name"));
    parser.addOption(dialog);
    parser.addPositionalArgument(QStringLiteral("out"), QStringLiteral("The PNG file to write."));
    const QCommandLineOption archive(QStringLiteral("archive"), QStringLiteral("An archive page to list."),
                                     QStringLiteral("file"));
    const QCommandLineOption day(QStringLiteral("day"), QStringLiteral("A day page to show."), QStringLiteral("file"));
    const QCommandLineOption picture(QStringLiteral("picture"), QStringLiteral("The day's picture."),
                                     QStringLiteral("file"));
    const QCommandLineOption index(QStringLiteral("index"), QStringLiteral("Show the index drawer."));
    const QCommandLineOption details(QStringLiteral("details"), QStringLiteral("Show the details drawer."));
    const QCommandLineOption menu(QStringLiteral("menu"), QStringLiteral("Open a menu of the menu bar."),
                                  QStringLiteral("name"));
    const QCommandLineOption title(QStringLiteral("title"), QStringLiteral("The title line."), QStringLiteral("text"));
    const QCommandLineOption status(QStringLiteral("status"), QStringLiteral("The status line."),
                                    QStringLiteral("text"));
    const QCommandLineOption at(QStringLiteral("at"), QStringLiteral("Where the main window stands."),
                                QStringLiteral("x,y"));
    const QCommandLineOption warning(QStringLiteral("warning"), QStringLiteral("Show the desktop-picture warning."));
    const QCommandLineOption preferences(QStringLiteral("preferences"),
                                         QStringLiteral("Render the Preferences window alone on a page."),
                                         QStringLiteral("page"));
    const QCommandLineOption personalize(QStringLiteral("personalize"),
                                         QStringLiteral("Show the owner-name sheet over the main window."));
    parser.addOptions(
        {archive, day, picture, index, details, menu, title, status, at, warning, preferences, personalize});
    parser.process(application);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    if (parser.isSet(server))
        setAPODServerForTesting(parser.value(server));

    App app;
    MenuBar1::instance();
    app.registerMenuHandlers();
    MainWindow* window = platform::MakeInstance<MainWindow>();
    app.Open();
    // Requests go to a proxy at a closed port on this machine, so that no name is looked up, and
    // are dropped before they are answered.
    Globals::UseProxy = true;
    Globals::pAddress = QStringLiteral("127.0.0.1");
    Globals::pPort = 9;
    window->completeOpening();
    window->TCPSocket1->Disconnect();
    settle();

    if (parser.isSet(archive)) {
        window->TCPSocket1_PageReceived(QString(), 200, {}, readFile(parser.value(archive)));
        window->TCPSocket3->Disconnect();
    }
    if (parser.isSet(day)) {
        const QByteArray page = readFile(parser.value(day));
        if (parser.isSet(picture)) {
            const DayPicture found = FindDayPicture(DecodePageText(page), APODServer());
            if (found.hasPicture())
                QFile::copy(parser.value(picture), CacheFolder().Child(found.cacheName).path());
        }
        window->TCPSocket3_PageReceived(QString(), 200, {}, page);
        window->TCPSocket2->Disconnect();
    } else if (parser.isSet(picture)) {
        QString error;
        window->p = platform::Picture::Open(parser.value(picture), &error);
        if (!window->p) {
            qCritical("Cannot open %s: %s", qPrintable(parser.value(picture)), qPrintable(error));
            return 1;
        }
        window->RedrawImage();
    }
    if (parser.isSet(title))
        window->ImageName->setText(parser.value(title));
    if (parser.isSet(status))
        window->StatsText->setText(parser.value(status));
    if (parser.isSet(at)) {
        const QStringList xy = parser.value(at).split(u',');
        window->move(xy.value(0).toInt(), xy.value(1).toInt());
        settle();
    }
    if (parser.isSet(index))
        window->AppleShowAPODIndex_Action();
    if (parser.isSet(details))
        window->AppleShowDetailsDrawer_Action();
    if (parser.isSet(dialog)) {
        const QString name = parser.value(dialog);
        const bool answered = name == QLatin1String("no-update") || name == QLatin1String("update-needed");
        if (answered || name == QLatin1String("update-check")) {
            // The check as the menu starts it; its request is never made, its answer handed in here.
            UpdateCheckWindow* check = UpdateCheckWindow::instance();
            check->Timer1->SetMode(0);
            check->Show();
            if (answered)
                check->TCPSocket1_PageReceived(UpdateCheckWindow::versionFileURL(), 200, {},
                                               name == QLatin1String("no-update") ? "1.2.0\n" : "1.3.0\n");
        } else if (name == QLatin1String("about") || name == QLatin1String("about-expanded")) {
            AboutBox* box = AboutBox::instance();
            if (name == QLatin1String("about-expanded"))
                box->Canvas1_MouseEnter();
        }
        settle();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    settle();

    if (parser.isSet(menu)) {
        QMenuBar* bar = window->menuBar();
        const QString wanted = parser.value(menu);
        for (QAction* action : bar->actions()) {
            if (action->text().remove(u'&') == wanted && action->menu()) {
                bar->setActiveAction(action);
                break;
            }
        }
        settle();
    }
    if (parser.isSet(warning)) {
        window->activateWindow();
        SystemEventAlert::instance();
        settle();
    }

    if (parser.isSet(preferences)) {
        window->hide();
        Globals::PanelValue = parser.value(preferences).toInt();
        Preferences::instance()->Show();
        settle();
    }
    if (parser.isSet(personalize)) {
        window->ApplePersonalizethisCopy_Action();
        settle();
    }

    const QString out = parser.positionalArguments().constFirst();
    if (!composeScreen().save(out)) {
        qCritical("Cannot write %s", qPrintable(out));
        return 1;
    }
    return 0;
}
