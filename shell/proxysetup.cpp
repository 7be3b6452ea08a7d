#include "shell/proxysetup.h"

#include "platform/httpsocket.h"
#include "shell/globals.h"

namespace Starwick {

void proxySetup(platform::HTTPSocket* socket)
{
    // With the box on, the socket goes through the proxy or not at all: an empty address or a
    // port that is not one (empty, 0, not a number, over 65535) makes it raise Error 103.
    socket->useHttpProxy = Globals::UseProxy;
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
    // Without a user name there is nothing to offer; the socket then ends the request. The
    // socket asks only for its proxy's challenges; a web server's own 401 gets nothing.
    if (!socket.isProxyChallenge() || !Globals::UseProxy || Globals::pUserName.isEmpty())
        return false;
    user = Globals::pUserName;
    password = Globals::pPassword;
    return true;
}

} // namespace Starwick
