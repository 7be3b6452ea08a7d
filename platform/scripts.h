#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

class QProcess;

namespace Starwick::platform {

/// A run with parameters while they are being gathered; 0 stands for no run.
using ScriptHandle = int;

/// One parameter of a script run, as it was given.
struct ScriptParameter
{
    enum class Type
    {
        Integer,
        String,
    };
    Type type = Type::String;
    /// The argument the script receives: the text itself, or an Integer's decimal text.
    QString text;

    friend bool operator==(const ScriptParameter&, const ScriptParameter&) = default;
};

/// A script run as it was started.
struct ScriptRun
{
    int scriptId = 0;
    QList<ScriptParameter> parameters;

    QStringList arguments() const;
};

// The script service: runs one of the application's desktop scripts (resource kind Script) by id,
// with or without parameters. Every script runs with /bin/sh in a process of its own, in the
// background: none of these calls waits for it, and none reports what it did.
ScriptHandle StartParamScript(int scriptId);
void AddIntegerScriptParam(ScriptHandle handle, int value);
void AddStringScriptParam(ScriptHandle handle, const QString& value);
void CompleteParamScriptExecute(ScriptHandle handle);
void ScriptExecute(int scriptId);

/// What runs the scripts behind the functions above. Each parameter reaches the script as one
/// argument of its own ($1, $2, ...), never as part of a command text. Tests watch the runs
/// through the signals and the list of recent runs.
class ScriptService : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ScriptService)

public:
    /// The one service, owned by the application object.
    static ScriptService* instance();
    ~ScriptService() override;

    ScriptHandle startParam(int scriptId);
    void addParameter(ScriptHandle handle, ScriptParameter parameter);
    void complete(ScriptHandle handle);
    void execute(int scriptId);

    /// The runs started most recently, oldest first; at most kRecentRuns are kept.
    QList<ScriptRun> recentRuns() const { return m_recent; }
    void clearRecentRuns() { m_recent.clear(); }
    /// Scripts whose process has not ended yet.
    int runningCount() const { return int(m_running.size()); }

    static constexpr int kRecentRuns = 16;
    /// The exit code reported for a script that could not be run or did not end by itself.
    static constexpr int kNotRun = -1;

signals:
    void started(int scriptId, const QStringList& arguments);
    /// A script ended: `exitCode` is its exit status, or kNotRun.
    void finished(int scriptId, const QStringList& arguments, int exitCode);

private:
    explicit ScriptService(QObject* parent);
    void run(const ScriptRun& run);
    void report(QProcess* process, int scriptId, const QStringList& arguments, int exitCode);

    ScriptHandle m_nextHandle = 1;
    QHash<ScriptHandle, ScriptRun> m_pending;
    QList<ScriptRun> m_recent;
    /// Processes not ended yet, each with what it wrote on its standard error so far.
    QHash<QProcess*, QByteArray> m_running;
};

} // namespace Starwick::platform
