#include "platform/menubar.h"
#include "platform/menuitem.h"
#include "platform/window.h"
#include "support/testenv.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

#include <memory>

using namespace Starwick;
using platform::MenuItem;

namespace {

QStringList g_log;

/// An item that records its events and answers Action as told.
class RecordingItem : public MenuItem
{
public:
    explicit RecordingItem(bool handles = false)
        : m_handles(handles)
    {}
    void EnableMenu() override { g_log << QStringLiteral("EnableMenu ") + Name(); }
    bool Action() override
    {
        g_log << QStringLiteral("Action ") + Name();
        return m_handles;
    }

private:
    bool m_handles;
};

/// A stand-in for the main window: holds the menu bar and records its EnableMenuItems.
class FrontWindow : public platform::Window
{
public:
    FrontWindow() { setContentSize(300, 200); }
    void EnableMenuItems() override
    {
        g_log << QStringLiteral("window EnableMenuItems");
        if (onEnableMenuItems)
            onEnableMenuItems();
    }
    std::function<void()> onEnableMenuItems;
};

template <class T = MenuItem> T* item(const char* name, const QString& text, const QString& key = QString())
{
    T* i = new T();
    i->SetName(QLatin1String(name));
    i->SetText(text);
    if (!key.isEmpty())
        i->SetCommandKey(key);
    return i;
}

/// File (Save, Open ▸ Recent ▸ Deep), Window (Zoom, About as an application item).
std::unique_ptr<platform::MenuBar> makeBar()
{
    auto bar = std::make_unique<platform::MenuBar>();
    bar->setApplicationMenuTitle(QStringLiteral("Starwick"));
    MenuItem* file = item("FileMenu", QStringLiteral("&File"));
    bar->Append(file);
    file->Append(item<RecordingItem>("FileSave", QStringLiteral("Save"), QStringLiteral("Cmd+S")));
    MenuItem* open = item("FileOpen", QStringLiteral("Open"));
    file->Append(open);
    MenuItem* recent = item("FileRecent", QStringLiteral("Recent"));
    open->Append(recent);
    recent->Append(item("FileDeep", QStringLiteral("Deep")));
    file->Append(item<platform::QuitMenuItem>("FileQuit", QStringLiteral("Quit"), QStringLiteral("Cmd+Q")));
    MenuItem* window = item("WindowMenu", QStringLiteral("Window"));
    bar->Append(window);
    window->Append(item("WindowZoom", QStringLiteral("Zoom")));
    window->Append(item<platform::AppleMenuItem>("AppleAbout", QStringLiteral("About...")));
    window->Append(item<platform::AppleMenuItem>("AppleSep", QStringLiteral("-")));
    window->Append(item<platform::AppleMenuItem>("AppleIndex", QStringLiteral("Index"), QStringLiteral("Cmd+I")));
    file->Append(item<platform::PrefsMenuItem>("FilePrefs", QStringLiteral("Preferences..."), QStringLiteral("Cmd+,")));
    return bar;
}

QStringList texts(const QList<QAction*>& actions)
{
    QStringList result;
    for (const QAction* action : actions)
        result << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}

} // namespace

class TestMenu : public QObject
{
    Q_OBJECT

private slots:
    void init() { g_log.clear(); }

    void lookupAtAnyDepth()
    {
        auto bar = makeBar();
        MenuItem* deep = bar->FindItem(QStringLiteral("FileDeep"));
        QVERIFY(deep);
        QCOMPARE(deep->parentItem()->Name(), QStringLiteral("FileRecent"));
        QCOMPARE(deep->menuBar(), bar.get());
        QCOMPARE(bar->FindItem(QStringLiteral("WindowMenu")), bar->Child(QStringLiteral("WindowMenu")));
        QCOMPARE(bar->FindItem(QStringLiteral("Nothing")), nullptr);
        // Child looks at one level only.
        MenuItem* file = bar->Child(QStringLiteral("FileMenu"));
        QCOMPARE(file->Child(QStringLiteral("FileDeep")), nullptr);
        QCOMPARE(file->Child(QStringLiteral("FileOpen"))->Count(), 1);
        QCOMPARE(file->Item(0)->Name(), QStringLiteral("FileSave"));
        QCOMPARE(file->Item(99), nullptr);
        // Each action carries its item's name.
        QCOMPARE(deep->action()->objectName(), QStringLiteral("FileDeep"));
    }

