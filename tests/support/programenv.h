#pragma once

namespace Starwick::Test {

/// Prepares the program's own state for a test that links it: until the test points the program
/// at a server of its own, requests go to a closed port on this machine, so no test reaches the
/// internet. Run by STARWICK_TEST_MAIN after prepareEnvironment().
void prepareProgram();

} // namespace Starwick::Test
