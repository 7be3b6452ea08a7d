#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace Starwick::Test {

/// The real program, started as a user starts it: offscreen, in a temporary home of its own whose
/// settings file holds the given values (line 1 first, stored as the program stores them), with
/// no display and no proxy of the environment. The program is stopped when this object goes.
class ProgramRun
{
public:
    explicit ProgramRun(const QStringList& settingsValues);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    /// Starts the program; false, with the reason in `error`, when it cannot be started or its home
    /// could not be set up.
    bool start(QString* error);

    /// The settings folder and the cache folder in the program's home.
    QString settingsFolder() const;
    QString cacheFolder() const;

private:
    QTemporaryDir m_home;
    QProcess m_process;
    QString m_setupError;
};

} // namespace Starwick::Test
