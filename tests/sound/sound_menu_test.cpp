#include "sound_fixture.h"
#include <QSet>

namespace {

using SoundMenuTest = SoundFixture;

bool isNoise(const QByteArray &bytes)
{
    // Noise at amplitude 0.5 stays in 0 .. 64; a sine at 0.5 spans 64 .. 191.
    for (char b : bytes)
        if (static_cast<unsigned char>(b) > 64)
            return false;
    return true;
}

TEST_F(SoundMenuTest, StartsInFrequencyModeUnlessTheSettingsSayOtherwiseItemsMoveTheirCheckMarksNoiseStays)
{
    EXPECT_FALSE(tone.AmplitudeMode || tone.NoiseWave || tone.SineWave || tone.SquareWave);
    EXPECT_EQ(surface.checked, QSet<QString>({QStringLiteral("mnuSoundFreq")}));
    EXPECT_TRUE(speech.spoken.isEmpty());

    surface.checked.clear();
    settings.write(QStringLiteral("Settings"), QStringLiteral("SndAM"), QStringLiteral("True"));
    settings.write(QStringLiteral("Settings"), QStringLiteral("SndFM"), QStringLiteral("False"));
    settings.write(QStringLiteral("Settings"), QStringLiteral("SndSquare"), QStringLiteral("true"));
    viewer.soundMenu.readSoundFlags(settings);
    EXPECT_FALSE(tone.FrequencyMode);
    EXPECT_EQ(surface.checked, QSet<QString>({QStringLiteral("mnuSoundAmplitude"), QStringLiteral("mnuSoundSquare")}));

    // Each item speaks and moves its check marks.
    struct Case {
        const char *item, *spoken;
        QSet<QString> on, off;
    };
    const QList<Case> cases = {
        {"mnuSoundNoise", "Chart sound is noise.", {"mnuSoundNoise", "mnuSoundAmplitude"}, {"mnuSoundFreq"}},
        {"mnuSoundSine", "Chart sound is sine wave.", {"mnuSoundSine"}, {"mnuSoundSquare"}},
        {"mnuSoundSquare", "Chart sound is square wave.", {"mnuSoundSquare"}, {"mnuSoundSine"}},
        {"mnuSoundFreq", "Chart sound is frequency scaled.", {"mnuSoundFreq"}, {"mnuSoundNoise", "mnuSoundAmplitude"}},
        {"mnuSoundAmplitude", "Chart sound is amplitude scaled.", {"mnuSoundAmplitude"}, {"mnuSoundNoise", "mnuSoundFreq"}},
    };
    for (const Case &c : cases) {
        speech.spoken.clear();
        ASSERT_TRUE(viewer.actions.run(QLatin1String(c.item)));
        EXPECT_EQ(speech.spoken, QStringList{QLatin1String(c.spoken)});
        for (const QString &name : c.on)
            EXPECT_TRUE(surface.isChecked(name)) << c.item << " " << name.toStdString();
        for (const QString &name : c.off)
            EXPECT_FALSE(surface.isChecked(name)) << c.item << " " << name.toStdString();
    }

    // Noise outlasts the sine item until amplitude is chosen.
    viewer.soundMenu.mnuSoundNoise();
    viewer.soundMenu.mnuSoundSine();
    EXPECT_TRUE(tone.AmplitudeMode);
    double half = 0.5;
    tone.UpdateVol(half);
    EXPECT_TRUE(isNoise(audio.buffer));

    viewer.soundMenu.mnuSoundAmplitude();
    tone.UpdateVol(half);
    EXPECT_FALSE(isNoise(audio.buffer));

    // Frequency mode puts the volume back to half.
    double loud = 0.9;
    tone.UpdateVol(loud);
    viewer.soundMenu.mnuSoundFreq();
    EXPECT_DOUBLE_EQ(tone.VolumeLevel, 500);
    EXPECT_TRUE(tone.FrequencyMode && !tone.AmplitudeMode);
}

} // namespace
