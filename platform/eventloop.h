#pragma once

#include <functional>

class QObject;

namespace Starwick::platform {

/// Hands control back to the event loop once, so that pending events (a click, a socket's data,
/// a paint) are handled in the middle of a long loop. Callers must expect shared state to change.
void YieldToEventLoop();

/// Marks a handler that hands control back to the event loop while it runs. A window closed while
/// any such handler runs is released only once the outermost one has ended, so that the handler
/// never goes on in a deleted window (it tests isClosed() after each yield and stops instead).
class LongLoopScope
{
public:
    LongLoopScope();
    ~LongLoopScope();
    LongLoopScope(const LongLoopScope&) = delete;
    LongLoopScope& operator=(const LongLoopScope&) = delete;
};

/// Releases `object` with deleteLater(), at once or, inside a LongLoopScope, when the outermost
/// scope ends.
void ReleaseLater(QObject* object);

/// Lets a benchmark see every yield (to measure the longest stretch between two); null clears it.
void setYieldObserverForBenchmarks(std::function<void()> observer);

} // namespace Starwick::platform
