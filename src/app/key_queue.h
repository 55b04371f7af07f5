#pragma once
#include "ports/speech_port.h"
#include <QAction>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QPointer>
#include <deque>
#include <memory>

class QKeyEvent;
class QMouseEvent;

// Keys and clicks that come while the program speaks synchronously. The desktop and the
// screen reader see them at once (the event loop runs during the utterance); the program's
// own handling waits, and runs them in the order they came once the utterance has ended, at
// the next pass of the event loop, as if they had waited in the window's queue.
class KeyQueue : public QObject {
public:
    explicit KeyQueue(QWidget *window) : window_(window) {}
    ~KeyQueue() override;

    bool holding() const { return utterances_ > 0; }
    // A readout makes way for the input that follows it (HoldingSpeech::speakReadout).
    void utteranceStarted(bool readout = false)
    {
        if (++utterances_ == 1)
            readout_ = readout;
    }
    void utteranceEnded();
    bool speakingReadout() const { return holding() && readout_; }

    // Keeps a copy for later. A key that is a menu item's shortcut runs that item then.
    void holdKey(const QKeyEvent &event, QAction *shortcut);
    void holdClick(QWidget *target, const QMouseEvent &event);
    // Escape: what was held is forgotten.
    void drop();
    int size() const { return int(items_.size()); }

private:
    struct Item {
        std::unique_ptr<QEvent> event;
        QPointer<QWidget> target;    // clicks only: keys go where the focus is when they run
        QPointer<QAction> shortcut;
        bool isKey = false;
    };
    void replay();

    QWidget *window_;
    int utterances_ = 0;
    bool readout_ = false;
    std::deque<std::unique_ptr<Item>> items_;
};

// The window's voice: marks the time a synchronous utterance lasts, so input is held then.
class HoldingSpeech : public SpeechPort {
public:
    HoldingSpeech(SpeechPort &voice, KeyQueue &queue) : voice_(voice), queue_(queue) {}
    // While the window is being built nothing waits for the voice: what start-up says is
    // queued and heard in order once the window is up.
    bool queueOnly = false;

    void speak(const QString &text) override { say(text, false); }
    void speakReadout(const QString &text) override
    {
        // Input already waiting moves the cursor on: this readout would be stale at once.
        if (!queueOnly && queue_.size() > 0)
            return;
        say(text, true);
    }
    void speakAsync(const QString &text) override { voice_.speakAsync(text); }
    void stop() override { voice_.stop(); }
    void setVoiceStyle(const VoiceStyle &style) override { voice_.setVoiceStyle(style); }

private:
    void say(const QString &text, bool readout)
    {
        if (queueOnly) {
            voice_.speakAsync(text);
            return;
        }
        queue_.utteranceStarted(readout);
        voice_.speak(text);
        queue_.utteranceEnded();
    }

    SpeechPort &voice_;
    KeyQueue &queue_;
};
