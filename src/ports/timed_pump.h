#pragma once
#include "ports/message_pump.h"
#include <QElapsedTimer>

// Pumps at most once per time slice, so tight loops over millions of samples stay fast
// while the window still answers keys and repaints.
class TimedPump {
public:
    static constexpr qint64 SliceMs = 15;

    explicit TimedPump(MessagePump &pump) : pump_(pump) { timer_.start(); }

    // True when a pump ran.
    bool maybePump()
    {
        if (timer_.elapsed() < SliceMs)
            return false;
        pump_.pump();
        timer_.restart();
        return true;
    }

private:
    MessagePump &pump_;
    QElapsedTimer timer_;
};