    void commandKeys_data()
    {
        QTest::addColumn<QString>("commandKey");
        QTest::addColumn<QKeySequence>("expected");
        QTest::newRow("Command letter") << "Cmd+S" << QKeySequence(Qt::CTRL | Qt::Key_S);
        QTest::newRow("Command and Shift") << "Cmd+Shift+K" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K);
        QTest::newRow("Command comma") << "Cmd+," << QKeySequence(Qt::CTRL | Qt::Key_Comma);
        QTest::newRow("bare letter means Command") << "M" << QKeySequence(Qt::CTRL | Qt::Key_M);
        QTest::newRow("bare lower-case letter") << "m" << QKeySequence(Qt::CTRL | Qt::Key_M);
        QTest::newRow("Command plus") << "Cmd++" << QKeySequence(Qt::CTRL | Qt::Key_Plus);
        QTest::newRow("empty") << "" << QKeySequence();
        QTest::newRow("unknown modifier") << "Hyper+S" << QKeySequence();
        QTest::newRow("no key") << "Cmd+" << QKeySequence();
    }
    void commandKeys()
    {
        QFETCH(QString, commandKey);
        QFETCH(QKeySequence, expected);
        MenuItem item;
        item.SetCommandKey(commandKey);
        QCOMPARE(item.CommandKey(), commandKey);
        QCOMPARE(item.shortcut(), expected);
        QCOMPARE(item.action()->shortcut(), expected);
    }

    void captionsMakeSeparatorsAndMnemonics()
    {
        auto bar = makeBar();
        QVERIFY(bar->FindItem(QStringLiteral("AppleSep"))->action()->isSeparator());
        QMenuBar* widget = bar->menuBarWidget();
        QCOMPARE(texts(widget->actions()), (QStringList{"Starwick", "&File", "Window"}));
        MenuItem* file = bar->Child(QStringLiteral("FileMenu"));
        QCOMPARE(file->menu()->title(), QStringLiteral("&File"));
        file->SetText(QStringLiteral("-"));
        QVERIFY(file->isSeparator());
        file->SetText(QStringLiteral("File"));
        QVERIFY(!file->action()->isSeparator());
    }

    void applicationItemsShowInTheApplicationMenu()
    {
        auto bar = makeBar();
        bar->menuBarWidget();
        // Found under the menu they were appended to...
        MenuItem* about = bar->FindItem(QStringLiteral("AppleAbout"));
        QCOMPARE(about->parentItem()->Name(), QStringLiteral("WindowMenu"));
        QCOMPARE(bar->FindItem(QStringLiteral("FileQuit"))->parentItem()->Name(), QStringLiteral("FileMenu"));
        // ...but shown in the application menu, about items first, then Preferences, then Quit.
        QCOMPARE(texts(bar->applicationMenu()->actions()),
                 (QStringList{"About...", "-", "Index", "-", "Preferences...", "-", "Quit"}));
        QCOMPARE(texts(bar->Child(QStringLiteral("WindowMenu"))->menu()->actions()), QStringList{"Zoom"});
        QCOMPARE(texts(bar->Child(QStringLiteral("FileMenu"))->menu()->actions()), (QStringList{"Save", "Open"}));
        // An item removed leaves the menus it showed in.
        bar->Child(QStringLiteral("WindowMenu"))->Remove(about);
        QCOMPARE(bar->FindItem(QStringLiteral("AppleAbout")), nullptr);
        QCOMPARE(texts(bar->applicationMenu()->actions()).first(), QStringLiteral("-"));
    }

    void actionEventComesBeforeHandlers()
    {
        auto bar = makeBar();
        auto owner = std::make_unique<QObject>();
        bar->addHandler(QStringLiteral("FileSave"), nullptr, [] {
            g_log << QStringLiteral("first handler");
            return false;
        });
        bar->addHandler(QStringLiteral("FileSave"), owner.get(), [] {
            g_log << QStringLiteral("owned handler");
            return true;
        });
        bar->addHandler(QStringLiteral("FileSave"), nullptr, [] {
            g_log << QStringLiteral("after a handled one");
            return false;
        });
        MenuItem* save = bar->FindItem(QStringLiteral("FileSave"));
        QVERIFY(platform::MenuBar::dispatch(save));
        QCOMPARE(g_log, (QStringList{"Action FileSave", "first handler", "owned handler"}));

        // A handler goes with its owner.
        g_log.clear();
        owner.reset();
        QVERIFY(!platform::MenuBar::dispatch(save));
        QCOMPARE(g_log, (QStringList{"Action FileSave", "first handler", "after a handled one"}));

        // An item whose Action event handles the command reaches no handler.
        auto handling = std::make_unique<platform::MenuBar>();
        MenuItem* menu = item("Menu", QStringLiteral("Menu"));
        handling->Append(menu);
        auto* handled = new RecordingItem(true);
        handled->SetName(QStringLiteral("Handled"));
        menu->Append(handled);
        handling->addHandler(QStringLiteral("Handled"), nullptr, [] {
            g_log << QStringLiteral("not reached");
            return false;
        });
        g_log.clear();
        handled->action()->trigger();
        QCOMPARE(g_log, QStringList{"Action Handled"});
    }

    void enablingPassRunsBeforeAMenuOpens()
    {
        auto bar = makeBar();
        auto* window = new FrontWindow();
        window->setMenuBar(bar->menuBarWidget());
        window->show();
        MenuItem* save = bar->FindItem(QStringLiteral("FileSave"));
        MenuItem* zoom = bar->FindItem(QStringLiteral("WindowZoom"));
        zoom->SetAutoEnable(false);
        zoom->SetEnabled(true);
        save->SetEnabled(false);
        bar->setEnableMenuItemsHook([] { g_log << QStringLiteral("application EnableMenuItems"); });

        QMenu* fileMenu = bar->Child(QStringLiteral("FileMenu"))->menu();
        fileMenu->popup(QPoint(10, 10));
        QVERIFY(fileMenu->isVisible());
        fileMenu->hide();
        QCOMPARE(g_log, (QStringList{"application EnableMenuItems", "window EnableMenuItems", "EnableMenu FileSave"}));
        QVERIFY(save->Enabled());
        QVERIFY(!zoom->Enabled());
        delete window;
    }

    void shortcutsFollowTheEnablingPass_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("enabled and visible") << true << true << true;
        QTest::newRow("disabled by the pass") << false << true << false;
        QTest::newRow("hidden by the pass") << true << false << false;
    }
    void shortcutsFollowTheEnablingPass()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, visible);
        QFETCH(bool, chosen);
        auto bar = makeBar();
        auto* window = new FrontWindow();
        window->setMenuBar(bar->menuBarWidget());
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        MenuItem* save = bar->FindItem(QStringLiteral("FileSave"));
        // Left in the opposite state, which only a pass before the key can correct.
        save->SetEnabled(!enabled);
        save->SetVisible(!visible);
        window->onEnableMenuItems = [&] {
            save->SetEnabled(enabled);
            save->SetVisible(visible);
        };
        int chosenCount = 0;
        bar->addHandler(QStringLiteral("FileSave"), nullptr, [&] {
            ++chosenCount;
            return false;
        });

        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(chosenCount, chosen ? 1 : 0);
        QCOMPARE(g_log.count(QStringLiteral("window EnableMenuItems")), 1);
        QCOMPARE(g_log.contains(QStringLiteral("Action FileSave")), chosen);

        // A key that matches no item runs no pass.
        g_log.clear();
        QTest::keyClick(window, Qt::Key_J, Qt::ControlModifier);
        QVERIFY(g_log.isEmpty());
        delete window;
    }

    void checkMarkSurvivesChoosing()
    {
        auto bar = makeBar();
        MenuItem* zoom = bar->FindItem(QStringLiteral("WindowZoom"));
        zoom->SetChecked(true);
        QVERIFY(zoom->action()->isChecked());
        zoom->action()->trigger();
        QVERIFY(zoom->Checked());
        QVERIFY(zoom->action()->isChecked());
        zoom->SetChecked(false);
        QVERIFY(!zoom->action()->isCheckable());
    }

    void barWidgetOutlivedByTheBar()
    {
        auto bar = makeBar();
        auto* window = new FrontWindow();
        QMenuBar* first = bar->menuBarWidget();
        window->setMenuBar(first);
        delete window;
        QMenuBar* second = bar->menuBarWidget();
        QVERIFY(second);
        QCOMPARE(texts(second->actions()), (QStringList{"Starwick", "&File", "Window"}));
    }
};

STARWICK_TEST_MAIN(TestMenu)
#include "tst_menu.moc"
