#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTest>

#include <functional>

namespace Starwick::Test {

/// Points HOME and the XDG folders of this process at a fresh temporary folder, so that no test
/// reads or writes the real user's files. Called before the application object is made.
void prepareEnvironment();

/// The temporary home made by prepareEnvironment().
QString homePath();

/// Empties the temporary home (for a test's init()), leaving the folder itself.
void clearHome();

/// The whole content of a file; the text "<unreadable>" when it cannot be read, so that a missing
/// file never passes for an empty one.
QByteArray readFileBytes(const QString& path);

/// Makes or replaces the file at `path` with `bytes`; false when it cannot be written whole.
bool writeFileBytes(const QString& path, const QByteArray& bytes = "x");

/// The names of everything in a folder (hidden entries too, not "." and ".."), by name.
QStringList folderEntries(const QString& folder);

/// Whether the temporary home's file system keeps user extended attributes, where the Mac type
/// and creator codes are stored (checks that need them are skipped where it does not).
bool fileSystemKeepsMacCodes();

/// Deletes the windows closed so far at once, as the event loop would after the handler that
/// closed them: a QPointer to one reads null afterwards.
void releaseClosedWindows();

/// The folder of the test fixtures in the source tree.
QString dataPath(const QString& name = QString());

/// Runs the event loop until `done` holds or `ms` milliseconds have passed; whether it holds. For
/// benchmarks, where Qt Test's QTRY_ macros have no test to fail.
bool waitFor(const std::function<bool()>& done, int ms = 10000);

} // namespace Starwick::Test

/// A Qt Test main() that runs with widgets, offscreen, in a temporary home.
#define STARWICK_TEST_MAIN(TestObject)                                                                                 \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        Starwick::Test::prepareEnvironment();                                                                          \
        QApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject tc;                                                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }
