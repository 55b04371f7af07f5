#include "sound/sound_menu.h"
#include "ports/message_pump.h"
#include "ports/settings_store.h"
#include "ports/window_surface.h"
#include "sound/tone_generator.h"
#include "voice/speech.h"

namespace {

const QString Noise = QStringLiteral("mnuSoundNoise");
const QString Amplitude = QStringLiteral("mnuSoundAmplitude");
const QString Frequency = QStringLiteral("mnuSoundFreq");
const QString Sine = QStringLiteral("mnuSoundSine");
const QString Square = QStringLiteral("mnuSoundSquare");

// Boolean settings are stored as "True"/"False"; a number counts as true unless it is 0.
bool flagValue(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool isNumber = false;
    const double v = t.toDouble(&isNumber);
    return isNumber && v != 0;
}

} // namespace

void SoundMenu::readSoundFlags(const SettingsStore &store)
{
    const QString section = QStringLiteral("Settings");
    auto read = [&](const char *key, const char *fallback, const QString &item) {
        const bool on = flagValue(store.read(section, QLatin1String(key), QLatin1String(fallback)));
        if (on)
            surface_.setChecked(item, true);
        return on;
    };
    tone_.AmplitudeMode = read("SndAM", "False", Amplitude);
    tone_.FrequencyMode = read("SndFM", "True", Frequency);
    tone_.NoiseWave = read("SndNoise", "False", Noise);
    tone_.SineWave = read("SndSine", "False", Sine);
    tone_.SquareWave = read("SndSquare", "False", Square);
    tone_.VolumeLevel = 500;
    tone_.PitchLevel = 330;
}

void SoundMenu::writeSoundFlags(SettingsStore &store) const
{
    const QString section = QStringLiteral("Settings");
    const auto write = [&](const char *key, bool on) {
        store.write(section, QLatin1String(key), on ? QStringLiteral("True") : QStringLiteral("False"));
    };
    write("SndAM", tone_.AmplitudeMode);
    write("SndFM", tone_.FrequencyMode);
    write("SndNoise", tone_.NoiseWave);
    write("SndSine", tone_.SineWave);
    write("SndSquare", tone_.SquareWave);
}

void SoundMenu::mnuSoundOffOn()
{
    tone_.SoundOn = !tone_.SoundOn;
    if (tone_.SoundOn) {
        speech_.speak(QStringLiteral("Chart Sound On"));
        tone_.StartSound();
    } else {
        tone_.StopSound();
        pump_.pump();
        speech_.speak(QStringLiteral("Chart Sound Off."));
    }
}

void SoundMenu::mnuSoundAmplitude()
{
    speech_.speak(QStringLiteral("Chart sound is amplitude scaled."));
    tone_.AmplitudeMode = true;
    tone_.FrequencyMode = false;
    tone_.NoiseWave = false;
    surface_.setChecked(Noise, false);
    surface_.setChecked(Amplitude, true);
    surface_.setChecked(Frequency, false);
}

void SoundMenu::mnuSoundFreq()
{
    speech_.speak(QStringLiteral("Chart sound is frequency scaled."));
    double half = 0.5;
    tone_.UpdateVol(half);
    tone_.FrequencyMode = true;
    tone_.NoiseWave = false;
    tone_.AmplitudeMode = false;
    surface_.setChecked(Noise, false);
    surface_.setChecked(Amplitude, false);
    surface_.setChecked(Frequency, true);
}

void SoundMenu::mnuSoundNoise()
{
    speech_.speak(QStringLiteral("Chart sound is noise."));
    tone_.NoiseWave = true;
    tone_.AmplitudeMode = true;
    tone_.FrequencyMode = false;
    tone_.SquareWave = false;
    surface_.setChecked(Noise, true);
    surface_.setChecked(Amplitude, true);
    surface_.setChecked(Frequency, false);
}

void SoundMenu::mnuSoundSine()
{
    speech_.speak(QStringLiteral("Chart sound is sine wave."));
    tone_.SineWave = true;
    tone_.SquareWave = false;
    surface_.setChecked(Square, false);
    surface_.setChecked(Sine, true);
}

void SoundMenu::mnuSoundSquare()
{
    speech_.speak(QStringLiteral("Chart sound is square wave."));
    tone_.SquareWave = true;
    tone_.SineWave = false;
    surface_.setChecked(Sine, false);
    surface_.setChecked(Square, true);
}
