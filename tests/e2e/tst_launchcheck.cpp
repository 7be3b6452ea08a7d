// The update check of the real program at launch, through a proxy that is the fixture server on
// this machine answering for the maker's server.
#include "support/fixtureserver.h"
#include "support/programrun.h"
#include "support/testenv.h"

using namespace Starwick;
using Test::FixtureServer;
using Test::ProgramRun;

class TestLaunchCheck : public QObject
{
    Q_OBJECT

private slots:
    void versionFileAskedOnceOnlyWithDoCheck_data()
    {
        QTest::addColumn<QString>("line2");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("asked");
        QTest::newRow("Do Check, same version with a line end") << "Do Check" << 200 << QByteArray("1.2.0\n") << 1;
        QTest::newRow("Do Check, newer version") << "Do Check" << 200 << QByteArray("1.2.1") << 1;
        QTest::newRow("Do Check, 404") << "Do Check" << 404 << QByteArray("<html>Not Found</html>") << 1;
        QTest::newRow("Do Not Check") << "Do Not Check" << 200 << QByteArray("1.2.1") << 0;
    }
    void versionFileAskedOnceOnlyWithDoCheck()
    {
        QFETCH(QString, line2);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(int, asked);
        FixtureServer server;
        QVERIFY(server.start());
        server.route(QStringLiteral("/versions/Starwick.txt"), FixtureServer::Response::page(body, status));
        int versionRequests = 0;
        int otherRequests = 0;
        connect(&server, &FixtureServer::requestReceived, this, [&](const FixtureServer::Request& request) {
            if (request.target.endsWith("/versions/Starwick.txt"))
                ++versionRequests;
            else
                ++otherRequests;
            QVERIFY2(request.proxied(), request.target.constData());
        });

        ProgramRun starwick({"Not Personalized", line2, "Do Not Delete Cache", "Do Not Use Sounds", "Hide Warning",
                             "127.0.0.1", QString::number(server.port()), "", "", "Do Use Proxy Server", "8BIM"});
        QString error;
        QVERIFY2(starwick.start(&error), qPrintable(error));
        // The program is up once it asks for the archive page; the check follows two seconds later.
        QTRY_VERIFY_WITH_TIMEOUT(otherRequests > 0, 30000);
        if (asked > 0)
            QTRY_VERIFY_WITH_TIMEOUT(versionRequests > 0, 30000);
        QTest::qWait(3000); // time for a check that should not come, or a second one
        QCOMPARE(versionRequests, asked);
    }
};

STARWICK_TEST_MAIN(TestLaunchCheck)
#include "tst_launchcheck.moc"
