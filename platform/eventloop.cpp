#include "platform/eventloop.h"

#include <QCoreApplication>

namespace Starwick::platform {

namespace {
std::function<void()> g_observer;
} // namespace

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
