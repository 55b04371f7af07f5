#include "sound/tone_generator.h"
#include "support/fake_audio.h"
#include <QSet>
#include <cmath>
#include <gtest/gtest.h>

namespace {

QSet<int> distinctBytes(const QByteArray &bytes)
{
    QSet<int> set;
    for (char b : bytes)
        set.insert(static_cast<unsigned char>(b));
    return set;
}

// The synthesis written out plainly, one sine per sample.
QByteArray directSine(qint32 f, float amplitude, bool square, int length)
{
    QByteArray out(length, 0);
    for (int i = 0; i < length; ++i) {
        float s = float(std::sin(i * 6.28318530717958 / 44100 * f));
        if (square)
            s = s < 0 ? -1.0f : 1.0f;
        out[i] = char(std::lrint(double(s * 1.0f * amplitude + 1.0f) * 127.5));
    }
    return out;
}

struct ToneTest : ::testing::Test {
    FakeAudio audio;
    ToneGenerator tone{audio};
};

TEST_F(ToneTest, BufferHoldsWholePeriodsLevelsMapToFrequencies)
{
    for (int hz : {4, 440, 1161, 6450, 22050})
        tone.FillToneBuffer(hz, 0.5f);
    EXPECT_EQ(audio.created, QList<int>({11025, 4009, 4064, 4000, 4096}));
    EXPECT_EQ(audio.buffer.size(), 4096);

    // Same length again: the buffer is rewritten, not created anew.
    tone.FillToneBuffer(22050, 1.0f);
    EXPECT_EQ(audio.created.size(), 5);
    EXPECT_EQ(audio.writes, 6);

    // Levels map to frequencies and are clamped in the caller's variable.
    const QList<QPair<double, int>> table = {{0.01, 4},    {0.1, 304},    {0.2, 1161},  {0.25, 1776},
                                             {0.33, 2995}, {0.5, 6450},   {0.75, 13352}, {1, 22050}};
    for (const auto &[level, hz] : table) {
        double l = level;
        tone.UpdateFreq(l);
        EXPECT_EQ(tone.ToneFrequency, hz) << level;
        EXPECT_DOUBLE_EQ(tone.PitchLevel, 1000 * level);
    }

    const QList<QPair<double, double>> clamps = {{NAN, 0.5}, {2, 1}, {0, 0.01}, {-3, 0.01}};
    for (const auto &[given, clamped] : clamps) {
        double l = given;
        audio.playing = false;
        tone.UpdateFreq(l);
        EXPECT_DOUBLE_EQ(l, clamped) << given;
        EXPECT_TRUE(audio.playing) << "a retune restarts the tone";
    }

    const QList<QPair<double, double>> volumes = {{1.5, 1000}, {-0.2, 10}, {0.005, 5}, {0.7, 700}};
    audio.playing = false;
    for (const auto &[given, stored] : volumes) {
        double l = given;
        tone.UpdateVol(l);
        EXPECT_DOUBLE_EQ(tone.VolumeLevel, stored) << given;
        EXPECT_DOUBLE_EQ(l, stored / 1000);
    }
    EXPECT_FALSE(audio.playing) << "a volume change alone does not start the tone";
}

TEST_F(ToneTest, StartUpToneIsSilentAndLoopingSquareAndNoiseStayInTheirByteRanges)
{
    tone.InitSound();
    EXPECT_EQ(tone.ToneFrequency, 22050);
    EXPECT_TRUE(QSet<int>({127, 128}).contains(distinctBytes(audio.buffer)));
    EXPECT_TRUE(audio.playing);

    tone.SquareWave = true;
    tone.FillToneBuffer(440, 1.0f);
    EXPECT_EQ(distinctBytes(audio.buffer), QSet<int>({0, 255}));
    tone.FillToneBuffer(440, 0.5f);
    EXPECT_EQ(distinctBytes(audio.buffer), QSet<int>({64, 191}));

    tone.NoiseWave = true;
    tone.FillToneBuffer(440, 0.5f);
    const QSet<int> noise = distinctBytes(audio.buffer);
    EXPECT_GT(noise.size(), 30) << "noise varies";
    for (int b : noise)
        EXPECT_LE(b, 64);
}

TEST_F(ToneTest, FastSynthesisMatchesThePlainFormulaByteForByte)
{
    // A sweep, plus frequencies whose samples fall exactly on the zero crossings.
    QList<qint32> frequencies = {22050, 14700, 11025, 7350, 4410, 2205, 441, 100};
    for (qint32 f = 4; f <= 22050; f += 53)
        frequencies << f;
    for (float amplitude : {1.0f, 0.5f, 0.337f}) {
        for (bool square : {false, true}) {
            tone.SquareWave = square;
            for (qint32 f : frequencies) {
                tone.FillToneBuffer(f, amplitude);
                ASSERT_EQ(audio.buffer, directSine(f, amplitude, square, audio.buffer.size()))
                    << f << " Hz, amplitude " << amplitude << (square ? " square" : " sine");
            }
        }
    }
}

} // namespace
