// Our speech against stand-ins for speech-dispatcher and the sound device: how it makes way for
// a screen reader's, when the built-in voice takes over, and the built-in synthesizer itself.
#include "app/espeak_engine.h"
#include "app/espeak_speech.h"
#include "app/fallback_voice.h"
#include "app/form_review.h"
#include "app/late_voice.h"
#include "app/qt_speech.h"
#include "app/speechd_worker.h"
#include "support/fakes.h"
#include <QElapsedTimer>
#include <QLabel>
#include <QMutex>
#include <QRegularExpression>
#include <QTest>
#include <atomic>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int Rate = 1000;   // samples a second of the stand-in synthesizer: 2 bytes a millisecond

enum class Fate { Spoken, CutShort, CancelledUnheard };

// A server that connects or not, and reports for each line what a script says happened to it
// (spoken whole once the script has run out), or refuses every line. Logs "say TEXT" ("yield
// TEXT" for a line sent to be cut short) and "rate N".
class Server : public SpeechdWorker {
public:
    enum Mode { Answers, Unreachable, Silent, TakesNoLines };
    explicit Server(Mode mode = Answers) : mode_(mode) {}
    void open() override
    {
        if (mode_ == Unreachable)
            emit failed(QStringLiteral("No server here."));
        else if (mode_ != Silent)
            emit opened();
    }
    void say(qint64 seq, const QString &text, bool yielding) override
    {
        Fate fate = Fate::Spoken;
        {
            QMutexLocker locked(&lock_);
            log_ << (yielding ? QStringLiteral("yield ") : QStringLiteral("say ")) + text;
            if (!script_.isEmpty())
                fate = script_.takeFirst();
        }
        if (mode_ == TakesNoLines)
            return emit refused(seq);
        const qint64 id = ++lastId_;
        emit accepted(seq, id);
        if (fate != Fate::CancelledUnheard)
            emit event(id, Begun);
        emit event(id, fate == Fate::Spoken ? Ended : Cancelled);
    }
    void cancel() override {}
    void setStyle(const VoiceStyle &style) override
    {
        QMutexLocker locked(&lock_);
        log_ << QStringLiteral("rate %1").arg(style.rate.value_or(0));
    }
    void script(const QList<Fate> &fates)
    {
        QMutexLocker locked(&lock_);
        script_ = fates;
    }
    QStringList log()
    {
        QMutexLocker locked(&lock_);
        return log_;
    }
    // The texts of the lines sent, in order.
    QStringList said()
    {
        return log().filter(QRegularExpression(QStringLiteral("^(say|yield) "))).replaceInStrings(QRegularExpression(QStringLiteral("^\\w+ ")), QString());
    }

private:
    Mode mode_;
    QMutex lock_;
    QStringList log_;
    QList<Fate> script_;
    qint64 lastId_ = 0;
};

// A sound device that plays each line for its length.
struct Sink : VoiceSink {
    QStringList *log = nullptr;
    QElapsedTimer clock;
    qint64 lengthMs = 0;
    int cuts = 0;
    void play(const QByteArray &samples) override
    {
        clock.start();
        *log << QStringLiteral("play %1").arg(lengthMs = samples.size() / 2);
    }
    void cut() override { lengthMs = 0, ++cuts, *log << QStringLiteral("cut"); }
    bool finished() const override { return clock.isValid() && clock.elapsed() >= lengthMs; }
};

// The built-in voice with a synthesizer that makes msPerWord of sound a word.
struct BuiltIn {
    // What was synthesised (the text) and played, in order. Lines are synthesised one at a
    // time, each after the one before has been played, so the two threads take turns.
    QStringList log;
    std::atomic<int> msPerWord = 100;
    Sink *sink = new Sink;
    std::unique_ptr<EspeakSpeech> voice;
    BuiltIn()
    {
        sink->log = &log;
        voice = std::make_unique<EspeakSpeech>(
            [this](const QString &text, const VoiceStyle &) {
                log << text;
                return QByteArray(int(text.split(u' ').size()) * 2 * Rate * msPerWord / 1000, '\x10');
            },
            Rate, std::unique_ptr<VoiceSink>(sink));
    }
};

struct Choosing : ::testing::Test {
    BuiltIn *builtIn = nullptr;
    int made = 0;
    std::unique_ptr<FallbackVoice> voice;
    void make(Server::Mode mode, bool builtInWorks = true)
    {
        auto service = std::make_unique<QtSpeech>(server = new Server(mode));
        service->setConnectLimit(300);
        voice = std::make_unique<FallbackVoice>(std::move(service), [this, builtInWorks] {
            ++made;
            if (!builtInWorks)
                return std::unique_ptr<EspeakSpeech>();
            builtIn = new BuiltIn;   // kept for the test to look at; its voice moves on
            return std::move(builtIn->voice);
        });
    }
    Server *server = nullptr;
    void TearDown() override { voice.reset(); delete builtIn; }
};

