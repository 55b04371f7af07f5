#include "app/late_voice.h"
#include "app/qt_speech.h"
#include "app/speechd_worker.h"
#include "support/fakes.h"
#include <QMap>
#include <QMutex>
#include <QRegularExpression>
#include <gtest/gtest.h>

// How our speech makes way for a screen reader's, against a stand-in for speech-dispatcher
// that reports for each message what a script says happened to it.

namespace {

enum class Fate { Spoken, CutShort, CancelledUnheard };

// Logs "say TEXT" ("yield TEXT" for a line sent to be cut short) and "rate N".
class FakeServer : public SpeechdWorker {
public:
    void open() override { emit opened(); }
    void say(qint64 seq, const QString &text, bool yielding) override
    {
        Fate fate = Fate::Spoken;
        {
            QMutexLocker locked(&lock_);
            log_ << (yielding ? QStringLiteral("yield ") : QStringLiteral("say ")) + text;
            if (!script_.isEmpty())
                fate = script_.takeFirst();
        }
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
    // What happens to the next messages, in order; once the script has run out all are spoken.
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

private:
    QMutex lock_;
    QStringList log_;
    QList<Fate> script_;
    qint64 lastId_ = 0;
};

class YieldingSpeech : public ::testing::Test {
protected:
    FakeServer *server = new FakeServer;   // owned by the speech from here on
    QtSpeech speech{server};
    QMap<QString, QList<QtSpeech::Stage>> stages;

    void SetUp() override
    {
        QObject::connect(&speech, &QtSpeech::stageChanged,
                         [this](qint64, const QString &text, QtSpeech::Stage stage) { stages[text] << stage; });
        ASSERT_TRUE(speech.waitForConnection(5000));
    }
    QStringList sentTexts()
    {
        return server->log().filter(QRegularExpression(QStringLiteral("^(say|yield) "))).replaceInStrings(QRegularExpression(QStringLiteral("^\\w+ ")), QString());
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
    VoiceStyle style;
    style.rate = 40;
    speech.setVoiceStyle(style);
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
    EXPECT_EQ(sentTexts(), (QStringList{"Top  4", "Top  4", "Top  4"}));
    EXPECT_EQ(lastStage(QStringLiteral("Top  4")), Stage::Ended);

    server->script(QList<Fate>(QtSpeech::ResendLimit + 5, Fate::CancelledUnheard));
    speech.speak(QStringLiteral("Width"));
    server->script({});
    speech.speak(QStringLiteral("After"));
    EXPECT_EQ(sentTexts().count(QStringLiteral("Width")), QtSpeech::ResendLimit + 1);
    EXPECT_EQ(lastStage(QStringLiteral("Width")), Stage::Cancelled);
    EXPECT_EQ(lastStage(QStringLiteral("After")), Stage::Ended);

    // A line cut short is over: not said again, the report goes on with the next.
    server->script({Fate::CutShort});
    speech.speak(QStringLiteral("Additional Notes"));
    EXPECT_EQ(sentTexts().count(QStringLiteral("Additional Notes")), 1);
    EXPECT_EQ(stages.value(QStringLiteral("Additional Notes")), (QList<Stage>{Stage::Waiting, Stage::Queued, Stage::Begun, Stage::Cancelled}));

    speech.setYielding(false);
    server->script({Fate::CancelledUnheard});
    speech.speak(QStringLiteral("Bottom  0"));
    EXPECT_EQ(sentTexts().count(QStringLiteral("Bottom  0")), 1);
    EXPECT_EQ(lastStage(QStringLiteral("Bottom  0")), Stage::Cancelled);
}


// The window's voice comes at its start-up step, after the user's rate and the first words:
// both reach it when it comes, in order; after a voice that could not be made, nothing waits.
TEST(LateVoice, WhatCameBeforeTheVoiceReachesItWhenItComes)
{
    LateVoice late;
    VoiceStyle style;
    style.rate = 60;
    late.setVoiceStyle(style);
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
