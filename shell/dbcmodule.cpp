#include "shell/dbcmodule.h"

#include "platform/windowmanager.h"

#include <QByteArray>

namespace Starwick::DBCModule {

namespace {

/// Set while LogException writes its lines: a failure inside that writing hands off again, and
/// the nested hand-off only rethrows, which ends the chain at one level.
bool g_writingLog = false;

constexpr int kMaxPascalLength = 255;

/// The UTF-8 text cut to at most 255 bytes without splitting a character.
QByteArray shortened(const QString& message)
{
    QByteArray bytes = message.toUtf8();
    if (bytes.size() <= kMaxPascalLength)
        return bytes;
    qsizetype end = kMaxPascalLength;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(bytes.at(end)) & 0xC0) == 0x80)
        --end;
    bytes.truncate(end);
    return bytes;
}

} // namespace

void Require(bool condition)
{
    if (!condition)
        throw RequireException();
}

void Ensure(bool condition)
{
    if (!condition)
        throw EnsureException();
}

void LogException(std::exception_ptr exception, const QString& location)
{
    if (LogExceptionsToConsole && !g_writingLog) {
        g_writingLog = true;
        try {
            QString name = QStringLiteral("RuntimeException");
            try {
                std::rethrow_exception(exception);
            } catch (const std::exception& e) {
                name = ExceptionName(e);
            } catch (...) {
            }
            TellConsole(QStringLiteral("Exception type: ") + name);
            TellConsole(QStringLiteral("Location: ") + location);
        } catch (...) {
        }
        g_writingLog = false;
    }
    std::rethrow_exception(exception);
}

void TellConsole(const QString& message)
{
    Logged("DBCModule.TellConsole", [&] {
        if (!SystemOSX())
            return;
        const QByteArray text = shortened(message);
        QByteArray pascal;
        pascal.reserve(text.size() + 1);
        pascal.append(char(static_cast<unsigned char>(text.size())));
        pascal.append(text);
        platform::DebugStr(reinterpret_cast<const unsigned char*>(pascal.constData()));
    });
}

QString ExceptionName(const std::exception& exception)
{
    const std::exception* e = &exception;
    if (dynamic_cast<const platform::IllegalCastException*>(e))
        return QStringLiteral("IllegalCastException");
    if (dynamic_cast<const platform::NilObjectException*>(e))
        return QStringLiteral("NilObjectException");
    if (dynamic_cast<const platform::OutOfBoundsException*>(e))
        return QStringLiteral("OutOfBoundsException");
    if (dynamic_cast<const platform::StackOverflowException*>(e))
        return QStringLiteral("StackOverflowException");
    if (dynamic_cast<const platform::TypeMismatchException*>(e))
        return QStringLiteral("TypeMismatchException");
    if (dynamic_cast<const platform::KeyNotFoundException*>(e))
        return QStringLiteral("KeyNotFoundException");
    if (dynamic_cast<const platform::RegExSearchPatternException*>(e))
        return QStringLiteral("RegExSearchPatternException");
    if (dynamic_cast<const platform::RegExException*>(e))
        return QStringLiteral("RegExException");
    if (dynamic_cast<const RequireException*>(e))
        return QStringLiteral("RequireException");
    if (dynamic_cast<const EnsureException*>(e))
        return QStringLiteral("EnsureException");
    if (dynamic_cast<const CheckException*>(e))
        return QStringLiteral("Assertion Exception");
    return QStringLiteral("RuntimeException");
}

bool SystemOSX()
{
    return Logged("DBCModule.SystemOSX", [&] {
        qint32 version = 0;
        if (platform::Gestalt("sysv", &version) != platform::noErr)
            return false;
        return version >= 0x1000;
    });
}

} // namespace Starwick::DBCModule
