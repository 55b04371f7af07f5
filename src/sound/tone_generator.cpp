#include "sound/tone_generator.h"
#include "ports/audio_port.h"
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double TwoPi = 6.28318530717958;   // the program's own value, kept for identical samples
constexpr int TargetSamples = 4096;

// Every rounding to a whole number here takes halves to the even neighbour.
long roundEven(double v)
{
    return std::lrint(v);
}

// The sample at position i of a tone of f hertz, exactly as the synthesis defines it.
float exactSine(int i, qint32 f)
{
    return float(std::sin(i * TwoPi / ToneGenerator::SampleRate * f));
}

// sin(i x 2pi/44100 x f) depends only on (i x f) mod 44100, so one table of 44100 values
// serves every frequency. Over every frequency and position a buffer can hold, the direct
// formula differs from the table by at most 3.3e-11; entries within 1e-10 of a rounding edge
// of a single (about 1 in 80) are computed directly, so the bytes are identical to the
// direct formula's.
struct SineTable {
    std::vector<float> value;
    std::vector<unsigned char> direct;

    SineTable() : value(ToneGenerator::SampleRate), direct(ToneGenerator::SampleRate)
    {
        constexpr double Margin = 1e-10;
        for (int k = 0; k < ToneGenerator::SampleRate; ++k) {
            const double d = std::sin(k * TwoPi / ToneGenerator::SampleRate);
            const float f = float(d);
            const float next = std::nextafter(f, d > double(f) ? 2.0f : -2.0f);
            const double edge = (double(f) + double(next)) / 2;
            value[k] = f;
            direct[k] = std::abs(d) < Margin || std::abs(d - edge) < Margin;
        }
    }
};

const SineTable &sineTable()
{
    static const SineTable table;
    return table;
}

} // namespace

ToneGenerator::ToneGenerator(AudioPort &audio)
    : audio_(&audio), randomState_(QRandomGenerator::global()->generate64() | 1)
{
}

void ToneGenerator::setAudio(AudioPort &audio)
{
    if (&audio == audio_)
        return;
    audio_->stop();
    audio_ = &audio;
    if (bufferLength_ > 0) {
        audio_->createBuffer(bufferLength_);
        audio_->writeBuffer(samples_);
    }
    if (playing_)
        audio_->playLooping();
}

void ToneGenerator::InitSound()
{
    WaveGain = 1.0f;
    double level = PitchLevel;   // 330 at start-up, clamped to 1: the silent 22050 Hz tone
    UpdateFreq(level);
}

qint32 ToneGenerator::frequencyForLevel(double pitchLevel1000)
{
    constexpr float Scale = 22.049f;
    return qint32(roundEven(double(Scale) * pitchLevel1000 * std::log(1 + pitchLevel1000 / 1000) / std::log(2.0) + 1));
}

void ToneGenerator::UpdateFreq(double &level)
{
    if (std::isnan(level))
        level = 0.5;
    if (level > 1)
        level = 1;
    if (level < 0.01)
        level = 0.01;
    PitchLevel = 1000 * level;
    ToneFrequency = frequencyForLevel(PitchLevel);
    FillToneBuffer(ToneFrequency, float(VolumeLevel / 1000));
    StartSound();
}

void ToneGenerator::UpdateVol(double &level)
{
    if (std::isnan(level))
        level = 0.5;
    if (level > 1)
        level = 1;
    if (level < 0)
        level = 0.01;
    VolumeLevel = 1000 * level;
    FillToneBuffer(ToneFrequency, float(VolumeLevel / 1000));
}

void ToneGenerator::playEarcon(const QByteArray &sound)
{
    audio_->stop();
    samples_ = sound;
    bufferLength_ = int(sound.size());
    audio_->createBuffer(bufferLength_);
    audio_->writeBuffer(samples_);
    StartSound();
}

void ToneGenerator::StartSound()
{
    playing_ = true;
    audio_->playLooping();
}

void ToneGenerator::StopSound()
{
    playing_ = false;
    audio_->stop();
}

int ToneGenerator::bufferLengthFor(qint32 frequency)
{
    frequency = std::clamp<qint32>(frequency, 1, SampleRate);
    const float period = float(double(SampleRate) / frequency);
    const long cycles = TargetSamples / roundEven(period);
    const int length = int(roundEven(double(period) * cycles));
    return length == 0 ? int(roundEven(period)) : length;
}

void ToneGenerator::FillToneBuffer(qint32 frequency, float amplitude)
{
    // Below 1 Hz or above the sample rate there is no whole period to loop.
    frequency = std::clamp<qint32>(frequency, 1, SampleRate);
    const int length = bufferLengthFor(frequency);
    samples_.resize(length);
    if (NoiseWave)
        fillNoise(amplitude, length);
    else
        fillSine(frequency, amplitude, length);
    if (length != bufferLength_) {
        bufferLength_ = length;
        audio_->createBuffer(length);
    }
    audio_->writeBuffer(samples_);
}

void ToneGenerator::fillSine(qint32 frequency, float amplitude, int length)
{
    const SineTable &table = sineTable();
    const float gain = WaveGain;
    const bool square = SquareWave;
    auto *out = reinterpret_cast<unsigned char *>(samples_.data());
    int k = 0;   // (i x frequency) mod 44100
    for (int i = 0; i < length; ++i) {
        float s = table.direct[k] ? exactSine(i, frequency) : table.value[k];
        if (square)
            s = s < 0 ? -1.0f : 1.0f;
        const float centred = s * gain * amplitude + 1.0f;
        out[i] = static_cast<unsigned char>(std::clamp<long>(roundEven(double(centred) * 127.5), 0, 255));
        k += frequency;
        if (k >= SampleRate)
            k -= SampleRate;
    }
}

void ToneGenerator::fillNoise(float amplitude, int length)
{
    // Noise lies between 0 and 127.5 x amplitude, not around the centre.
    constexpr double Unit = 1.0 / 4294967296.0;   // 32 random bits to [0, 1)
    auto *out = reinterpret_cast<unsigned char *>(samples_.data());
    quint64 x = randomState_;
    for (int i = 0; i < length; ++i) {
        x ^= x >> 12;
        x ^= x << 25;
        x ^= x >> 27;
        const double r = double((x * 0x2545F4914F6CDD1DULL) >> 32) * Unit;
        out[i] = static_cast<unsigned char>(std::clamp<long>(roundEven(r * amplitude * 127.5), 0, 255));
    }
    randomState_ = x;
}
