#include "platform/window.h"
#include "shell/menubar1.h"
#include "shell/notifyingmenuitem.h"
#include "shell/windowmenuitem.h"
#include "support/testenv.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <memory>

using namespace Starwick;
using platform::MenuItem;

namespace {

struct Row
{
    const char* name;
    const char* parent; ///< nullptr for a menu of the bar
    const char* className;
    const char* caption;
    const char* commandKey;
    bool autoEnable;
};

// The bar as built, in order.
const Row kRows[] = {
    {"FileMenu", nullptr, "Starwick::platform::MenuItem", "&File", "", true},
    {"FileSave", "FileMenu", "Starwick::platform::MenuItem", "Save", "Cmd+S", true},
    {"FileQuit", "FileMenu", "Starwick::platform::QuitMenuItem", "Quit", "Cmd+Q", true},
    {"FileConnect", "FileMenu", "Starwick::platform::MenuItem", "Connect...", "Cmd+Shift+K", false},
    {"FilePreferences", "FileMenu", "Starwick::platform::PrefsMenuItem", "Preferences...", "Cmd+,", true},
    {"LinksMenu", nullptr, "Starwick::platform::MenuItem", "Links", "", true},
    {"LinksStarwickHome", "LinksMenu", "Starwick::platform::MenuItem", "Starwick Home...", "", true},
    {"LinksEmailVessik", "LinksMenu", "Starwick::platform::MenuItem", "Email Vessik...", "", true},
    {"LinksSupportStarwick", "LinksMenu", "Starwick::platform::MenuItem", "Support Starwick", "", true},
    {"MakeaDonationDonateviaPayPal", "LinksSupportStarwick", "Starwick::platform::MenuItem", "Donate via PayPal", "",
     true},
    {"MakeaDonationDonateviaKagi", "LinksSupportStarwick", "Starwick::platform::MenuItem", "Donate via Kagi", "", true},
    {"UntitledMenu0", "LinksMenu", "Starwick::platform::MenuItem", "-", "", true},
    {"LinksNASAs", "LinksMenu", "Starwick::platform::MenuItem", "NASA's Main APOD Page...", "", true},
    {"WindowMenu", nullptr, "Starwick::WindowMenuItem", "Window", "", true},
    {"WindowZoomWindow", "WindowMenu", "Starwick::NotifyingMenuItem", "Zoom Window", "", false},
    {"WindowMinimizeWindow", "WindowMenu", "Starwick::NotifyingMenuItem", "Minimize Window", "M", false},
    {"WindowSeparator1", "WindowMenu", "Starwick::NotifyingMenuItem", "-", "", false},
    {"WindowBringAllToFront", "WindowMenu", "Starwick::NotifyingMenuItem", "Bring All To Front", "", false},
    {"AppleAboutStarwick", "WindowMenu", "Starwick::platform::AppleMenuItem", "About Starwick...", "", true},
    {"ApplePersonalizethisCopy", "WindowMenu", "Starwick::platform::AppleMenuItem", "Personalize this Copy...", "",
     true},
    {"UntitledMenu3", "WindowMenu", "Starwick::platform::AppleMenuItem", "-", "", true},
    {"AppleClearImageCache", "WindowMenu", "Starwick::platform::AppleMenuItem", "Clear Image Cache", "Cmd+K", true},
    {"AppleShowDetailsDrawer", "WindowMenu", "Starwick::platform::AppleMenuItem", "Show Details Drawer", "Cmd+D", true},
    {"AppleShowAPODIndex", "WindowMenu", "Starwick::platform::AppleMenuItem", "Show APOD Index", "Cmd+I", true},
    {"UntitledMenu2", "WindowMenu", "Starwick::platform::AppleMenuItem", "-", "", true},
    {"AppleCheckforUpdates", "WindowMenu", "Starwick::platform::AppleMenuItem", "Check for Updates...", "", true},
};

QStringList texts(const QList<QAction*>& actions)
{
    QStringList result;
    for (const QAction* action : actions)
        result << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}

QStringList childNames(const MenuItem* item)
{
    QStringList names;
    for (int i = 0; i < item->Count(); ++i)
        names << item->Item(i)->Name();
    return names;
}

class StandIn : public platform::Window
{
public:
    StandIn()
    {
        setContentSize(400, 300);
        SetTitle(QStringLiteral("Starwick"));
    }
};

} // namespace

class TestMenuBar1 : public QObject
{
    Q_OBJECT

private slots:
    void itemsAreBuiltInOrder()
    {
        MenuBar1 bar;
        QStringList menus;
        for (int i = 0; i < bar.Count(); ++i)
            menus << bar.Item(i)->Name();
        QCOMPARE(menus, (QStringList{"FileMenu", "LinksMenu", "WindowMenu"}));
        for (const char* parent : {"FileMenu", "LinksMenu", "LinksSupportStarwick", "WindowMenu"}) {
            QStringList expected;
            for (const Row& row : kRows) {
                if (row.parent && qstrcmp(row.parent, parent) == 0)
                    expected << QLatin1String(row.name);
            }
            QCOMPARE(childNames(bar.FindItem(QLatin1String(parent))), expected);
        }
    }

