#include "support/programenv.h"

#include "shell/servers.h"

namespace Starwick::Test {

void prepareProgram()
{
    setAPODServerForTesting(QStringLiteral("127.0.0.1:9"));
}

} // namespace Starwick::Test
