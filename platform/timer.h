#pragma once

#include <QObject>

#include <functional>

class QTimer;

namespace Starwick::platform {

/// A timer control: a period and a mode (0 off, 1 one shot, 2 repeating). Setting the mode to 1
/// or 2 starts it; its Action runs on the event loop.
class Timer : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(Timer)

public:
    enum Mode
    {
        ModeOff = 0,
        ModeSingle = 1,
        ModeMultiple = 2,
    };

    explicit Timer(QObject* parent = nullptr);

    int Period() const;
    void SetPeriod(int milliseconds);
    int GetMode() const { return m_mode; }
    void SetMode(int mode);
    bool isRunning() const;

    std::function<void()> Action;

private:
    QTimer* m_timer;
    int m_mode = ModeOff;
};

} // namespace Starwick::platform
