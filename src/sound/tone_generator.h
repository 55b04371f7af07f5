#pragma once
#include <QByteArray>
#include <QtGlobal>

class AudioPort;

// The chart's tone: the sound state and one looping buffer of about 4096 samples holding
// whole periods of a sine, square or noise wave. Pitch and loudness changes synthesize the
// whole buffer again; the playback rate never changes.
class ToneGenerator {
public:
    static constexpr int SampleRate = 44100;

    explicit ToneGenerator(AudioPort &audio);

    // A different output (the window's sink, a recorder): it gets the current sound.
    void setAudio(AudioPort &audio);
    AudioPort &audio() const { return *audio_; }

    // Once at start-up, after the sound flags are read: a silent 22050 Hz tone starts looping.
    void InitSound();
    // Level 0.01 .. 1 (NaN = no value = 0.5), clamped in the caller's variable; retunes and
    // (re)starts looping playback.
    void UpdateFreq(double &level);
    // Amplitude 0 .. 1 (below 0 becomes 0.01; NaN = 0.5), clamped in the caller's variable;
    // refills at the current frequency without starting playback.
    void UpdateVol(double &level);
    void StartSound();
    void StopSound();
    void FillToneBuffer(qint32 frequency, float amplitude);
    // Plays a short sound of its own (an alarm's earcon) in place of the tone, from its start;
    // the next fill brings the tone back.
    void playEarcon(const QByteArray &sound);

    // 22049 x level x log2(1 + level) + 1, rounded: the pitch heard for a level 0.01 .. 1.
    static qint32 frequencyForLevel(double pitchLevel1000);
    // Byte length of the buffer for a frequency: whole periods, about 4096 samples.
    static int bufferLengthFor(qint32 frequency);

    qint32 ToneFrequency = 0;
    float WaveGain = 1.0f;
    double VolumeLevel = 500;   // 1000 x amplitude
    double PitchLevel = 330;    // 1000 x pitch level
    bool SoundOn = false;
    bool SineWave = false, SquareWave = false, NoiseWave = false;
    bool AmplitudeMode = false, FrequencyMode = false;
    double AmTone = 0;          // carrier in hertz for amplitude scans

    int bufferLength() const { return bufferLength_; }
    const QByteArray &samples() const { return samples_; }
    bool playing() const { return playing_; }

private:
    void fillSine(qint32 frequency, float amplitude, int length);
    void fillNoise(float amplitude, int length);

    AudioPort *audio_;
    QByteArray samples_;
    int bufferLength_ = 0;
    bool playing_ = false;
    quint64 randomState_;   // xorshift64*: plenty for noise, and cheap
};
