#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace Starwick::platform {

/// Base of the exceptions the framework raises: a failure inside a handler surfaces as one of
/// these kinds, told apart by type. The message is optional; what() gives it, or the base name.
class RuntimeException : public std::exception
{
public:
    RuntimeException() = default;
    explicit RuntimeException(const QString& message)
        : m_message(message.toUtf8())
    {}

    const char* what() const noexcept override
    {
        return m_message.isEmpty() ? "RuntimeException" : m_message.constData();
    }
    QString Message() const { return QString::fromUtf8(m_message); }

private:
    QByteArray m_message;
};

/// A value was cast to a class it is not of.
class IllegalCastException : public RuntimeException
{
public:
    using RuntimeException::RuntimeException;
};

/// A nil (null) object was used.
class NilObjectException : public RuntimeException
{
public:
    using RuntimeException::RuntimeException;
};

/// An index lay outside its array or list.
class OutOfBoundsException : public RuntimeException
{
public:
    using RuntimeException::RuntimeException;
};

/// Calls nested too deeply.
class StackOverflowException : public RuntimeException
{
public:
    using RuntimeException::RuntimeException;
};

/// A value was of another type than expected.
class TypeMismatchException : public RuntimeException
{
public:
    using RuntimeException::RuntimeException;
};

/// A dictionary was asked for a key it does not hold.
class KeyNotFoundException : public RuntimeException
{
public:
    using RuntimeException::RuntimeException;
};

/// A regular expression failed.
class RegExException : public RuntimeException
{
public:
    using RuntimeException::RuntimeException;
};

/// A regular expression's search pattern is malformed.
class RegExSearchPatternException : public RegExException
{
public:
    using RegExException::RegExException;
};

} // namespace Starwick::platform
