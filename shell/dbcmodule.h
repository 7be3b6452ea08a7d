#pragma once

#include "platform/exceptions.h"

#include <QString>

#include <exception>

namespace Starwick {

/// Raised by DBCModule::Require when a precondition does not hold.
class RequireException : public platform::RuntimeException
{
public:
    using RuntimeException::RuntimeException;
};

/// Raised by DBCModule::Ensure when a postcondition does not hold.
class EnsureException : public platform::RuntimeException
{
public:
    using RuntimeException::RuntimeException;
};

/// An assertion kind of its own; DBCModule::ExceptionName calls it "Assertion Exception".
class CheckException : public platform::RuntimeException
{
public:
    using RuntimeException::RuntimeException;
};

/// Design-by-contract checks and the hand-off through which the Window menu passes every
/// exception it catches.
namespace DBCModule {

/// Writes handed-off exceptions to the console. Off in the program; tests may switch it on.
inline bool LogExceptionsToConsole = false;

/// States a precondition: raises a new RequireException when `condition` is false.
void Require(bool condition);
/// States a postcondition: raises a new EnsureException when `condition` is false.
void Ensure(bool condition);

/// Writes "Exception type: " + the kind's name and "Location: " + `location` to the console when
/// logging is on, then raises the very exception object held by `exception` again; it never
/// returns. A failure while writing is dropped, so the caller always receives `exception`.
[[noreturn]] void LogException(std::exception_ptr exception, const QString& location);

/// Runs `body` and gives back what it returns. An exception that `body` raises is handed to
/// LogException with `location` (the catching method's name), which raises it again unchanged:
/// the one form of every method that hands off its exceptions.
template <class Body> auto Logged(const char* location, Body&& body) -> decltype(body())
{
    try {
        return body();
    } catch (...) {
        LogException(std::current_exception(), QString::fromLatin1(location));
    }
}

/// Writes one line to the console (standard error) on a system that has one; the text is cut
/// to 255 bytes of UTF-8 at a character boundary.
void TellConsole(const QString& message);

/// The name of the exception's kind, by the first of the framework's kinds it is of, then the
/// contract kinds; "RuntimeException" for any other.
QString ExceptionName(const std::exception& exception);

/// Whether the system answers the "sysv" query with a version of at least 0x1000.
bool SystemOSX();

} // namespace DBCModule
} // namespace Starwick
