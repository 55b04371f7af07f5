#pragma once
#include <QString>
#include <optional>

// How the voice sounds. A part left unset keeps the speech service's own choice, which is
// usually the user's screen-reader voice.
struct VoiceStyle {
    std::optional<int> rate;    // -100 (slowest) .. 100 (fastest)
    std::optional<int> pitch;   // -100 (lowest) .. 100 (highest)
    QString voice;              // a voice name of the service, or a kind such as FEMALE1; empty: unset

    // Takes the parts another style sets and keeps its own for the parts that one leaves unset.
    void takeSetParts(const VoiceStyle &other)
    {
        if (other.rate)
            rate = other.rate;
        if (other.pitch)
            pitch = other.pitch;
        if (!other.voice.isEmpty())
            voice = other.voice;
    }
};

// Where spoken text goes: a speech engine in the window, standard output in the console.
class SpeechPort {
public:
    virtual ~SpeechPort() = default;
    // Returns once the utterance has been spoken completely (or stopped).
    virtual void speak(const QString &text) = 0;
    // Like speak, for a readout that the user's next key or click makes stale (where a moving
    // cursor stands): the window cuts it short then, as a screen reader does.
    virtual void speakReadout(const QString &text) { speak(text); }
    // Queued after anything already queued; returns at once. Progress messages only.
    virtual void speakAsync(const QString &text) = 0;
    // Silences the utterance being spoken and drops the queued ones; a waiting speak returns.
    virtual void stop() {}
    // Applies the set parts of `style` to what is said from now on; unset parts stay as they are.
    virtual void setVoiceStyle(const VoiceStyle &) {}
};
