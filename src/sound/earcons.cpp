#include "sound/earcons.h"
#include "ports/audio_port.h"
#include "ports/message_pump.h"
#include "ports/pace_clock.h"
#include "sound/tone_generator.h"
#include <algorithm>
#include <cmath>

namespace {

// Pitch at the start, the middle and the end of the sound, in hertz.
struct Contour {
    double start, middle, end;
};

Contour contourOf(Landmark kind)
{
    switch (kind) {
    case Landmark::Peak:
        return {600, 1200, 600};
    case Landmark::Valley:
        return {1200, 600, 1200};
    case Landmark::Maximum:
        return {500, 900, 1500};
    case Landmark::Minimum:
        return {1500, 900, 500};
    case Landmark::ViewEdge:
        break;
    }
    return {900, 900, 900};
}

constexpr double TwoPi = 6.283185307179586;

// Silence after the sound, so the looping output cannot come round to it again before the
// tone takes its place back.
constexpr int TailMs = 500;

} // namespace

QByteArray Earcons::samples(Landmark kind)
{
    const Contour c = contourOf(kind);
    const int n = ToneGenerator::SampleRate * LengthMs / 1000;
    const int fade = ToneGenerator::SampleRate * 5 / 1000;   // no click at either end
    QByteArray out(n, char(0x80));
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / n;
        const double hz = t < 0.5 ? c.start + (c.middle - c.start) * 2 * t : c.middle + (c.end - c.middle) * (2 * t - 1);
        phase += TwoPi * hz / ToneGenerator::SampleRate;
        const double gain = std::min({1.0, double(i) / fade, double(n - 1 - i) / fade});
        out[i] = char(std::lrint(127.5 + 0.6 * 127.5 * gain * std::sin(phase)));
    }
    return out;
}

void Earcons::play(Landmark kind)
{
    if (!tone_.SoundOn)
        return;
    AudioPort &audio = tone_.audio();
    QByteArray sound = samples(kind);
    const qint64 lengthUs = qint64(sound.size()) * 1000000 / ToneGenerator::SampleRate;
    sound.append(QByteArray(ToneGenerator::SampleRate * TailMs / 1000, char(0x80)));
    audio.createBuffer(int(sound.size()));
    audio.writeBuffer(sound);
    audio.playLooping();
    const qint64 until = clock_->nowUs() + lengthUs;
    for (qint64 now = clock_->nowUs(); now < until; now = clock_->nowUs()) {
        clock_->sleepUs(until - now);
        pump_.pump();
    }
    // The tone as it was, playing or not.
    if (tone_.bufferLength() > 0) {
        audio.createBuffer(tone_.bufferLength());
        audio.writeBuffer(tone_.samples());
    }
    if (!tone_.playing())
        audio.stop();
}
