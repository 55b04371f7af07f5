// How our speech makes way for a screen reader's, against a stand-in for speech-dispatcher
// that reports for each message what a script says happened to it.
#include "app/qt_speech.h"
#include "app/speechd_worker.h"
#include <QMap>
#include <QMutex>
#include <gtest/gtest.h>

namespace {

enum class Fate { Spoken, CutShort, CancelledUnheard };

class FakeServer : public SpeechdWorker {
public:
    struct Sent {
        QString text;
        bool yielding;
    };

    void open() override { emit opened(); }
    void say(qint64 seq, const QString &text, bool yielding) override
    {
        Fate fate = Fate::Spoken;
        {
            QMutexLocker locked(&lock_);
            sent_.append({text, yielding});
            log_ << QStringLiteral("say ") + text;
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
    QList<Sent> sent()
    {
        QMutexLocker locked(&lock_);
        return sent_;
    }
    QStringList log()
    {
        QMutexLocker locked(&lock_);
        return log_;
    }

private:
    QMutex lock_;
    QList<Sent> sent_;
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
        QStringList texts;
        for (const FakeServer::Sent &s : server->sent())
            texts << s.text;
        return texts;
    }
    QtSpeech::Stage lastStage(const QString &text) const { return stages.value(text).value(stages.value(text).size() - 1); }
};

using Stage = QtSpeech::Stage;

TEST_F(YieldingSpeech, OnlyBesideAScreenReaderIsOurSpeechSentToBeCutShort)
{
    speech.speak(QStringLiteral("One"));
    speech.setYielding(true);
    speech.speak(QStringLiteral("Two"));
    speech.setYielding(false);
    speech.speakAsync(QStringLiteral("Three"));
    speech.speak(QStringLiteral("Four"));
    const QList<FakeServer::Sent> sent = server->sent();
    ASSERT_EQ(sent.size(), 4);
    EXPECT_FALSE(sent[0].yielding);
    EXPECT_TRUE(sent[1].yielding);
    EXPECT_FALSE(sent[2].yielding);
    EXPECT_FALSE(sent[3].yielding);
}

TEST_F(YieldingSpeech, ALineCutShortIsOverAndTheReportGoesOnWithTheNext)
{
    speech.setYielding(true);
    server->script({Fate::CutShort});
    speech.speak(QStringLiteral("Additional Notes"));
    speech.speak(QStringLiteral("Name Hilltop"));
    EXPECT_EQ(sentTexts(), (QStringList{"Additional Notes", "Name Hilltop"}));   // not said again
    EXPECT_EQ(stages.value(QStringLiteral("Additional Notes")),
              (QList<Stage>{Stage::Waiting, Stage::Queued, Stage::Begun, Stage::Cancelled}));
    EXPECT_EQ(lastStage(QStringLiteral("Name Hilltop")), Stage::Ended);
}

TEST_F(YieldingSpeech, ALineCancelledBeforeAWordWasHeardWaitsForItsTurnAgain)
{
    speech.setYielding(true);
    server->script({Fate::CancelledUnheard, Fate::CancelledUnheard});
    speech.speak(QStringLiteral("Top  4"));
    EXPECT_EQ(sentTexts(), (QStringList{"Top  4", "Top  4", "Top  4"}));
    EXPECT_EQ(lastStage(QStringLiteral("Top  4")), Stage::Ended);

    // Without a screen reader only the user silencing the server cancels: nothing comes back.
    speech.setYielding(false);
    server->script({Fate::CancelledUnheard});
    speech.speak(QStringLiteral("Bottom  0"));
    EXPECT_EQ(sentTexts().count(QStringLiteral("Bottom  0")), 1);
    EXPECT_EQ(lastStage(QStringLiteral("Bottom  0")), Stage::Cancelled);
}

TEST_F(YieldingSpeech, ALineCancelledTimeAfterTimeIsGivenUp)
{
    speech.setYielding(true);
    server->script(QList<Fate>(QtSpeech::ResendLimit + 5, Fate::CancelledUnheard));
    speech.speak(QStringLiteral("Width"));
    speech.speak(QStringLiteral("After"));
    EXPECT_EQ(sentTexts().count(QStringLiteral("Width")), QtSpeech::ResendLimit + 1);
    EXPECT_EQ(lastStage(QStringLiteral("Width")), Stage::Cancelled);
    EXPECT_EQ(sentTexts().last(), QStringLiteral("After"));
}

TEST_F(YieldingSpeech, ANewRateReachesTheServerBeforeTheNextLine)
{
    speech.speak(QStringLiteral("Before"));
    VoiceStyle style;
    style.rate = 40;
    speech.setVoiceStyle(style);
    speech.speak(QStringLiteral("Speech rate 40."));
    EXPECT_EQ(server->log(), (QStringList{"say Before", "rate 40", "say Speech rate 40."}));
}

} // namespace
