#include "sound/earcons.h"
#include "sound/pace_clocks.h"
#include "sound/tone_generator.h"
#include "support/fake_audio.h"
#include "support/fakes.h"
#include <gtest/gtest.h>

namespace {
// Pitch direction over a sound: zero crossings in its first and last thirds against its middle.
QString contour(const QByteArray &s)
{
    int third[3] = {0, 0, 0};
    for (int i = 1; i < s.size(); ++i)
        third[std::min(2, 3 * i / int(s.size()))] += (quint8(s[i - 1]) < 128) != (quint8(s[i]) < 128);
    const auto step = [](int x, int y) { return y > x * 1.1 ? QStringLiteral("up") : y < x * 0.9 ? QStringLiteral("down") : QStringLiteral("even"); };
    return step(third[0], third[1]) + u' ' + step(third[1], third[2]);
}

struct RecordingAudio : FakeAudio {
    QList<QByteArray> all;
    void writeBuffer(const QByteArray &bytes) override { all << bytes, FakeAudio::writeBuffer(bytes); }
};
} // namespace

TEST(Earcons, EachKindIsShortHasAPitchContourOfItsOwnAndPlaysOnlyWithTheSoundOn)
{
    QStringList seen;
    for (Landmark kind : {Landmark::Peak, Landmark::Valley, Landmark::Maximum, Landmark::Minimum, Landmark::ViewEdge}) {
        const QByteArray s = Earcons::samples(kind);
        EXPECT_LT(s.size(), ToneGenerator::SampleRate * 150 / 1000);
        seen << contour(s);
    }
    EXPECT_EQ(seen, QStringList({"up down", "down up", "up up", "down down", "even even"}));

    // They play through the tone output only with the sound on, and give the tone back.
    RecordingAudio audio;
    FakePump pump;
    VirtualPaceClock clock;
    ToneGenerator tone(audio);
    Earcons earcons(tone, pump, clock);
    tone.InitSound();
    tone.StopSound();
    const int writes = audio.writes;
    earcons.play(Landmark::Peak);
    EXPECT_EQ(audio.writes, writes) << "heard with the sound off";

    tone.SoundOn = true;
    earcons.play(Landmark::Peak);
    EXPECT_TRUE(audio.all.value(audio.all.size() - 2).startsWith(Earcons::samples(Landmark::Peak)));
    EXPECT_GE(clock.nowUs(), Earcons::LengthMs * 1000 - 1000) << "the sound was cut short";
    EXPECT_EQ(audio.buffer, tone.samples());
    EXPECT_FALSE(audio.playing) << "a tone that was stopped plays on";
}
