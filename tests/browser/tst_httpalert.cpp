#include "browser/httpalert.h"
#include "browser/httperrormessages.h"
#include "platform/canvas.h"
#include "platform/system.h"
#include "shell/globals.h"
#include "shell/resources.h"
#include "support/testenv.h"

#include <QLabel>
#include <QPushButton>

using namespace Starwick;

namespace {

const QString kDenied = QStringLiteral("Your request was denied as you don't have permission to access the data, or "
                                       "the server was unable to serve the data that was requested.");
const QString kOther = QStringLiteral("Check your internet settings and try again.");

// What every error handler does with the alert: the accessor once for each text.
void report(int code)
{
    HTTPAlert::instance()->HeadingText->setText(HTTPErrorHeading(code));
    HTTPAlert::instance()->MessageText->setText(HTTPErrorMessages(code));
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestHTTPAlert : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        if (HTTPAlert* alert = platform::ExistingInstance<HTTPAlert>())
            alert->close();
        settle();
        Globals::ResetForTesting();
    }

    void messages_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("103 unresolved address")
            << 103
            << QStringLiteral("The address specified in your proxy settings could not be resolved. Check your settings "
                              "and try again.");
        QTest::newRow("401") << 401 << kDenied;
        QTest::newRow("402") << 402
                             << QStringLiteral("The data is not accessible at the time because the owner of the space "
                                               "has not yet payed their service provider.");
        QTest::newRow("403 as 401") << 403 << kDenied;
        QTest::newRow("404") << 404
                             << QStringLiteral("The document that you're requesting no longer exists on this server, "
                                               "or is just temporarily unavailable. Please try again later.");
        QTest::newRow("407") << 407
                             << QStringLiteral("The browser has not been authenticated on the required proxy server. "
                                               "This error is most commonly returned by content filters/parental "
                                               "controls.");
        QTest::newRow("408") << 408
                             << QStringLiteral("The server has timed-out due to communications between the client and "
                                               "server taking too long. Please try again later.");
        QTest::newRow("409") << 409
                             << QStringLiteral("Too many requests for the same file at one time, or this could be "
                                               "caused by a DNS issue.");
        QTest::newRow("400") << 400 << kOther;
        QTest::newRow("405") << 405 << kOther;
        QTest::newRow("410") << 410 << kOther;
        QTest::newRow("0") << 0 << kOther;
        QTest::newRow("1 download file not prepared") << 1 << kOther;
        QTest::newRow("negative") << -2 << kOther;
    }

    void messages()
    {
        QFETCH(int, code);
        QFETCH(QString, message);
        QCOMPARE(HTTPErrorMessages(code), message);
        for (const QChar c : message)
            QVERIFY(c.unicode() >= 0x20 && c.unicode() < 0x7f);
    }

    void heading_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("heading");
        QTest::newRow("103") << 103 << QStringLiteral("The web server returned error 103!");
        QTest::newRow("400") << 400 << QStringLiteral("The web server returned error 400!");
        QTest::newRow("0") << 0 << QStringLiteral("The web server returned error 0!");
        QTest::newRow("1") << 1 << QStringLiteral("The web server returned error 1!");
        QTest::newRow("negative keeps its sign") << -10 << QStringLiteral("The web server returned error -10!");
        QTest::newRow("large, no grouping") << 123456 << QStringLiteral("The web server returned error 123456!");
    }

    void heading()
    {
        QFETCH(int, code);
        QFETCH(QString, heading);
        QCOMPARE(HTTPErrorHeading(code), heading);
    }

    void layout()
    {
        HTTPAlert* alert = HTTPAlert::instance();
        QVERIFY(alert->isVisible());
        QCOMPARE(alert->Title(), QString());
        QCOMPARE(alert->Width(), 402);
        QCOMPARE(alert->Height(), 147);
        QCOMPARE(alert->minimumSize(), alert->maximumSize());
        QCOMPARE(alert->windowModality(), Qt::ApplicationModal);
        QVERIFY(alert->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!alert->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!alert->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(alert->PushButton1->text(), QStringLiteral("OK"));
        QCOMPARE(alert->PushButton1->geometry(), QRect(310, 107, 72, 20));
        QVERIFY(alert->PushButton1->isDefault());
        QCOMPARE(alert->HeadingText->geometry(), QRect(96, 20, 286, 21));
        QVERIFY(alert->HeadingText->font().bold());
        QCOMPARE(alert->MessageText->geometry(), QRect(96, 44, 286, 51));
        QVERIFY(alert->MessageText->wordWrap());
        QVERIFY(!alert->MessageText->font().bold());
        QVERIFY(alert->MessageText->font().pointSizeF() < alert->HeadingText->font().pointSizeF());
        QCOMPARE(alert->Canvas1->geometry(), QRect(20, 20, 64, 64));
        QCOMPARE(alert->Canvas1->focusPolicy(), Qt::NoFocus);
        QVERIFY(!alert->grab().isNull()); // paints, with or without the icon picture

        // Every text fits its field, wrapped.
        for (int code : {103, 401, 402, 404, 407, 408, 409, 0}) {
            alert->MessageText->setText(HTTPErrorMessages(code));
            QVERIFY2(alert->MessageText->heightForWidth(286) <= 51, qPrintable(QString::number(code)));
        }
        alert->HeadingText->setText(HTTPErrorHeading(-99999));
        QVERIFY(alert->HeadingText->heightForWidth(286) <= 21);
    }

    void placedOverTheActiveWindow()
    {
        platform::Window parent;
        parent.setContentSize(600, 500);
        parent.move(150, 100);
        parent.show();
        parent.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&parent));
        HTTPAlert* alert = HTTPAlert::instance();
        QVERIFY(qAbs(alert->frameGeometry().center().x() - parent.frameGeometry().center().x()) <= 1);
        QVERIFY(qAbs(alert->frameGeometry().center().y() - parent.frameGeometry().center().y()) <= 1);
    }

    void reusedWhileOpenWithOneBeep()
    {
        Globals::UseSounds = false; // the beep sounds whatever the setting
        const int beeps = platform::BeepCount();
        report(103);
        HTTPAlert* alert = platform::ExistingInstance<HTTPAlert>();
        QVERIFY(alert && alert->isVisible());
        QCOMPARE(platform::BeepCount(), beeps + 1);
        QCOMPARE(alert->HeadingText->text(), QStringLiteral("The web server returned error 103!"));

        // A second error while it is open: the same window, the later texts, no second beep.
        report(404);
        QCOMPARE(HTTPAlert::instance(), alert);
        QCOMPARE(platform::BeepCount(), beeps + 1);
        QCOMPARE(alert->HeadingText->text(), QStringLiteral("The web server returned error 404!"));
        QCOMPARE(alert->MessageText->text(), HTTPErrorMessages(404));
    }

    void closedByOkOrReturnThenMadeAnew_data()
    {
        QTest::addColumn<bool>("byReturn");
        QTest::newRow("OK clicked") << false;
        QTest::newRow("Return pressed") << true;
    }

    void closedByOkOrReturnThenMadeAnew()
    {
        QFETCH(bool, byReturn);
        report(408);
        QPointer<HTTPAlert> first = platform::ExistingInstance<HTTPAlert>();
        QVERIFY(first);
        if (byReturn)
            QTest::keyClick(first->PushButton1, Qt::Key_Return);
        else
            QTest::mouseClick(first->PushButton1, Qt::LeftButton);
        QTRY_VERIFY(!first || first->isClosed());
        QCOMPARE(platform::ExistingInstance<HTTPAlert>(), nullptr);
        settle();
        QVERIFY(!first);

        const int beeps = platform::BeepCount();
        report(-1);
        HTTPAlert* second = platform::ExistingInstance<HTTPAlert>();
        QVERIFY(second && second->isVisible());
        QCOMPARE(platform::BeepCount(), beeps + 1);
        QCOMPARE(second->HeadingText->text(), QStringLiteral("The web server returned error -1!"));
        QCOMPARE(second->MessageText->text(), kOther);
    }

    void iconDrawnWithItsMask()
    {
        if (!IconImage() || !IconMask())
            QSKIP("the application icon is not among the resources of this build");
        HTTPAlert::instance();
        QVERIFY(IconImage()->hasMask());
    }
};

STARWICK_TEST_MAIN(TestHTTPAlert)
#include "tst_httpalert.moc"
