#include "shell/proxysetup.h"

#include "platform/httpsocket.h"
#include "shell/globals.h"

namespace Starwick {

void proxySetup(platform::HTTPSocket* socket)
{
    if (Globals::UseProxy) {
        socket->httpProxyAddress = Globals::pAddress;
        socket->httpProxyPort = Globals::pPort;
    } else {
        socket->httpProxyAddress.clear();
        socket->httpProxyPort = 0;
    }
}

bool answerProxyChallenge(const platform::HTTPSocket& socket, QString& user, QString& password)
{
    user = Globals::pUserName;
    password = Globals::pPassword;
    // Without a user name there is nothing to offer; the socket then ends the request.
    return socket.isProxyChallenge() && Globals::UseProxy && !user.isEmpty();
}

} // namespace Starwick
