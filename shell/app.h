#pragma once

namespace Starwick {

/// The program: start-up, the event loop, and the exit code it ends with.
int RunStarwick(int argc, char* argv[]);

} // namespace Starwick
