#pragma once
#include "ports/message_pump.h"
#include "ports/settings_store.h"
#include "ports/speech_port.h"
#include "ports/surface_state.h"
#include <QHash>
#include <QStringList>
#include <deque>
#include <functional>

// Records every utterance in order.
struct FakeSpeech : SpeechPort {
    QStringList spoken;
    QStringList spokenAsync;
    std::function<void(const QString &)> onSpeak;   // e.g. press Escape "during" an utterance
    QList<VoiceStyle> styles;                        // every change of rate, pitch or voice
    void speak(const QString &text) override
    {
        spoken << text;
        if (onSpeak)
            onSpeak(text);
    }
    void speakAsync(const QString &text) override { spokenAsync << text; }
    void setVoiceStyle(const VoiceStyle &style) override { styles << style; }
};

struct MessageBoxCall {
    QString title, text;
    MessageIcon icon;
};

// Remembers the window's state; file dialogs answer from a queue (empty queue = cancel).
struct FakeSurface : SurfaceState {
    QList<MessageBoxCall> boxes;
    std::deque<QString> dialogAnswers;
    QList<FileDialogRequest> dialogs;
    QStringList titles;   // every window title, in order
    void setWindowTitle(const QString &title) override
    {
        titles << title;
        SurfaceState::setWindowTitle(title);
    }
    void messageBox(const QString &title, const QString &text, MessageIcon icon) override { boxes.append({title, text, icon}); }
    std::optional<QString> openFileDialog(const FileDialogRequest &r) override { return answer(r); }
    std::optional<QString> saveFileDialog(const FileDialogRequest &r) override { return answer(r); }

private:
    std::optional<QString> answer(const FileDialogRequest &r)
    {
        dialogs << r;
        if (dialogAnswers.empty())
            return std::nullopt;
        QString a = dialogAnswers.front();
        dialogAnswers.pop_front();
        return a;
    }
};

// Each pump runs the next scripted action, if any (a key the user pressed meanwhile).
struct FakePump : MessagePump {
    int pumps = 0;
    std::deque<std::function<void()>> script;
    void pump() override
    {
        ++pumps;
        if (!script.empty()) {
            auto next = std::move(script.front());
            script.pop_front();
            next();
        }
    }
};

struct FakeSettings : SettingsStore {
    QHash<QString, QString> values;
    QString read(const QString &section, const QString &key, const QString &fallback) const override
    {
        return values.value(section + u'/' + key, fallback);
    }
    void write(const QString &section, const QString &key, const QString &value) override { values[section + u'/' + key] = value; }
    void remove(const QString &section, const QString &key) override { values.remove(section + u'/' + key); }
};
