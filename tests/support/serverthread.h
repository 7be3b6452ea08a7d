#pragma once

#include "support/fixtureserver.h"

#include <QThread>

namespace Starwick::Test {

/// A fixture server on a thread of its own, for benchmarks that time the main thread's event loop:
/// that loop then watches only the program's own sockets, no listening socket of a server. Every
/// route is set on server() before start(); afterwards the server belongs to its thread.
class ServerThread
{
public:
    ServerThread();
    ~ServerThread();
    ServerThread(const ServerThread&) = delete;
    ServerThread& operator=(const ServerThread&) = delete;

    FixtureServer& server() { return *m_server; }
    /// Moves the server to its thread and starts it listening; false when it cannot listen.
    bool start();

private:
    FixtureServer* m_server;
    QThread m_thread;
};

} // namespace Starwick::Test
