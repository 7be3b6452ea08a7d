// The main window's menu items: the bindings of its nine handlers, the items it keeps up to date,
// and the handlers of the owner-name sheet, Preferences and the two donation pages.
#include "browser/daylistbox.h"
#include "browser/indexwindow.h"
#include "browser/mainwindow.h"
#include "dialogs/personalizewindow.h"
#include "dialogs/preferences.h"
#include "platform/menuitem.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/menubar1.h"
#include "shell/servers.h"

#include <QUrl>

namespace Starwick {

void MainWindow::AddMenuHandlers()
{
    MenuBar1::instance()->addHandlers<MainWindow>(
        this, {
                  {"ApplePersonalizethisCopy", &MainWindow::ApplePersonalizethisCopy_Action},
                  {"AppleClearImageCache", &MainWindow::AppleClearImageCache_Action},
                  {"AppleShowDetailsDrawer", &MainWindow::AppleShowDetailsDrawer_Action},
                  {"MakeaDonationDonateviaKagi", &MainWindow::MakeaDonationDonateviaKagi_Action},
                  {"MakeaDonationDonateviaPayPal", &MainWindow::MakeaDonationDonateviaPayPal_Action},
                  {"FileQuit", &MainWindow::FileQuit_Action},
                  {"FileConnect", &MainWindow::FileConnect_Action},
                  {"FilePreferences", &MainWindow::FilePreferences_Action},
                  {"AppleShowAPODIndex", &MainWindow::AppleShowAPODIndex_Action},
              });
}

void MainWindow::EnableMenuItems()
{
    platform::AppleMenuItem* personalize = ApplePersonalizethisCopy();
    personalize->SetVisible(!Globals::Registered);
    personalize->SetEnabled(!Globals::Registered);
    LinksSupportStarwick()->SetEnabled(true);
    if (IndexWindow::instance()->ListBox1->ListCount() == 0)
        AppleShowDetailsDrawer()->SetEnabled(false);
}

bool MainWindow::ApplePersonalizethisCopy_Action()
{
    PersonalizeWindow::instance()->Show();
    return false;
}

bool MainWindow::FilePreferences_Action()
{
    Preferences::instance()->Show();
    return false;
}

bool MainWindow::MakeaDonationDonateviaKagi_Action()
{
    platform::OpenURL(QUrl(QStringLiteral("http://") + KagiOrderHost() + QStringLiteral("/?") + KagiProductCode()));
    return false;
}

bool MainWindow::MakeaDonationDonateviaPayPal_Action()
{
    // The query stands as the payment page takes it: no "?" before "business", and the
    // instructions' opening parenthesis without its closing one.
    const QByteArray address = "https://" + PayPalHost().toUtf8() +
                               "/xclick/business=" + QUrl::toPercentEncoding(PayPalRecipient()) +
                               "&undefined_quantity=1&item_name=Starwick+Donation&amount=$5.00&no_note=1"
                               "&cn=Special+Instructions+%28optional&currency_code=USD";
    platform::OpenURL(QUrl::fromEncoded(address));
    return false;
}

} // namespace Starwick
