#pragma once

class ToneGenerator;
class Speech;
class WindowSurface;
class MessagePump;
class SettingsStore;

// The Sound menu: sound on/off, the waveform (sine, square, noise) and what the data drives
// (amplitude or frequency). The items change flags and check marks; the new choice is heard
// from the next retune.
class SoundMenu {
public:
    SoundMenu(ToneGenerator &tone, Speech &speech, WindowSurface &surface, MessagePump &pump)
        : tone_(tone), speech_(speech), surface_(surface), pump_(pump) {}

    // Start-up: the five sound flags from the "Settings" section, and a check mark on the
    // menu item of each flag that is set.
    void readSoundFlags(const SettingsStore &store);
    // The same five flags written back as "True"/"False", so the next run starts with the
    // sound the user chose.
    void writeSoundFlags(SettingsStore &store) const;

    void mnuSoundOffOn();
    void mnuSoundAmplitude();
    void mnuSoundFreq();
    void mnuSoundNoise();
    void mnuSoundSine();
    void mnuSoundSquare();

private:
    ToneGenerator &tone_;
    Speech &speech_;
    WindowSurface &surface_;
    MessagePump &pump_;
};
