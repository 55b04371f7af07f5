#pragma once
#include "ports/speech_port.h"
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>

class QtSpeech;
class EspeakSpeech;

// The window's voice: speech-dispatcher first, so the user's own voice and rate apply; the
// built-in eSpeak NG voice when the service cannot be reached, does not answer in time, or
// stops answering. Lines the service never spoke are said again by the built-in voice, in
// their order; from then on the built-in voice speaks for the rest of the session. Without
// either the program is mute, and problem() says why.
class FallbackVoice : public QObject, public SpeechPort {
    Q_OBJECT
public:
    enum class Choice { Deciding, Service, BuiltIn, None };
    Q_ENUM(Choice)
    using MakeBuiltIn = std::function<std::unique_ptr<EspeakSpeech>()>;

    FallbackVoice(std::unique_ptr<QtSpeech> service, MakeBuiltIn makeBuiltIn, QObject *parent = nullptr);
    ~FallbackVoice() override;

    Choice choice() const { return choice_; }
    // Why the service was left, and, with no voice at all, why the built-in one failed too.
    QString problem() const { return problem_; }
    // Why the built-in synthesizer could not start, when that is why the program is mute.
    QString builtInProblem() const { return builtInProblem_; }
    // What the window's status line shows for a choice.
    static QString statusText(Choice choice);
    QtSpeech *service() const { return service_.get(); }

    void speak(const QString &text) override;
    void speakAsync(const QString &text) override;
    void stop() override;
    void setVoiceStyle(const VoiceStyle &style) override;

signals:
    // Once the choice is made (also when it is made at once).
    void chosen(FallbackVoice::Choice choice, const QString &problem);

private:
    void leaveService(const QString &why);
    void choose(Choice choice);

    std::unique_ptr<QtSpeech> service_;
    MakeBuiltIn makeBuiltIn_;
    std::unique_ptr<EspeakSpeech> builtIn_;
    Choice choice_ = Choice::Deciding;
    QString problem_;
    QString builtInProblem_;
    VoiceStyle style_;
    std::map<qint64, QString> unheard_;   // lines with the service that it has not yet spoken
    int leaving_ = 0;                     // times the service was left, for a speak waiting on it
};