// While the service answers it speaks. Unreachable, or never answering the connection or a
// line: what waited is said, in order, by the built-in voice, and a speak waiting on the
// service returns once it has been heard.
TEST_F(Choosing, TheServiceSpeaksWhileItAnswersTheBuiltInVoiceSaysWhatItDidNotAndWithNeitherTheProgramIsMute)
{
    const QStringList lines = {QStringLiteral("Loading."), QStringLiteral("Chart Local Name Dish")};
    for (Server::Mode mode : {Server::Answers, Server::Unreachable, Server::Silent, Server::TakesNoLines}) {
        make(mode);
        QElapsedTimer clock;
        clock.start();
        voice->speakAsync(lines[0]);
        voice->speak(lines[1]);
        if (mode == Server::Answers) {
            EXPECT_EQ(voice->choice(), FallbackVoice::Choice::Service);
            EXPECT_EQ(server->said(), lines);
            EXPECT_EQ(made, 0);
            continue;
        }
        EXPECT_EQ(voice->choice(), FallbackVoice::Choice::BuiltIn) << mode;
        ASSERT_NE(builtIn, nullptr);
        EXPECT_EQ(builtIn->log, QStringList({lines[0], QStringLiteral("play 100"), lines[1], QStringLiteral("play 400")}))
            << mode;
        EXPECT_LT(clock.elapsed(), mode == Server::Silent ? 1500 : 1200) << mode;
        voice->speak(QStringLiteral("Ends"));
        EXPECT_EQ(builtIn->log.mid(4), QStringList({QStringLiteral("Ends"), QStringLiteral("play 100")}));
        EXPECT_EQ(made, 1);
        // A stop reaches the voice that speaks.
        voice->speakAsync(QStringLiteral("Duration 01:00:00"));
        QTest::qWait(100);
        voice->stop();
        EXPECT_EQ(builtIn->log.last(), QStringLiteral("cut")) << mode;
        TearDown();
        builtIn = nullptr;
        made = 0;
    }
    // With neither voice the program is mute and says why.
    make(Server::Unreachable, false);
    voice->speak(QStringLiteral("Top  4"));
    EXPECT_EQ(voice->choice(), FallbackVoice::Choice::None);
    EXPECT_EQ(voice->problem(), QStringLiteral("No server here. There is no built-in voice."));
}

TEST(BuiltInVoice, StopCutsTheLineAtOnceAndDropsTheQueuedOnes)
{
    BuiltIn b;
    for (const char *line : {"Starts 12:00:00", "Duration 01:00:00", "Average Rate: 1. samples per second."})
        b.voice->speakAsync(QLatin1String(line));
    QTimer::singleShot(150, [&] { b.voice->stop(); });
    QElapsedTimer clock;
    clock.start();
    b.voice->speak(QStringLiteral("Maximum Y  4 ."));
    EXPECT_LT(clock.elapsed(), 250) << "a speak waiting behind the queue went on after the stop";
    QTest::qWait(300);
    EXPECT_EQ(b.log, QStringList({QStringLiteral("Starts 12:00:00"), QStringLiteral("play 200"), QStringLiteral("cut")}));
    EXPECT_TRUE(b.voice->quiet());

    // The voice goes on with the next line as before.
    b.voice->speak(QStringLiteral("Ends"));
    EXPECT_EQ(b.log.mid(3), QStringList({QStringLiteral("Ends"), QStringLiteral("play 100")}));
}

// A window without the service names the voice it speaks with on its status line.
TEST(BuiltInVoice, TheWindowNamesTheVoice)
{
    BuiltIn builtIn;
    FormReview::voiceFactory = [] { return std::make_unique<QtSpeech>(new Server(Server::Unreachable)); };
    FormReview::builtInVoiceFactory = [&builtIn] { return std::move(builtIn.voice); };
    FormReview window{nullptr, std::make_unique<FakeSettings>()};
    FormReview::voiceFactory = nullptr;
    FormReview::builtInVoiceFactory = nullptr;
    window.show();
    const QLabel *status = window.findChild<QLabel *>(QStringLiteral("LBLCS"));
    QTest::qWaitFor([status] { return !status->text().isEmpty(); }, 5000);
    EXPECT_EQ(status->text().toStdString(), "Voice: eSpeak NG, as speech-dispatcher is not available.");
}

// The real synthesizer, into memory: speech of a plausible length, not silence; a faster rate
// says the same line in less time.
TEST(BuiltInVoice, ESpeakRendersALineAsAudibleSamples)
{
    const QString problem = EspeakEngine::start();
    if (!problem.isEmpty())
        GTEST_SKIP() << problem.toStdString();
    const int rate = EspeakEngine::sampleRate();
    ASSERT_GT(rate, 8000);
    const QString line = QStringLiteral("Chart View Starts 12:00:00");
    const QByteArray normal = EspeakEngine::render(line, {});
    const double seconds = normal.size() / 2.0 / rate;
    EXPECT_GT(seconds, 1.0);
    EXPECT_LT(seconds, 6.0);
    double sum = 0;
    for (const qint16 *s = reinterpret_cast<const qint16 *>(normal.constData()), *end = s + normal.size() / 2; s < end; ++s)
        sum += double(*s) * *s;
    EXPECT_GT(std::sqrt(sum / (normal.size() / 2)), 500.0) << "next to silent";

    const QByteArray quick = EspeakEngine::render(line, {.rate = 100});
    EXPECT_LT(quick.size(), normal.size() * 3 / 4);
    EXPECT_NEAR(EspeakEngine::render(line, {}).size(), normal.size(), normal.size() / 20) << "the rate stayed fast";
}

