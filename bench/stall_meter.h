#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace lumaro::bench {

// Measures how long the GUI thread goes without turning its event loop: a timer ticks every
// 10 ms and the longest gap between two ticks is kept. A window that blocks its thread shows as
// a gap as long as the block.
class StallMeter {
public:
    StallMeter()
    {
        m_timer.setInterval(10);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // Stops and counts the gap up to now.
    void stop()
    {
        tick();
        m_timer.stop();
    }
    double longestMs() const { return static_cast<double>(m_longest); }

private:
    void tick()
    {
        const qint64 now = m_clock.elapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Turns the event loop until done() holds (checked every 5 ms) or timeoutMs pass; false on
// time-out.
inline bool SpinUntil(const std::function<bool()> &done, int timeoutMs = 600000)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start();
    if (!done())
        loop.exec();
    return done();
}

} // namespace lumaro::bench
