#include "platform/eventloop.h"

#include <QCoreApplication>
#include <QList>
#include <QPointer>

#include <utility>

namespace Starwick::platform {

namespace {
std::function<void()> g_observer;
int g_longLoops = 0;
QList<QPointer<QObject>> g_pendingReleases;
} // namespace

LongLoopScope::LongLoopScope()
{
    ++g_longLoops;
}

LongLoopScope::~LongLoopScope()
{
    if (--g_longLoops > 0)
        return;
    const QList<QPointer<QObject>> pending = std::exchange(g_pendingReleases, {});
    for (const QPointer<QObject>& object : pending) {
        if (object)
            object->deleteLater();
    }
}

void ReleaseLater(QObject* object)
{
    if (g_longLoops > 0)
        g_pendingReleases.append(object);
    else
        object->deleteLater();
}

void YieldToEventLoop()
{
    if (g_observer)
        g_observer();
    QCoreApplication::processEvents();
}

void setYieldObserverForBenchmarks(std::function<void()> observer)
{
    g_observer = std::move(observer);
}

} // namespace Starwick::platform
