#pragma once

namespace Starwick::Test {

/// The steps every test of the real main window takes around each test function, so that one
/// test's window, alert, day list or settings do not reach the next.

/// Once per test program: the program's quit and its opening of web addresses do nothing.
void prepareMainWindowTests();
/// Before each test: a clean home with the cache folder made, the initial Globals, no main window
/// or HTTP alert left open, and an empty day list.
void resetMainWindowRun();
/// After each test: closes the main window and the HTTP alert, where open.
void closeMainWindowRun();

} // namespace Starwick::Test
