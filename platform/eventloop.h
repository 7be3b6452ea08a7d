#pragma once

#include <functional>

namespace Starwick::platform {

/// Hands control back to the event loop once, so that pending events (a click, a socket's data,
/// a paint) are handled in the middle of a long loop. Callers must expect shared state to change.
void YieldToEventLoop();

/// Lets a benchmark see every yield (to measure the longest stretch between two); null clears it.
void setYieldObserverForBenchmarks(std::function<void()> observer);

} // namespace Starwick::platform
