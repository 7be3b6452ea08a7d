#include "dialogs/aboutbox.h"
#include "platform/canvas.h"
#include "platform/system.h"
#include "platform/windowmanager.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/resources.h"
#include "shell/servers.h"
#include "support/testenv.h"

#include <QEnterEvent>
#include <QLabel>
#include <QPointer>
#include <QTimer>

using namespace Starwick;

namespace {

void pointerEnters(QWidget* widget)
{
    QEnterEvent event(QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), widget->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(widget, &event);
}

int tinkPlays()
{
    const platform::SoundRef tink = Tink();
    return tink ? tink->playCount() : 0;
}

QSize contentSize(const AboutBox* box)
{
    return QSize(box->Width(), box->Height());
}

} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT

    QList<QUrl> m_opened;

private slots:
    void initTestCase()
    {
        platform::setUrlOpenerForTesting([this](const QUrl& url) { m_opened.append(url); });
    }

    void cleanup()
    {
        if (AboutBox* box = platform::ExistingInstance<AboutBox>())
            box->close();
        Test::releaseClosedWindows();
        Globals::ResetForTesting();
        m_opened.clear();
    }

    void texts()
    {
        AboutBox* box = AboutBox::instance();
        QVERIFY(box->isVisible());
        QCOMPARE(box->Title(), QString());
        QCOMPARE(contentSize(box), QSize(321, 268));
        QCOMPARE(box->minimumSize(), box->maximumSize()); // not resizable by the user
        QVERIFY(box->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!box->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!box->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(box->StaticText2->text(), QStringLiteral("Starwick"));
        QVERIFY(box->StaticText2->font().bold());
        QCOMPARE(box->StaticText1->text(), QStringLiteral("Version 1.2.0"));
        QCOMPARE(box->StaticText5->text(), QStringLiteral("This copy of Starwick is used by:"));
        for (const QLabel* label :
             {box->StaticText1, box->StaticText2, box->StaticText3, box->RegisteredTo, box->Copyright}) {
            QVERIFY(label->alignment().testFlag(Qt::AlignHCenter));
            QVERIFY2(label->heightForWidth(281) <= label->height() || label->heightForWidth(281) < 0,
                     qPrintable(label->objectName()));
        }
        // The strip lies below the first height.
        QCOMPARE(box->Canvas3->geometry(), QRect(20, 268, 128, 28));
        QCOMPARE(box->Canvas2->geometry(), QRect(173, 268, 128, 26));
    }

    void ownerLine_data()
    {
        QTest::addColumn<QString>("userName");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no name") << ""
                                 << "Not Personalized";
        QTest::newRow("stored as not personalized") << "Not Personalized"
                                                    << "Not Personalized";
        QTest::newRow("a name") << "Ann Example"
                                << "Ann Example";
        QTest::newRow("markup stays text") << "<b>Ann</b> & <i>Bo</i>"
                                           << "<b>Ann</b> & <i>Bo</i>";
    }
    void ownerLine()
    {
        QFETCH(QString, userName);
        QFETCH(QString, shown);
        Globals::UserName = userName;
        AboutBox* box = AboutBox::instance();
        QCOMPARE(box->RegisteredTo->text(), shown);
        QCOMPARE(box->RegisteredTo->textFormat(), Qt::PlainText);
        // Read once, when the box opens.
        Globals::UserName = QStringLiteral("Later");
        QCOMPARE(AboutBox::instance()->RegisteredTo->text(), shown);
    }

    void stripGrowsAndALinkShrinksIt_data()
    {
        QTest::addColumn<bool>("logo");
        QTest::addColumn<QUrl>("page");
        QTest::addColumn<int>("tinks");
        QTest::newRow("the maker's logo, with Tink")
            << true << QUrl(QStringLiteral("http://") + MakerServer() + "/") << 1;
        QTest::newRow("the tool's badge, silent") << false << QUrl(AboutBox::toolPageURL()) << 0;
    }
    void stripGrowsAndALinkShrinksIt()
    {
        QFETCH(bool, logo);
        QFETCH(QUrl, page);
        QFETCH(int, tinks);
        Globals::UseSounds = false; // the logo sounds all the same
        AboutBox* box = AboutBox::instance();
        const QPoint corner(box->Left(), box->Top());

        pointerEnters(box->Canvas1);
        QCOMPARE(contentSize(box), QSize(321, 304));
        QCOMPARE(QPoint(box->Left(), box->Top()), corner);
        QCOMPARE(box->minimumSize(), box->maximumSize());
        pointerEnters(box->Canvas1); // again: no change
        QCOMPARE(contentSize(box), QSize(321, 304));

        platform::Canvas* link = logo ? box->Canvas3 : box->Canvas2;
        pointerEnters(link);
        QCOMPARE(link->cursor().shape(), LinkCursor().shape());
        const int before = tinkPlays();
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(contentSize(box), QSize(321, 268));
        QCOMPARE(QPoint(box->Left(), box->Top()), corner);
        QCOMPARE(box->minimumSize(), box->maximumSize());
        QCOMPARE(m_opened, QList<QUrl>{page});
        if (Tink())
            QCOMPARE(tinkPlays(), before + tinks);
    }

    // The close box clicked while the box still shrinks after a click on a link: the click is
    // handled to its end and the page opens; the box goes only afterwards.
    void closedWhileALinkShrinksIt()
    {
        const QPointer<AboutBox> box = AboutBox::instance();
        pointerEnters(box->Canvas1);
        QCOMPARE(contentSize(box), QSize(321, 304));

        platform::setWindowTransitionsAnimatedForTesting(true);
        QTimer::singleShot(0, box, [box] { box->close(); });
        QTest::mouseClick(box->Canvas3, Qt::LeftButton, {}, QPoint(10, 10));
        platform::setWindowTransitionsAnimatedForTesting(std::nullopt);

        QVERIFY(box);
        QVERIFY(box->isClosed());
        QCOMPARE(m_opened, QList<QUrl>{QUrl(QStringLiteral("http://") + MakerServer() + "/")});
        Test::releaseClosedWindows();
        QVERIFY(!box);
    }

    void commandW_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Command-W") << int(Qt::ControlModifier) << int(Qt::Key_W) << true;
        QTest::newRow("w alone") << int(Qt::NoModifier) << int(Qt::Key_W) << false;
        QTest::newRow("Command-Q") << int(Qt::ControlModifier) << int(Qt::Key_Q) << false;
    }
    void commandW()
    {
        QFETCH(int, modifiers);
        QFETCH(int, key);
        QFETCH(bool, closes);
        AboutBox* box = AboutBox::instance();
        QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(box->isClosed(), closes);
    }

    void menuBringsTheOpenBoxForwardUnchanged()
    {
        App app;
        app.AppleAboutStarwick_Action();
        QPointer<AboutBox> box = platform::ExistingInstance<AboutBox>();
        QVERIFY(box && box->isVisible());
        pointerEnters(box->Canvas1);
        app.AppleAboutStarwick_Action();
        QCOMPARE(platform::ExistingInstance<AboutBox>(), box.data());
        QCOMPARE(contentSize(box), QSize(321, 304));

        // Closed, it is gone; the next one opens collapsed.
        box->close();
        Test::releaseClosedWindows();
        QVERIFY(!box);
        app.AppleAboutStarwick_Action();
        QCOMPARE(contentSize(platform::ExistingInstance<AboutBox>()), QSize(321, 268));
    }
};

STARWICK_TEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
