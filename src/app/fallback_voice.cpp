#include "app/fallback_voice.h"
#include "app/espeak_speech.h"
#include "app/qt_speech.h"
#include <QTimer>

FallbackVoice::FallbackVoice(std::unique_ptr<QtSpeech> service, MakeBuiltIn makeBuiltIn, QObject *parent)
    : QObject(parent), service_(std::move(service)), makeBuiltIn_(std::move(makeBuiltIn))
{
    QtSpeech *s = service_.get();
    connect(s, &QtSpeech::stageChanged, this, [this](qint64 seq, const QString &text, QtSpeech::Stage stage) {
        switch (stage) {
        case QtSpeech::Stage::Waiting:
            unheard_.emplace(seq, text);
            break;
        case QtSpeech::Stage::Ended:
        case QtSpeech::Stage::Cancelled:
        case QtSpeech::Stage::TimedOut:   // waited out behind other programs: not the server's fault
            unheard_.erase(seq);
            break;
        default:   // refused: said again if the built-in voice takes over
            break;
        }
    });
    connect(s, &QtSpeech::connectionMade, this, [this] {
        if (choice_ == Choice::Deciding)
            choose(Choice::Service);
    });
    connect(s, &QtSpeech::connectionFailed, this, &FallbackVoice::leaveService);
    connect(s, &QtSpeech::stoppedAnswering, this, &FallbackVoice::leaveService);
    if (!s->available()) {
        // Told at once (no sound device): the caller hears of the choice once it listens.
        const QString why = s->problem();
        QTimer::singleShot(0, this, [this, why] { leaveService(why); });
    }
}

FallbackVoice::~FallbackVoice() = default;

QString FallbackVoice::statusText(Choice choice)
{
    switch (choice) {
    case Choice::Service: return QStringLiteral("Voice: speech-dispatcher.");
    case Choice::BuiltIn: return QStringLiteral("Voice: eSpeak NG, as speech-dispatcher is not available.");
    case Choice::None: return QStringLiteral("Speech is not available.");
    default: return QString();
    }
}

void FallbackVoice::choose(Choice choice)
{
    choice_ = choice;
    emit chosen(choice_, problem_);
}

void FallbackVoice::leaveService(const QString &why)
{
    if (choice_ == Choice::BuiltIn || choice_ == Choice::None)
        return;
    ++leaving_;
    problem_ = why;
    // Taken before the service lets go of them: stopping it marks them cancelled.
    std::map<qint64, QString> unheard = std::exchange(unheard_, {});
    service_->disconnect(this);
    service_->stop();
    builtIn_ = makeBuiltIn_ ? makeBuiltIn_() : nullptr;
    if (!builtIn_ || !builtIn_->available()) {
        const QString second = builtIn_ ? builtIn_->problem() : QStringLiteral("There is no built-in voice.");
        builtInProblem_ = builtIn_ ? builtIn_->engineProblem() : QString();
        problem_ = why.isEmpty() || why == second ? second : why + u' ' + second;
        builtIn_.reset();
        choose(Choice::None);
        return;
    }
    builtIn_->setVoiceStyle(style_);
    for (const auto &[seq, text] : unheard)
        builtIn_->speakAsync(text);
    choose(Choice::BuiltIn);
}

void FallbackVoice::speak(const QString &text)
{
    if (builtIn_) {
        builtIn_->speak(text);
    } else if (choice_ == Choice::Deciding || choice_ == Choice::Service) {
        const int before = leaving_;
        service_->speak(text);
        // The service was left while this line waited on it: the built-in voice says it
        // again, after the lines before it, and this speak returns once it has.
        if (leaving_ != before && builtIn_)
            builtIn_->waitUntilQuiet();
    }
}

void FallbackVoice::speakAsync(const QString &text)
{
    if (builtIn_)
        builtIn_->speakAsync(text);
    else if (choice_ == Choice::Deciding || choice_ == Choice::Service)
        service_->speakAsync(text);
}

void FallbackVoice::stop()
{
    if (builtIn_)
        builtIn_->stop();
    else
        service_->stop();
}

void FallbackVoice::setVoiceStyle(const VoiceStyle &style)
{
    style_.takeSetParts(style);
    if (builtIn_)
        builtIn_->setVoiceStyle(style);
    else
        service_->setVoiceStyle(style);
}
