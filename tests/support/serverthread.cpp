#include "support/serverthread.h"

namespace Starwick::Test {

ServerThread::ServerThread()
    : m_server(new FixtureServer)
{}

ServerThread::~ServerThread()
{
    if (m_thread.isRunning()) {
        QMetaObject::invokeMethod(
            m_server, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    } else {
        delete m_server;
    }
}

bool ServerThread::start()
{
    m_server->moveToThread(&m_thread);
    m_thread.start();
    bool started = false;
    QMetaObject::invokeMethod(
        m_server, [this, &started] { started = m_server->start(); }, Qt::BlockingQueuedConnection);
    return started;
}

} // namespace Starwick::Test
