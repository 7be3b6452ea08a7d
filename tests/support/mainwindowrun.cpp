#include "support/mainwindowrun.h"

#include "browser/daylistbox.h"
#include "browser/httpalert.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/settings.h"
#include "support/testenv.h"

#include <QDir>
#include <QUrl>

namespace Starwick::Test {

void prepareMainWindowTests()
{
    platform::setQuitHandlerForTesting([](int) {});
    platform::setUrlOpenerForTesting([](const QUrl&) {});
}

void resetMainWindowRun()
{
    clearHome();
    Globals::ResetForTesting();
    closeMainWindowRun();
    IndexWindow::instance()->ListBox1->DeleteAllRows();
    QDir().mkpath(CacheFolder().path());
}

void closeMainWindowRun()
{
    if (MainWindow* window = MainWindow::existing())
        window->close();
    if (HTTPAlert* alert = platform::ExistingInstance<HTTPAlert>())
        alert->close();
}

} // namespace Starwick::Test
