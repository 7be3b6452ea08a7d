#pragma once

#include <QString>

namespace Starwick {

namespace platform {
class HTTPSocket;
}

/// Gives `socket` the proxy of the settings for its next request: the proxy address and port when
/// the proxy is switched on, a direct connection when it is not. Called right before each request,
/// so that a changed setting acts from the next request on. A proxy that is switched on but not
/// usable (no address, no valid port) is never replaced by a direct connection: the request ends
/// in the socket's Error event with 103.
void proxySetup(platform::HTTPSocket* socket);

/// The answer to a socket's AuthenticationRequired: the proxy's user name and password of the
/// settings, offered only to the proxy in use and never to a web server that asks for a password
/// of its own. True when they are to be sent.
bool answerProxyChallenge(const platform::HTTPSocket& socket, QString& user, QString& password);

} // namespace Starwick
