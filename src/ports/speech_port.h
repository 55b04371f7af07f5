#pragma once
#include <QString>

// Where spoken text goes: a speech engine in the window, standard output in the console.
class SpeechPort {
public:
    virtual ~SpeechPort() = default;
    // Returns once the utterance has been spoken completely; user input waits meanwhile.
    virtual void speak(const QString &text) = 0;
    // Queued after anything already queued; returns at once. Progress messages only.
    virtual void speakAsync(const QString &text) = 0;
};
