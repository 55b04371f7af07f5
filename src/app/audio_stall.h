#pragma once
#include <QAudioSink>
#include <QElapsedTimer>

// A new stream, or one that ran dry, plays only once its queue is full enough, and sometimes
// never starts. Called while the stream has no room: once it has taken nothing for 150 ms,
// resuming starts it at once.
inline void restartStalledStream(QAudioSink &sink, QElapsedTimer &sinceTaken)
{
    constexpr int StallMs = 150;
    if (sinceTaken.elapsed() > StallMs) {
        sink.suspend();
        sink.resume();
        sinceTaken.start();
    }
}
