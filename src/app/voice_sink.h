#pragma once
#include <QByteArray>
#include <QString>

// Where the built-in voice is heard: one line's samples (16-bit signed mono at the voice's
// rate) at a time.
class VoiceSink {
public:
    virtual ~VoiceSink() = default;
    // Empty while the sink can play; otherwise why it cannot.
    virtual QString problem() const { return {}; }
    // Starts the line; a line still playing is cut first.
    virtual void play(const QByteArray &samples) = 0;
    // Silences the line at once.
    virtual void cut() = 0;
    // True once the line has been heard to its end, or cut.
    virtual bool finished() const = 0;
};
