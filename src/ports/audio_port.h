#pragma once
#include <QByteArray>
#include <QString>

// Where the chart's tone goes: one looping buffer of 8-bit unsigned mono samples at
// 44100 samples per second. The window plays it, the console can record it, tests fake it.
class AudioPort {
public:
    virtual ~AudioPort() = default;
    // A new buffer of `length` bytes takes the place of the old one.
    virtual void createBuffer(int length) = 0;
    // Replaces the whole buffer's bytes. While playing, the new sound follows on at the
    // current position without a gap.
    virtual void writeBuffer(const QByteArray &bytes) = 0;
    // Loops the buffer until stop(); does nothing when already playing.
    virtual void playLooping() = 0;
    virtual void stop() = 0;
    // Why nothing can be heard (no output device ...); empty while the output works.
    virtual QString problem() const { return {}; }
};

// The output when there is none: the program goes on, only silently.
class SilentAudio : public AudioPort {
public:
    void createBuffer(int) override {}
    void writeBuffer(const QByteArray &) override {}
    void playLooping() override {}
    void stop() override {}
};
