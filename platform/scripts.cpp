#include "platform/scripts.h"

#include "platform/resources.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QProcess>

namespace Starwick::platform {

namespace {

Q_LOGGING_CATEGORY(lcScripts, "starwick.scripts")

// What a script writes on its standard error is kept for the log, up to this much.
constexpr qsizetype kMaxErrorText = 16 * 1024;
// At quit, a script still running (a wallpaper being set just before) gets this long to end.
constexpr int kQuitGraceMs = 3000;

} // namespace

QStringList ScriptRun::arguments() const
{
    QStringList result;
    result.reserve(parameters.size());
    for (const ScriptParameter& parameter : parameters)
        result.append(parameter.text);
    return result;
}

ScriptHandle StartParamScript(int scriptId)
{
    return ScriptService::instance()->startParam(scriptId);
}

void AddIntegerScriptParam(ScriptHandle handle, int value)
{
    ScriptService::instance()->addParameter(handle, {ScriptParameter::Type::Integer, QString::number(value)});
}

void AddStringScriptParam(ScriptHandle handle, const QString& value)
{
    ScriptService::instance()->addParameter(handle, {ScriptParameter::Type::String, value});
}

void CompleteParamScriptExecute(ScriptHandle handle)
{
    ScriptService::instance()->complete(handle);
}

void ScriptExecute(int scriptId)
{
    ScriptService::instance()->execute(scriptId);
}

ScriptService* ScriptService::instance()
{
    static QPointer<ScriptService> service;
    if (!service)
        service = new ScriptService(QCoreApplication::instance());
    return service;
}

ScriptService::ScriptService(QObject* parent)
    : QObject(parent)
{}

ScriptService::~ScriptService()
{
    const QList<QProcess*> running = m_running.keys();
    for (QProcess* process : running) {
        process->disconnect(this);
        if (!process->waitForFinished(kQuitGraceMs))
            qCWarning(lcScripts) << "a desktop script was still running at quit and was ended";
    }
}

ScriptHandle ScriptService::startParam(int scriptId)
{
    const ScriptHandle handle = m_nextHandle++;
    m_pending.insert(handle, ScriptRun{scriptId, {}});
    return handle;
}

void ScriptService::addParameter(ScriptHandle handle, ScriptParameter parameter)
{
    auto pending = m_pending.find(handle);
    if (pending == m_pending.end()) {
        qCWarning(lcScripts) << "parameter for an unknown script run" << handle;
        return;
    }
    pending->parameters.append(std::move(parameter));
}

void ScriptService::complete(ScriptHandle handle)
{
    const auto pending = m_pending.find(handle);
    if (pending == m_pending.end()) {
        qCWarning(lcScripts) << "completing an unknown script run" << handle;
        return;
    }
    const ScriptRun gathered = *pending;
    m_pending.erase(pending);
    run(gathered);
}

void ScriptService::execute(int scriptId)
{
    run(ScriptRun{scriptId, {}});
}

void ScriptService::run(const ScriptRun& run)
{
    m_recent.append(run);
    while (m_recent.size() > kRecentRuns)
        m_recent.removeFirst();

    const int scriptId = run.scriptId;
    const QStringList arguments = run.arguments();
    emit started(scriptId, arguments);

    const QString text = Resources::GetScript(scriptId);
    if (text.isEmpty()) {
        qCWarning(lcScripts) << "there is no desktop script" << scriptId;
        // Reported from the event loop, as a script that ran would be.
        QMetaObject::invokeMethod(
            this, [this, scriptId, arguments] { emit finished(scriptId, arguments, kNotRun); }, Qt::QueuedConnection);
        return;
    }

    // The shared functions and the script's text are the command; $0 names it and each parameter
    // is an argument of its own.
    auto* process = new QProcess(this);
    process->setProgram(QStringLiteral("/bin/sh"));
    const QString command = Resources::GetScriptLibrary() + QLatin1Char('\n') + text;
    process->setArguments(
        QStringList{QStringLiteral("-c"), command, QStringLiteral("starwick-script-%1").arg(scriptId)} + arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    connect(process, &QProcess::readyReadStandardError, this, [this, process] {
        const QByteArray more = process->readAllStandardError();
        QByteArray& kept = m_running[process];
        kept.append(more.left(std::max<qsizetype>(0, kMaxErrorText - kept.size())));
    });
    connect(process, &QProcess::finished, this,
            [this, process, scriptId, arguments](int exitCode, QProcess::ExitStatus status) {
                report(process, scriptId, arguments, status == QProcess::NormalExit ? exitCode : kNotRun);
            });
    connect(process, &QProcess::errorOccurred, this,
            [this, process, scriptId, arguments](QProcess::ProcessError error) {
                // A process that never started sends no finished signal of its own.
                if (error == QProcess::FailedToStart)
                    report(process, scriptId, arguments, kNotRun);
            });
    m_running.insert(process, QByteArray());
    process->start();
}

void ScriptService::report(QProcess* process, int scriptId, const QStringList& arguments, int exitCode)
{
    const auto entry = m_running.find(process);
    if (entry == m_running.end())
        return;
    const QByteArray more = process->readAllStandardError();
    const QString errorText =
        QString::fromLocal8Bit(entry.value() + more.left(std::max<qsizetype>(0, kMaxErrorText - entry->size())))
            .trimmed();
    m_running.erase(entry);
    if (exitCode != 0)
        qCWarning(lcScripts).noquote() << "desktop script" << scriptId << "ended with" << exitCode << errorText;
    else if (!errorText.isEmpty())
        qCDebug(lcScripts).noquote() << "desktop script" << scriptId << errorText;
    process->deleteLater();
    emit finished(scriptId, arguments, exitCode);
}

} // namespace Starwick::platform
