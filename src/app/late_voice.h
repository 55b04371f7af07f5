#pragma once
#include "ports/speech_port.h"
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>

// The window's voice, made during start-up rather than with the window, so a voice that cannot
// be made is logged like any other start-up step. What is said before it exists waits and is
// heard, in order, once it is there; without a voice the program goes on silently.
class LateVoice : public SpeechPort {
public:
    void set(std::unique_ptr<SpeechPort> voice)
    {
        voice_ = std::move(voice);
        if (style_)
            voice_->setVoiceStyle(*style_);
        for (const QString &text : std::exchange(waiting_, {}))
            voice_->speakAsync(text);
    }
    // Nothing more will wait for a voice that could not be made.
    void giveUp() { waiting_.clear(); gaveUp_ = true; }
    bool exists() const { return voice_ != nullptr; }

    void speak(const QString &text) override
    {
        if (voice_)
            voice_->speak(text);
        else
            hold(text);
    }
    void speakReadout(const QString &text) override
    {
        if (voice_)
            voice_->speakReadout(text);
    }
    void speakAsync(const QString &text) override
    {
        if (voice_)
            voice_->speakAsync(text);
        else
            hold(text);
    }
    void stop() override
    {
        if (voice_)
            voice_->stop();
        else
            waiting_.clear();
    }

    // The user's rate and voice are read before the voice exists: it takes them when it comes.
    void setVoiceStyle(const VoiceStyle &style) override
    {
        if (voice_)
            voice_->setVoiceStyle(style);
        else
            style_ = style;
    }

private:
    void hold(const QString &text)
    {
        if (!gaveUp_)
            waiting_ << text;
    }

    std::unique_ptr<SpeechPort> voice_;
    QStringList waiting_;
    std::optional<VoiceStyle> style_;
    bool gaveUp_ = false;
};
