#pragma once
#include <QtGlobal>

// Time as the scan's pace and the tone recorder see it. The window uses real time; the
// console's recorder and the tests use a clock that moves only when told to, so a recorded
// scan is the same every run.
class PaceClock {
public:
    virtual ~PaceClock() = default;
    virtual qint64 nowUs() const = 0;
    // Lets up to `us` microseconds pass. A real clock returns after a short slice so the
    // caller can handle events in between.
    virtual void sleepUs(qint64 us) = 0;
};