class YieldingSpeech : public ::testing::Test {
protected:
    Server *server = new Server;   // owned by the speech from here on
    QtSpeech speech{server};
    QMap<QString, QList<QtSpeech::Stage>> stages;

    void SetUp() override
    {
        QObject::connect(&speech, &QtSpeech::stageChanged,
                         [this](qint64, const QString &text, QtSpeech::Stage stage) { stages[text] << stage; });
        ASSERT_TRUE(speech.waitForConnection(5000));
    }
    QtSpeech::Stage lastStage(const QString &text) const { return stages.value(text).value(stages.value(text).size() - 1); }
};

using Stage = QtSpeech::Stage;

// Beside a screen reader only, our speech is sent to be cut short; the user's rate reaches
// the server before the next line.
TEST_F(YieldingSpeech, OnlyBesideAScreenReaderIsOurSpeechSentToBeCutShort)
{
    speech.speak(QStringLiteral("One"));
    speech.setYielding(true);
    speech.speak(QStringLiteral("Two"));
    speech.setYielding(false);
    speech.speakAsync(QStringLiteral("Three"));
    speech.setVoiceStyle({.rate = 40});
    speech.speak(QStringLiteral("Four"));
    EXPECT_EQ(server->log(), (QStringList{"say One", "yield Two", "say Three", "rate 40", "say Four"}));
}

// A line cancelled before a word was heard waits for its turn again, up to a limit; without a
// screen reader only the user silencing the server cancels, and nothing comes back.
TEST_F(YieldingSpeech, ALineCancelledBeforeAWordWasHeardIsSentAgainUpToALimit)
{
    speech.setYielding(true);
    server->script({Fate::CancelledUnheard, Fate::CancelledUnheard});
    speech.speak(QStringLiteral("Top  4"));
    EXPECT_EQ(server->said(), (QStringList{"Top  4", "Top  4", "Top  4"}));
    EXPECT_EQ(lastStage(QStringLiteral("Top  4")), Stage::Ended);

    server->script(QList<Fate>(QtSpeech::ResendLimit + 5, Fate::CancelledUnheard));
    speech.speak(QStringLiteral("Width"));
    server->script({});
    speech.speak(QStringLiteral("After"));
    EXPECT_EQ(server->said().count(QStringLiteral("Width")), QtSpeech::ResendLimit + 1);
    EXPECT_EQ(lastStage(QStringLiteral("Width")), Stage::Cancelled);
    EXPECT_EQ(lastStage(QStringLiteral("After")), Stage::Ended);

    // A line cut short is over: not said again, the report goes on with the next.
    server->script({Fate::CutShort});
    speech.speak(QStringLiteral("Additional Notes"));
    EXPECT_EQ(server->said().count(QStringLiteral("Additional Notes")), 1);
    EXPECT_EQ(stages.value(QStringLiteral("Additional Notes")), (QList<Stage>{Stage::Waiting, Stage::Queued, Stage::Begun, Stage::Cancelled}));

    speech.setYielding(false);
    server->script({Fate::CancelledUnheard});
    speech.speak(QStringLiteral("Bottom  0"));
    EXPECT_EQ(server->said().count(QStringLiteral("Bottom  0")), 1);
    EXPECT_EQ(lastStage(QStringLiteral("Bottom  0")), Stage::Cancelled);
}


// The window's voice comes at its start-up step, after the user's rate and the first words:
// both reach it when it comes, in order; after a voice that could not be made, nothing waits.
TEST(LateVoice, WhatCameBeforeTheVoiceReachesItWhenItComes)
{
    LateVoice late;
    late.setVoiceStyle({.rate = 60});
    late.speakAsync(QStringLiteral("one"));
    late.speak(QStringLiteral("two"));

    auto voice = std::make_unique<FakeSpeech>();
    FakeSpeech &heard = *voice;
    late.set(std::move(voice));
    ASSERT_EQ(heard.styles.size(), 1);
    EXPECT_EQ(heard.styles[0].rate, 60);
    EXPECT_EQ(heard.spokenAsync, (QStringList{"one", "two"}));

    LateVoice none;
    none.speak(QStringLiteral("lost"));
    none.giveUp();
    none.speak(QStringLiteral("never held"));
    auto later = std::make_unique<FakeSpeech>();
    FakeSpeech &after = *later;
    none.set(std::move(later));
    EXPECT_TRUE(after.spokenAsync.isEmpty());
}

} // namespace
