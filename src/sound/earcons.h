#pragma once
#include "view/landmarks.h"
#include <QByteArray>
#include <functional>

class ToneGenerator;
class MessagePump;
class PaceClock;

// The short sounds that say what kind of place the cursor jumped to, before its readout is
// spoken: a rise and fall for a peak, a fall and rise for a valley, a climb for the maximum, a
// descent for the minimum, and one level note for the edge of the view. They go out through
// the chart tone's own output, in place of the tone for their length, and only while the
// chart sound is on.
class Earcons {
public:
    static constexpr int LengthMs = 110;

    Earcons(ToneGenerator &tone, MessagePump &pump, PaceClock &clock) : tone_(tone), pump_(pump), clock_(&clock) {}
    void setClock(PaceClock &clock) { clock_ = &clock; }

    // The sound of a kind: 8-bit unsigned mono samples at the tone's rate.
    static QByteArray samples(Landmark kind);
    // Plays the kind's sound and returns once it has been handed out, keeping the window
    // alive meanwhile; then the tone carries on as before. Silent with the chart sound off.
    void play(Landmark kind);

private:
    ToneGenerator &tone_;
    MessagePump &pump_;
    PaceClock *clock_;
};
