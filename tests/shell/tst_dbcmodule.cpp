#include "platform/windowmanager.h"
#include "shell/dbcmodule.h"
#include "support/stderrcapture.h"
#include "support/testenv.h"

#include <functional>
#include <stdexcept>

using namespace Starwick;

namespace {

using Thrower = std::function<void()>;

template <class E> Thrower throws()
{
    return [] { throw E(); };
}

/// A kind the table does not list, derived from one it does.
class DerivedNilObject : public platform::NilObjectException
{};

void answerSystemVersion(qint32 version)
{
    platform::setGestaltHandlerForTesting([version](QByteArrayView selector, qint32* response) {
        if (selector != QByteArrayView("sysv"))
            return int(platform::gestaltUndefSelectorErr);
        *response = version;
        return int(platform::noErr);
    });
}

/// The name of the exception `thrower` raises.
QString nameOf(const Thrower& thrower)
{
    try {
        thrower();
    } catch (const std::exception& e) {
        return DBCModule::ExceptionName(e);
    }
    return QString();
}

} // namespace

Q_DECLARE_METATYPE(Thrower)

class TestDBCModule : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        DBCModule::LogExceptionsToConsole = false;
        platform::setGestaltHandlerForTesting({});
        platform::setDebugStrHandlerForTesting({});
    }

    void checksRaiseTheirOwnKind()
    {
        DBCModule::Require(true);
        DBCModule::Ensure(true);
        QVERIFY_THROWS_EXCEPTION(RequireException, DBCModule::Require(false));
        QVERIFY_THROWS_EXCEPTION(EnsureException, DBCModule::Ensure(false));
        QCOMPARE(nameOf([] { DBCModule::Require(false); }), QStringLiteral("RequireException"));
        QCOMPARE(nameOf([] { DBCModule::Ensure(false); }), QStringLiteral("EnsureException"));
    }

    void exceptionNames_data()
    {
        QTest::addColumn<Thrower>("thrower");
        QTest::addColumn<QString>("name");
        QTest::newRow("illegal cast") << throws<platform::IllegalCastException>() << "IllegalCastException";
        QTest::newRow("nil object") << throws<platform::NilObjectException>() << "NilObjectException";
        QTest::newRow("kind derived from nil object") << throws<DerivedNilObject>() << "NilObjectException";
        QTest::newRow("out of bounds") << throws<platform::OutOfBoundsException>() << "OutOfBoundsException";
        QTest::newRow("stack overflow") << throws<platform::StackOverflowException>() << "StackOverflowException";
        QTest::newRow("type mismatch") << throws<platform::TypeMismatchException>() << "TypeMismatchException";
        QTest::newRow("key not found") << throws<platform::KeyNotFoundException>() << "KeyNotFoundException";
        QTest::newRow("bad search pattern before its base")
            << throws<platform::RegExSearchPatternException>() << "RegExSearchPatternException";
        QTest::newRow("regular expression") << throws<platform::RegExException>() << "RegExException";
        QTest::newRow("require") << throws<RequireException>() << "RequireException";
        QTest::newRow("ensure") << throws<EnsureException>() << "EnsureException";
        QTest::newRow("check") << throws<CheckException>() << "Assertion Exception";
        QTest::newRow("plain runtime exception") << throws<platform::RuntimeException>() << "RuntimeException";
        QTest::newRow("not a framework kind") << Thrower([] { throw std::runtime_error("x"); }) << "RuntimeException";
    }
    void exceptionNames()
    {
        QFETCH(Thrower, thrower);
        QFETCH(QString, name);
        QCOMPARE(nameOf(thrower), name);
    }

    void handOffRaisesTheSameObject_data()
    {
        QTest::addColumn<bool>("logging");
        QTest::addColumn<QByteArray>("console");
        QTest::newRow("logging off writes nothing") << false << QByteArray();
        QTest::newRow("logging on writes two lines")
            << true << QByteArray("Exception type: OutOfBoundsException\nLocation: Somewhere.Method\n");
    }
    void handOffRaisesTheSameObject()
    {
        QFETCH(bool, logging);
        QFETCH(QByteArray, console);
        DBCModule::LogExceptionsToConsole = logging;
        answerSystemVersion(0x1049);
        const platform::RuntimeException* caught = nullptr;
        Test::StderrCapture capture;
        try {
            try {
                throw platform::OutOfBoundsException();
            } catch (...) {
                const std::exception_ptr held = std::current_exception();
                try {
                    std::rethrow_exception(held);
                } catch (const platform::RuntimeException& e) {
                    caught = &e;
                }
                DBCModule::LogException(held, QStringLiteral("Somewhere.Method"));
            }
            QFAIL("LogException returned");
        } catch (const platform::OutOfBoundsException& e) {
            QCOMPARE(&e, caught);
        }
        QCOMPARE(capture.text(), console);
    }

    void consoleNeedsTheModernSystem_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<qint32>("version");
        QTest::addColumn<bool>("modern");
        QTest::newRow("0x0FFF") << int(platform::noErr) << qint32(0x0FFF) << false;
        QTest::newRow("0x1000") << int(platform::noErr) << qint32(0x1000) << true;
        QTest::newRow("0x1049") << int(platform::noErr) << qint32(0x1049) << true;
        QTest::newRow("negative as signed") << int(platform::noErr) << qint32(0x80001049) << false;
        QTest::newRow("query fails") << int(platform::gestaltUndefSelectorErr) << qint32(0x1049) << false;
    }
    void consoleNeedsTheModernSystem()
    {
        QFETCH(int, result);
        QFETCH(qint32, version);
        QFETCH(bool, modern);
        platform::setGestaltHandlerForTesting([=](QByteArrayView, qint32* response) {
            *response = version;
            return result;
        });
        QCOMPARE(DBCModule::SystemOSX(), modern);
        Test::StderrCapture capture;
        DBCModule::TellConsole(QStringLiteral("hello"));
        QCOMPARE(capture.text(), modern ? QByteArray("hello\n") : QByteArray());
    }

    void longMessagesAreCutAtACharacter()
    {
        answerSystemVersion(0x1049);
        QByteArray written;
        platform::setDebugStrHandlerForTesting([&](QByteArrayView text) { written = text.toByteArray(); });
        // 254 ASCII bytes, then a two-byte character that would end at byte 256.
        const QString message = QString(254, QLatin1Char('a')) + QChar(0x00E9) + QStringLiteral("tail");
        DBCModule::TellConsole(message);
        QCOMPARE(written, QByteArray(254, 'a'));
        DBCModule::TellConsole(QString(255, QLatin1Char('b')));
        QCOMPARE(written.size(), 255);
    }

    void failingConsoleEndsTheChain()
    {
        DBCModule::LogExceptionsToConsole = true;
        answerSystemVersion(0x1049);
        int writes = 0;
        platform::setDebugStrHandlerForTesting([&](QByteArrayView) {
            ++writes;
            throw platform::NilObjectException();
        });
        // The hand-off still raises what it was given, not the console's failure.
        QVERIFY_THROWS_EXCEPTION(
            platform::KeyNotFoundException,
            DBCModule::LogException(std::make_exception_ptr(platform::KeyNotFoundException()), QStringLiteral("X")));
        QCOMPARE(writes, 1);
        // Outside a hand-off, the console's failure reaches the caller after one logging attempt.
        writes = 0;
        QVERIFY_THROWS_EXCEPTION(platform::NilObjectException, DBCModule::TellConsole(QStringLiteral("m")));
        QCOMPARE(writes, 2);
    }
};

STARWICK_TEST_MAIN(TestDBCModule)
#include "tst_dbcmodule.moc"