    void items_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("commandKey");
        QTest::addColumn<bool>("autoEnable");
        for (const Row& row : kRows) {
            QTest::newRow(row.name) << row.name << (row.parent ? row.parent : "") << row.className << row.caption
                                    << row.commandKey << row.autoEnable;
        }
    }
    void items()
    {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QString, className);
        QFETCH(QString, caption);
        QFETCH(QString, commandKey);
        QFETCH(bool, autoEnable);
        MenuBar1 bar;
        MenuItem* item = bar.FindItem(name);
        QVERIFY(item);
        QCOMPARE(item->parentItem() ? item->parentItem()->Name() : QString(), parent);
        QCOMPARE(QLatin1String(item->metaObject()->className()), className);
        QCOMPARE(item->Text(), caption);
        QCOMPARE(item->CommandKey(), commandKey);
        QCOMPARE(item->AutoEnable(), autoEnable);
        QVERIFY(item->Visible());
        if (caption == QLatin1String("-")) {
            QVERIFY(commandKey.isEmpty());
            QVERIFY(item->action()->isSeparator());
            QVERIFY(item->action()->shortcut().isEmpty());
        }
    }

    void shortcutsUseControl_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::newRow("Save") << "FileSave" << QKeySequence(Qt::CTRL | Qt::Key_S);
        QTest::newRow("Quit") << "FileQuit" << QKeySequence(Qt::CTRL | Qt::Key_Q);
        QTest::newRow("Connect") << "FileConnect" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K);
        QTest::newRow("Preferences") << "FilePreferences" << QKeySequence(Qt::CTRL | Qt::Key_Comma);
        QTest::newRow("Minimize Window") << "WindowMinimizeWindow" << QKeySequence(Qt::CTRL | Qt::Key_M);
        QTest::newRow("Clear Image Cache") << "AppleClearImageCache" << QKeySequence(Qt::CTRL | Qt::Key_K);
        QTest::newRow("Show Details Drawer") << "AppleShowDetailsDrawer" << QKeySequence(Qt::CTRL | Qt::Key_D);
        QTest::newRow("Show APOD Index") << "AppleShowAPODIndex" << QKeySequence(Qt::CTRL | Qt::Key_I);
        QTest::newRow("Support submenu") << "LinksSupportStarwick" << QKeySequence();
    }
    void shortcutsUseControl()
    {
        QFETCH(QString, name);
        QFETCH(QKeySequence, shortcut);
        MenuBar1 bar;
        QCOMPARE(bar.FindItem(name)->action()->shortcut(), shortcut);
    }

    void menusShowAsALinuxUserExpects()
    {
        MenuBar1 bar;
        auto window = std::make_unique<StandIn>();
        bar.windowMenu()->AddWindowToMenu(window.get());
        QMenuBar* widget = bar.menuBarWidget();
        QCOMPARE(texts(widget->actions()), (QStringList{"Starwick", "&File", "Links", "Window"}));
        QCOMPARE(texts(bar.applicationMenu()->actions()),
                 (QStringList{"About Starwick...", "Personalize this Copy...", "-", "Clear Image Cache",
                              "Show Details Drawer", "Show APOD Index", "-", "Check for Updates...", "-",
                              "Preferences...", "-", "Quit"}));
        QCOMPARE(texts(bar.Child(QStringLiteral("FileMenu"))->menu()->actions()), (QStringList{"Save", "Connect..."}));
        QCOMPARE(
            texts(bar.Child(QStringLiteral("LinksMenu"))->menu()->actions()),
            (QStringList{"Starwick Home...", "Email Vessik...", "Support Starwick", "-", "NASA's Main APOD Page..."}));
        QCOMPARE(texts(bar.FindItem(QStringLiteral("LinksSupportStarwick"))->menu()->actions()),
                 (QStringList{"Donate via PayPal", "Donate via Kagi"}));
        QCOMPARE(texts(bar.windowMenu()->menu()->actions()),
                 (QStringList{"Zoom Window", "Minimize Window", "-", "Bring All To Front", "Starwick"}));
    }

    void accessorsFindTheItemsOfTheApplicationsBar()
    {
        MenuBar1* bar = MenuBar1::instance();
        QCOMPARE(MenuBar1::instance(), bar);
        QCOMPARE(AppleShowAPODIndex(), bar->FindItem(QStringLiteral("AppleShowAPODIndex")));
        QCOMPARE(AppleShowDetailsDrawer(), bar->FindItem(QStringLiteral("AppleShowDetailsDrawer")));
        QCOMPARE(ApplePersonalizethisCopy(), bar->FindItem(QStringLiteral("ApplePersonalizethisCopy")));
        QCOMPARE(LinksSupportStarwick(), bar->FindItem(QStringLiteral("LinksSupportStarwick")));
        QCOMPARE(FileSave(), bar->FindItem(QStringLiteral("FileSave")));
        QVERIFY(FileConnect());
        QCOMPARE(FileConnect()->parentItem()->Name(), QStringLiteral("FileMenu"));
        QCOMPARE(bar->applicationMenuTitle(), QStringLiteral("Starwick"));
        QVERIFY(bar->windowMenu());
    }
};

STARWICK_TEST_MAIN(TestMenuBar1)
#include "tst_menubar1.moc"
