#include "platform/timer.h"

#include <QTimer>

namespace Starwick::platform {

Timer::Timer(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (m_mode == ModeSingle)
            m_mode = ModeOff;
        if (Action)
            Action();
    });
}

int Timer::Period() const
{
    return m_timer->interval();
}

void Timer::SetPeriod(int milliseconds)
{
    m_timer->setInterval(milliseconds);
}

void Timer::SetMode(int mode)
{
    m_mode = mode;
    if (mode == ModeOff) {
        m_timer->stop();
        return;
    }
    m_timer->setSingleShot(mode == ModeSingle);
    m_timer->start();
}

bool Timer::isRunning() const
{
    return m_timer->isActive();
}

} // namespace Starwick::platform
