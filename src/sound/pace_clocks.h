#pragma once
#include "ports/pace_clock.h"
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>

// Wall-clock time; sleeps in short slices so keys pressed meanwhile are handled promptly.
class RealPaceClock : public PaceClock {
public:
    RealPaceClock() { timer_.start(); }
    qint64 nowUs() const override { return timer_.nsecsElapsed() / 1000; }
    void sleepUs(qint64 us) override
    {
        if (us > 0)
            QThread::usleep(std::min<qint64>(us, SliceUs));
    }

private:
    static constexpr qint64 SliceUs = 2000;
    QElapsedTimer timer_;
};

// Time that passes only by sleeping: instant, and the same every run.
class VirtualPaceClock : public PaceClock {
public:
    qint64 nowUs() const override { return now_; }
    void sleepUs(qint64 us) override { now_ += std::max<qint64>(us, 0); }

private:
    qint64 now_ = 0;
};
